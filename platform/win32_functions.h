// The list of functions of the Win32 subset, as (return type, name, parameter list); macro
// definitions only. Every entry is declared with the Win32 calling convention.
#pragma once

// Functions are grouped by the system library that exports them; the groups also make the
// export tables of the layer's system modules.
#define KW_KERNEL32_MEMORY_FUNCTIONS(X)                                                         \
  X(HANDLE, GetProcessHeap, (void))                                                             \
  X(LPVOID, HeapAlloc, (HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes))                           \
  X(LPVOID, HeapReAlloc, (HANDLE hHeap, DWORD dwFlags, LPVOID lpMem, SIZE_T dwBytes))           \
  X(BOOL, HeapFree, (HANDLE hHeap, DWORD dwFlags, LPVOID lpMem))                                \
  X(SIZE_T, HeapSize, (HANDLE hHeap, DWORD dwFlags, LPCVOID lpMem))                             \
  X(LPVOID, VirtualAlloc, (LPVOID lpAddress, SIZE_T dwSize, DWORD flAllocationType, DWORD flProtect)) \
  X(BOOL, VirtualFree, (LPVOID lpAddress, SIZE_T dwSize, DWORD dwFreeType))                     \
  X(BOOL, VirtualProtect, (LPVOID lpAddress, SIZE_T dwSize, DWORD flNewProtect, PDWORD lpflOldProtect)) \
  X(BOOL, IsBadReadPtr, (const VOID* lp, UINT_PTR ucb))

#define KW_KERNEL32_SYNCHRONISATION_FUNCTIONS(X)                                                \
  X(void, InitializeCriticalSection, (LPCRITICAL_SECTION lpCriticalSection))                    \
  X(void, EnterCriticalSection, (LPCRITICAL_SECTION lpCriticalSection))                         \
  X(BOOL, TryEnterCriticalSection, (LPCRITICAL_SECTION lpCriticalSection))                      \
  X(void, LeaveCriticalSection, (LPCRITICAL_SECTION lpCriticalSection))                         \
  X(void, DeleteCriticalSection, (LPCRITICAL_SECTION lpCriticalSection))

// Process, errors and modules.
#define KW_KERNEL32_MODULE_FUNCTIONS(X)                                                         \
  X(LPSTR, GetCommandLineA, (void))                                                             \
  X(DWORD, GetLastError, (void))                                                                \
  X(void, SetLastError, (DWORD dwErrCode))                                                      \
  X(HMODULE, GetModuleHandleA, (LPCSTR lpModuleName))                                           \
  X(DWORD, GetModuleFileNameA, (HMODULE hModule, LPSTR lpFilename, DWORD nSize))                \
  X(HMODULE, LoadLibraryA, (LPCSTR lpLibFileName))                                              \
  X(FARPROC, GetProcAddress, (HMODULE hModule, LPCSTR lpProcName))                              \
  X(BOOL, FreeLibrary, (HMODULE hLibModule))

#define KW_KERNEL32_RESOURCE_FUNCTIONS(X)                                                       \
  X(HRSRC, FindResourceA, (HMODULE hModule, LPCSTR lpName, LPCSTR lpType))                      \
  X(HGLOBAL, LoadResource, (HMODULE hModule, HRSRC hResInfo))                                   \
  X(LPVOID, LockResource, (HGLOBAL hResData))                                                   \
  X(DWORD, SizeofResource, (HMODULE hModule, HRSRC hResInfo))

#define KW_KERNEL32_FILE_FUNCTIONS(X)                                                           \
  X(HFILE, _lopen, (LPCSTR lpPathName, int iReadWrite))                                         \
  X(HFILE, _lcreat, (LPCSTR lpPathName, int iAttribute))                                        \
  X(UINT, _lread, (HFILE hFile, LPVOID lpBuffer, UINT uBytes))                                  \
  X(UINT, _lwrite, (HFILE hFile, LPCCH lpBuffer, UINT uBytes))                                  \
  X(long, _hread, (HFILE hFile, LPVOID lpBuffer, long lBytes))                                  \
  X(long, _hwrite, (HFILE hFile, LPCCH lpBuffer, long lBytes))                                  \
  X(LONG, _llseek, (HFILE hFile, LONG lOffset, int iOrigin))                                    \
  X(HFILE, _lclose, (HFILE hFile))                                                              \
  X(DWORD, GetTempPathA, (DWORD nBufferLength, LPSTR lpBuffer))                                 \
  X(UINT, GetTempFileNameA,                                                                     \
    (LPCSTR lpPathName, LPCSTR lpPrefixString, UINT uUnique, LPSTR lpTempFileName))             \
  X(BOOL, DeleteFileA, (LPCSTR lpFileName))                                                    \
  X(HANDLE, FindFirstFileA, (LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData))             \
  X(BOOL, FindNextFileA, (HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData))                 \
  X(BOOL, FindClose, (HANDLE hFindFile))                                                        \
  X(DWORD, GetFileAttributesA, (LPCSTR lpFileName))                                             \
  X(BOOL, SetFileAttributesA, (LPCSTR lpFileName, DWORD dwFileAttributes))                      \
  X(BOOL, MoveFileA, (LPCSTR lpExistingFileName, LPCSTR lpNewFileName))                         \
  X(BOOL, CopyFileA, (LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists))     \
  X(BOOL, CreateDirectoryA, (LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes))    \
  X(DWORD, GetLogicalDrives, (void))                                                            \
  X(HANDLE, CreateFileA,                                                                        \
    (LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,                               \
     LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,                   \
     DWORD dwFlagsAndAttributes, HANDLE hTemplateFile))                                         \
  X(BOOL, SetFileTime,                                                                          \
    (HANDLE hFile, const FILETIME* lpCreationTime, const FILETIME* lpLastAccessTime,            \
     const FILETIME* lpLastWriteTime))                                                          \
  X(BOOL, CloseHandle, (HANDLE hObject))

// Code pages and comparison.
#define KW_KERNEL32_STRING_FUNCTIONS(X)                                                         \
  X(UINT, GetACP, (void))                                                                       \
  X(BOOL, IsDBCSLeadByte, (BYTE TestChar))                                                      \
  X(BOOL, GetStringTypeExA,                                                                     \
    (LCID Locale, DWORD dwInfoType, LPCSTR lpSrcStr, int cchSrc, LPWORD lpCharType))            \
  X(int, lstrcmpiA, (LPCSTR lpString1, LPCSTR lpString2))                                       \
  X(int, lstrcmpA, (LPCSTR lpString1, LPCSTR lpString2))                                        \
  X(int, lstrlenA, (LPCSTR lpString))                                                           \
  X(int, CompareStringA,                                                                        \
    (LCID Locale, DWORD dwCmpFlags, PCNZCH lpString1, int cchCount1, PCNZCH lpString2,          \
     int cchCount2))

#define KW_KERNEL32_TIME_FUNCTIONS(X)                                                           \
  X(DWORD, GetTickCount, (void))                                                                \
  X(void, Sleep, (DWORD dwMilliseconds))                                                        \
  X(UINT, GetSystemDirectoryA, (LPSTR lpBuffer, UINT uSize))                                    \
  X(UINT, GetWindowsDirectoryA, (LPSTR lpBuffer, UINT uSize))                                   \
  X(DWORD, GetCurrentDirectoryA, (DWORD nBufferLength, LPSTR lpBuffer))                        \
  X(void, GetSystemTimeAsFileTime, (LPFILETIME lpSystemTimeAsFileTime))                         \
  X(BOOL, FileTimeToLocalFileTime, (const FILETIME* lpFileTime, LPFILETIME lpLocalFileTime))    \
  X(BOOL, LocalFileTimeToFileTime, (const FILETIME* lpLocalFileTime, LPFILETIME lpFileTime))    \
  X(BOOL, FileTimeToSystemTime, (const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime))        \
  X(BOOL, SystemTimeToFileTime, (const SYSTEMTIME* lpSystemTime, LPFILETIME lpFileTime))        \
  X(int, GetDateFormatA,                                                                        \
    (LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpDate, LPCSTR lpFormat, LPSTR lpDateStr,    \
     int cchDate))                                                                              \
  X(int, GetTimeFormatA,                                                                        \
    (LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpTime, LPCSTR lpFormat, LPSTR lpTimeStr,    \
     int cchTime))

#define KW_KERNEL32_FUNCTIONS(X)                                                                \
  KW_KERNEL32_MEMORY_FUNCTIONS(X)                                                               \
  KW_KERNEL32_SYNCHRONISATION_FUNCTIONS(X)                                                      \
  KW_KERNEL32_MODULE_FUNCTIONS(X)                                                               \
  KW_KERNEL32_RESOURCE_FUNCTIONS(X)                                                             \
  KW_KERNEL32_FILE_FUNCTIONS(X)                                                                 \
  KW_KERNEL32_STRING_FUNCTIONS(X)                                                               \
  KW_KERNEL32_TIME_FUNCTIONS(X)

#define KW_USER32_MESSAGE_BOX_FUNCTIONS(X) \
  X(int, MessageBoxA, (HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType))

#define KW_USER32_CHARACTER_FUNCTIONS(X)                                                        \
  X(DWORD, CharUpperBuffA, (LPSTR lpsz, DWORD cchLength))                                       \
  X(DWORD, CharLowerBuffA, (LPSTR lpsz, DWORD cchLength))

#define KW_USER32_WINDOW_FUNCTIONS(X)                                                           \
  X(BOOL, MessageBeep, (UINT uType))                                                            \
  X(ATOM, RegisterClassA, (const WNDCLASSA* lpWndClass))                                        \
  X(BOOL, UnregisterClassA, (LPCSTR lpClassName, HINSTANCE hInstance))                          \
  X(HWND, CreateWindowExA,                                                                      \
    (DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,     \
     int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam)) \
  X(BOOL, DestroyWindow, (HWND hWnd))                                                           \
  X(BOOL, IsWindow, (HWND hWnd))                                                                \
  X(LRESULT, DefWindowProcA, (HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam))               \
  X(LRESULT, CallWindowProcA, (WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)) \
  X(LONG, GetWindowLongA, (HWND hWnd, int nIndex))                                              \
  X(LONG, SetWindowLongA, (HWND hWnd, int nIndex, LONG dwNewLong))                              \
  X(BOOL, SetPropA, (HWND hWnd, LPCSTR lpString, HANDLE hData))                                 \
  X(HANDLE, GetPropA, (HWND hWnd, LPCSTR lpString))                                             \
  X(HANDLE, RemovePropA, (HWND hWnd, LPCSTR lpString))                                          \
  X(BOOL, ShowWindow, (HWND hWnd, int nCmdShow))                                                \
  X(BOOL, IsWindowVisible, (HWND hWnd))                                                         \
  X(BOOL, SetWindowTextA, (HWND hWnd, LPCSTR lpString))                                         \
  X(int, GetWindowTextA, (HWND hWnd, LPSTR lpString, int nMaxCount))                            \
  X(int, GetWindowTextLengthA, (HWND hWnd))                                                     \
  /* geometry and placement */                                                                  \
  X(BOOL, MoveWindow, (HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint))        \
  X(BOOL, AdjustWindowRect, (LPRECT lpRect, DWORD dwStyle, BOOL bMenu))                         \
  X(BOOL, AdjustWindowRectEx, (LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle))      \
  X(BOOL, GetClientRect, (HWND hWnd, LPRECT lpRect))                                            \
  X(BOOL, GetWindowRect, (HWND hWnd, LPRECT lpRect))                                            \
  X(BOOL, ClientToScreen, (HWND hWnd, LPPOINT lpPoint))                                         \
  X(BOOL, ScreenToClient, (HWND hWnd, LPPOINT lpPoint))                                         \
  X(int, MapWindowPoints, (HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints))         \
  X(int, GetSystemMetrics, (int nIndex))                                                        \
  /* the window tree */                                                                         \
  X(BOOL, EnumWindows, (WNDENUMPROC lpEnumFunc, LPARAM lParam))                                 \
  X(BOOL, EnumChildWindows, (HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam))           \
  X(HWND, GetWindow, (HWND hWnd, UINT uCmd))                                                    \
  X(HWND, GetTopWindow, (HWND hWnd))                                                            \
  X(HWND, GetParent, (HWND hWnd))                                                               \
  X(BOOL, IsChild, (HWND hWndParent, HWND hWnd))                                                \
  X(HWND, WindowFromPoint, (POINT Point))                                                       \
  /* focus, activation, capture */                                                              \
  X(HWND, GetFocus, (void))                                                                     \
  X(HWND, SetFocus, (HWND hWnd))                                                                \
  X(HWND, GetActiveWindow, (void))                                                              \
  X(HWND, SetActiveWindow, (HWND hWnd))                                                         \
  X(HWND, GetForegroundWindow, (void))                                                          \
  X(BOOL, SetForegroundWindow, (HWND hWnd))                                                     \
  X(HWND, GetCapture, (void))                                                                   \
  X(HWND, SetCapture, (HWND hWnd))                                                              \
  X(BOOL, ReleaseCapture, (void))                                                               \
  X(BOOL, EnableWindow, (HWND hWnd, BOOL bEnable))                                              \
  X(BOOL, IsWindowEnabled, (HWND hWnd))                                                         \
  /* painting */                                                                                \
  X(BOOL, InvalidateRect, (HWND hWnd, const RECT* lpRect, BOOL bErase))                         \
  X(BOOL, ValidateRect, (HWND hWnd, const RECT* lpRect))                                        \
  X(BOOL, GetUpdateRect, (HWND hWnd, LPRECT lpRect, BOOL bErase))                               \
  X(BOOL, UpdateWindow, (HWND hWnd))                                                            \
  X(HDC, BeginPaint, (HWND hWnd, LPPAINTSTRUCT lpPaint))                                        \
  X(BOOL, EndPaint, (HWND hWnd, const PAINTSTRUCT* lpPaint))                                    \
  X(HDC, GetDC, (HWND hWnd))                                                                    \
  X(HDC, GetWindowDC, (HWND hWnd))                                                              \
  X(int, ReleaseDC, (HWND hWnd, HDC hDC))                                                       \
  X(HWND, WindowFromDC, (HDC hDC))                                                              \
  X(BOOL, ScrollWindow, (HWND hWnd, int XAmount, int YAmount, const RECT* lpRect, const RECT* lpClipRect)) \
  /* messages */                                                                                \
  X(BOOL, GetMessageA, (LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax))        \
  X(BOOL, PeekMessageA,                                                                         \
    (LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg))          \
  X(BOOL, PostMessageA, (HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam))                    \
  X(LRESULT, SendMessageA, (HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam))                 \
  X(void, PostQuitMessage, (int nExitCode))                                                     \
  X(BOOL, TranslateMessage, (const MSG* lpMsg))                                                 \
  X(LRESULT, DispatchMessageA, (const MSG* lpMsg))                                              \
  X(BOOL, TranslateMDISysAccel, (HWND hWndClient, LPMSG lpMsg))                                 \
  X(UINT_PTR, SetTimer, (HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc))    \
  X(BOOL, KillTimer, (HWND hWnd, UINT_PTR uIDEvent))                                            \
  X(LONG, GetMessageTime, (void))                                                              \
  X(DWORD, GetMessagePos, (void))                                                               \
  X(UINT, GetDoubleClickTime, (void))                                                           \
  /* the keyboard */                                                                            \
  X(SHORT, GetKeyState, (int nVirtKey))                                                         \
  X(SHORT, GetAsyncKeyState, (int vKey))                                                        \
  /* cursors and the mouse */                                                                   \
  X(BOOL, GetCursorPos, (LPPOINT lpPoint))                                                      \
  X(BOOL, SetCursorPos, (int X, int Y))                                                         \
  X(HCURSOR, CreateCursor,                                                                      \
    (HINSTANCE hInst, int xHotSpot, int yHotSpot, int nWidth, int nHeight, const VOID* pvANDPlane, \
     const VOID* pvXORPlane))                                                                   \
  X(BOOL, DestroyCursor, (HCURSOR hCursor))                                                     \
  X(HCURSOR, LoadCursorA, (HINSTANCE hInstance, LPCSTR lpCursorName))                           \
  X(HCURSOR, SetCursor, (HCURSOR hCursor))

// Painting helpers of the user library, implemented with GDI (platform/gdi).
#define KW_USER32_PAINTING_FUNCTIONS(X)                                                         \
  X(int, FillRect, (HDC hDC, const RECT* lprc, HBRUSH hbr))                                     \
  X(int, FrameRect, (HDC hDC, const RECT* lprc, HBRUSH hbr))                                    \
  X(BOOL, InvertRect, (HDC hDC, const RECT* lprc))                                              \
  X(BOOL, DrawFocusRect, (HDC hDC, const RECT* lprc))                                           \
  X(DWORD, GetSysColor, (int nIndex))                                                           \
  X(HBRUSH, GetSysColorBrush, (int nIndex))                                                     \
  X(int, DrawTextA, (HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format))

#define KW_USER32_FUNCTIONS(X)                                                                  \
  KW_USER32_MESSAGE_BOX_FUNCTIONS(X) KW_USER32_CHARACTER_FUNCTIONS(X) KW_USER32_WINDOW_FUNCTIONS(X) \
  KW_USER32_PAINTING_FUNCTIONS(X)

#define KW_COMCTL32_FUNCTIONS(X) X(void, InitCommonControls, (void))

#define KW_COMDLG32_FUNCTIONS(X)                             \
  X(BOOL, GetOpenFileNameA, (LPOPENFILENAMEA lpofn))          \
  X(BOOL, GetSaveFileNameA, (LPOPENFILENAMEA lpofn))          \
  X(DWORD, CommDlgExtendedError, (void))

#define KW_SHELL32_FUNCTIONS(X)                                                                 \
  X(HINSTANCE, ShellExecuteA,                                                                   \
    (HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,     \
     INT nShowCmd))                                                                              \
  X(BOOL, SHGetSpecialFolderPathA, (HWND hwnd, LPSTR pszPath, int csidl, BOOL fCreate))

#define KW_OLE32_FUNCTIONS(X)                      \
  X(HRESULT, OleInitialize, (LPVOID pvReserved)) \
  X(void, OleUninitialize, (void))

// GDI: device contexts and their attributes.
#define KW_GDI32_DEVICE_CONTEXT_FUNCTIONS(X)                                                    \
  X(HDC, CreateCompatibleDC, (HDC hdc))                                                         \
  X(HDC, CreateDCA, (LPCSTR pwszDriver, LPCSTR pwszDevice, LPCSTR pszPort, const DEVMODEA* pdm)) \
  X(HDC, CreateICA, (LPCSTR pszDriver, LPCSTR pszDevice, LPCSTR pszPort, const DEVMODEA* pdm))  \
  X(int, GetDeviceCaps, (HDC hdc, int index))                                                   \
  X(BOOL, DeleteDC, (HDC hdc))                                                                  \
  X(HGDIOBJ, SelectObject, (HDC hdc, HGDIOBJ h))                                                \
  X(HGDIOBJ, GetCurrentObject, (HDC hdc, UINT type))                                            \
  X(int, SaveDC, (HDC hdc))                                                                     \
  X(BOOL, RestoreDC, (HDC hdc, int nSavedDC))                                                   \
  X(int, SetMapMode, (HDC hdc, int iMode))                                                      \
  X(int, GetMapMode, (HDC hdc))                                                                 \
  X(BOOL, SetViewportOrgEx, (HDC hdc, int x, int y, LPPOINT lppt))                              \
  X(BOOL, GetViewportOrgEx, (HDC hdc, LPPOINT lppoint))                                         \
  X(BOOL, OffsetViewportOrgEx, (HDC hdc, int x, int y, LPPOINT lppt))                           \
  X(BOOL, SetWindowOrgEx, (HDC hdc, int x, int y, LPPOINT lppt))                                \
  X(BOOL, GetWindowOrgEx, (HDC hdc, LPPOINT lppoint))                                           \
  X(BOOL, OffsetWindowOrgEx, (HDC hdc, int x, int y, LPPOINT lppt))                             \
  X(BOOL, SetViewportExtEx, (HDC hdc, int x, int y, LPSIZE lpsz))                               \
  X(BOOL, GetViewportExtEx, (HDC hdc, LPSIZE lpsize))                                           \
  X(BOOL, SetWindowExtEx, (HDC hdc, int x, int y, LPSIZE lpsz))                                 \
  X(BOOL, GetWindowExtEx, (HDC hdc, LPSIZE lpsize))                                             \
  X(BOOL, LPtoDP, (HDC hdc, LPPOINT lppt, int c))                                               \
  X(BOOL, DPtoLP, (HDC hdc, LPPOINT lppt, int c))                                               \
  X(COLORREF, SetTextColor, (HDC hdc, COLORREF color))                                          \
  X(COLORREF, GetTextColor, (HDC hdc))                                                          \
  X(COLORREF, SetBkColor, (HDC hdc, COLORREF color))                                            \
  X(COLORREF, GetBkColor, (HDC hdc))                                                            \
  X(int, SetBkMode, (HDC hdc, int mode))                                                        \
  X(int, GetBkMode, (HDC hdc))                                                                  \
  X(UINT, SetTextAlign, (HDC hdc, UINT align))                                                  \
  X(UINT, GetTextAlign, (HDC hdc))                                                              \
  X(int, SetROP2, (HDC hdc, int rop2))                                                          \
  X(int, GetROP2, (HDC hdc))                                                                    \
  X(int, SetPolyFillMode, (HDC hdc, int mode))                                                  \
  X(int, GetPolyFillMode, (HDC hdc))                                                            \
  X(int, SetStretchBltMode, (HDC hdc, int mode))                                                \
  X(int, GetStretchBltMode, (HDC hdc))

// GDI objects: stock objects, pens, brushes and bitmaps.
#define KW_GDI32_OBJECT_FUNCTIONS(X)                                                            \
  X(HGDIOBJ, GetStockObject, (int i))                                                           \
  X(HPEN, CreatePen, (int iStyle, int cWidth, COLORREF color))                                  \
  X(HBRUSH, CreateSolidBrush, (COLORREF color))                                                 \
  X(DWORD, GetObjectType, (HGDIOBJ h))                                                          \
  X(BOOL, DeleteObject, (HGDIOBJ ho))                                                           \
  X(int, GetObjectA, (HANDLE h, int c, LPVOID pv))                                              \
  X(HBITMAP, CreateCompatibleBitmap, (HDC hdc, int cx, int cy))                                 \
  X(HBITMAP, CreateDIBSection,                                                                  \
    (HDC hdc, const BITMAPINFO* lpbmi, UINT usage, VOID** ppvBits, HANDLE hSection, DWORD offset))

// GDI regions and clipping.
#define KW_GDI32_REGION_FUNCTIONS(X)                                                            \
  X(HRGN, CreateRectRgn, (int x1, int y1, int x2, int y2))                                      \
  X(HRGN, CreateRectRgnIndirect, (const RECT* lprect))                                          \
  X(BOOL, SetRectRgn, (HRGN hrgn, int left, int top, int right, int bottom))                    \
  X(int, CombineRgn, (HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode))                   \
  X(int, OffsetRgn, (HRGN hrgn, int x, int y))                                                  \
  X(int, GetRgnBox, (HRGN hrgn, LPRECT lprc))                                                   \
  X(BOOL, PtInRegion, (HRGN hrgn, int x, int y))                                                \
  X(BOOL, EqualRgn, (HRGN hrgn1, HRGN hrgn2))                                                   \
  X(int, SelectClipRgn, (HDC hdc, HRGN hrgn))                                                   \
  X(int, GetClipRgn, (HDC hdc, HRGN hrgn))                                                      \
  X(int, GetClipBox, (HDC hdc, LPRECT lprect))                                                  \
  X(int, IntersectClipRect, (HDC hdc, int left, int top, int right, int bottom))                \
  X(int, ExcludeClipRect, (HDC hdc, int left, int top, int right, int bottom))

// GDI drawing.
#define KW_GDI32_DRAWING_FUNCTIONS(X)                                                           \
  X(COLORREF, SetPixel, (HDC hdc, int x, int y, COLORREF color))                                \
  X(BOOL, SetPixelV, (HDC hdc, int x, int y, COLORREF color))                                   \
  X(COLORREF, GetPixel, (HDC hdc, int x, int y))                                               \
  X(BOOL, MoveToEx, (HDC hdc, int x, int y, LPPOINT lppt))                                      \
  X(BOOL, GetCurrentPositionEx, (HDC hdc, LPPOINT lppt))                                        \
  X(BOOL, LineTo, (HDC hdc, int x, int y))                                                      \
  X(BOOL, Polyline, (HDC hdc, const POINT* apt, int cpt))                                       \
  X(BOOL, Rectangle, (HDC hdc, int left, int top, int right, int bottom))                       \
  X(BOOL, Ellipse, (HDC hdc, int left, int top, int right, int bottom))                         \
  X(BOOL, RoundRect, (HDC hdc, int left, int top, int right, int bottom, int width, int height)) \
  X(BOOL, Polygon, (HDC hdc, const POINT* apt, int cpt))                                       \
  X(BOOL, BitBlt, (HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)) \
  X(BOOL, StretchBlt,                                                                           \
    (HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,   \
     int wSrc, int hSrc, DWORD rop))                                                            \
  X(BOOL, PatBlt, (HDC hdc, int x, int y, int w, int h, DWORD rop))

// GDI fonts and text.
#define KW_GDI32_TEXT_FUNCTIONS(X)                                                              \
  X(HFONT, CreateFontA,                                                                         \
    (int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,    \
     DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision,                   \
     DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily, LPCSTR pszFaceName))          \
  X(HFONT, CreateFontIndirectA, (const LOGFONTA* lplf))                                         \
  X(BOOL, GetTextMetricsA, (HDC hdc, LPTEXTMETRICA lptm))                                       \
  X(int, GetTextFaceA, (HDC hdc, int c, LPSTR lpName))                                          \
  X(int, EnumFontsA, (HDC hdc, LPCSTR lpLogfont, FONTENUMPROCA lpProc, LPARAM lParam))          \
  X(BOOL, TextOutA, (HDC hdc, int x, int y, LPCSTR lpString, int c))                            \
  X(BOOL, ExtTextOutA,                                                                          \
    (HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString, UINT c,          \
     const INT* lpDx))                                                                          \
  X(BOOL, GetTextExtentPoint32A, (HDC hdc, LPCSTR lpString, int c, LPSIZE psizl))               \
  X(BOOL, GetTextExtentPointA, (HDC hdc, LPCSTR lpString, int c, LPSIZE lpsz))

#define KW_GDI32_FUNCTIONS(X)                                                                   \
  KW_GDI32_DEVICE_CONTEXT_FUNCTIONS(X)                                                          \
  KW_GDI32_OBJECT_FUNCTIONS(X)                                                                  \
  KW_GDI32_REGION_FUNCTIONS(X)                                                                  \
  KW_GDI32_DRAWING_FUNCTIONS(X)                                                                 \
  KW_GDI32_TEXT_FUNCTIONS(X)

#define KW_WIN32_FUNCTIONS(X) \
  KW_KERNEL32_FUNCTIONS(X) KW_USER32_FUNCTIONS(X) KW_COMCTL32_FUNCTIONS(X) KW_COMDLG32_FUNCTIONS(X) \
  KW_SHELL32_FUNCTIONS(X) KW_OLE32_FUNCTIONS(X) KW_GDI32_FUNCTIONS(X)
