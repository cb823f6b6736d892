#include "ui/window_view.h"

#include "loader/application_image.h"
#include "ui/control_messages.h"
#include "ui/mouse_message.h"
#include "ui/pane_painting.h"
#include "ui/pane_state.h"
#include "ui/pane_window_link.h"
#include "ui/tab_order.h"

namespace {

constexpr UINT ClientHitCode = 1;  // HTCLIENT

}  // namespace

WindowView::WindowView(const char* title, DWORD style, DWORD extendedStyle, int32_t x, int32_t y, int32_t width,
                       int32_t height)
    : ContainerPane({nullptr, {0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)}, title, "", 0, 0}) {
  RECT frame = {x, y, x + width, y + height};
  AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
  handle = CreateWindowExA(extendedStyle, "KWWindow", title ? title : "", style, frame.left, frame.top,
                           frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, EngineInstance(),
                           nullptr);
  if (handle) LinkWindowToPane(handle, this);
}

WindowView::~WindowView() = default;

void WindowView::CloseView() {
  HWND window = handle;
  Close();
  if (window) DestroyWindow(window);
}

bool WindowView::MouseDown(int32_t x, int32_t y, int32_t modifiers) {
  return MouseDownFromParent(x, y, modifiers);
}

void WindowView::Activate() {
  active = true;
  MakeDrawingTarget(this);
  for (Pane* child = firstChild; child; child = child->nextSibling) child->Notify(WindowActivatedNotification);
  if (rememberedFocus && rememberedFocus->IsShown()) {
    ChangeFocus(rememberedFocus);
    return;
  }
  for (Pane* child = firstChild; child; child = child->nextSibling) {
    if (PaneTakesFocus(child)) {
      ChangeFocus(child);
      return;
    }
  }
  ChangeFocus(this);
}

void WindowView::Deactivate() {
  if (FocusedPane() && WindowViewOf(FocusedPane()) == this) ChangeFocus(nullptr);
  active = false;
  for (Pane* child = firstChild; child; child = child->nextSibling) child->Notify(WindowDeactivatedNotification);
}

bool WindowView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = 0;
  if (ForwardControlMessage(message, wParam, lParam, result)) return true;
  switch (message) {
    case WM_PAINT:
      PaintPane(this);
      return true;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(handle, &client);
      HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
      FillRect(reinterpret_cast<HDC>(wParam), &client, face);
      DeleteObject(face);
      *result = 1;
      return true;
    }
    case WM_CLOSE:
      // Language windows ask first; a plain view closes at once.
      CloseView();
      return true;
    case WM_DESTROY:
      // Destroyed from outside (with its owner, say): the view keeps no stale handle.
      LinkWindowToPane(handle, nullptr);
      handle = nullptr;
      return false;
    case WM_ACTIVATE:
      if (LOWORD(wParam))
        Activate();
      else
        Deactivate();
      return false;
    case WM_SETCURSOR: {
      if (LOWORD(lParam) != ClientHitCode) return false;
      POINT point;
      GetCursorPos(&point);
      ScreenToClient(handle, &point);
      Pane* chooser = CapturePane() ? CapturePane() : this;
      if (!chooser->SetCursorAt(point.x, point.y)) ::SetCursor(LoadCursorA(nullptr, IDC_ARROW));
      *result = TRUE;
      return true;
    }
    case WM_LBUTTONDOWN:
      MouseDown(MessagePointX(lParam), MessagePointY(lParam), MessageModifiers(wParam));
      return true;
    case WM_LBUTTONUP:
      if (Pane* capture = CapturePane()) {
        ReleasePaneCapture();
        capture->MouseUp(MessagePointX(lParam), MessagePointY(lParam));
      }
      return true;
    default:
      return false;
  }
}

WindowView* WindowViewOf(Pane* pane) { return pane ? dynamic_cast<WindowView*>(pane->TopLevel()) : nullptr; }

WindowView* WindowViewOfWindow(HWND window) { return dynamic_cast<WindowView*>(PaneOfWindow(window)); }
