#include "ui/tab_order.h"

#include <gtest/gtest.h>

#include "ui_test_support.h"

namespace {

using uitest::PaneTest;
using uitest::TestPane;

// view { a, group { b, c }, d }, created in that order.
class TabOrderTest : public PaneTest {
 protected:
  void SetUp() override {
    PaneTest::SetUp();
    a = Add("a", {0, 0, 10, 10});
    group = Add("group", {20, 0, 60, 100});
    b = Add("b", {20, 0, 30, 10}, group);
    c = Add("c", {40, 0, 50, 10}, group);
    d = Add("d", {70, 0, 80, 10});
    for (TestPane* pane : {a, b, c, d}) pane->acceptsFocus = true;
  }
  TestPane *a = nullptr, *group = nullptr, *b = nullptr, *c = nullptr, *d = nullptr;
};

TEST_F(TabOrderTest, LeavesComeDepthFirstInCreationOrder) {
  EXPECT_EQ(TabOrder(view), (std::vector<Pane*>{a, b, c, d}));
  EXPECT_EQ(TabOrder(group), (std::vector<Pane*>{b, c}));
}

TEST_F(TabOrderTest, TabAndShiftTabWrapAround) {
  struct Case {
    Pane* from;
    bool backwards;
    Pane* to;
  };
  const Case cases[] = {{a, false, b}, {c, false, d}, {d, false, a}, {a, true, d}, {b, true, a}, {nullptr, false, a}};
  for (const Case& step : cases) EXPECT_EQ(NextTabPane(view, step.from, step.backwards), step.to);
}

TEST_F(TabOrderTest, PanesThatCannotTakeTheFocusArePassedOver) {
  b->SetShownOnTab(false);  // on a tab that is not current
  c->SetEnabled(false, false);
  EXPECT_EQ(NextTabPane(view, a, false), d);
  d->acceptsFocus = false;
  EXPECT_EQ(NextTabPane(view, a, false), a) << "the only candidate is the current pane";
  a->SetVisible(false);
  EXPECT_EQ(NextTabPane(view, a, false), nullptr);
}

TEST_F(TabOrderTest, AVisitorCanStopTheWalk) {
  std::vector<Pane*> seen;
  auto record = [](Pane* pane, void* data) {
    auto* list = static_cast<std::vector<Pane*>*>(data);
    list->push_back(pane);
    return list->size() < 2;
  };
  EXPECT_FALSE(view->Visit(record, &seen));
  EXPECT_EQ(seen, (std::vector<Pane*>{a, b}));
}

}  // namespace
