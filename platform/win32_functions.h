// The list of functions of the Win32 subset, as (return type, name, parameter list); macro
// definitions only. Every entry is declared with the Win32 calling convention.
#pragma once

#define KW_WIN32_FUNCTIONS(X)                                                                   \
  /* kernel: heap */                                                                            \
  X(HANDLE, GetProcessHeap, (void))                                                             \
  X(LPVOID, HeapAlloc, (HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes))                           \
  X(LPVOID, HeapReAlloc, (HANDLE hHeap, DWORD dwFlags, LPVOID lpMem, SIZE_T dwBytes))           \
  X(BOOL, HeapFree, (HANDLE hHeap, DWORD dwFlags, LPVOID lpMem))                                \
  X(SIZE_T, HeapSize, (HANDLE hHeap, DWORD dwFlags, LPCVOID lpMem))                             \
  /* kernel: synchronisation */                                                                 \
  X(void, InitializeCriticalSection, (LPCRITICAL_SECTION lpCriticalSection))                    \
  X(void, EnterCriticalSection, (LPCRITICAL_SECTION lpCriticalSection))                         \
  X(BOOL, TryEnterCriticalSection, (LPCRITICAL_SECTION lpCriticalSection))                      \
  X(void, LeaveCriticalSection, (LPCRITICAL_SECTION lpCriticalSection))                         \
  X(void, DeleteCriticalSection, (LPCRITICAL_SECTION lpCriticalSection))                        \
  /* kernel: process */                                                                         \
  X(LPSTR, GetCommandLineA, (void))                                                             \
  /* kernel: time */                                                                            \
  X(DWORD, GetTickCount, (void))                                                                \
  /* kernel: code pages, character types and comparison */                                     \
  X(UINT, GetACP, (void))                                                                       \
  X(BOOL, IsDBCSLeadByte, (BYTE TestChar))                                                      \
  X(BOOL, GetStringTypeExA,                                                                     \
    (LCID Locale, DWORD dwInfoType, LPCSTR lpSrcStr, int cchSrc, LPWORD lpCharType))            \
  X(int, lstrcmpiA, (LPCSTR lpString1, LPCSTR lpString2))                                       \
  X(int, lstrcmpA, (LPCSTR lpString1, LPCSTR lpString2))                                        \
  X(int, lstrlenA, (LPCSTR lpString))                                                           \
  X(int, CompareStringA,                                                                        \
    (LCID Locale, DWORD dwCmpFlags, PCNZCH lpString1, int cchCount1, PCNZCH lpString2,          \
     int cchCount2))                                                                            \
  /* user: case conversion */                                                                  \
  X(DWORD, CharUpperBuffA, (LPSTR lpsz, DWORD cchLength))                                       \
  X(DWORD, CharLowerBuffA, (LPSTR lpsz, DWORD cchLength))                                       \
  /* user: message boxes */                                                                     \
  X(int, MessageBoxA, (HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType))

