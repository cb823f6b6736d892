// Date: one point in time in the machine's local time, held as a local FILETIME count of
// 100-nanosecond intervals since 1601. A date never set stands for the moment it is first used.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"

void RegisterDateClass();

// A new date (one reference, for the caller) holding a local FILETIME count.
RuntimeObject* NewDate(uint64_t localTime);
// The date's local FILETIME count, taking the current time first when it was never set.
uint64_t DateLocalTime(RuntimeObject* date);

extern "C" {
int32_t dateFieldGetter(RuntimeObject* date, int32_t selector);
void dateFieldSetter(RuntimeObject* date, int32_t selector, int32_t value);
RuntimeString* dateStringGetter(RuntimeObject* date, int32_t selector);
double dateTotalSecondsGetter(RuntimeObject* date);
void dateTotalSecondsSetter(RuntimeObject* date, double seconds);
}
