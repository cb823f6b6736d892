// Device input. An event waits in the message queue in arrival order with posted messages and
// is turned into its message only when the queue reaches it, so that hit testing, capture,
// activation and key state see what the messages before it did (a click after a press that
// took the capture goes to the capturing window).
#pragma once

#include "platform/win32.h"

namespace kwplatform {

struct InputEvent {
  enum class Kind { MouseMove, ButtonDown, ButtonUp, KeyDown, KeyUp };
  Kind kind = Kind::MouseMove;
  POINT point = {0, 0};  // mouse events: the screen position
  int button = 0;        // 0 left, 1 right, 2 middle
  int virtualKey = 0;    // key events
};

// Queues an event on the calling thread's message queue.
void QueueInput(const InputEvent& event);

// Applies an event to the cursor and key state, sends what goes with it (WM_SETCURSOR,
// WM_MOUSEACTIVATE and activation for presses), and gives the message it becomes; false when
// it becomes none (a click on no window, a click eaten by WM_MOUSEACTIVATE, a key with no
// window to go to).
bool CookInput(const InputEvent& event, MSG* message);

}  // namespace kwplatform
