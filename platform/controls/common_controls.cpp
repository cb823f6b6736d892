// The common controls library's entry points.
#include "platform/win32.h"

// Registers the common control classes. None exist yet, so there is nothing to register; the
// call succeeds so that code written for Win32 runs unchanged.
extern "C" void WINAPI InitCommonControls(void) {}
