#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/win32.h"

namespace {

constexpr SIZE_T Page = 4096;

char* Allocate(SIZE_T size, DWORD type, DWORD protection, void* address = nullptr) {
  return static_cast<char*>(VirtualAlloc(address, size, type, protection));
}

TEST(VirtualMemoryTest, CommittedMemoryIsZeroedAndReleasedOnlyWhole) {
  char* block = Allocate(10000, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % Page, 0u);
  for (int index = 0; index < 10000; index++) ASSERT_EQ(block[index], 0);
  memset(block, 0x5A, 10000);

  SetLastError(0);
  EXPECT_FALSE(VirtualFree(block, 10, MEM_RELEASE));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(VirtualFree(block + Page, 0, MEM_RELEASE));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_ADDRESS);
  EXPECT_TRUE(VirtualFree(block, 0, MEM_RELEASE));
  EXPECT_FALSE(VirtualFree(block, 0, MEM_RELEASE)) << "already released";
}

TEST(VirtualMemoryTest, ReservedPagesAreUnreadableUntilCommittedAndZeroAgainAfterDecommit) {
  char* region = Allocate(4 * Page, MEM_RESERVE, PAGE_NOACCESS);
  ASSERT_NE(region, nullptr);
  EXPECT_TRUE(IsBadReadPtr(region, 1));
  DWORD old;
  EXPECT_FALSE(VirtualProtect(region, Page, PAGE_READONLY, &old)) << "nothing committed";
  EXPECT_EQ(GetLastError(), ERROR_INVALID_ADDRESS);

  // Committing from inside a page commits the whole page.
  char* committed = Allocate(Page - 100, MEM_COMMIT, PAGE_READWRITE, region + Page + 100);
  ASSERT_EQ(committed, region + Page);
  EXPECT_FALSE(IsBadReadPtr(committed, Page));
  EXPECT_TRUE(IsBadReadPtr(committed + Page - 4, 8)) << "runs into a reserved page";
  memset(committed, 0x77, Page);

  EXPECT_TRUE(VirtualFree(committed, Page, MEM_DECOMMIT));
  EXPECT_TRUE(IsBadReadPtr(committed, 1));
  ASSERT_EQ(Allocate(Page, MEM_COMMIT, PAGE_READWRITE, committed), committed);
  EXPECT_EQ(committed[0], 0);
  EXPECT_EQ(committed[Page - 1], 0);

  EXPECT_EQ(Allocate(Page, MEM_COMMIT, PAGE_READWRITE, region + 8 * Page), nullptr) << "outside the region";
  EXPECT_EQ(GetLastError(), ERROR_INVALID_ADDRESS);
  EXPECT_EQ(Allocate(Page, MEM_RESERVE, PAGE_READWRITE, region), nullptr) << "already reserved";
  EXPECT_EQ(GetLastError(), ERROR_INVALID_ADDRESS);
  EXPECT_TRUE(VirtualFree(region, 0, MEM_RELEASE));
}

TEST(VirtualMemoryTest, ProtectReturnsTheOldProtection) {
  char* block = Allocate(2 * Page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  ASSERT_NE(block, nullptr);
  DWORD old = 0;
  ASSERT_TRUE(VirtualProtect(block, Page, PAGE_NOACCESS, &old));
  EXPECT_EQ(old, PAGE_READWRITE);
  EXPECT_TRUE(IsBadReadPtr(block, 1));
  EXPECT_FALSE(IsBadReadPtr(block + Page, Page)) << "only the first page changed";
  ASSERT_TRUE(VirtualProtect(block + 10, 1, PAGE_READONLY, &old));
  EXPECT_EQ(old, PAGE_NOACCESS);
  EXPECT_FALSE(IsBadReadPtr(block, 1));
  EXPECT_FALSE(VirtualProtect(block, Page, PAGE_READONLY, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(VirtualFree(block, 0, MEM_RELEASE));
}

int plainData = 1;

TEST(VirtualMemoryTest, ProtectReportsMemoryTheLayerDidNotAllocate) {
  // Restoring what VirtualProtect reported must give code pages back their execute right.
  struct Case {
    void* address;
    DWORD protection;
  };
  const Case cases[] = {{&plainData, PAGE_READWRITE}, {reinterpret_cast<void*>(&IsBadReadPtr), PAGE_EXECUTE_READ}};
  for (const Case& c : cases) {
    DWORD old = 0, changed = 0;
    ASSERT_TRUE(VirtualProtect(c.address, 1, PAGE_EXECUTE_READWRITE, &old));
    EXPECT_EQ(old, c.protection);
    ASSERT_TRUE(VirtualProtect(c.address, 1, old, &changed));
    EXPECT_EQ(changed, PAGE_EXECUTE_READWRITE);
  }
  EXPECT_FALSE(IsBadReadPtr("still runs", 1));
}

TEST(VirtualMemoryTest, ExecuteReadWriteMemoryRunsCode) {
  // mov eax, 42; ret: the same bytes in 32-bit and 64-bit mode.
  const uint8_t code[] = {0xB8, 0x2A, 0x00, 0x00, 0x00, 0xC3};
  char* block = Allocate(sizeof(code), MEM_RESERVE | MEM_COMMIT, PAGE_EXECUTE_READWRITE);
  ASSERT_NE(block, nullptr);
  memcpy(block, code, sizeof(code));
  EXPECT_EQ(reinterpret_cast<int (*)()>(block)(), 42);
  EXPECT_TRUE(VirtualFree(block, 0, MEM_RELEASE));
}

TEST(VirtualMemoryTest, RejectsInvalidRequests) {
  struct Case {
    SIZE_T size;
    DWORD type, protection;
  };
  const Case cases[] = {
      {0, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE},
      {Page, 0, PAGE_READWRITE},
      {Page, MEM_RELEASE, PAGE_READWRITE},
      {Page, MEM_COMMIT, 0},
      {Page, MEM_COMMIT, PAGE_READONLY | PAGE_READWRITE},
      {Page, MEM_COMMIT, 0x1000},
  };
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(VirtualAlloc(nullptr, c.size, c.type, c.protection), nullptr) << c.size << " " << c.type;
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
  int value = 0;
  EXPECT_FALSE(VirtualFree(&value, 0, MEM_RELEASE)) << "not allocated here";
  EXPECT_FALSE(VirtualFree(&value, 4, MEM_DECOMMIT | MEM_RELEASE));
}

TEST(IsBadReadPtrTest, TellsReadableRangesWithoutFaulting) {
  char* block = Allocate(2 * Page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  ASSERT_NE(block, nullptr);
  DWORD old;
  ASSERT_TRUE(VirtualProtect(block + Page, Page, PAGE_NOACCESS, &old));
  int local = 0;
  struct Case {
    const void* address;
    UINT_PTR size;
    BOOL bad;
  };
  const Case cases[] = {
      {&local, sizeof(local), FALSE},
      {nullptr, 0, FALSE},  // nothing to read
      {nullptr, 1, TRUE},
      {block, Page, FALSE},
      {block + Page - 1, 2, TRUE},  // the last byte is on the unreadable page
      {block + Page, 1, TRUE},
      {reinterpret_cast<void*>(~uintptr_t{0} - 15), 32, TRUE},  // wraps around
  };
  for (const Case& c : cases) EXPECT_EQ(IsBadReadPtr(c.address, c.size), c.bad) << c.address << " " << c.size;

  // Callers on several threads share the probe and each gets its own answer.
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int thread = 0; thread < 4; thread++) {
    threads.emplace_back([&, thread] {
      for (int step = 0; step < 500; step++) {
        bool readable = (step + thread) % 2 == 0;
        if (IsBadReadPtr(readable ? block : block + Page, 4) == readable) wrong++;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, 0);
  EXPECT_TRUE(VirtualFree(block, 0, MEM_RELEASE));
}

}  // namespace
