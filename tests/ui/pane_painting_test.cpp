#include "ui/pane_painting.h"

#include <gtest/gtest.h>

#include "core/runtime_string.h"
#include "graphics/graphics_object.h"
#include "platform/testing/testing.h"
#include "tests/graphics/memory_device.h"
#include "ui/control_object.h"
#include "ui/control_services.h"
#include "ui/window_object.h"
#include "ui/window_services.h"
#include "ui_test_support.h"

namespace {

using uitest::PaneTest;
using uitest::TestPane;

constexpr uint32_t Blue = 0x0000FF;  // 0x00RRGGBB

class PanePaintingTest : public PaneTest {
 protected:
  // A pixel of the window's client area as drawn on its surface, 0x00RRGGBB.
  uint32_t WindowPixel(int x, int y) {
    uint32_t pixel = 0xFFFFFFFF;
    kwtesting::ReadWindowPixel(view->handle, x, y, &pixel);
    return pixel;
  }
  RuntimeObject* ControlFor(Pane* pane) {
    control = {};
    control.pane = pane;
    if (pane) control.bounds = pane->bounds;
    return reinterpret_cast<RuntimeObject*>(&control);
  }
  ControlObject control{};
};

TEST_F(PanePaintingTest, RefreshRepaintsBeforeItReturns) {
  TestPane* pane = Add("pane", {20, 30, 60, 90}, nullptr, "KW_Pane");
  pane->paintColour = Blue;
  kwtesting::PumpMessages();
  int before = pane->paints;
  RuntimeControlRefresh(ControlFor(pane));
  EXPECT_EQ(pane->paints, before + 1);
  EXPECT_EQ(WindowPixel(30, 20), Blue) << "the pane's own top left, in top-level coordinates";
  EXPECT_EQ(WindowPixel(89, 59), Blue);
  EXPECT_NE(WindowPixel(90, 60), Blue);
  RuntimeControlRefreshRect(ControlFor(pane), 0, 0, 5, 5);
  EXPECT_EQ(pane->paints, before + 2);
  RuntimeControlRefresh(ControlFor(nullptr));  // no pane: nothing
}

TEST_F(PanePaintingTest, PaintMessagesPaintPanesWithTheirFont) {
  struct FontPane : TestPane {
    using TestPane::TestPane;
    void Paint(DrawingPort* port) override {
      seenFont = StringCText(port->fontName);
      seenSize = port->textSize;
      seenStyle = port->textStyle;
      TestPane::Paint(port);
    }
    std::string seenFont;
    int32_t seenSize = 0, seenStyle = 0;
  };
  auto* pane = new FontPane(view, "pane", {10, 10, 40, 40}, "KW_Pane");
  pane->textFont = StringFromCString("Helvetica");
  pane->textSize = 9;
  pane->textStyle = 3;
  InvalidateRect(pane->handle, nullptr, TRUE);
  kwtesting::PumpMessages();
  EXPECT_GE(pane->paints, 1);
  EXPECT_EQ(pane->seenFont, "Helvetica");
  EXPECT_EQ(pane->seenSize, 9);
  EXPECT_EQ(pane->seenStyle, 3);
  EXPECT_EQ(pane->paintDC, nullptr) << "the paint context is forgotten after painting";
  EXPECT_EQ(DrawingTarget(), nullptr);
}

TEST_F(PanePaintingTest, APortDrawsOnAPaneOutsidePaintingInTopLevelCoordinates) {
  TestPane* pane = Add("pane", {20, 30, 60, 90}, nullptr, "KW_Pane");
  kwtesting::PumpMessages();
  DrawingPort* port = NewPanePort(pane);
  PortSetForeColor(port, Color16FromLanguage(0x00FF00));
  PortFillRect(port, {40, 50, 45, 55});
  EXPECT_EQ(DrawingTarget(), pane);
  EXPECT_EQ(pane->ownDCUses, 1) << "the context is borrowed once";
  PortFillRect(port, {50, 50, 55, 55});
  EXPECT_EQ(pane->ownDCUses, 1);
  DestroyDrawingPort(port);
  EXPECT_EQ(pane->ownDCUses, 0);
  EXPECT_EQ(pane->ownDC, nullptr);
  EXPECT_EQ(WindowPixel(52, 42), 0x00FF00u);
  EndDrawingTarget();
}

TEST_F(PanePaintingTest, WindowlessPanesDrawInTheirWindowedAncestor) {
  TestPane* host = Add("host", {20, 30, 60, 90}, nullptr, "KW_Pane");
  TestPane* inner = Add("inner", {30, 40, 40, 50}, host);
  kwtesting::PumpMessages();
  EXPECT_EQ(inner->WindowedPane(), host);
  DrawingPort* port = NewPanePort(inner);
  PortSetForeColor(port, Color16FromLanguage(0x00FF00));
  PortFillRect(port, inner->bounds);
  DestroyDrawingPort(port);
  EXPECT_EQ(WindowPixel(45, 35), 0x00FF00u);
  EndDrawingTarget();
}

TEST_F(PanePaintingTest, DyingPanesAreNotPainted) {
  TestPane* pane = Add("pane", {20, 30, 60, 90}, nullptr, "KW_Pane");
  kwtesting::PumpMessages();
  int before = pane->paints;
  pane->dying = 1;
  PaintPane(pane);
  EXPECT_EQ(pane->paints, before);
  pane->dying = 0;
}

TEST_F(PanePaintingTest, TheWindowRefreshesPaintTheViewAtOnce) {
  struct PaintedView : WindowView {
    using WindowView::WindowView;
    void Paint(DrawingPort*) override { paints++; }
    int paints = 0;
  };
  auto* painted = new PaintedView("Painted", WS_POPUP, 0, 10, 10, 50, 50);
  ShowWindow(painted->handle, SW_SHOW);
  kwtesting::PumpMessages();
  WindowObject window = {};
  window.view = painted;
  int before = painted->paints;
  formRefresh(reinterpret_cast<RuntimeObject*>(&window));
  EXPECT_EQ(painted->paints, before + 1);
  formRefreshRect(reinterpret_cast<RuntimeObject*>(&window), 0, 0, 10, 10);
  EXPECT_EQ(painted->paints, before + 2);
  painted->CloseView();
}

TEST_F(PanePaintingTest, DrawingAWindowIntoAGraphicsMovesTheOriginForTheCall) {
  struct DrawnPane : TestPane {
    using TestPane::TestPane;
    void DrawInto(DrawingPort* port) override {
      PortSetForeColor(port, Color16FromLanguage(0xFF0000));
      PortFillRect(port, bounds);
    }
  };
  new DrawnPane(view, "drawn", {10, 20, 12, 22});
  auto* disabled = new DrawnPane(view, "disabled", {30, 30, 32, 32});
  disabled->SetEnabled(false, false);
  MemoryDevice device(60, 60);
  DrawingPort* port = NewDrawingPort(&device);
  PortSetOrigin(port, 1, 1);
  GraphicsObject graphics = {};
  graphics.port = port;
  WindowObject window = {};
  window.view = view;
  formDrawInto(reinterpret_cast<RuntimeObject*>(&window), reinterpret_cast<RuntimeObject*>(&graphics), 5, 7);
  EXPECT_EQ(device.Pixel(20 + 5 - 1, 10 + 7 - 1), 0x0000FFu) << "the window's top left lands at (5, 7)";
  EXPECT_EQ(device.Pixel(30 + 5 - 1, 30 + 7 - 1), 0xFFFFFFu) << "disabled panes are not drawn";
  EXPECT_EQ(port->originX, 1);
  EXPECT_EQ(port->originY, 1);
  formDrawInto(reinterpret_cast<RuntimeObject*>(&window), nullptr, 0, 0);  // no Graphics: nothing
  DestroyDrawingPort(port);
}

}  // namespace
