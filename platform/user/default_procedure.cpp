// The default window procedure: what a window does with the messages its own procedure passes on.
#include <algorithm>
#include <cstring>

#include "platform/user/focus.h"
#include "platform/user/frame_painting.h"
#include "platform/user/hit_testing.h"
#include "platform/user/painting.h"
#include "platform/user/window.h"

namespace {

using kwplatform::Window;

// Signed coordinates packed in a message parameter.
POINT PointFromParameter(LPARAM parameter) {
  return POINT{static_cast<short>(LOWORD(parameter)), static_cast<short>(HIWORD(parameter))};
}

// The highest system colour index.
constexpr uintptr_t LastSystemColour = 30;

// Fills the part to repaint with the class brush; a small brush value names the system colour
// one below it (COLOR_APPWORKSPACE + 1 for an MDI frame).
LRESULT EraseWithClassBrush(const Window& window, HDC dc) {
  HBRUSH brush = window.windowClass->background;
  if (brush == nullptr || dc == nullptr) return 0;
  uintptr_t value = reinterpret_cast<uintptr_t>(brush);
  if (value <= LastSystemColour + 1) brush = GetSysColorBrush(static_cast<int>(value) - 1);
  RECT area;
  if (GetClipBox(dc, &area) == 0) return 0;  // no clip box: nothing to fill
  FillRect(dc, &area, brush);
  return 1;
}

bool IsButtonPress(UINT message) {
  return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

LRESULT SetCursorByDefault(const std::shared_ptr<Window>& window, WPARAM wParam, LPARAM lParam) {
  // A child lets its parent choose first.
  if (window->parent != nullptr && SendMessageA(window->parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
  int hit = static_cast<short>(LOWORD(lParam));
  if (hit == HTERROR) {
    if (IsButtonPress(HIWORD(lParam))) MessageBeep(0);
    return FALSE;
  }
  if (hit == HTCLIENT) {
    if (window->windowClass->cursor == nullptr) return FALSE;
    SetCursor(window->windowClass->cursor);
    return TRUE;
  }
  if (hit == HTNOWHERE) return FALSE;
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  return TRUE;
}

}  // namespace

extern "C" LRESULT WINAPI DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<Window> window = kwplatform::LookUpOwnWindow(handle);
  if (!window) return 0;
  switch (message) {
    case WM_NCCREATE: {
      // The window's text comes from here: a procedure that handles WM_NCCREATE alone gets none.
      auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      if (creation != nullptr && creation->lpszName != nullptr && !IS_INTRESOURCE(creation->lpszName))
        window->text = creation->lpszName;
      return TRUE;
    }
    case WM_CLOSE:
      DestroyWindow(handle);
      return 0;
    case WM_SETTEXT:
      window->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      if ((window->style & WS_CAPTION) == WS_CAPTION) kwplatform::RedrawFrame(window);
      return TRUE;
    case WM_GETTEXT: {
      // wParam is the buffer's size with room for the terminating zero; the result is the count copied.
      if (wParam == 0 || lParam == 0) return 0;
      size_t count = std::min<size_t>(window->text.size(), wParam - 1);
      memcpy(reinterpret_cast<char*>(lParam), window->text.data(), count);
      reinterpret_cast<char*>(lParam)[count] = 0;
      return static_cast<LRESULT>(count);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(window->text.size());
    case WM_PAINT: {
      PAINTSTRUCT paint;
      if (BeginPaint(handle, &paint)) EndPaint(handle, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return EraseWithClassBrush(*window, reinterpret_cast<HDC>(wParam));
    case WM_NCPAINT:
      kwplatform::PaintFrame(window);
      return 0;
    case WM_NCACTIVATE:
      window->captionActive = wParam != FALSE;
      kwplatform::RedrawFrame(window);
      return TRUE;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) SetFocus(handle);
      return 0;
    case WM_SETCURSOR:
      return SetCursorByDefault(window, wParam, lParam);
    case WM_MOUSEACTIVATE:
      // A child lets its parent decide.
      if (window->parent != nullptr)
        if (LRESULT answer = SendMessageA(window->parent, WM_MOUSEACTIVATE, wParam, lParam)) return answer;
      return MA_ACTIVATE;
    case WM_NCHITTEST:
      return kwplatform::HitTestParts(*window, PointFromParameter(lParam));
    case WM_NCLBUTTONUP:
      // Releasing the button on the close box closes the window.
      if (wParam == HTCLOSE) SendMessageA(handle, WM_SYSCOMMAND, SC_CLOSE, lParam);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(handle, WM_CLOSE, 0, 0);
      return 0;
    case WM_CANCELMODE:
      if (GetCapture() == handle) ReleaseCapture();
      return 0;
    default:
      return 0;
  }
}
