#include "graphics/drawing_port.h"

#include <gtest/gtest.h>

#include "core/runtime_string.h"
#include "graphics/font_cache.h"
#include "memory_device.h"

namespace {

constexpr COLORREF White = 0xFFFFFF;
constexpr COLORREF Red = 0x0000FF;

// Ports on memory devices; nothing stays current between tests.
class DrawingPortTest : public ::testing::Test {
 protected:
  void TearDown() override {
    RetireCurrentPort();
    EXPECT_EQ(CurrentPort(), nullptr);
  }
  static void UseColour(DrawingPort* port, uint32_t language) { PortSetForeColor(port, Color16FromLanguage(language)); }
};

TEST_F(DrawingPortTest, NewPortsStartFromTheDefaults) {
  MemoryDevice device(8, 8);
  DrawingPort* port = NewDrawingPort(&device);
  EXPECT_STREQ(StringCText(port->fontName), "System");
  EXPECT_EQ(port->textSize, 12);
  EXPECT_EQ(port->textStyle, 0);
  EXPECT_EQ(port->penWidth, 1);
  EXPECT_EQ(port->penHeight, 1);
  EXPECT_EQ(port->foreColor, (RGBColor16{0, 0, 0}));
  EXPECT_EQ(port->clip, nullptr);
  EXPECT_EQ(port->font, nullptr);
  DestroyDrawingPort(port);
  EXPECT_EQ(device.borrowed, 0) << "a port that never drew borrows nothing";
}

TEST_F(DrawingPortTest, PixelsKeepTheLanguageColourAndFillsReadBackRed) {
  MemoryDevice device(20, 20);
  DrawingPort* port = NewDrawingPort(&device);
  PortSetPixel(port, 3, 4, Color16FromLanguage(0xFF8000));
  EXPECT_EQ(LanguageFromColor16(PortGetPixel(port, 3, 4)), 0xFF8000u);
  UseColour(port, 0xFF0000);
  PortFillRect(port, {10, 10, 15, 15});
  RGBColor16 filled = PortGetPixel(port, 12, 12);
  EXPECT_EQ(filled.red, 0xFFFF);
  EXPECT_EQ(filled.blue, 0);
  DestroyDrawingPort(port);
}

TEST_F(DrawingPortTest, TheOriginAndTheDevicePlaceShiftEveryCoordinate) {
  // The device sits at (100, 50) of its window; the port's origin moves drawing by (-5, -5).
  MemoryDevice device(40, 40, 100, 50);
  DrawingPort* port = NewDrawingPort(&device);
  PortSetOrigin(port, 5, 5);
  UseColour(port, 0xFF0000);
  PortFillRect(port, {60, 110, 62, 112});
  EXPECT_EQ(device.Pixel(5, 5), Red);
  EXPECT_EQ(device.Pixel(4, 4), White);
  EXPECT_EQ(device.Pixel(7, 7), White);
  PortSetPixel(port, 105, 55, Color16FromLanguage(0x00FF00));
  EXPECT_EQ(device.Pixel(0, 0), 0x00FF00u);
  DestroyDrawingPort(port);
}

TEST_F(DrawingPortTest, ClipRectanglesInWindowCoordinatesLimitDrawingUntilCleared) {
  // The device sits at (10, 10) of its window.
  struct Case {
    PortRect clip;
    COLORREF inside, edge, outside;  // device pixels (2, 2), (3, 3), (4, 4)
  };
  const Case cases[] = {{{12, 12, 14, 14}, Red, Red, White}, {{100, 100, 120, 120}, White, White, White}};
  for (const Case& c : cases) {
    MemoryDevice device(20, 20, 10, 10);
    DrawingPort* port = NewDrawingPort(&device);
    UseColour(port, 0xFF0000);
    PortSetClipRect(port, c.clip);
    PortFillRect(port, {10, 10, 30, 30});
    EXPECT_EQ(device.Pixel(2, 2), c.inside);
    EXPECT_EQ(device.Pixel(3, 3), c.edge);
    EXPECT_EQ(device.Pixel(4, 4), c.outside);
    EXPECT_EQ(device.Pixel(1, 1), White);
    PortSetClipRegion(port, nullptr);
    PortFillRect(port, {10, 10, 30, 30});
    EXPECT_EQ(device.Pixel(5, 5), Red) << "no clip: the whole device";
    DestroyDrawingPort(port);
  }
}

TEST_F(DrawingPortTest, SwitchingPortsGivesTheContextBackWithItsClipRestored) {
  MemoryDevice first(20, 20), second(20, 20);
  DrawingPort* a = NewDrawingPort(&first);
  DrawingPort* b = NewDrawingPort(&second);
  PortSetClipRect(a, {0, 0, 5, 5});
  PortFillRect(a, {0, 0, 1, 1});
  EXPECT_EQ(CurrentPort(), a);
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(first.dc(), probe), 1) << "the port's clip is on the context while current";

  PortFillRect(b, {0, 0, 1, 1});
  EXPECT_EQ(CurrentPort(), b);
  EXPECT_EQ(first.returned, 1);
  EXPECT_EQ(GetClipRgn(first.dc(), probe), 0) << "the context had no clip of its own";
  PortFillRect(a, {0, 0, 1, 1});
  EXPECT_EQ(second.returned, 1);
  EXPECT_EQ(first.borrowed, 2);
  EXPECT_EQ(first.begun, 2);
  PortFillRect(a, {1, 1, 2, 2});
  EXPECT_EQ(first.borrowed, 2) << "a current port keeps its context";
  DeleteObject(probe);
  DestroyDrawingPort(a);
  DestroyDrawingPort(b);
  EXPECT_EQ(first.returned, 2);
}

TEST_F(DrawingPortTest, AContextClipOfItsOwnIsKeptAndIntersected) {
  MemoryDevice device(20, 20);
  HRGN own = CreateRectRgn(0, 0, 10, 20);
  SelectClipRgn(device.dc(), own);
  DrawingPort* port = NewDrawingPort(&device);
  UseColour(port, 0xFF0000);
  PortSetClipRect(port, {0, 5, 20, 20});
  PortFillRect(port, {0, 0, 20, 20});
  EXPECT_EQ(device.Pixel(7, 5), Red);
  EXPECT_EQ(device.Pixel(3, 5), White) << "outside the port's clip";
  EXPECT_EQ(device.Pixel(12, 5), White) << "outside the context's clip";
  DestroyDrawingPort(port);
  HRGN restored = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetClipRgn(device.dc(), restored), 1);
  EXPECT_TRUE(EqualRgn(restored, own));
  DeleteObject(restored);
  DeleteObject(own);
}

// A red port on a white 40 x 40 device.
class ShapeTest : public DrawingPortTest {
 protected:
  void SetUp() override { UseColour(port, 0xFF0000); }
  void TearDown() override {
    DestroyDrawingPort(port);
    DrawingPortTest::TearDown();
  }
  MemoryDevice device{40, 40};
  DrawingPort* port = NewDrawingPort(&device);
};

TEST_F(ShapeTest, OvalsAndRoundRectanglesNormaliseTheirRectangle) {
  PortFillOval(port, {30, 30, 10, 10});  // bottom above top, right left of left
  EXPECT_EQ(device.Pixel(20, 20), Red);
  device.Clear(White);
  PortFillRoundRect(port, {30, 30, 10, 10}, 4, 4);
  EXPECT_EQ(device.Pixel(20, 20), Red);
  device.Clear(White);
  PortFrameOval(port, {30, 30, 10, 10});
  EXPECT_EQ(device.Pixel(20, 20), White) << "a frame leaves the inside";
  EXPECT_EQ(device.Pixel(10, 20), Red);
}

TEST_F(ShapeTest, LinesUseThePenWidthAndMoveThePen) {
  PortSetPenSize(port, 5, 2);
  PortMoveTo(port, 5, 20);
  PortLineTo(port, 35, 20);
  EXPECT_EQ(port->penX, 35);
  EXPECT_EQ(port->penY, 20);
  EXPECT_EQ(device.Pixel(20, 20), Red);
  EXPECT_EQ(device.Pixel(20, 18), Red) << "five pixels wide";
  EXPECT_EQ(device.Pixel(20, 24), White);
  PortResetPenSize(port);
  EXPECT_EQ(port->penWidth, 1);
  EXPECT_EQ(port->penHeight, 1);
}

TEST_F(ShapeTest, FramedRectanglesUseThePenWidthAndLeaveTheInside) {
  UseColour(port, 0x0000FF);
  PortSetPenSize(port, 3, 3);
  PortFrameRect(port, {10, 10, 30, 30});
  EXPECT_EQ(device.Pixel(11, 20), 0xFF0000u);
  EXPECT_EQ(device.Pixel(20, 20), White);
}

TEST_F(ShapeTest, PolygonsAndInversion) {
  const POINT triangle[] = {{0, 0}, {39, 0}, {0, 39}};
  PortFillPolygon(port, triangle, 3);
  EXPECT_EQ(device.Pixel(5, 5), Red);
  EXPECT_EQ(device.Pixel(35, 35), White);
  PortInvertRect(port, {0, 0, 40, 40});
  EXPECT_EQ(device.Pixel(5, 5), 0xFFFF00u);
  EXPECT_EQ(device.Pixel(35, 35), 0u);
}

TEST_F(DrawingPortTest, APortWithoutADeviceDrawsNothingAndReadsBlack) {
  DrawingPort* port = NewDrawingPort(nullptr);
  PortMoveTo(port, 1, 1);
  PortLineTo(port, 5, 5);
  PortFillOval(port, {0, 0, 5, 5});
  PortDrawTextTruncated(port, "text", 4, 0, 10, 2);
  EXPECT_EQ(PortGetPixel(port, 1, 1), (RGBColor16{0, 0, 0}));
  EXPECT_EQ(CurrentPort(), nullptr);
  DestroyDrawingPort(port);
}

TEST_F(DrawingPortTest, DestroyingTheCurrentPortRetiresItAndAnOwnedDeviceGoesWithIt) {
  MemoryDevice device(8, 8);
  DrawingPort* port = NewDrawingPort(&device, true);
  PortFillRect(port, {0, 0, 1, 1});
  DestroyDrawingPort(port);
  EXPECT_EQ(CurrentPort(), nullptr);
  EXPECT_EQ(device.returned, 1);
  EXPECT_EQ(device.destroyed, 1);
}

TEST_F(DrawingPortTest, PortsAskingForTheSameFontShareItUntilBothAreGone) {
  MemoryDevice first(40, 20), second(40, 20);
  RuntimeString* geneva = StringFromCString("Geneva");
  DrawingPort* a = NewDrawingPort(&first);
  DrawingPort* b = NewDrawingPort(&second);
  PortSetFont(a, geneva, 12, 0);
  PortSetFont(b, geneva, 12, 0);
  StringRelease(geneva);
  int32_t fontsBefore = CachedFontCount();
  PortTextWidth(a, "x", 1);
  PortTextWidth(b, "x", 1);
  EXPECT_EQ(a->font, b->font);
  EXPECT_EQ(CachedFontCount(), fontsBefore + 1);
  EXPECT_EQ(CachedFontUses(a->font), 2);
  HFONT shared = a->font;
  DestroyDrawingPort(a);
  EXPECT_EQ(CachedFontUses(shared), 1);
  DestroyDrawingPort(b);
  EXPECT_EQ(CachedFontCount(), fontsBefore);
}

}  // namespace
