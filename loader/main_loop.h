// The engine's one event loop and the timed work it drives.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"
#include "platform/win32.h"

// What the subsystems built on top of the loop contribute to each turn. Every hook may be null
// (the subsystem is not part of the engine, or has nothing to do).
struct MainLoopHooks {
  void (*deliverDrop)(RuntimeObject* window, RuntimeObject* control, RuntimeObject* dropped);
  void (*synchroniseWindows)();
  bool (*paneHasCapture)();
  void (*idleFocusedPane)();
  void (*pollSerialPorts)();
  void (*idleMovies)();
  void (*pollSockets)();
  bool (*anyLanguageWindow)();
  // The message pass before translation: mouse tracking, then the keyboard pass (true when it
  // consumed the message).
  void (*trackMouse)(const MSG& message);
  bool (*keyboardPass)(MSG& message);
  HWND (*mdiClientWindow)();
  // Closing: asks each open window (false when one refuses), closes them all.
  bool (*askWindowsToClose)();
  void (*closeAllWindows)();
  void (*shutDownMedia)();
};

MainLoopHooks& TheMainLoopHooks();

// Periodic tasks, newest first, run from the loop every period (in ticks of 16 ms).
struct PeriodicTask {
  void (*run)(PeriodicTask* task);
  PeriodicTask* next;
  uint32_t lastRun;
  uint32_t period;
};
void RegisterPeriodicTask(PeriodicTask* task);
void UnregisterPeriodicTask(PeriodicTask* task);

// Objects that postpone work to the next loop turn.
using DeferredUpdate = void (*)(void* subject);
void RegisterDeferredUpdate(void* subject, DeferredUpdate update);
void UnregisterDeferredUpdate(void* subject);

// Pending drops, delivered at the start of the next turn; the queue holds a reference to the
// dropped object.
void QueueDrop(RuntimeObject* window, RuntimeObject* control, RuntimeObject* dropped);

// Timers of the loop (the language's Timer objects keep their state in their fields).
struct LoopTimer {
  LoopTimer* next;
  int16_t* mode;        // 0 off, 1 single, anything else repeating
  int32_t* period;      // milliseconds
  uint32_t* lastFiring; // GetTickCount at the last firing
  void (*fire)(LoopTimer* timer);
};
void RegisterLoopTimer(LoopTimer* timer);
void UnregisterLoopTimer(LoopTimer* timer);

// One turn of the loop; the loop until the quit flag is set.
void RunLoopIteration();
void SetQuitFlag();
bool QuitFlag();

// Asks to quit in order: false when a quit is already in progress or a window refuses.
bool RequestQuit();

extern "C" {
void RuntimeRun();
void ApplicationQuit();
void RuntimeBackgroundTask();
}
