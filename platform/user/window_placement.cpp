#include "platform/user/window_placement.h"

#include <algorithm>

#include "platform/user/focus.h"
#include "platform/user/painting.h"
#include "platform/user/window_geometry.h"
#include "platform/user/window_surfaces.h"

namespace kwplatform {

namespace {

// Commands that show a window without activating it.
bool Activates(int command) {
  return command != SW_SHOWNOACTIVATE && command != SW_SHOWNA && command != SW_SHOWMINNOACTIVE &&
         command != SW_MINIMIZE;
}

}  // namespace

void SendSizeMessage(const std::shared_ptr<Window>& window) {
  RECT client = ClientRectangle(*window);
  SendToWindow(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

void SendMoveMessage(const std::shared_ptr<Window>& window) {
  RECT client = ClientRectangleInParent(*window);
  SendToWindow(window, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
}

bool ShowWindowAs(const std::shared_ptr<Window>& window, int command) {
  bool wasShown = (window->style & WS_VISIBLE) != 0;
  bool show = command != SW_HIDE;
  if (wasShown != show) {
    // WM_SHOWWINDOW comes before the change takes effect.
    SendToWindow(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (window->stage != WindowStage::Alive) return wasShown;
    bool wasVisible = IsVisible(*window);
    if (show) {
      window->style |= WS_VISIBLE;
    } else {
      window->style &= ~WS_VISIBLE;
      if (wasVisible) InvalidateUnder(*window);
      WithdrawInput(window, false);
    }
  }
  // A window that appears needs its frame and its whole client area painted and erased. The
  // frame is drawn once: by the activation's WM_NCACTIVATE when there is one, else here.
  if (show && !wasShown && IsVisible(*window)) {
    window->frameDirty = true;
    InvalidateClient(window, nullptr, true);
  }
  if (show && window->parent == nullptr && Activates(command) && IsEnabled(*window)) Activate(window->handle, true);
  if (window->frameDirty && window->stage == WindowStage::Alive) RedrawFrame(window);
  return wasShown;
}

void HideWithoutNotice(const std::shared_ptr<Window>& window) {
  bool wasVisible = IsVisible(*window);
  window->style &= ~WS_VISIBLE;
  if (wasVisible) InvalidateUnder(*window);
}

}  // namespace kwplatform

using kwplatform::LookUpOwnWindow;
using kwplatform::LookUpWindow;

extern "C" {

BOOL WINAPI ShowWindow(HWND handle, int command) {
  std::shared_ptr<kwplatform::Window> window = LookUpOwnWindow(handle);
  if (!window || window->messageOnly || window->stage != kwplatform::WindowStage::Alive) return FALSE;
  return kwplatform::ShowWindowAs(window, command) ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND handle) {
  std::shared_ptr<kwplatform::Window> window = LookUpWindow(handle);
  return window && kwplatform::IsVisible(*window) ? TRUE : FALSE;
}

BOOL WINAPI MoveWindow(HWND handle, int x, int y, int width, int height, BOOL repaint) {
  std::shared_ptr<kwplatform::Window> window = LookUpOwnWindow(handle);
  if (!window || window->stage != kwplatform::WindowStage::Alive) return FALSE;
  RECT previous = window->rectangle;
  RECT next = {x, y, x + std::max(width, 0), y + std::max(height, 0)};
  bool moved = next.left != previous.left || next.top != previous.top;
  bool sized = next.right - next.left != previous.right - previous.left ||
               next.bottom - next.top != previous.bottom - previous.top;
  if (!moved && !sized) return TRUE;
  bool visible = kwplatform::IsVisible(*window);
  // The parent repaints where the window was.
  if (visible && repaint) kwplatform::InvalidateUnder(*window);
  window->rectangle = next;
  if (sized) kwplatform::FitSurfaceAndUpdateRegion(*window);
  if (visible) {
    // The frame is redrawn whenever the size changes, so that it stays whole; the client area
    // only on request.
    if (repaint || sized) kwplatform::RedrawFrame(window);
    if (repaint) kwplatform::InvalidateClient(window, nullptr, true);
  }
  if (moved) kwplatform::SendMoveMessage(window);
  if (sized && window->stage == kwplatform::WindowStage::Alive) kwplatform::SendSizeMessage(window);
  return TRUE;
}

}  // extern "C"
