// The Win32 interface the engine is written against. On a Windows compiler this is the system
// header itself; elsewhere it is the platform layer's own declaration of the same subset.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>
#else
#include "platform/win32_types.h"
#include "platform/win32_api.h"
#endif
