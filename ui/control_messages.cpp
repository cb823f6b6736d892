#include "ui/control_messages.h"

#include "ui/native_control_pane.h"

bool ForwardControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  NativeControlPane* pane = nullptr;
  switch (message) {
    case WM_DRAWITEM:
      pane = NativeControlPaneOf(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem);
      if (pane) *result = pane->ControlDrawItem(lParam);
      break;
    case WM_NOTIFY:
      pane = NativeControlPaneOf(reinterpret_cast<const NMHDR*>(lParam)->hwndFrom);
      if (pane) *result = pane->ControlNotify(lParam);
      break;
    case WM_COMMAND:
      // A menu or an accelerator sends no control window.
      if (lParam == 0) return false;
      pane = NativeControlPaneOf(reinterpret_cast<HWND>(lParam));
      if (pane) *result = pane->ControlCommand(HIWORD(wParam));
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      pane = NativeControlPaneOf(reinterpret_cast<HWND>(lParam));
      if (pane) *result = pane->ControlScroll(LOWORD(wParam));
      break;
    default:
      return false;
  }
  return pane != nullptr;
}
