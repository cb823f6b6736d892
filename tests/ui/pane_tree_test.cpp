#include <gtest/gtest.h>

#include "platform/testing/testing.h"
#include "ui/pane_state.h"
#include "ui_test_support.h"

namespace {

using uitest::Log;
using uitest::PaneTest;
using uitest::TestPane;
using Strings = std::vector<std::string>;

class PaneTreeTest : public PaneTest {
 protected:
  // Where a pane's window lies in the client area of another window.
  static POINT CornerIn(HWND window, const Pane* pane) {
    RECT place;
    GetWindowRect(pane->handle, &place);
    POINT corner = {place.left, place.top};
    ScreenToClient(window, &corner);
    return corner;
  }
};

TEST_F(PaneTreeTest, PackedPointsKeepTheVerticalValueLow) {
  PortRect rect = BoundsFromPackedPoints(0x0014000A, 0xFFFF0028);  // (x 20, y 10), (x -1, y 40)
  EXPECT_EQ(rect, (PortRect{10, 20, 40, -1}));
}

TEST_F(PaneTreeTest, ChildrenAreAppendedAndLaterOnesAreClickedFirst) {
  TestPane* lower = Add("lower", {10, 10, 50, 50});
  TestPane* upper = Add("upper", {30, 30, 70, 70});
  EXPECT_EQ(view->firstChild, lower);
  EXPECT_EQ(lower->nextSibling, upper);

  EXPECT_TRUE(view->MouseDownFromParent(40, 40, 0));
  EXPECT_EQ(Log(), (Strings{"upper click"}));
  Log().clear();
  upper->handlesClicks = false;
  EXPECT_TRUE(view->MouseDownFromParent(40, 40, 0));
  EXPECT_EQ(Log(), (Strings{"upper click", "lower click"}));
  upper->SetVisible(false);
  Log().clear();
  view->MouseDownFromParent(40, 40, 0);
  EXPECT_EQ(Log(), (Strings{"lower click"})) << "hidden panes are not hit";
}

TEST_F(PaneTreeTest, ThePointTestIncludesTopAndLeftButNotBottomAndRight) {
  TestPane* pane = Add("pane", {10, 20, 30, 40});
  const struct {
    int32_t x, y;
    bool hit;
  } cases[] = {{20, 10, true}, {39, 29, true}, {40, 15, false}, {25, 30, false}, {19, 15, false}, {25, 9, false}};
  for (const auto& c : cases) EXPECT_EQ(pane->HitRectContains(c.x, c.y), c.hit) << c.x << "," << c.y;
}

TEST_F(PaneTreeTest, MouseMovesReachEveryShownChildUnderThePoint) {
  Add("lower", {10, 10, 50, 50});
  Add("upper", {30, 30, 70, 70});
  Add("elsewhere", {100, 100, 120, 120});
  Log().clear();
  view->MouseMove(40, 40);
  EXPECT_EQ(Log(), (Strings{"lower move", "upper move"}));
}

TEST_F(PaneTreeTest, CursorsComeFromTheContainerFirstThenTheFirstChildThatChooses) {
  TestPane* group = Add("group", {0, 0, 100, 100});
  TestPane* first = Add("first", {0, 0, 50, 50}, group);
  TestPane* second = Add("second", {0, 0, 50, 50}, group);
  HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT), beam = LoadCursorA(nullptr, IDC_IBEAM);
  HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
  second->cursor = beam;
  EXPECT_TRUE(view->SetCursorAt(10, 10));
  EXPECT_EQ(kwtesting::CurrentCursor(), beam);
  first->cursor = cross;
  view->SetCursorAt(10, 10);
  EXPECT_EQ(kwtesting::CurrentCursor(), cross);
  group->cursor = wait;
  view->SetCursorAt(10, 10);
  EXPECT_EQ(kwtesting::CurrentCursor(), wait);
  group->cursor = nullptr;
  first->SetVisible(false);
  second->SetVisible(false);
  EXPECT_FALSE(view->SetCursorAt(10, 10)) << "hidden panes choose nothing";
}

TEST_F(PaneTreeTest, NotificationsReachTheChildrenFirst) {
  TestPane* group = Add("group", {0, 0, 100, 100});
  TestPane* inner = Add("inner", {0, 0, 50, 50}, group);
  Log().clear();
  group->Notify(HideNotification);
  EXPECT_EQ(Log(), (Strings{"group notify 8", "inner notify 8", "inner hidden", "group hidden"}));
  EXPECT_FALSE(inner->visible);
  EXPECT_FALSE(group->visible);
  group->Notify(DisableNotification);
  EXPECT_FALSE(inner->enabled);
  Log().clear();
  view->Deactivate();
  EXPECT_EQ(Log(), (Strings{"group notify 1001", "inner notify 1001"}));
}

TEST_F(PaneTreeTest, ClosingAContainerClosesItsChildrenFirstAndClearsTheGlobalState) {
  TestPane* group = Add("group", {0, 0, 100, 100});
  TestPane* first = Add("first", {0, 0, 50, 50}, group);
  Add("second", {0, 0, 50, 50}, group);
  PaneWatch watch;
  WatchPane(&watch, first);
  TakeCapture(group);
  MakeDrawingTarget(group);
  group->Close();
  EXPECT_EQ(watch.pane, nullptr);
  EXPECT_EQ(CapturePane(), nullptr);
  EXPECT_EQ(DrawingTarget(), nullptr);
  EXPECT_EQ(view->firstChild, nullptr);
  UnwatchPane(&watch);
}

TEST_F(PaneTreeTest, CaptureIsTakenOnTheTopLevelWindowAndReleased) {
  TestPane* pane = Add("pane", {0, 0, 50, 50});
  TakeCapture(pane);
  EXPECT_EQ(CapturePane(), pane);
  EXPECT_EQ(GetCapture(), view->handle);
  ReleasePaneCapture();
  EXPECT_EQ(CapturePane(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(PaneTreeTest, ButtonUpInAPaneWindowEndsTheCaptureAtTopLevelCoordinates) {
  TestPane* pane = Add("pane", {20, 30, 60, 90}, nullptr, "KW_Pane");
  ASSERT_NE(pane->handle, nullptr);
  SendMessageA(pane->handle, WM_LBUTTONDOWN, MK_SHIFT, MAKELPARAM(5, 6));
  TakeCapture(pane);
  SendMessageA(pane->handle, WM_LBUTTONUP, 0, MAKELPARAM(7, 8));
  EXPECT_EQ(Log(), (Strings{"pane down 35,26", "pane up 37,28"}));
  EXPECT_EQ(CapturePane(), nullptr);
}

TEST_F(PaneTreeTest, TheDrawingTargetEndsTheOldPaneBeforeBeginningTheNew) {
  struct Recording : TestPane {
    using TestPane::TestPane;
    void BeginDrawing() override { Log().push_back(name + " begin"); }
    void PrepareDrawing() override { Log().push_back(name + " prepare"); }
    void EndDrawing() override { Log().push_back(name + " end"); }
  };
  auto* first = new Recording(view, "first", {0, 0, 10, 10});
  auto* second = new Recording(view, "second", {0, 0, 10, 10});
  Log().clear();
  MakeDrawingTarget(first);
  MakeDrawingTarget(first);
  MakeDrawingTarget(second);
  EndDrawingTarget();
  EXPECT_EQ(Log(), (Strings{"first begin", "first prepare", "first end", "second begin", "second prepare",
                            "second end"}));
}

TEST_F(PaneTreeTest, SettingTheSameBoundsNeitherInvalidatesNorMoves) {
  TestPane* pane = Add("pane", {10, 10, 30, 30}, nullptr, "KW_Pane");
  pane->SetBounds({10, 10, 30, 30}, true);
  EXPECT_EQ(pane->invalidations, 0);
  pane->SetBounds({20, 40, 50, 100}, true);
  EXPECT_EQ(pane->invalidations, 2) << "the old and the new place";
  EXPECT_EQ(pane->width, 60);
  EXPECT_EQ(pane->height, 30);
  POINT corner = CornerIn(view->handle, pane);
  EXPECT_EQ(corner.x, 40);
  EXPECT_EQ(corner.y, 20);
}

TEST_F(PaneTreeTest, NestedPaneWindowsArePlacedInTheirParentsClientCoordinates) {
  TestPane* outer = Add("outer", {20, 30, 80, 130}, nullptr, "KW_Pane");
  TestPane* inner = Add("inner", {25, 40, 45, 100}, outer, "KW_Pane");
  EXPECT_EQ(GetParent(inner->handle), outer->handle);
  POINT corner = CornerIn(outer->handle, inner);
  EXPECT_EQ(corner.x, 10);
  EXPECT_EQ(corner.y, 5);
}

}  // namespace
