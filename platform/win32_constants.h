// Lists of the constants and structure sizes of the Win32 subset; macro definitions only.
#pragma once

// Constants as (type, name, value). The Windows header check compares every value with the
// real headers, so a wrong number here fails the build there.
#define KW_WIN32_CONSTANTS(X)                  \
  X(LCID, LOCALE_SYSTEM_DEFAULT, 0x0800)       \
  X(LCID, LOCALE_USER_DEFAULT, 0x0400)         \
  X(DWORD, DATE_SHORTDATE, 0x00000001)         \
  X(DWORD, DATE_LONGDATE, 0x00000002)          \
  X(DWORD, TIME_NOMINUTESORSECONDS, 0x00000001) \
  X(DWORD, TIME_NOSECONDS, 0x00000002)         \
  X(DWORD, TIME_NOTIMEMARKER, 0x00000004)      \
  X(DWORD, TIME_FORCE24HOURFORMAT, 0x00000008) \
  X(DWORD, NORM_IGNORECASE, 0x00000001)        \
  X(DWORD, NORM_IGNORENONSPACE, 0x00000002)    \
  X(DWORD, NORM_IGNORESYMBOLS, 0x00000004)     \
  X(DWORD, NORM_IGNOREKANATYPE, 0x00010000)    \
  X(DWORD, NORM_IGNOREWIDTH, 0x00020000)       \
  X(DWORD, SORT_STRINGSORT, 0x00001000)        \
  X(int, CSTR_LESS_THAN, 1)                    \
  X(int, CSTR_EQUAL, 2)                        \
  X(int, CSTR_GREATER_THAN, 3)                 \
  X(UINT, CP_ACP, 0)                           \
  X(DWORD, CT_CTYPE1, 0x00000001)              \
  X(WORD, C1_UPPER, 0x0001)                    \
  X(WORD, C1_LOWER, 0x0002)                    \
  X(WORD, C1_DIGIT, 0x0004)                    \
  X(WORD, C1_SPACE, 0x0008)                    \
  X(WORD, C1_PUNCT, 0x0010)                    \
  X(WORD, C1_CNTRL, 0x0020)                    \
  X(WORD, C1_BLANK, 0x0040)                    \
  X(WORD, C1_XDIGIT, 0x0080)                   \
  X(WORD, C1_ALPHA, 0x0100)                    \
  X(WORD, C1_DEFINED, 0x0200)                  \
  X(DWORD, HEAP_ZERO_MEMORY, 0x00000008)       \
  X(DWORD, HEAP_GENERATE_EXCEPTIONS, 0x000004) \
  X(DWORD, HEAP_NO_SERIALIZE, 0x00000001)      \
  X(UINT, MB_OK, 0x00000000)                   \
  X(UINT, MB_OKCANCEL, 0x00000001)             \
  X(UINT, MB_ABORTRETRYIGNORE, 0x00000002)     \
  X(UINT, MB_YESNOCANCEL, 0x00000003)          \
  X(UINT, MB_YESNO, 0x00000004)                \
  X(UINT, MB_RETRYCANCEL, 0x00000005)          \
  X(UINT, MB_ICONHAND, 0x00000010)             \
  X(UINT, MB_ICONSTOP, 0x00000010)             \
  X(UINT, MB_ICONQUESTION, 0x00000020)         \
  X(UINT, MB_ICONEXCLAMATION, 0x00000030)      \
  X(UINT, MB_ICONASTERISK, 0x00000040)         \
  X(UINT, MB_APPLMODAL, 0x00000000)            \
  X(UINT, MB_SYSTEMMODAL, 0x00001000)          \
  X(UINT, MB_TASKMODAL, 0x00002000)            \
  X(UINT, MB_SETFOREGROUND, 0x00010000)        \
  X(UINT, MB_TYPEMASK, 0x0000000F)             \
  X(int, IDOK, 1)                              \
  X(int, IDCANCEL, 2)                          \
  X(int, IDABORT, 3)                           \
  X(int, IDRETRY, 4)                           \
  X(int, IDIGNORE, 5)                          \
  X(int, IDYES, 6)                             \
  X(int, IDNO, 7)                              \
  X(DWORD, MEM_COMMIT, 0x00001000)             \
  X(DWORD, MEM_RESERVE, 0x00002000)            \
  X(DWORD, MEM_DECOMMIT, 0x00004000)           \
  X(DWORD, MEM_RELEASE, 0x00008000)            \
  X(DWORD, MEM_TOP_DOWN, 0x00100000)           \
  X(DWORD, PAGE_NOACCESS, 0x01)                \
  X(DWORD, PAGE_READONLY, 0x02)                \
  X(DWORD, PAGE_READWRITE, 0x04)               \
  X(DWORD, PAGE_WRITECOPY, 0x08)               \
  X(DWORD, PAGE_EXECUTE, 0x10)                 \
  X(DWORD, PAGE_EXECUTE_READ, 0x20)            \
  X(DWORD, PAGE_EXECUTE_READWRITE, 0x40)       \
  X(DWORD, PAGE_EXECUTE_WRITECOPY, 0x80)       \
  X(DWORD, PAGE_GUARD, 0x100)                  \
  X(DWORD, PAGE_NOCACHE, 0x200)                \
  X(int, OF_READ, 0x0000)                      \
  X(int, OF_WRITE, 0x0001)                     \
  X(int, OF_READWRITE, 0x0002)                 \
  X(int, OF_SHARE_DENY_NONE, 0x0040)           \
  X(DWORD, FILE_BEGIN, 0)                      \
  X(DWORD, FILE_CURRENT, 1)                    \
  X(DWORD, FILE_END, 2)                        \
  X(DWORD, DLL_PROCESS_DETACH, 0)              \
  X(DWORD, DLL_PROCESS_ATTACH, 1)              \
  X(DWORD, DLL_THREAD_ATTACH, 2)               \
  X(DWORD, DLL_THREAD_DETACH, 3)               \
  X(DWORD, ERROR_SUCCESS, 0)                   \
  X(DWORD, ERROR_FILE_NOT_FOUND, 2)            \
  X(DWORD, ERROR_PATH_NOT_FOUND, 3)            \
  X(DWORD, ERROR_ACCESS_DENIED, 5)             \
  X(DWORD, ERROR_NO_MORE_FILES, 18)            \
  X(DWORD, ERROR_FILE_EXISTS, 80)              \
  X(DWORD, ERROR_ALREADY_EXISTS, 183)          \
  X(DWORD, FILE_ATTRIBUTE_READONLY, 0x01)      \
  X(DWORD, GENERIC_READ, 0x80000000)           \
  X(DWORD, OFN_OVERWRITEPROMPT, 0x00000002)    \
  X(int, CSIDL_PROGRAMS, 0x0002)               \
  X(int, CSIDL_CONTROLS, 0x0003)               \
  X(int, CSIDL_STARTUP, 0x0007)                \
  X(int, CSIDL_BITBUCKET, 0x000a)              \
  X(int, CSIDL_DESKTOPDIRECTORY, 0x0010)       \
  X(int, CSIDL_FONTS, 0x0014)                  \
  X(DWORD, OFN_HIDEREADONLY, 0x00000004)       \
  X(DWORD, OFN_PATHMUSTEXIST, 0x00000800)      \
  X(DWORD, OFN_FILEMUSTEXIST, 0x00001000)      \
  X(DWORD, GENERIC_WRITE, 0x40000000)          \
  X(DWORD, CREATE_NEW, 1)                      \
  X(DWORD, CREATE_ALWAYS, 2)                   \
  X(DWORD, OPEN_EXISTING, 3)                   \
  X(DWORD, OPEN_ALWAYS, 4)                     \
  X(DWORD, TRUNCATE_EXISTING, 5)               \
  X(DWORD, FILE_ATTRIBUTE_HIDDEN, 0x02)        \
  X(DWORD, FILE_ATTRIBUTE_DIRECTORY, 0x10)     \
  X(DWORD, FILE_ATTRIBUTE_ARCHIVE, 0x20)       \
  X(DWORD, FILE_ATTRIBUTE_NORMAL, 0x80)        \
  X(DWORD, INVALID_FILE_ATTRIBUTES, 0xFFFFFFFF) \
  X(DWORD, ERROR_INVALID_HANDLE, 6)            \
  X(DWORD, ERROR_NOT_ENOUGH_MEMORY, 8)         \
  X(DWORD, ERROR_INVALID_PARAMETER, 87)        \
  X(DWORD, ERROR_INSUFFICIENT_BUFFER, 122)     \
  X(DWORD, ERROR_MOD_NOT_FOUND, 126)           \
  X(DWORD, ERROR_PROC_NOT_FOUND, 127)          \
  X(UINT, WM_NULL, 0x0000)                     \
  X(UINT, WM_CREATE, 0x0001)                   \
  X(UINT, WM_DESTROY, 0x0002)                  \
  X(UINT, WM_MOVE, 0x0003)                     \
  X(UINT, WM_SIZE, 0x0005)                     \
  X(UINT, WM_ACTIVATE, 0x0006)                 \
  X(UINT, WM_SETFOCUS, 0x0007)                 \
  X(UINT, WM_KILLFOCUS, 0x0008)                \
  X(UINT, WM_ENABLE, 0x000A)                   \
  X(UINT, WM_SETTEXT, 0x000C)                  \
  X(UINT, WM_GETTEXT, 0x000D)                  \
  X(UINT, WM_GETTEXTLENGTH, 0x000E)            \
  X(UINT, WM_PAINT, 0x000F)                    \
  X(UINT, WM_CLOSE, 0x0010)                    \
  X(UINT, WM_QUIT, 0x0012)                     \
  X(UINT, WM_ERASEBKGND, 0x0014)               \
  X(UINT, WM_SHOWWINDOW, 0x0018)               \
  X(UINT, WM_SETCURSOR, 0x0020)                \
  X(UINT, WM_MOUSEACTIVATE, 0x0021)            \
  X(UINT, WM_NCCREATE, 0x0081)                 \
  X(UINT, WM_NCDESTROY, 0x0082)                \
  X(UINT, WM_KEYDOWN, 0x0100)                  \
  X(UINT, WM_KEYUP, 0x0101)                    \
  X(UINT, WM_CHAR, 0x0102)                     \
  X(UINT, WM_SYSKEYDOWN, 0x0104)               \
  X(UINT, WM_SYSKEYUP, 0x0105)                 \
  X(UINT, WM_SYSCHAR, 0x0106)                  \
  X(UINT, WM_COMMAND, 0x0111)                  \
  X(UINT, WM_TIMER, 0x0113)                    \
  X(UINT, WM_MOUSEMOVE, 0x0200)                \
  X(UINT, WM_LBUTTONDOWN, 0x0201)              \
  X(UINT, WM_LBUTTONUP, 0x0202)                \
  X(UINT, WM_LBUTTONDBLCLK, 0x0203)            \
  X(UINT, WM_RBUTTONDOWN, 0x0204)              \
  X(UINT, WM_RBUTTONUP, 0x0205)                \
  X(UINT, WM_USER, 0x0400)                     \
  X(UINT, PM_NOREMOVE, 0x0000)                 \
  X(UINT, PM_REMOVE, 0x0001)                   \
  X(int, GWL_WNDPROC, -4)                      \
  X(int, GWL_STYLE, -16)                       \
  X(int, GWL_EXSTYLE, -20)                     \
  X(int, GWL_USERDATA, -21)                    \
  X(int, GWL_ID, -12)                          \
  X(int, GWL_HINSTANCE, -6)                    \
  X(int, GWL_HWNDPARENT, -8)                   \
  X(DWORD, WS_OVERLAPPED, 0x00000000L)         \
  X(DWORD, WS_POPUP, 0x80000000L)              \
  X(DWORD, WS_CHILD, 0x40000000L)              \
  X(DWORD, WS_VISIBLE, 0x10000000L)            \
  X(DWORD, WS_DISABLED, 0x08000000L)           \
  X(DWORD, WS_CLIPSIBLINGS, 0x04000000L)       \
  X(DWORD, WS_CLIPCHILDREN, 0x02000000L)       \
  X(DWORD, WS_CAPTION, 0x00C00000L)            \
  X(DWORD, WS_BORDER, 0x00800000L)             \
  X(DWORD, WS_SYSMENU, 0x00080000L)            \
  X(DWORD, WS_THICKFRAME, 0x00040000L)         \
  X(DWORD, WS_MINIMIZEBOX, 0x00020000L)        \
  X(DWORD, WS_MAXIMIZEBOX, 0x00010000L)        \
  X(DWORD, WS_OVERLAPPEDWINDOW, 0x00CF0000L)   \
  X(UINT, CS_VREDRAW, 0x0001)                  \
  X(UINT, CS_HREDRAW, 0x0002)                  \
  X(UINT, CS_DBLCLKS, 0x0008)                  \
  X(UINT, CS_OWNDC, 0x0020)                    \
  X(DWORD, INFINITE, 0xFFFFFFFF)               \
  X(DWORD, WAIT_OBJECT_0, 0x00000000L)         \
  X(DWORD, WAIT_TIMEOUT, 258L)                 \
  X(HRESULT, S_OK, 0)                          \
  X(HRESULT, S_FALSE, 1)                       \
  X(DWORD, ERROR_BAD_EXE_FORMAT, 193)          \
  X(DWORD, ERROR_INVALID_ADDRESS, 487)         \
  X(DWORD, ERROR_NOACCESS, 998)                \
  X(DWORD, ERROR_DLL_INIT_FAILED, 1114)        \
  X(int, SW_HIDE, 0)                           \
  X(int, SW_SHOWNORMAL, 1)                     \
  X(int, SW_SHOW, 5)                           \
  X(int, SW_SHOWDEFAULT, 10)                   \
  X(UINT, USER_TIMER_MINIMUM, 0x0000000A)      \
  X(UINT, USER_TIMER_MAXIMUM, 0x7FFFFFFF)      \
  X(int, VK_BACK, 0x08)                        \
  X(int, VK_TAB, 0x09)                         \
  X(int, VK_RETURN, 0x0D)                      \
  X(int, VK_SHIFT, 0x10)                       \
  X(int, VK_CONTROL, 0x11)                     \
  X(int, VK_ESCAPE, 0x1B)                      \
  X(int, VK_SPACE, 0x20)

// Sizes of structures on 32-bit Windows, checked on both sides.
#define KW_WIN32_STRUCTURE_SIZES(X) \
  X(FILETIME, 8)                    \
  X(SYSTEMTIME, 16)                 \
  X(WIN32_FIND_DATAA, 320)          \
  X(OVERLAPPED, 20)                 \
  X(CRITICAL_SECTION, 24)           \
  X(POINT, 8)                       \
  X(RECT, 16)                       \
  X(MSG, 28)                        \
  X(WNDCLASSA, 40)                  \
  X(CREATESTRUCTA, 48)


