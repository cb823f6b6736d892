// CompareStringA and the lstr* string functions over the ANSI code page.
#include <cstring>

#include "platform/kernel/collation.h"
#include "platform/win32.h"

namespace {

// Flags CompareStringA accepts; the kana flag is valid but changes nothing here.
constexpr DWORD kCompareFlags = NORM_IGNORECASE | NORM_IGNORENONSPACE | NORM_IGNORESYMBOLS |
                                NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH | SORT_STRINGSORT;

// The locales whose collation is the one modelled: the user and system defaults (English),
// LANG_NEUTRAL (which Windows reads as the user default), the invariant locale and en-US.
bool IsSupportedLocale(LCID locale) {
  return locale == LOCALE_USER_DEFAULT || locale == LOCALE_SYSTEM_DEFAULT || locale == 0x0000 ||
         locale == 0x007F || locale == 0x0409;
}

}  // namespace

extern "C" int WINAPI CompareStringA(LCID Locale, DWORD dwCmpFlags, PCNZCH lpString1, int cchCount1,
                                     PCNZCH lpString2, int cchCount2) {
  if (lpString1 == nullptr || lpString2 == nullptr || (dwCmpFlags & ~kCompareFlags) != 0 ||
      !IsSupportedLocale(Locale)) {
    return 0;
  }
  // Any negative count means the string is NUL-terminated.
  if (cchCount1 < 0) cchCount1 = static_cast<int>(std::strlen(lpString1));
  if (cchCount2 < 0) cchCount2 = static_cast<int>(std::strlen(lpString2));
  return CSTR_EQUAL +
         kwplatform::CompareCollated(lpString1, cchCount1, lpString2, cchCount2, dwCmpFlags);
}

namespace {

// lstrcmp and lstrcmpi are CompareStringA on NUL-terminated strings, minus 2; a null pointer sorts
// before every string and equals another null pointer.
int CompareTerminated(LPCSTR a, LPCSTR b, DWORD flags) {
  if (a == nullptr || b == nullptr) return (a != nullptr) - (b != nullptr);
  return CompareStringA(LOCALE_USER_DEFAULT, flags, a, -1, b, -1) - CSTR_EQUAL;
}

}  // namespace

extern "C" int WINAPI lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2) {
  return CompareTerminated(lpString1, lpString2, NORM_IGNORECASE);
}

extern "C" int WINAPI lstrcmpA(LPCSTR lpString1, LPCSTR lpString2) {
  return CompareTerminated(lpString1, lpString2, 0);
}

extern "C" int WINAPI lstrlenA(LPCSTR lpString) {
  return lpString == nullptr ? 0 : static_cast<int>(std::strlen(lpString));
}
