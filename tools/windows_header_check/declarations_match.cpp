// Compiled with the MinGW cross compiler against the real Windows headers: every function,
// constant and structure size the platform layer declares must be exactly Win32's.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <type_traits>

#include "platform/win32_constants.h"
#include "platform/win32_functions.h"

#define KW_CHECK_FUNCTION(ret, name, params)                                \
  static_assert(std::is_same_v<decltype(&::name), ret(WINAPI*) params>, \
                #name " is declared as in Win32");
KW_WIN32_FUNCTIONS(KW_CHECK_FUNCTION)

static_assert(std::is_same_v<decltype(&::ExitProcess), void(WINAPI*)(UINT)>);
static_assert(std::is_same_v<decltype(&::WinMain), int(WINAPI*)(HINSTANCE, HINSTANCE, LPSTR, int)>);

#define KW_CHECK_CONSTANT(type, name, value) \
  static_assert(static_cast<type>(name) == static_cast<type>(value), #name " has the Win32 value");
KW_WIN32_CONSTANTS(KW_CHECK_CONSTANT)

#define KW_CHECK_SIZE(type, size) static_assert(sizeof(type) == size, #type " has the Win32 size");
KW_WIN32_STRUCTURE_SIZES(KW_CHECK_SIZE)
