// Declarations of the Win32 subset's functions for builds without the Windows headers.
#pragma once

#include "platform/win32_functions.h"

extern "C" {
#define KW_WIN32_DECLARE_FUNCTION(ret, name, params) ret WINAPI name params;
KW_WIN32_FUNCTIONS(KW_WIN32_DECLARE_FUNCTION)
#undef KW_WIN32_DECLARE_FUNCTION

// Declared apart: the no-return attribute is not part of a function's type.
__attribute__((noreturn)) void WINAPI ExitProcess(UINT uExitCode);

// The engine's entry, called by the platform's process entry.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nShowCmd);
}
