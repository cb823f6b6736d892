// MessageBeep: headless, a beep is recorded for the test interface and never blocks.
#include <mutex>
#include <vector>

#include "platform/testing/testing.h"
#include "platform/win32.h"

namespace {
std::mutex beepLock;
std::vector<unsigned> beeps;
}  // namespace

namespace kwtesting {

std::vector<unsigned> BeepsSounded() {
  std::lock_guard<std::mutex> guard(beepLock);
  return beeps;
}

void ClearBeeps() {
  std::lock_guard<std::mutex> guard(beepLock);
  beeps.clear();
}

}  // namespace kwtesting

extern "C" BOOL WINAPI MessageBeep(UINT type) {
  std::lock_guard<std::mutex> guard(beepLock);
  beeps.push_back(type);
  return TRUE;
}
