#include "platform/user/painting.h"

#include <cstring>

#include "platform/display/window_drawing.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_geometry.h"
#include "platform/user/window_placement.h"
#include "platform/user/window_surfaces.h"

namespace kwplatform {

namespace {

bool NeedsPaint(const Window& window) {
  return window.stage == WindowStage::Alive && (!window.updateRegion.IsEmpty() || window.frameDirty) &&
         IsVisible(window);
}

bool HasFrame(const Window& window) {
  RECT insets = NonClientInsets(window);
  return insets.left != 0 || insets.top != 0 || insets.right != 0 || insets.bottom != 0;
}

HWND FindInTree(HWND handle, const std::function<bool(HWND)>& accepts) {
  std::shared_ptr<Window> window = LookUpWindow(handle);
  if (!window || !IsVisible(*window)) return nullptr;
  if (NeedsPaint(*window) && accepts(handle)) return handle;
  std::vector<HWND> children = ChildrenOf(handle);
  for (auto child = children.rbegin(); child != children.rend(); ++child)
    if (HWND found = FindInTree(*child, accepts)) return found;
  return nullptr;
}

// Paints a window and then its children at once, as the queue would.
void PaintTreeNow(HWND handle) {
  std::shared_ptr<Window> window = LookUpOwnWindow(handle);
  if (!window || !IsVisible(*window)) return;
  if (NeedsPaint(*window)) DeliverPaint(window);
  std::vector<HWND> children = ChildrenOf(handle);
  for (auto child = children.rbegin(); child != children.rend(); ++child) PaintTreeNow(*child);
}

HDC OpenDC(const std::shared_ptr<Window>& window, bool wholeWindow, const Region* within) {
  std::shared_ptr<Window> top = TopLevelOf(window->handle);
  if (!top) return nullptr;
  POINT origin = wholeWindow ? WindowOriginInTopLevel(*window) : ClientOriginInTopLevel(*window);
  Region clip = VisibleRegion(*window, wholeWindow);
  if (within != nullptr) {
    Region limit = *within;
    limit.Offset(origin.x, origin.y);
    clip.IntersectWith(limit);
  }
  std::shared_ptr<Surface> surface = SurfaceOf(*top);
  // A window larger than its surface draws only on the surface.
  clip.IntersectWith(RECT{0, 0, surface->width, surface->height});
  return OpenWindowDC(window->handle, surface, origin, clip);
}

}  // namespace

void InvalidateClient(const std::shared_ptr<Window>& window, const RECT* rectangle, bool erase) {
  if (window->stage == WindowStage::Destroyed || !IsVisible(*window)) return;
  RECT client = ClientRectangle(*window);
  RECT area = rectangle ? IntersectRectangles(*rectangle, client) : client;
  if (RectangleIsEmpty(area)) return;
  window->updateRegion.Add(area);
  if (erase) window->erasePending = true;
  if (window->style & WS_CLIPCHILDREN) return;
  for (HWND handle : ChildrenOf(window->handle)) {
    std::shared_ptr<Window> child = LookUpWindow(handle);
    if (!child || !(child->style & WS_VISIBLE)) continue;
    // The rectangle in the child's window coordinates, then in its client coordinates.
    RECT overlap = IntersectRectangles(OffsetRectangle(area, -child->rectangle.left, -child->rectangle.top),
                                       RECT{0, 0, WindowWidth(*child), WindowHeight(*child)});
    if (RectangleIsEmpty(overlap)) continue;
    RECT insets = NonClientInsets(*child);
    RECT clientInWindow = OffsetRectangle(ClientRectangle(*child), insets.left, insets.top);
    // Over the child's frame: the frame repaints too.
    RECT overClient = IntersectRectangles(overlap, clientInWindow);
    if (memcmp(&overClient, &overlap, sizeof overlap) != 0) child->frameDirty = true;
    RECT inClient = OffsetRectangle(overlap, -insets.left, -insets.top);
    InvalidateClient(child, &inClient, erase);
  }
}

void InvalidateUnder(const Window& window) {
  if (window.parent == nullptr) return;
  std::shared_ptr<Window> parent = LookUpWindow(window.parent);
  if (parent) InvalidateClient(parent, &window.rectangle, true);
}

void RedrawFrame(const std::shared_ptr<Window>& window) {
  window->frameDirty = false;
  if (window->stage == WindowStage::Alive && IsVisible(*window) && HasFrame(*window))
    SendToWindow(window, WM_NCPAINT, 1, 0);
}

HWND FindWindowToPaint(const MessageQueue* queue, const std::function<bool(HWND)>& accepts) {
  for (HWND top : TopLevelWindows()) {
    std::shared_ptr<Window> window = LookUpWindow(top);
    if (!window || window->queue.get() != queue) continue;
    if (HWND found = FindInTree(top, accepts)) return found;
  }
  return nullptr;
}

LRESULT DeliverPaint(const std::shared_ptr<Window>& window) {
  unsigned paintsBefore = window->paintsBegun;
  LRESULT result = SendToWindow(window, WM_PAINT, 0, 0);
  if (window->paintsBegun == paintsBefore && window->stage == WindowStage::Alive) Validate(*window);
  return result;
}

void Validate(Window& window) {
  window.updateRegion.Clear();
  window.erasePending = false;
  window.frameDirty = false;
}

}  // namespace kwplatform

using kwplatform::LookUpOwnWindow;
using kwplatform::LookUpWindow;
using kwplatform::Window;

extern "C" {

BOOL WINAPI InvalidateRect(HWND handle, const RECT* rectangle, BOOL erase) {
  if (handle == nullptr) {
    // No window: every window of the calling thread.
    for (HWND top : kwplatform::TopLevelWindows())
      if (std::shared_ptr<Window> window = LookUpOwnWindow(top)) kwplatform::InvalidateClient(window, nullptr, erase);
    return TRUE;
  }
  std::shared_ptr<Window> window = LookUpOwnWindow(handle);
  if (!window) return FALSE;
  kwplatform::InvalidateClient(window, rectangle, erase != FALSE);
  return TRUE;
}

BOOL WINAPI ValidateRect(HWND handle, const RECT* rectangle) {
  std::shared_ptr<Window> window = LookUpOwnWindow(handle);
  if (!window) return FALSE;
  if (rectangle == nullptr) {
    kwplatform::Validate(*window);
  } else {
    window->updateRegion.Subtract(*rectangle);
    if (window->updateRegion.IsEmpty()) window->erasePending = false;
  }
  return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND handle, LPRECT rectangle, BOOL erase) {
  std::shared_ptr<Window> window = LookUpWindow(handle);
  if (!window) return FALSE;
  if (rectangle != nullptr) *rectangle = window->updateRegion.Bounds();
  if (window->updateRegion.IsEmpty()) return FALSE;
  // Asked to, a pending erase happens now, inside the update region, which stays pending.
  if (erase && window->erasePending && window->queue->OwnedByCurrentThread()) {
    window->erasePending = false;
    if (HDC dc = kwplatform::OpenDC(window, false, &window->updateRegion)) {
      kwplatform::SendToWindow(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      kwplatform::CloseWindowDC(dc);
    }
  }
  return TRUE;
}

BOOL WINAPI UpdateWindow(HWND handle) {
  if (!LookUpOwnWindow(handle)) return FALSE;
  kwplatform::PaintTreeNow(handle);
  return TRUE;
}

HDC WINAPI BeginPaint(HWND handle, LPPAINTSTRUCT paint) {
  std::shared_ptr<Window> window = LookUpOwnWindow(handle);
  if (!window || paint == nullptr || window->stage == kwplatform::WindowStage::Destroyed) return nullptr;
  window->paintsBegun++;
  if (window->frameDirty) kwplatform::RedrawFrame(window);
  // The update region is taken and validated; the DC draws only inside it.
  kwplatform::Region region = window->updateRegion;
  bool erase = window->erasePending;
  window->updateRegion.Clear();
  window->erasePending = false;
  HDC dc = kwplatform::OpenDC(window, false, &region);
  if (dc == nullptr) return nullptr;
  *paint = PAINTSTRUCT{};
  paint->hdc = dc;
  paint->rcPaint = region.Bounds();
  // fErase asks the caller to erase: WM_ERASEBKGND was due and left it undone.
  if (erase) paint->fErase = kwplatform::SendToWindow(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
  return dc;
}

BOOL WINAPI EndPaint(HWND handle, const PAINTSTRUCT* paint) {
  if (paint == nullptr || paint->hdc == nullptr || kwplatform::WindowOfDC(paint->hdc) != handle) return FALSE;
  return kwplatform::CloseWindowDC(paint->hdc) ? TRUE : FALSE;
}

HDC WINAPI GetDC(HWND handle) {
  if (handle == nullptr) {
    std::shared_ptr<kwplatform::Surface> screen = kwplatform::ComposeScreen();
    return kwplatform::OpenWindowDC(nullptr, screen, POINT{0, 0}, kwplatform::Region(RECT{0, 0, screen->width, screen->height}));
  }
  std::shared_ptr<Window> window = LookUpOwnWindow(handle);
  if (!window || window->stage == kwplatform::WindowStage::Destroyed) return nullptr;
  return kwplatform::OpenDC(window, false, nullptr);
}

HDC WINAPI GetWindowDC(HWND handle) {
  if (handle == nullptr) return GetDC(nullptr);
  std::shared_ptr<Window> window = LookUpOwnWindow(handle);
  if (!window || window->stage == kwplatform::WindowStage::Destroyed) return nullptr;
  return kwplatform::OpenDC(window, true, nullptr);
}

int WINAPI ReleaseDC(HWND handle, HDC dc) {
  if (dc == nullptr || kwplatform::WindowOfDC(dc) != handle) return 0;
  return kwplatform::CloseWindowDC(dc) ? 1 : 0;
}

HWND WINAPI WindowFromDC(HDC dc) { return kwplatform::WindowOfDC(dc); }

}  // extern "C"
