// String services called by application code (C calling convention, bound by name).
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

extern "C" {
void RuntimeLockString(RuntimeString* s);
void RuntimeUnlockString(RuntimeString* s);
RuntimeString* RuntimeAddString(RuntimeString* a, RuntimeString* b);
int32_t RuntimeStringCompare(RuntimeString* a, RuntimeString* b);
}
