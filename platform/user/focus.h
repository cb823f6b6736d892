// Focus, activation and mouse capture: the windows that receive keys, that are active and that
// receive every mouse message. One of each for the process (its windows live on one thread).
#pragma once

#include "platform/user/window.h"

namespace kwplatform {

HWND FocusWindow();
HWND ActiveWindow();
HWND CaptureWindow();

// Makes a top-level window (or none) the active window: the old one gets WM_NCACTIVATE and
// WM_ACTIVATE (WA_INACTIVE), the new one the same with its activation cause. The focus that
// is not inside the new active window afterwards is taken away. bringToTop raises the window.
void Activate(HWND window, bool bringToTop, bool byClick = false);

// Moves the focus with WM_KILLFOCUS to the old and WM_SETFOCUS to the new window; returns the
// previous focus.
HWND ChangeFocus(HWND window);

// A window being hidden or destroyed gives up what it holds: activation passes to another
// top-level window, the focus inside it goes to its parent (or nowhere), and when destroyed
// the capture inside it is released.
void WithdrawInput(const std::shared_ptr<Window>& window, bool destroying);

// Drops, without messages, every reference to a window whose handle is being freed.
void ForgetInputState(HWND window);

}  // namespace kwplatform
