#include <gtest/gtest.h>

#include "ui/control_object.h"
#include "ui/control_services.h"
#include "ui/window_object.h"
#include "ui/window_services.h"
#include "ui_test_support.h"

namespace {

using uitest::Log;
using uitest::PaneTest;
using uitest::TestPane;
using Strings = std::vector<std::string>;

class FocusTest : public PaneTest {
 protected:
  void SetUp() override {
    PaneTest::SetUp();
    a = Add("a", {10, 10, 30, 60});
    b = Add("b", {40, 10, 60, 60});
    a->acceptsFocus = b->acceptsFocus = true;
  }
  TestPane* a = nullptr;
  TestPane* b = nullptr;
};

TEST_F(FocusTest, ChangingFocusTellsTheOldPaneBeforeTheNewOne) {
  ChangeFocus(a);
  ChangeFocus(b);
  ChangeFocus(b);
  EXPECT_EQ(Log(), (Strings{"a gain", "a lose", "b gain"}));
  EXPECT_EQ(FocusedPane(), b);
}

TEST_F(FocusTest, AFocusSetWhileTheOldPaneLosesItWins) {
  TestPane* c = Add("c", {70, 10, 90, 60});
  ChangeFocus(a);
  a->focusOnLoss = c;
  ChangeFocus(b);
  EXPECT_EQ(FocusedPane(), c);
  EXPECT_EQ(Log(), (Strings{"a gain", "a lose", "c gain"}));
}

TEST_F(FocusTest, RequestsHonourAcceptanceAndTheWindowsActivity) {
  TestPane* refuses = Add("refuses", {70, 10, 90, 60});
  RequestFocus(refuses);
  EXPECT_EQ(FocusedPane(), view) << "activation focused the view, which nothing accepted before";
  RequestFocus(a);
  EXPECT_EQ(FocusedPane(), a);

  view->Deactivate();
  EXPECT_EQ(FocusedPane(), nullptr);
  RequestFocus(b);
  EXPECT_EQ(FocusedPane(), nullptr) << "an inactive window only remembers";
  EXPECT_EQ(view->rememberedFocus, b);
  view->Activate();
  EXPECT_EQ(FocusedPane(), b);
}

TEST_F(FocusTest, ActivationFallsBackToTheFirstAcceptingChildThenTheView) {
  view->Deactivate();
  view->rememberedFocus = nullptr;
  view->Activate();
  EXPECT_EQ(FocusedPane(), a);
  view->Deactivate();
  a->acceptsFocus = b->acceptsFocus = false;
  view->rememberedFocus = nullptr;
  view->Activate();
  EXPECT_EQ(FocusedPane(), view);
}

TEST_F(FocusTest, HidingAFocusedPaneRemovesTheFocusAndShowingDoesNotRestoreIt) {
  RequestFocus(a);
  a->Notify(HideNotification);
  EXPECT_EQ(FocusedPane(), nullptr);
  a->Notify(ShowNotification);
  EXPECT_EQ(FocusedPane(), nullptr);
  // A pane on a tab that is not current is not shown either.
  RequestFocus(b);
  b->SetShownOnTab(false);
  EXPECT_EQ(FocusedPane(), nullptr);
}

TEST_F(FocusTest, DisablingAFocusedPaneClearsTheFocusAndTheRememberedFocus) {
  RequestFocus(a);
  a->Notify(DisableNotification);
  EXPECT_EQ(FocusedPane(), nullptr);
  EXPECT_EQ(view->rememberedFocus, nullptr);
  view->Deactivate();
  view->Activate();
  EXPECT_EQ(FocusedPane(), b) << "the disabled pane is not refocused";
}

TEST_F(FocusTest, ClosingOrDeletingTheFocusedPaneLeavesNoFocusBehind) {
  RequestFocus(a);
  a->Close();
  EXPECT_EQ(FocusedPane(), nullptr);
  EXPECT_EQ(view->rememberedFocus, nullptr);
  RequestFocus(b);
  b->Destroy();  // without close: the destruction itself forgets it
  EXPECT_EQ(FocusedPane(), nullptr);
}

TEST_F(FocusTest, TheWindowServicesFocusTheViewItselfAndClearTheFocus) {
  WindowObject window = {};
  window.view = view;
  auto* object = reinterpret_cast<RuntimeObject*>(&window);
  RequestFocus(a);
  formSetFocus(object);
  EXPECT_EQ(FocusedPane(), view) << "the view takes the focus without accepting it";
  clearFocus();
  EXPECT_EQ(FocusedPane(), nullptr);

  ControlObject control = {};
  control.pane = b;
  RuntimeSetFocus(reinterpret_cast<RuntimeObject*>(&control));
  EXPECT_EQ(FocusedPane(), b);
  control.pane = nullptr;
  RuntimeSetFocus(reinterpret_cast<RuntimeObject*>(&control));
  EXPECT_EQ(FocusedPane(), b) << "a control without a pane changes nothing";
}

}  // namespace
