// Types, structures and constants of the Win32 subset, for builds without the Windows headers.
// Layouts follow Win32's 32-bit ABI; on the 64-bit host build pointers widen but the names stay.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__i386__)
#define WINAPI __attribute__((stdcall))
#define CALLBACK __attribute__((stdcall))
#else
// The host build has a single calling convention.
#define WINAPI
#define CALLBACK
#endif

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned int UINT;
typedef int INT;
typedef char CHAR;
typedef void VOID;
#if defined(__i386__)
// Same types as Windows, so that the declarations are identical on both sides.
typedef unsigned long DWORD;
typedef long LONG;
typedef unsigned long ULONG;
#else
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
#endif
typedef uintptr_t ULONG_PTR;
typedef intptr_t LONG_PTR;
typedef ULONG_PTR SIZE_T;
typedef ULONG_PTR UINT_PTR;
typedef LONG_PTR LRESULT;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef DWORD LCID;
typedef void* PVOID;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef void* HANDLE;
typedef CHAR* LPSTR;
typedef const CHAR* LPCSTR;
typedef const CHAR* PCNZCH;
typedef BOOL* LPBOOL;
typedef DWORD* LPDWORD;
typedef WORD* LPWORD;

#define KW_DECLARE_HANDLE(name) \
  struct name##__ {             \
    int unused;                 \
  };                            \
  typedef struct name##__* name
KW_DECLARE_HANDLE(HWND);
KW_DECLARE_HANDLE(HINSTANCE);
typedef HINSTANCE HMODULE;
#undef KW_DECLARE_HANDLE

typedef struct _RTL_CRITICAL_SECTION {
  void* DebugInfo;
  LONG LockCount;
  LONG RecursionCount;
  HANDLE OwningThread;
  HANDLE LockSemaphore;
  ULONG_PTR SpinCount;
} CRITICAL_SECTION, *LPCRITICAL_SECTION, RTL_CRITICAL_SECTION;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

#include "platform/win32_constants.h"

#define KW_WIN32_DEFINE_CONSTANT(type, name, value) inline constexpr type name = value;
KW_WIN32_CONSTANTS(KW_WIN32_DEFINE_CONSTANT)
#undef KW_WIN32_DEFINE_CONSTANT

#if defined(__i386__)
#define KW_WIN32_CHECK_SIZE(type, size) static_assert(sizeof(type) == size, #type " has the Win32 size");
KW_WIN32_STRUCTURE_SIZES(KW_WIN32_CHECK_SIZE)
#undef KW_WIN32_CHECK_SIZE
#endif
