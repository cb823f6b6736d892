// What the pane tests share: a pane that records what happens to it and answers as told, and a
// fixture with a window view whose panes are closed and checked after each test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/drawing_port.h"
#include "ui/pane_state.h"
#include "ui/window_view.h"

namespace uitest {

inline std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

// A container pane (so that it may hold others) whose leaf answers are set by the test.
class TestPane : public ContainerPane {
 public:
  TestPane(Pane* parent, const char* name, PortRect rect, const char* className = "")
      : ContainerPane({parent, rect, name, className, 0, 0}), name(name) {}

  bool AcceptsFocus() override { return acceptsFocus; }
  void GainFocus() override { Log().push_back(name + " gain"); }
  void LoseFocus() override {
    Log().push_back(name + " lose");
    if (focusOnLoss) ChangeFocus(focusOnLoss);
  }
  bool MouseDownFromParent(int32_t x, int32_t y, int32_t modifiers) override {
    if (firstChild) return ContainerPane::MouseDownFromParent(x, y, modifiers);
    Log().push_back(name + " click");
    return handlesClicks;
  }
  bool MouseDown(int32_t x, int32_t y, int32_t) override {
    Log().push_back(name + " down " + std::to_string(x) + "," + std::to_string(y));
    return true;
  }
  void MouseUp(int32_t x, int32_t y) override {
    Log().push_back(name + " up " + std::to_string(x) + "," + std::to_string(y));
  }
  void MouseMove(int32_t x, int32_t y) override {
    if (firstChild) return ContainerPane::MouseMove(x, y);
    Log().push_back(name + " move");
  }
  void Notify(int32_t code) override {
    Log().push_back(name + " notify " + std::to_string(code));
    ContainerPane::Notify(code);
  }
  void ShownChanged(bool wasShown, bool isShown) override {
    Log().push_back(name + (isShown ? " shown" : " hidden"));
    ContainerPane::ShownChanged(wasShown, isShown);
  }
  void Invalidate() override {
    invalidations++;
    Pane::Invalidate();
  }
  void SetBounds(PortRect rect, bool redraw) override {
    setBoundsCalls++;
    Pane::SetBounds(rect, redraw);
  }
  void Paint(DrawingPort* port) override {
    paints++;
    PortSetForeColor(port, Color16FromLanguage(paintColour));
    PortFillRect(port, bounds);
  }

  std::string name;
  bool acceptsFocus = false;
  bool handlesClicks = true;
  Pane* focusOnLoss = nullptr;
  int invalidations = 0;
  int setBoundsCalls = 0;
  int paints = 0;
  uint32_t paintColour = 0xFF0000;
};

// A shown, active window view of 200 x 150 client pixels at (100, 100).
class PaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterPaneWindowClasses();
    Log().clear();
    view = new WindowView("Panes", WS_POPUP, 0, 100, 100, 200, 150);
    ASSERT_NE(view->handle, nullptr);
    ShowWindow(view->handle, SW_SHOW);
    view->Activate();
    Log().clear();
  }
  void TearDown() override {
    view->CloseView();
    EXPECT_EQ(FocusedPane(), nullptr);
    EXPECT_EQ(CapturePane(), nullptr);
    EXPECT_EQ(DrawingTarget(), nullptr);
    EXPECT_EQ(CurrentPort(), nullptr);
  }
  TestPane* Add(const char* name, PortRect rect, Pane* parent = nullptr, const char* className = "") {
    return new TestPane(parent ? parent : view, name, rect, className);
  }
  WindowView* view = nullptr;
};

}  // namespace uitest
