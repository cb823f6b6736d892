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

TEST(MessageBeepTest, BeepsAreRecorded) {
  kwtesting::ClearBeeps();
  EXPECT_TRUE(MessageBeep(0));
  EXPECT_TRUE(MessageBeep(MB_ICONEXCLAMATION));
  EXPECT_EQ(kwtesting::BeepsSounded(), std::vector<unsigned>({0u, MB_ICONEXCLAMATION}));
  kwtesting::ClearBeeps();
  EXPECT_TRUE(kwtesting::BeepsSounded().empty());
}

TEST(CursorTest, PositionStartsAtTheOriginAndIsClippedToTheScreen) {
  POINT point = {-1, -1};
  ASSERT_TRUE(GetCursorPos(&point));
  EXPECT_EQ(point.x, 0);
  EXPECT_EQ(point.y, 0);
  struct Case {
    int x, y, expectedX, expectedY;
  };
  const Case cases[] = {{100, 200, 100, 200}, {-5, 5000, 0, 767}, {1024, 0, 1023, 0}};
  for (const Case& c : cases) {
    EXPECT_TRUE(SetCursorPos(c.x, c.y));
    GetCursorPos(&point);
    EXPECT_EQ(point.x, c.expectedX);
    EXPECT_EQ(point.y, c.expectedY);
  }
  SetCursorPos(0, 0);
  EXPECT_FALSE(GetCursorPos(nullptr));
}

TEST(CursorTest, CreatedCursorsKeepTheirShape) {
  unsigned char andPlane[32 * 4];
  unsigned char xorPlane[32 * 4];
  for (int index = 0; index < 32 * 4; index++) {
    andPlane[index] = static_cast<unsigned char>(index);
    xorPlane[index] = static_cast<unsigned char>(255 - index);
  }
  HCURSOR cursor = CreateCursor(nullptr, 3, 4, 32, 32, andPlane, xorPlane);
  ASSERT_NE(cursor, nullptr);
  kwtesting::CursorDescription description;
  ASSERT_TRUE(kwtesting::DescribeCursor(cursor, &description));
  EXPECT_EQ(description.hotSpotX, 3);
  EXPECT_EQ(description.hotSpotY, 4);
  EXPECT_EQ(description.width, 32);
  EXPECT_EQ(description.height, 32);
  EXPECT_EQ(description.andPlane, std::vector<unsigned char>(andPlane, andPlane + sizeof andPlane));
  EXPECT_EQ(description.xorPlane, std::vector<unsigned char>(xorPlane, xorPlane + sizeof xorPlane));
  EXPECT_EQ(description.standardId, 0);

  EXPECT_EQ(SetCursor(cursor), nullptr);
  EXPECT_EQ(kwtesting::CurrentCursor(), cursor);
  EXPECT_TRUE(DestroyCursor(cursor));
  EXPECT_EQ(kwtesting::CurrentCursor(), nullptr);
  EXPECT_FALSE(DestroyCursor(cursor)) << "stale";
  EXPECT_FALSE(kwtesting::DescribeCursor(cursor, &description));
  EXPECT_EQ(CreateCursor(nullptr, 0, 0, 0, 32, andPlane, xorPlane), nullptr);
  EXPECT_EQ(CreateCursor(nullptr, 0, 0, 32, 32, nullptr, xorPlane), nullptr);
}

TEST(CursorTest, StandardCursorsAreSharedAndSetCursorReturnsThePrevious) {
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
  HCURSOR beam = LoadCursorA(nullptr, IDC_IBEAM);
  ASSERT_NE(arrow, nullptr);
  EXPECT_NE(arrow, wait);
  EXPECT_NE(wait, beam);
  EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow) << "shared";
  EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
  EXPECT_EQ(LoadCursorA(nullptr, "NoSuchCursor"), nullptr);
  kwtesting::CursorDescription description;
  ASSERT_TRUE(kwtesting::DescribeCursor(wait, &description));
  EXPECT_EQ(description.standardId, 32514);

  SetCursor(nullptr);
  EXPECT_EQ(SetCursor(arrow), nullptr);
  EXPECT_EQ(SetCursor(wait), arrow);
  EXPECT_EQ(kwtesting::CurrentCursor(), wait);
  EXPECT_EQ(SetCursor(reinterpret_cast<HCURSOR>(0x1234)), nullptr) << "not a cursor";
  EXPECT_EQ(kwtesting::CurrentCursor(), wait) << "unchanged";
  EXPECT_FALSE(DestroyCursor(arrow)) << "shared cursors stay";
  EXPECT_EQ(SetCursor(nullptr), wait);
}

}  // namespace
