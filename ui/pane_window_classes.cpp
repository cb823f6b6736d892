// The engine's window classes: "KWWindow" for top-level windows and "KW_Pane" for panes.
#include "loader/application_image.h"
#include "ui/control_messages.h"
#include "ui/mouse_message.h"
#include "ui/pane_painting.h"
#include "ui/pane_state.h"
#include "ui/pane_window_link.h"
#include "ui/window_view.h"

namespace {

constexpr UINT RedrawOnResize = 3;  // CS_VREDRAW | CS_HREDRAW

LRESULT CALLBACK WindowViewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Creation messages arrive before the view is linked and take the default handling.
  LRESULT result = 0;
  if (WindowView* view = WindowViewOfWindow(window); view && view->HandleMessage(message, wParam, lParam, &result))
    return result;
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK PaneProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (ForwardControlMessage(message, wParam, lParam, &result)) return result;
  Pane* pane = PaneOfWindow(window);
  if (pane == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  // Points arrive in the pane window's client coordinates; panes work in the top-level's.
  int32_t x = MessagePointX(lParam) + pane->bounds.left;
  int32_t y = MessagePointY(lParam) + pane->bounds.top;
  switch (message) {
    case WM_PAINT:
      PaintPane(pane);
      return 0;
    case WM_LBUTTONDOWN:
      pane->MouseDown(x, y, MessageModifiers(wParam));
      return 0;
    case WM_LBUTTONUP:
      if (Pane* capture = CapturePane()) {
        ReleasePaneCapture();
        capture->MouseUp(x, y);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterEngineClass(const char* name, WNDPROC procedure) {
  WNDCLASSA windowClass = {};
  windowClass.style = RedrawOnResize;
  windowClass.lpfnWndProc = procedure;
  windowClass.cbWndExtra = 4;  // the view or pane
  windowClass.hInstance = EngineInstance();
  windowClass.lpszClassName = name;
  RegisterClassA(&windowClass);
}

}  // namespace

void RegisterPaneWindowClasses() {
  RegisterEngineClass("KWWindow", WindowViewProcedure);
  RegisterEngineClass("KW_Pane", PaneProcedure);
}
