// GetTickCount: milliseconds of the host's monotonic clock, wrapping at 2^32 as on Windows.
#include <atomic>
#include <ctime>

#include "platform/testing/testing.h"
#include "platform/win32.h"

namespace {

// A frozen value set by tests, or -1 for the real clock.
std::atomic<long long> frozenTicks{-1};

}  // namespace

void kwtesting::FreezeTickCount(unsigned long value) { frozenTicks = static_cast<long long>(value & 0xFFFFFFFFu); }

void kwtesting::ReleaseTickCount() { frozenTicks = -1; }

extern "C" DWORD WINAPI GetTickCount(void) {
  long long frozen = frozenTicks;
  if (frozen >= 0) return static_cast<DWORD>(frozen);
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  unsigned long long milliseconds =
      static_cast<unsigned long long>(now.tv_sec) * 1000u + static_cast<unsigned long long>(now.tv_nsec) / 1000000u;
  return static_cast<DWORD>(milliseconds);
}
