#include "loader/main_loop.h"

#include <gtest/gtest.h>

#include "platform/testing/testing.h"
#include "system/mouse_cursor.h"

namespace {

int closeRequests;
int windowsClosed;
bool windowRefuses;

bool AskWindows() {
  closeRequests++;
  return !windowRefuses;
}

void CloseWindows() { windowsClosed++; }

class QuitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    closeRequests = windowsClosed = 0;
    TheMainLoopHooks().askWindowsToClose = AskWindows;
    TheMainLoopHooks().closeAllWindows = CloseWindows;
  }
  void TearDown() override {
    TheMainLoopHooks().askWindowsToClose = nullptr;
    TheMainLoopHooks().closeAllWindows = nullptr;
  }
};

TEST_F(QuitTest, RefusedCancelCloseLeavesEveryWindowOpen) {
  windowRefuses = true;
  ApplicationQuit();  // refused: returns, raises nothing
  EXPECT_EQ(closeRequests, 1);
  EXPECT_EQ(windowsClosed, 0);
  EXPECT_FALSE(QuitFlag());
  windowRefuses = false;
  EXPECT_TRUE(RequestQuit()) << "the refusal cleared the quit in progress";
  EXPECT_EQ(windowsClosed, 1);
}

TEST_F(QuitTest, AcceptedQuitEndsTheProcessSilently) {
  windowRefuses = false;
  EXPECT_EXIT(ApplicationQuit(), ::testing::ExitedWithCode(0), "^$");
}

TEST(CursorResourceTest, HotSpotAndPlanesComeFromTheResource) {
  uint8_t resource[68] = {};
  for (int row = 0; row < 16; row++) {
    resource[row * 2] = 0x80;       // image
    resource[32 + row * 2] = 0xC0;  // mask
  }
  resource[64] = 0, resource[65] = 3;  // vertical
  resource[66] = 0, resource[67] = 7;  // horizontal
  HCURSOR cursor = CreateCursorFromResource(nullptr, resource);
  kwtesting::CursorDescription description;
  ASSERT_TRUE(kwtesting::DescribeCursor(cursor, &description));
  EXPECT_EQ(description.hotSpotX, 7);
  EXPECT_EQ(description.hotSpotY, 3);
  EXPECT_EQ(description.width, 32);
  EXPECT_EQ(description.height, 32);
  ASSERT_EQ(description.xorPlane.size(), 128u);
  EXPECT_EQ(description.xorPlane[0], 0x80 ^ 0xC0);
  EXPECT_EQ(description.andPlane[0], static_cast<uint8_t>(~0xC0));
  EXPECT_EQ(description.andPlane[2], 0xFF) << "outside the 16 x 16 corner the cursor is transparent";
  EXPECT_EQ(description.xorPlane[4 * 16], 0);
}

}  // namespace
