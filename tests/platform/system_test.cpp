#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/kernel/paths.h"
#include "platform/testing/testing.h"
#include "platform/win32.h"

namespace {

TEST(TickCountTest, AdvancesWithSleepAndWrapsAt32Bits) {
  DWORD before = GetTickCount();
  Sleep(20);
  EXPECT_GE(GetTickCount() - before, 20u);

  // Move the count to just before the wrap: differences stay right across it.
  uint32_t shift = 0xFFFFFFF0u - static_cast<uint32_t>(GetTickCount());
  kwtesting::ShiftTickCount(shift);
  before = GetTickCount();
  Sleep(40);
  DWORD after = GetTickCount();
  kwtesting::ShiftTickCount(0u - shift);
  EXPECT_LT(after, before) << "wrapped";
  EXPECT_GE(after - before, 40u);
}

TEST(SystemFoldersTest, WindowsAndSystemDirectoriesExistAndAreWritable) {
  struct Case {
    UINT(WINAPI* get)(LPSTR, UINT);
    const char* ending;
  };
  const Case cases[] = {{GetWindowsDirectoryA, "\\WINDOWS"}, {GetSystemDirectoryA, "\\WINDOWS\\SYSTEM32"}};
  for (const Case& c : cases) {
    char path[1024];
    UINT length = c.get(path, sizeof path);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(length, strlen(path));
    std::string folder(path);
    EXPECT_EQ(folder.substr(0, 3), "C:\\");
    EXPECT_EQ(folder.substr(folder.size() - strlen(c.ending)), c.ending);

    char small[4] = "abc";
    EXPECT_EQ(c.get(small, sizeof small), length + 1) << "the size needed, with the terminating zero";
    EXPECT_STREQ(small, "abc") << "nothing copied";
    EXPECT_EQ(c.get(path, length), length + 1);

    std::string file;
    ASSERT_TRUE(kwplatform::MapWindowsPath((folder + "\\plugin.dll").c_str(), &file));
    FILE* written = fopen(file.c_str(), "wb");
    ASSERT_NE(written, nullptr) << file;
    fclose(written);
    EXPECT_EQ(remove(file.c_str()), 0);
  }
}

TEST(SystemFoldersTest, CurrentDirectoryIsTheHostsInWindowsForm) {
  char host[4096];
  ASSERT_NE(getcwd(host, sizeof host), nullptr);
  std::string expected = kwplatform::WindowsPathFromHostPath(host);
  char path[4096];
  EXPECT_EQ(GetCurrentDirectoryA(sizeof path, path), expected.size());
  EXPECT_EQ(path, expected);
  EXPECT_EQ(GetCurrentDirectoryA(2, path), expected.size() + 1);
}

TEST(OleTest, InitialisationIsCountedPerThread) {
  EXPECT_EQ(OleInitialize(nullptr), S_OK);
  EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
  OleUninitialize();
  EXPECT_EQ(OleInitialize(nullptr), S_FALSE) << "one initialisation is still open";
  OleUninitialize();
  OleUninitialize();
  EXPECT_EQ(OleInitialize(nullptr), S_OK) << "all closed: the next one is first again";
  OleUninitialize();
}

}  // namespace
