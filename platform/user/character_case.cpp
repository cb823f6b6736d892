// CharUpperBuffA and CharLowerBuffA: case conversion in place by the ANSI code page's rules.
#include "platform/kernel/character_type.h"
#include "platform/win32.h"

extern "C" DWORD WINAPI CharUpperBuffA(LPSTR lpsz, DWORD cchLength) {
  if (lpsz == nullptr) return 0;
  kwplatform::AnsiToUpper(lpsz, cchLength);
  return cchLength;
}

extern "C" DWORD WINAPI CharLowerBuffA(LPSTR lpsz, DWORD cchLength) {
  if (lpsz == nullptr) return 0;
  kwplatform::AnsiToLower(lpsz, cchLength);
  return cchLength;
}
