#include "ui/native_control_pane.h"

#include <gtest/gtest.h>

#include "core/runtime_string.h"
#include "ui/pane_window_link.h"
#include "ui_test_support.h"

namespace {

using uitest::Log;
using uitest::PaneTest;

// A control window class whose procedure logs the messages it sees.
LRESULT CALLBACK ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER) Log().push_back("control procedure");
  return DefWindowProcA(window, message, wParam, lParam);
}

class Control : public NativeControlPane {
 public:
  Control(Pane* parent, PortRect rect, bool replace)
      : NativeControlPane({parent, rect, "caption", "TestControl", 0, 0}, replace) {}
  LRESULT ControlCommand(int32_t code) override {
    Log().push_back("command " + std::to_string(code));
    return 5;
  }
  LRESULT ControlScroll(int32_t code) override {
    Log().push_back("scroll " + std::to_string(code));
    return 0;
  }
  bool ControlMessage(UINT message, WPARAM, LPARAM, LRESULT*) override {
    if (message == WM_USER) Log().push_back("pane first");
    return false;
  }
};

class NativeControlPaneTest : public PaneTest {
 protected:
  void SetUp() override {
    PaneTest::SetUp();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ControlProcedure;
    windowClass.lpszClassName = "TestControl";
    RegisterClassA(&windowClass);
  }
};

TEST_F(NativeControlPaneTest, NotificationsOfTheControlWindowReachItsPane) {
  auto* control = new Control(view, {10, 10, 30, 60}, false);
  ASSERT_NE(control->handle, nullptr);
  EXPECT_EQ(NativeControlPaneOf(control->handle), control);
  EXPECT_EQ(GetParent(control->handle), view->handle);
  LRESULT result = SendMessageA(view->handle, WM_COMMAND, MAKELONG(1, 7), reinterpret_cast<LPARAM>(control->handle));
  EXPECT_EQ(result, 5);
  SendMessageA(view->handle, WM_VSCROLL, 3, reinterpret_cast<LPARAM>(control->handle));
  EXPECT_EQ(Log(), (std::vector<std::string>{"command 7", "scroll 3"}));
}

TEST_F(NativeControlPaneTest, AReplacedProcedureSeesMessagesFirstAndIsPutBack) {
  auto* control = new Control(view, {10, 10, 30, 60}, true);
  HWND window = control->handle;
  SendMessageA(window, WM_USER, 0, 0);
  EXPECT_EQ(Log(), (std::vector<std::string>{"pane first", "control procedure"}));
  control->Close();
  EXPECT_EQ(NativeControlPaneOf(window), nullptr) << "the property goes with the pane";
  Log().clear();
  SendMessageA(window, WM_USER, 0, 0);
  EXPECT_EQ(Log(), (std::vector<std::string>{"control procedure"}));
}

TEST_F(NativeControlPaneTest, TextGoesToTheControlWindow) {
  auto* control = new Control(view, {10, 10, 30, 60}, false);
  RuntimeString* text = control->GetText();
  EXPECT_STREQ(StringCText(text), "caption");
  StringRelease(text);
  RuntimeString* changed = StringFromCString("changed");
  control->SetText(changed);
  StringRelease(changed);
  text = control->GetText();
  EXPECT_STREQ(StringCText(text), "changed");
  StringRelease(text);
  control->SetEnabled(false, false);
  EXPECT_FALSE(IsWindowEnabled(control->handle));
}

}  // namespace
