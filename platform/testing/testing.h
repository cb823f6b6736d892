// The layer's test interface: observe and steer what the headless platform does. Used by
// tests only, never by the engine.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32.h"

namespace kwtesting {

struct MessageBoxRecord {
  std::string caption;
  std::string text;
  unsigned type;
};

// Every message box shown since the last clear, oldest first.
std::vector<MessageBoxRecord> MessageBoxesShown();
void ClearMessageBoxes();

// The answer the next message box returns; without one it returns its first button.
void PresetMessageBoxAnswer(int answer);

// After count more successful allocations the process heap fails every request;
// a negative count restores normal service.
void FailHeapAllocationsAfter(long count);

// Selects the ANSI code page (1252 or 932) for the rest of the process, as the layer's
// environment variable KW_ANSI_CODE_PAGE does at start; false for a page the layer lacks.
bool SelectAnsiCodePage(unsigned page);

// GetTickCount returns value (modulo 2^32) until released.
void FreezeTickCount(unsigned long value);
void ReleaseTickCount();

// Beeps: the type of every MessageBeep since the last clear, oldest first.
std::vector<unsigned> BeepsSounded();
void ClearBeeps();

// Cursors.
struct CursorDescription {
  int hotSpotX = 0;
  int hotSpotY = 0;
  int width = 0;
  int height = 0;
  std::vector<unsigned char> andPlane;  // empty for the standard cursors
  std::vector<unsigned char> xorPlane;
  int standardId = 0;  // the IDC_ value of a standard cursor, else 0
};
// The cursor last set by SetCursor (null at start).
HCURSOR CurrentCursor();
bool DescribeCursor(HCURSOR cursor, CursorDescription* description);

// Windows: every live window, each top-level window (top of the z-order first) followed by its
// descendants depth first, children top first; message-only windows come last.
struct WindowDescription {
  HWND handle;
  std::string className;
  std::string text;
  bool visible;  // as IsWindowVisible answers
  HWND parent;   // null for top-level and message-only windows
  bool messageOnly;
};
std::vector<WindowDescription> ListWindows();

// Runs the calling thread's message loop (retrieve, translate, dispatch) until `until` holds,
// WM_QUIT is retrieved (its exit code goes to quitCode), or nothing is left: no message is
// waiting and, when `until` is given, no timer or watched descriptor could still bring one
// (the loop waits for those without spinning). Without `until` it only empties the queue.
enum class PumpOutcome { ConditionMet, QueueEmpty, Quit };
PumpOutcome PumpMessages(const std::function<bool()>& until = nullptr, int* quitCode = nullptr);

// Adds to every later GetTickCount value (to reach the 2^32 wrap); timers are not affected.
void ShiftTickCount(uint32_t milliseconds);

// Processor time, user and system, that the calling thread has used, in microseconds.
uint64_t ThreadProcessorMicroseconds();

// File dialogs: headless, each answered by the next preset answer (a path, or cancel); without
// one a dialog is cancelled. Every dialog shown is recorded.
struct FileDialogRecord {
  bool save;
  HWND owner;
  std::vector<std::pair<std::string, std::string>> filter;  // (name, pattern) entries
  std::string defaultExtension;
  unsigned flags;
};
void PresetFileDialogAnswer(const std::string& path);
void PresetFileDialogCancel();
std::vector<FileDialogRecord> FileDialogsShown();
void ClearFileDialogs();

}  // namespace kwtesting
