#include "core/string_services.h"

#include "core/runtime_string.h"
#include "platform/win32.h"

extern "C" {

void RuntimeLockString(RuntimeString* s) { StringRetain(s); }

void RuntimeUnlockString(RuntimeString* s) { StringRelease(s); }

RuntimeString* RuntimeAddString(RuntimeString* a, RuntimeString* b) { return StringConcatenate(a, b); }

// The language's comparison: the user locale's collation, ignoring case.
int32_t RuntimeStringCompare(RuntimeString* a, RuntimeString* b) {
  StringRetain(a);
  StringRetain(b);
  int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, StringCText(a), StringLength(a), StringCText(b),
                              StringLength(b));
  StringRelease(b);
  StringRelease(a);
  switch (result) {
    case CSTR_LESS_THAN:
      return -1;
    case CSTR_GREATER_THAN:
      return 1;
    default:  // equal, or a failure of the comparison
      return 0;
  }
}

}  // extern "C"
