// String services called by application code (C calling convention, bound by name).
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

// The user locale's collation (CompareStringA) with the given flags: -1, 0 or 1, and 0 when the
// comparison fails.
int32_t StringCompareByLocale(RuntimeString* a, RuntimeString* b, uint32_t flags);

extern "C" {
void RuntimeLockString(RuntimeString* s);
void RuntimeUnlockString(RuntimeString* s);
RuntimeString* RuntimeAddString(RuntimeString* a, RuntimeString* b);
int32_t RuntimeStringCompare(RuntimeString* a, RuntimeString* b);
}
