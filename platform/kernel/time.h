// The layer's clock, shared by GetTickCount, message times and timer deadlines.
#pragma once

#include <cstdint>

namespace kwplatform {

// Milliseconds since the process started on a monotonic clock; 64 bits, so it never wraps.
uint64_t MonotonicMilliseconds();

}  // namespace kwplatform
