// Resource measurements for tests.
#include <sys/resource.h>

#include "platform/testing/testing.h"

namespace kwtesting {

uint64_t ThreadProcessorMicroseconds() {
  rusage usage = {};
  if (getrusage(RUSAGE_THREAD, &usage) != 0) return 0;
  auto microseconds = [](const timeval& time) {
    return static_cast<uint64_t>(time.tv_sec) * 1000000u + static_cast<uint64_t>(time.tv_usec);
  };
  return microseconds(usage.ru_utime) + microseconds(usage.ru_stime);
}

}  // namespace kwtesting
