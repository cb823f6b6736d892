#include "core/string_services.h"

#include "core/runtime_string.h"
#include "platform/win32.h"

int32_t StringCompareByLocale(RuntimeString* a, RuntimeString* b, uint32_t flags) {
  switch (
      CompareStringA(LOCALE_USER_DEFAULT, flags, StringCText(a), StringLength(a), StringCText(b), StringLength(b))) {
    case CSTR_LESS_THAN:
      return -1;
    case CSTR_GREATER_THAN:
      return 1;
    default:  // equal, or a failure of the comparison
      return 0;
  }
}

extern "C" {

void RuntimeLockString(RuntimeString* s) { StringRetain(s); }

void RuntimeUnlockString(RuntimeString* s) { StringRelease(s); }

RuntimeString* RuntimeAddString(RuntimeString* a, RuntimeString* b) { return StringConcatenate(a, b); }

// The language's comparison: the user locale's collation, ignoring case.
int32_t RuntimeStringCompare(RuntimeString* a, RuntimeString* b) {
  StringRetain(a);
  StringRetain(b);
  int32_t result = StringCompareByLocale(a, b, NORM_IGNORECASE);
  StringRelease(b);
  StringRelease(a);
  return result;
}

}  // extern "C"
