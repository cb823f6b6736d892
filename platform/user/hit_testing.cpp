#include "platform/user/hit_testing.h"

#include "platform/user/message_queue.h"
#include "platform/user/window_geometry.h"

namespace kwplatform {

namespace {

bool Inside(const RECT& rectangle, POINT point) {
  return point.x >= rectangle.left && point.x < rectangle.right && point.y >= rectangle.top &&
         point.y < rectangle.bottom;
}

RECT WindowRectangleOnScreen(const Window& window) {
  POINT origin = WindowOriginOnScreen(window);
  return RECT{origin.x, origin.y, origin.x + WindowWidth(window), origin.y + WindowHeight(window)};
}

// WM_NCHITTEST for the calling thread's windows; another thread's window is not asked (its
// procedure runs only on its own thread) and answers by the default rules.
int AskHitTest(const std::shared_ptr<Window>& window, POINT screen) {
  if (!window->queue->OwnedByCurrentThread()) return HitTestParts(*window, screen);
  return static_cast<int>(SendToWindow(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)));
}

}  // namespace

int HitTestParts(const Window& window, POINT screen) {
  RECT bounds = WindowRectangleOnScreen(window);
  if (!Inside(bounds, screen)) return HTNOWHERE;
  POINT client = ClientOriginOnScreen(window);
  RECT clientArea = OffsetRectangle(ClientRectangle(window), client.x, client.y);
  if (Inside(clientArea, screen)) return HTCLIENT;
  POINT local = {screen.x - bounds.left, screen.y - bounds.top};
  FrameLayout layout = LayOutFrame(window);
  if (Inside(layout.closeBox, local)) return HTCLOSE;
  if (Inside(layout.caption, local)) return HTCAPTION;
  if (Inside(layout.menuBar, local)) return HTMENU;
  return HTBORDER;
}

HitTarget FindMouseTarget(POINT screen) {
  for (HWND top : TopLevelWindows()) {
    std::shared_ptr<Window> window = LookUpWindow(top);
    if (!window || window->stage != WindowStage::Alive || !IsVisible(*window) ||
        !Inside(WindowRectangleOnScreen(*window), screen))
      continue;
    if (!IsEnabled(*window)) return {top, HTERROR};
    int code = AskHitTest(window, screen);
    if (code == HTTRANSPARENT) continue;
    // Descend into the children under the point, top of the z-order first.
    while (code == HTCLIENT) {
      std::shared_ptr<Window> hit;
      int hitCode = HTNOWHERE;
      for (HWND child : ChildrenOf(window->handle)) {
        std::shared_ptr<Window> candidate = LookUpWindow(child);
        if (!candidate || candidate->stage != WindowStage::Alive || !(candidate->style & WS_VISIBLE) ||
            !Inside(WindowRectangleOnScreen(*candidate), screen))
          continue;
        // A disabled child keeps the point for its parent.
        if (!IsEnabled(*candidate)) break;
        int candidateCode = AskHitTest(candidate, screen);
        if (candidateCode == HTTRANSPARENT) continue;
        hit = candidate;
        hitCode = candidateCode;
        break;
      }
      if (!hit) break;
      window = hit;
      code = hitCode;
    }
    return {window->handle, code};
  }
  return {nullptr, HTNOWHERE};
}

}  // namespace kwplatform

extern "C" HWND WINAPI WindowFromPoint(POINT point) { return kwplatform::FindMouseTarget(point).window; }
