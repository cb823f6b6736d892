// Messages: posting, sending, retrieving and dispatching, over the thread's message queue.
#include "platform/testing/testing.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/window.h"

namespace {

using kwplatform::MessageQueue;

std::shared_ptr<MessageQueue> OwnQueue() { return MessageQueue::ForCurrentThread(); }

// A window filter must name a window of the calling thread (or be null or -1).
bool ValidWindowFilter(HWND window) {
  return window == nullptr || window == reinterpret_cast<HWND>(-1) || kwplatform::LookUpOwnWindow(window);
}

}  // namespace

extern "C" {

BOOL WINAPI PostMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  // Without a window the message goes to the calling thread's queue as a thread message.
  if (handle == nullptr) return OwnQueue()->Post(nullptr, message, wParam, lParam) ? TRUE : FALSE;
  std::shared_ptr<kwplatform::Window> window = kwplatform::LookUpWindow(handle);
  if (!window || window->stage == kwplatform::WindowStage::Destroyed) return FALSE;
  return window->queue->Post(handle, message, wParam, lParam) ? TRUE : FALSE;
}

LRESULT WINAPI SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<kwplatform::Window> window = kwplatform::LookUpWindow(handle);
  if (!window) return 0;
  if (window->queue->OwnedByCurrentThread())
    return kwplatform::CallProcedure(window->procedure, handle, message, wParam, lParam);
  return window->queue->SendFromOtherThread(handle, message, wParam, lParam);
}

void WINAPI PostQuitMessage(int exitCode) { OwnQueue()->PostQuit(exitCode); }

BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT first, UINT last) {
  if (message == nullptr || !ValidWindowFilter(window)) return -1;
  OwnQueue()->Retrieve(message, {window, first, last}, true, true);
  return message->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI PeekMessageA(LPMSG message, HWND window, UINT first, UINT last, UINT removal) {
  if (message == nullptr || !ValidWindowFilter(window)) return FALSE;
  return OwnQueue()->Retrieve(message, {window, first, last}, (removal & PM_REMOVE) != 0, false) ? TRUE : FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* message) {
  if (message == nullptr) return 0;
  if (message->message == WM_TIMER && message->lParam != 0) {
    // Only the procedure of a live timer is called, never an arbitrary lParam.
    auto procedure = reinterpret_cast<TIMERPROC>(message->lParam);
    if (OwnQueue()->IsTimerProcedure(message->hwnd, message->wParam, procedure))
      procedure(message->hwnd, WM_TIMER, message->wParam, GetTickCount());
    return 0;
  }
  std::shared_ptr<kwplatform::Window> window = kwplatform::LookUpOwnWindow(message->hwnd);
  if (!window) return 0;
  if (message->message == WM_PAINT) return kwplatform::DeliverPaint(window);
  return kwplatform::CallProcedure(window->procedure, message->hwnd, message->message, message->wParam,
                                   message->lParam);
}

// No MDI client exists yet, so no message is an MDI system key.
BOOL WINAPI TranslateMDISysAccel(HWND, LPMSG) { return FALSE; }

LONG WINAPI GetMessageTime(void) { return static_cast<LONG>(OwnQueue()->LastMessageTime()); }

DWORD WINAPI GetMessagePos(void) {
  POINT position = OwnQueue()->LastMessagePosition();
  return static_cast<DWORD>(MAKELONG(position.x, position.y));
}

UINT_PTR WINAPI SetTimer(HWND handle, UINT_PTR id, UINT interval, TIMERPROC procedure) {
  // A window timer belongs to the window's thread, which must be the caller.
  if (handle != nullptr && !kwplatform::LookUpOwnWindow(handle)) return 0;
  return OwnQueue()->SetTimer(handle, id, interval, procedure);
}

BOOL WINAPI KillTimer(HWND handle, UINT_PTR id) {
  if (handle != nullptr && !kwplatform::LookUpOwnWindow(handle)) return FALSE;
  return OwnQueue()->KillTimer(handle, id) ? TRUE : FALSE;
}

}  // extern "C"

namespace kwtesting {

PumpOutcome PumpMessages(const std::function<bool()>& until, int* quitCode) {
  std::shared_ptr<MessageQueue> queue = OwnQueue();
  for (;;) {
    if (until && until()) return PumpOutcome::ConditionMet;
    MSG message;
    // Wait only for what can still come: a timer or a watched descriptor.
    bool wait = until && queue->HasTimersOrWatches();
    if (!queue->Retrieve(&message, {}, true, wait)) return PumpOutcome::QueueEmpty;
    if (message.message == WM_QUIT) {
      if (quitCode != nullptr) *quitCode = static_cast<int>(message.wParam);
      return PumpOutcome::Quit;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

PumpOutcome StepMessage(int* quitCode) {
  MSG message;
  if (!OwnQueue()->Retrieve(&message, {}, true, false)) return PumpOutcome::QueueEmpty;
  if (message.message == WM_QUIT) {
    if (quitCode != nullptr) *quitCode = static_cast<int>(message.wParam);
    return PumpOutcome::Quit;
  }
  TranslateMessage(&message);
  DispatchMessageA(&message);
  return PumpOutcome::ConditionMet;
}

}  // namespace kwtesting
