// Lists of the constants and structure sizes of the Win32 subset; macro definitions only.
#pragma once

// Constants as (type, name, value). The Windows header check compares every value with the
// real headers, so a wrong number here fails the build there.
#define KW_WIN32_CONSTANTS(X)                  \
  X(LCID, LOCALE_SYSTEM_DEFAULT, 0x0800)       \
  X(LCID, LOCALE_USER_DEFAULT, 0x0400)         \
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
  X(int, SW_HIDE, 0)                           \
  X(int, SW_SHOWNORMAL, 1)                     \
  X(int, SW_SHOWDEFAULT, 10)

// Sizes of structures on 32-bit Windows, checked on both sides.
#define KW_WIN32_STRUCTURE_SIZES(X) X(CRITICAL_SECTION, 24)

