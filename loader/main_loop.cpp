#include "loader/main_loop.h"

#include <vector>

#include "core/event_lookup.h"
#include "core/exceptions.h"
#include "core/exit_cleanup.h"
#include "core/memory_manager.h"
#include "core/object_model.h"
#include "loader/startup.h"

namespace {

constexpr uint32_t TickMilliseconds = 16;

struct DropNode {
  DropNode* next;
  RuntimeObject* window;
  RuntimeObject* control;
  RuntimeObject* dropped;
};

struct DeferredEntry {
  void* subject;
  DeferredUpdate update;
};

MainLoopHooks hooks;
PeriodicTask* newestTask;
LoopTimer* newestTimer;
DropNode* firstDrop;
DropNode* lastDrop;
std::vector<DeferredEntry> deferredUpdates;
bool quitFlag;
bool quitInProgress;
uint32_t lastTimerCheck;
uint32_t lastBackgroundTick;
bool backgroundTickSeen;
POINT lastCursor;
bool cursorSeen;

void DeliverDrops() {
  while (DropNode* node = firstDrop) {
    firstDrop = node->next;
    if (firstDrop == nullptr) lastDrop = nullptr;
    if (hooks.deliverDrop) hooks.deliverDrop(node->window, node->control, node->dropped);
    RuntimeUnlockObject(node->dropped);
    SmallFree(node, sizeof(DropNode));
  }
}

bool AnyTimerActive() {
  for (LoopTimer* timer = newestTimer; timer; timer = timer->next)
    if (*timer->mode != 0) return true;
  return false;
}

void FireDueTimers() {
  uint32_t now = GetTickCount();
  if (now == lastTimerCheck) return;
  lastTimerCheck = now;
  for (LoopTimer* timer = newestTimer; timer;) {
    // The timer may be released by its own Action: take the next one first.
    LoopTimer* next = timer->next;
    if (*timer->mode != 0 && now - *timer->lastFiring >= static_cast<uint32_t>(*timer->period)) {
      *timer->lastFiring = now;
      if (*timer->mode == 1) *timer->mode = 0;
      timer->fire(timer);
    }
    timer = next;
  }
}

void RunDueTasks() {
  for (PeriodicTask* task = newestTask; task;) {
    PeriodicTask* next = task->next;
    if (GetTickCount() / TickMilliseconds - task->lastRun >= task->period) {
      task->run(task);
      task->lastRun = GetTickCount() / TickMilliseconds;
    }
    task = next;
  }
}

void RunDeferredUpdates() {
  size_t count = deferredUpdates.size();
  for (size_t index = 0; index < count && index < deferredUpdates.size(); index++)
    deferredUpdates[index].update(deferredUpdates[index].subject);
  deferredUpdates.clear();
}

void DispatchOne(MSG& message) {
  POINT cursor;
  if (GetCursorPos(&cursor) && (!cursorSeen || cursor.x != lastCursor.x || cursor.y != lastCursor.y)) {
    cursorSeen = true;
    lastCursor = cursor;
    if (hooks.trackMouse) hooks.trackMouse(message);
  }
  if (hooks.keyboardPass && hooks.keyboardPass(message)) return;
  if (InMdiMode() && hooks.mdiClientWindow && TranslateMDISysAccel(hooks.mdiClientWindow(), &message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

}  // namespace

MainLoopHooks& TheMainLoopHooks() { return hooks; }

void RegisterPeriodicTask(PeriodicTask* task) {
  task->next = newestTask;
  newestTask = task;
}

void UnregisterPeriodicTask(PeriodicTask* task) {
  for (PeriodicTask** link = &newestTask; *link; link = &(*link)->next)
    if (*link == task) {
      *link = task->next;
      return;
    }
}

void RegisterDeferredUpdate(void* subject, DeferredUpdate update) { deferredUpdates.push_back({subject, update}); }

void UnregisterDeferredUpdate(void* subject) {
  std::erase_if(deferredUpdates, [subject](const DeferredEntry& entry) { return entry.subject == subject; });
}

void QueueDrop(RuntimeObject* window, RuntimeObject* control, RuntimeObject* dropped) {
  auto* node = static_cast<DropNode*>(SmallAlloc(sizeof(DropNode)));
  RuntimeLockObject(dropped);
  *node = {nullptr, window, control, dropped};
  if (lastDrop)
    lastDrop->next = node;
  else
    firstDrop = node;
  lastDrop = node;
}

void RegisterLoopTimer(LoopTimer* timer) {
  timer->next = newestTimer;
  newestTimer = timer;
}

void UnregisterLoopTimer(LoopTimer* timer) {
  for (LoopTimer** link = &newestTimer; *link; link = &(*link)->next)
    if (*link == timer) {
      *link = timer->next;
      return;
    }
}

void SetQuitFlag() { quitFlag = true; }

bool QuitFlag() { return quitFlag; }

void RunLoopIteration() {
  DeliverDrops();
  if (hooks.synchroniseWindows) hooks.synchroniseWindows();

  MSG message;
  bool got;
  // Without a window outside MDI mode nothing could end a wait, and the loop ends this turn:
  // it looks for a message without waiting then.
  bool windowsOpen = InMdiMode() || (hooks.anyLanguageWindow && hooks.anyLanguageWindow());
  if (AnyTimerActive() || (hooks.paneHasCapture && hooks.paneHasCapture()) || newestTask || !windowsOpen) {
    got = PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
    // A quit message ends the loop in the polling form as well as in the waiting one.
    if (got && message.message == WM_QUIT) {
      quitFlag = true;
      got = false;
    }
  } else {
    got = GetMessageA(&message, nullptr, 0, 0) > 0;
    if (!got) quitFlag = true;
  }
  if (got) DispatchOne(message);

  RunDeferredUpdates();
  if (hooks.idleFocusedPane) hooks.idleFocusedPane();
  FireDueTimers();
  if (hooks.pollSerialPorts) hooks.pollSerialPorts();
  if (hooks.idleMovies) hooks.idleMovies();
  if (hooks.pollSockets) hooks.pollSockets();
  if (!InMdiMode() && !(hooks.anyLanguageWindow && hooks.anyLanguageWindow())) quitFlag = true;
  RunDueTasks();
}

bool RequestQuit() {
  if (quitInProgress) return false;
  quitInProgress = true;
  if (hooks.askWindowsToClose && !hooks.askWindowsToClose()) {
    quitInProgress = false;
    return false;
  }
  RaiseApplicationEvent("Close");
  if (hooks.closeAllWindows) hooks.closeAllWindows();
  quitInProgress = false;
  return true;
}

extern "C" {

void RuntimeRun() {
  while (!quitFlag) RunLoopIteration();
  if (hooks.closeAllWindows) hooks.closeAllWindows();
  OleUninitialize();
  if (hooks.shutDownMedia) hooks.shutDownMedia();
  RunExitCleanups();
}

void ApplicationQuit() {
  if (RequestQuit()) RaiseNewException(ExceptionKind::End);
}

void RuntimeBackgroundTask() {
  uint32_t now = GetTickCount();
  if (backgroundTickSeen && now == lastBackgroundTick) return;
  backgroundTickSeen = true;
  lastBackgroundTick = now;
  RunDueTasks();
  lastBackgroundTick = GetTickCount();
}

}  // extern "C"
