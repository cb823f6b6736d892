// Showing, hiding, moving and sizing windows, with the messages and repainting that go with it.
#pragma once

#include "platform/user/window.h"

namespace kwplatform {

// WM_SIZE with the client area's size; WM_MOVE with its origin (in the parent's client
// coordinates, or on the screen for a top-level window).
void SendSizeMessage(const std::shared_ptr<Window>& window);
void SendMoveMessage(const std::shared_ptr<Window>& window);

// ShowWindow's work for a live window: SW_HIDE hides, every other command shows; showing a
// top-level window with an activating command also activates it. Returns the previous
// visibility (WS_VISIBLE of the window itself).
bool ShowWindowAs(const std::shared_ptr<Window>& window, int command);

// Hides a window being destroyed: no WM_SHOWWINDOW, and what it covered is repainted.
void HideWithoutNotice(const std::shared_ptr<Window>& window);

}  // namespace kwplatform
