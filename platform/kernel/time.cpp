// Time: GetTickCount over the monotonic clock, and Sleep.
#include "platform/kernel/time.h"

#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/testing/testing.h"
#include "platform/win32.h"

namespace {

uint64_t MonotonicNanoseconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

uint64_t ProcessStart() {
  static const uint64_t start = MonotonicNanoseconds();
  return start;
}

// Taken during static initialisation, so that "since start" means since the process began
// rather than since the first call.
[[maybe_unused]] const uint64_t startTakenEarly = ProcessStart();

// Added to what GetTickCount reports (tests move it near the wrap); timers do not see it.
std::atomic<uint32_t> tickCountShift{0};
// A value GetTickCount keeps returning (tests), or -1 for the clock.
std::atomic<int64_t> frozenTickCount{-1};

}  // namespace

namespace kwplatform {

uint64_t MonotonicMilliseconds() { return (MonotonicNanoseconds() - ProcessStart()) / 1000000u; }

}  // namespace kwplatform

namespace kwtesting {
void ShiftTickCount(uint32_t milliseconds) { tickCountShift.fetch_add(milliseconds); }
void FreezeTickCount(unsigned long value) { frozenTickCount = static_cast<int64_t>(value & 0xFFFFFFFFu); }
void ReleaseTickCount() { frozenTickCount = -1; }
}  // namespace kwtesting

extern "C" {

DWORD WINAPI GetTickCount(void) {
  if (int64_t frozen = frozenTickCount.load(); frozen >= 0) return static_cast<DWORD>(frozen);
  // Truncation to 32 bits is Win32's wrap after 2^32 milliseconds (about 49.7 days).
  return static_cast<DWORD>(static_cast<uint32_t>(kwplatform::MonotonicMilliseconds()) + tickCountShift.load());
}

void WINAPI Sleep(DWORD milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  if (milliseconds == INFINITE) {
    for (;;) pause();
  }
  timespec left = {static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

}  // extern "C"
