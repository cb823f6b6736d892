#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/win32.h"

namespace {

TEST(CriticalSectionTest, OwnerMayEnterAgainAndLeavesAsOften) {
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  EnterCriticalSection(&section);
  EnterCriticalSection(&section);
  EXPECT_TRUE(TryEnterCriticalSection(&section));
  LeaveCriticalSection(&section);
  LeaveCriticalSection(&section);

  std::atomic<int> otherGotIt{-1};
  std::thread([&] { otherGotIt = TryEnterCriticalSection(&section); }).join();
  EXPECT_EQ(otherGotIt, FALSE) << "still held once by this thread";

  LeaveCriticalSection(&section);
  std::thread([&] {
    otherGotIt = TryEnterCriticalSection(&section);
    if (otherGotIt) LeaveCriticalSection(&section);
  }).join();
  EXPECT_EQ(otherGotIt, TRUE) << "free after the last leave";
  DeleteCriticalSection(&section);
}

TEST(CriticalSectionTest, ExcludesOtherThreadsUnderContention) {
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  long counter = 0;  // plain, so only the lock keeps the sum exact
  auto work = [&] {
    for (int step = 0; step < 20000; step++) {
      EnterCriticalSection(&section);
      EnterCriticalSection(&section);
      long read = counter;
      if (step % 64 == 0) std::this_thread::yield();
      counter = read + 1;
      LeaveCriticalSection(&section);
      LeaveCriticalSection(&section);
    }
  };
  std::vector<std::thread> threads;
  for (int thread = 0; thread < 4; thread++) threads.emplace_back(work);
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(counter, 4 * 20000);
  DeleteCriticalSection(&section);
}

}  // namespace
