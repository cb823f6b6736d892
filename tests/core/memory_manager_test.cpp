#include "core/memory_manager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "platform/testing/testing.h"

namespace {

// Reads a word of a freed block, which the sanitizer build keeps poisoned.
#if defined(__clang__) || defined(__GNUC__)
__attribute__((no_sanitize("address")))
#endif
uint32_t ReadFreedWord(const void* address) {
  return *static_cast<const volatile uint32_t*>(address);
}

TEST(SmallAllocTest, SizesOfOneClassShareFreedBlocks) {
  struct Case {
    int32_t freedSize, requestedSize;
    bool sameBlock;
  };
  constexpr int32_t G = SmallBlockGranule;
  const Case cases[] = {
      {1, G, true},      {G, 1, true},     {2, 3, true},        {G, G + 1, false},
      {21, 24, true},    {24, 25, false},  {249, 252, true},    {252, 249, true},
  };
  for (const Case& c : cases) {
    void* block = SmallAlloc(c.freedSize);
    SmallFree(block, c.freedSize);
    void* again = SmallAlloc(c.requestedSize);
    EXPECT_EQ(again == block, c.sameBlock) << c.freedSize << " then " << c.requestedSize;
    SmallFree(again, c.requestedSize);
  }
}

TEST(SmallAllocTest, NonPositiveSizesGiveNull) {
  EXPECT_EQ(SmallAlloc(0), nullptr);
  EXPECT_EQ(SmallAlloc(-8), nullptr);
  SmallFree(nullptr, 16);  // ignored
}

TEST(SmallAllocTest, BytesInUseCountRequestedSizesOfSmallBlocksOnly) {
  int32_t before = SmallBytesInUse();
  void* small = SmallAlloc(10);
  EXPECT_EQ(SmallBytesInUse(), before + 10);  // the request, not the 12-byte block
  void* large = SmallAlloc(253);              // platform heap, not counted
  EXPECT_EQ(SmallBytesInUse(), before + 10);
  memset(large, 0xAB, 253);
  SmallFree(large, 253);
  SmallFree(small, 10);
  EXPECT_EQ(SmallBytesInUse(), before);
}

TEST(SmallAllocTest, RequestThatDoesNotFitStartsNewChunkAbandoningTheRest) {
  // A request size whose blocks do not divide the chunk, so that some bytes are left over.
  const int32_t size = SmallChunkSize % SmallBlockSize(252) ? 252 : 248;
  const int32_t block = SmallBlockSize(size);
  // Take blocks, keeping them all, until one had to come from a new chunk: the class's free
  // list is then empty and every later request carves.
  std::vector<void*> held;
  for (;;) {
    int32_t remainingBefore = SmallChunkRemaining();
    held.push_back(SmallAlloc(size));
    if (remainingBefore < block && SmallChunkRemaining() == SmallChunkSize - block) break;
  }
  while (SmallChunkRemaining() >= block) held.push_back(SmallAlloc(size));
  const int32_t leftOver = SmallChunkRemaining();
  ASSERT_GT(leftOver, 0);

  // The request does not fit in what is left: a new chunk, the rest abandoned.
  char* last = static_cast<char*>(SmallAlloc(size));
  EXPECT_EQ(SmallChunkRemaining(), SmallChunkSize - block);
  char* next = static_cast<char*>(SmallAlloc(size));
  EXPECT_EQ(next, last + block) << "carved from the new chunk, right after the last block";
  SmallFree(next, size);
  SmallFree(last, size);
  for (void* kept : held) SmallFree(kept, size);
}

TEST(GuardedAllocTest, HeaderHoldsSizeAndGuardAndFreeMarksIt) {
  auto* record = static_cast<char*>(GuardedAlloc(20));
  const auto* header = reinterpret_cast<const uint32_t*>(record - 8);
  EXPECT_EQ(header[0], 20u);
  EXPECT_EQ(header[1], LiveRecordGuard);
  memset(record, 0x5A, 20);
  GuardedFree(record);
  EXPECT_EQ(ReadFreedWord(header + 1), FreedRecordGuard);
}

TEST(GuardedAllocTest, SecondFreeOfARecordIsIgnored) {
  void* record = GuardedAlloc(40);
  GuardedFree(record);
  GuardedFree(record);
  // Were the block on its free list twice, two requests would get the same block.
  void* first = GuardedAlloc(40);
  void* second = GuardedAlloc(40);
  EXPECT_NE(first, second);
  GuardedFree(first);
  GuardedFree(second);
}

TEST(MemoryHandleTest, SizesContentsAndResizing) {
  MemoryHandle* cleared = NewHandleClear(64);
  ASSERT_EQ(HandleSize(cleared), 64);
  for (int index = 0; index < 64; index++) ASSERT_EQ(static_cast<char*>(cleared->data)[index], 0);

  memcpy(cleared->data, "0123456789", 10);
  ResizeHandle(cleared, 4);
  EXPECT_EQ(HandleSize(cleared), 4);
  EXPECT_EQ(memcmp(cleared->data, "0123", 4), 0);
  ResizeHandle(cleared, 1000);
  EXPECT_EQ(HandleSize(cleared), 1000);
  EXPECT_EQ(memcmp(cleared->data, "0123", 4), 0);
  void* data = cleared->data;
  ResizeHandle(cleared, 1000);  // unchanged size: nothing happens
  EXPECT_EQ(cleared->data, data);
  DisposeHandle(cleared);

  EXPECT_EQ(HandleSize(nullptr), 0);
  ResizeHandle(nullptr, 10);
  DisposeHandle(nullptr);
  MemoryHandle* empty = NewHandle(0);
  EXPECT_EQ(HandleSize(empty), 0);
  DisposeHandle(empty);
}

TEST(SmallAllocTest, ThreadsAllocatingTogetherKeepTheCountBalanced) {
  int32_t before = SmallBytesInUse();
  auto work = [](unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::pair<void*, int32_t>> live;
    for (int step = 0; step < 20000; step++) {
      if (live.size() < 64 && (live.empty() || random() % 3)) {
        int32_t size = 1 + static_cast<int32_t>(random() % 300);
        void* block = SmallAlloc(size);
        memset(block, static_cast<int>(seed), static_cast<size_t>(size));
        live.emplace_back(block, size);
      } else {
        size_t index = random() % live.size();
        const unsigned char* bytes = static_cast<unsigned char*>(live[index].first);
        for (int32_t offset = 0; offset < live[index].second; offset++)
          ASSERT_EQ(bytes[offset], static_cast<unsigned char>(seed)) << "block shared between threads";
        SmallFree(live[index].first, live[index].second);
        live.erase(live.begin() + static_cast<long>(index));
      }
    }
    for (auto& [block, size] : live) SmallFree(block, size);
  };
  std::vector<std::thread> threads;
  for (unsigned seed = 1; seed <= 4; seed++) threads.emplace_back(work, seed);
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(SmallBytesInUse(), before);
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
TEST(SmallAllocSanitizerDeathTest, UseOfAFreedSmallBlockIsCaught) {
  EXPECT_DEATH(
      {
        auto* block = static_cast<volatile char*>(SmallAlloc(24));
        SmallFree(const_cast<char*>(block), 24);
        block[12] = 1;
      },
      "use-after-poison");
}
#endif
#endif

using OutOfMemoryDeathTest = ::testing::Test;

TEST_F(OutOfMemoryDeathTest, FailedChunkEndsTheProcessWithTheMessage) {
  EXPECT_EXIT(
      {
        kwtesting::FailHeapAllocationsAfter(0);
        for (int block = 0; block < 40; block++) SmallAlloc(252);
      },
      ::testing::ExitedWithCode(0), "KW App: This application has run out of memory and must quit now.");
}

TEST_F(OutOfMemoryDeathTest, FailedLargeBlockAndHandleEndTheProcessToo) {
  EXPECT_EXIT(
      {
        kwtesting::FailHeapAllocationsAfter(0);
        SmallAlloc(4096);
      },
      ::testing::ExitedWithCode(0), "run out of memory");
  EXPECT_EXIT(
      {
        MemoryHandle* handle = NewHandle(16);
        kwtesting::FailHeapAllocationsAfter(0);
        ResizeHandle(handle, 32);
      },
      ::testing::ExitedWithCode(0), "run out of memory");
}

}  // namespace
