#include "platform/user/window_geometry.h"

#include <algorithm>

namespace kwplatform {

namespace {

int FrameWidth(DWORD style, DWORD exStyle) {
  if (style & WS_THICKFRAME) return SizingFrameWidth;
  if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) return DialogFrameWidth;
  if (style & WS_BORDER) return BorderWidth;
  return 0;
}

int EdgeWidth(DWORD exStyle) {
  return ((exStyle & WS_EX_CLIENTEDGE) ? ClientEdgeWidth : 0) + ((exStyle & WS_EX_STATICEDGE) ? StaticEdgeWidth : 0);
}

bool HasCaption(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION; }

}  // namespace

RECT NonClientInsets(DWORD style, DWORD exStyle, bool menuBar) {
  int side = FrameWidth(style, exStyle) + EdgeWidth(exStyle);
  int top = side + (HasCaption(style) ? CaptionHeight : 0) + (menuBar ? MenuBarHeight : 0);
  return RECT{side, top, side, side};
}

bool HasMenuBar(const Window& window) { return window.parent == nullptr && window.menu != nullptr; }

RECT NonClientInsets(const Window& window) { return NonClientInsets(window.style, window.exStyle, HasMenuBar(window)); }

FrameLayout LayOutFrame(const Window& window) {
  FrameLayout layout = {};
  layout.insets = NonClientInsets(window);
  layout.frame = FrameWidth(window.style, window.exStyle);
  layout.edge = EdgeWidth(window.exStyle);
  int width = WindowWidth(window);
  int top = layout.frame;
  if (HasCaption(window.style)) {
    layout.caption = RECT{layout.frame, top, width - layout.frame, top + CaptionHeight - 1};
    if (window.style & WS_SYSMENU) {
      int right = layout.caption.right - 2;
      int boxTop = layout.caption.top + (CaptionHeight - 1 - CaptionButtonHeight) / 2;
      layout.closeBox = RECT{right - CaptionButtonWidth, boxTop, right, boxTop + CaptionButtonHeight};
    }
    top += CaptionHeight;
  }
  if (HasMenuBar(window)) layout.menuBar = RECT{layout.frame, top, width - layout.frame, top + MenuBarHeight};
  return layout;
}

int WindowWidth(const Window& window) { return std::max<int>(0, window.rectangle.right - window.rectangle.left); }
int WindowHeight(const Window& window) { return std::max<int>(0, window.rectangle.bottom - window.rectangle.top); }

RECT ClientRectangle(const Window& window) {
  RECT insets = NonClientInsets(window);
  // A window smaller than its frame has an empty client area at the frame's inner corner.
  return RECT{0, 0, std::max<int>(0, WindowWidth(window) - insets.left - insets.right),
              std::max<int>(0, WindowHeight(window) - insets.top - insets.bottom)};
}

RECT ClientRectangleInParent(const Window& window) {
  RECT insets = NonClientInsets(window);
  RECT client = ClientRectangle(window);
  return OffsetRectangle(client, window.rectangle.left + insets.left, window.rectangle.top + insets.top);
}

POINT WindowOriginOnScreen(const Window& window) {
  POINT origin = {window.rectangle.left, window.rectangle.top};
  if (window.parent != nullptr)
    if (std::shared_ptr<Window> parent = LookUpWindow(window.parent)) {
      POINT parentClient = ClientOriginOnScreen(*parent);
      origin.x += parentClient.x;
      origin.y += parentClient.y;
    }
  return origin;
}

POINT ClientOriginOnScreen(const Window& window) {
  POINT origin = WindowOriginOnScreen(window);
  RECT insets = NonClientInsets(window);
  return POINT{origin.x + insets.left, origin.y + insets.top};
}

POINT WindowOriginInTopLevel(const Window& window) {
  if (window.parent == nullptr) return POINT{0, 0};
  std::shared_ptr<Window> parent = LookUpWindow(window.parent);
  if (!parent) return POINT{0, 0};
  POINT parentClient = ClientOriginInTopLevel(*parent);
  return POINT{parentClient.x + window.rectangle.left, parentClient.y + window.rectangle.top};
}

POINT ClientOriginInTopLevel(const Window& window) {
  POINT origin = WindowOriginInTopLevel(window);
  RECT insets = NonClientInsets(window);
  return POINT{origin.x + insets.left, origin.y + insets.top};
}

RECT OffsetRectangle(RECT rectangle, int dx, int dy) {
  return RECT{rectangle.left + dx, rectangle.top + dy, rectangle.right + dx, rectangle.bottom + dy};
}

}  // namespace kwplatform

using kwplatform::LookUpWindow;

extern "C" {

BOOL WINAPI AdjustWindowRectEx(LPRECT rectangle, DWORD style, BOOL menu, DWORD exStyle) {
  if (rectangle == nullptr) return FALSE;
  RECT insets = kwplatform::NonClientInsets(style, exStyle, menu != FALSE);
  rectangle->left -= insets.left;
  rectangle->top -= insets.top;
  rectangle->right += insets.right;
  rectangle->bottom += insets.bottom;
  return TRUE;
}

BOOL WINAPI AdjustWindowRect(LPRECT rectangle, DWORD style, BOOL menu) {
  return AdjustWindowRectEx(rectangle, style, menu, 0);
}

BOOL WINAPI GetClientRect(HWND handle, LPRECT rectangle) {
  std::shared_ptr<kwplatform::Window> window = LookUpWindow(handle);
  if (!window || rectangle == nullptr) return FALSE;
  *rectangle = kwplatform::ClientRectangle(*window);
  return TRUE;
}

BOOL WINAPI GetWindowRect(HWND handle, LPRECT rectangle) {
  std::shared_ptr<kwplatform::Window> window = LookUpWindow(handle);
  if (!window || rectangle == nullptr) return FALSE;
  POINT origin = kwplatform::WindowOriginOnScreen(*window);
  *rectangle = RECT{origin.x, origin.y, origin.x + kwplatform::WindowWidth(*window),
                    origin.y + kwplatform::WindowHeight(*window)};
  return TRUE;
}

BOOL WINAPI ClientToScreen(HWND handle, LPPOINT point) {
  std::shared_ptr<kwplatform::Window> window = LookUpWindow(handle);
  if (!window || point == nullptr) return FALSE;
  POINT origin = kwplatform::ClientOriginOnScreen(*window);
  point->x += origin.x;
  point->y += origin.y;
  return TRUE;
}

BOOL WINAPI ScreenToClient(HWND handle, LPPOINT point) {
  std::shared_ptr<kwplatform::Window> window = LookUpWindow(handle);
  if (!window || point == nullptr) return FALSE;
  POINT origin = kwplatform::ClientOriginOnScreen(*window);
  point->x -= origin.x;
  point->y -= origin.y;
  return TRUE;
}

int WINAPI MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
  // A null window stands for the screen.
  POINT fromOrigin = {0, 0};
  POINT toOrigin = {0, 0};
  if (from != nullptr) {
    std::shared_ptr<kwplatform::Window> window = LookUpWindow(from);
    if (!window) return 0;
    fromOrigin = kwplatform::ClientOriginOnScreen(*window);
  }
  if (to != nullptr) {
    std::shared_ptr<kwplatform::Window> window = LookUpWindow(to);
    if (!window) return 0;
    toOrigin = kwplatform::ClientOriginOnScreen(*window);
  }
  int dx = fromOrigin.x - toOrigin.x;
  int dy = fromOrigin.y - toOrigin.y;
  if (points != nullptr)
    for (UINT index = 0; index < count; index++) {
      points[index].x += dx;
      points[index].y += dy;
    }
  // The offsets in the low and high words; 0 is also the failure value, as in Win32.
  return MAKELONG(dx, dy);
}

}  // extern "C"
