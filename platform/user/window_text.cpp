// Window texts through WM_SETTEXT and WM_GETTEXT, so that a control's procedure answers them.
#include "platform/user/window.h"

extern "C" {

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
  if (!kwplatform::LookUpWindow(window)) return FALSE;
  return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int WINAPI GetWindowTextA(HWND window, LPSTR buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = 0;
  if (!kwplatform::LookUpWindow(window)) return 0;
  return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int WINAPI GetWindowTextLengthA(HWND window) {
  if (!kwplatform::LookUpWindow(window)) return 0;
  return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
}

}  // extern "C"
