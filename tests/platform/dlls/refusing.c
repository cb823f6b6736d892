/* An entry point that refuses the process attach; the detach that follows shows a message box
   so that the test can see it was called. */
#include <windows.h>

BOOL __stdcall DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reserved;
  if (reason == DLL_PROCESS_DETACH) MessageBoxA(NULL, "detached", "refusing", MB_OK);
  return reason != DLL_PROCESS_ATTACH;
}
