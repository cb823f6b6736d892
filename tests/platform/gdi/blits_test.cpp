#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using gditest::Canvas;

TEST(GdiBlits, RasterOperationsCombineSourcePatternAndDestination) {
  const uint32_t source = 0x00F0CC0F, destination = 0x00AA55FF, pattern = 0x003C3C3C;
  struct Case {
    const char* name;
    DWORD rop;
    uint32_t expected;
  } cases[] = {
      {"SRCCOPY", SRCCOPY, source},
      {"SRCAND", SRCAND, source & destination},
      {"SRCPAINT", SRCPAINT, source | destination},
      {"SRCINVERT", SRCINVERT, source ^ destination},
      {"NOTSRCCOPY", NOTSRCCOPY, ~source & 0xFFFFFF},
      {"MERGECOPY", MERGECOPY, source & pattern},
      {"PATCOPY", PATCOPY, pattern},
      {"PATINVERT", PATINVERT, pattern ^ destination},
      {"DSTINVERT", DSTINVERT, ~destination & 0xFFFFFF},
      {"BLACKNESS", BLACKNESS, 0},
      {"WHITENESS", WHITENESS, 0xFFFFFF},
  };
  Canvas from(1, 1);
  from.bits()[0] = source;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas to(1, 1);
    to.bits()[0] = destination;
    HBRUSH brush = CreateSolidBrush(RGB(0x3C, 0x3C, 0x3C));
    HGDIOBJ previous = SelectObject(to.dc(), brush);
    EXPECT_TRUE(BitBlt(to.dc(), 0, 0, 1, 1, from.dc(), 0, 0, c.rop));
    EXPECT_EQ(to.bits()[0], c.expected);
    SelectObject(to.dc(), previous);
    DeleteObject(brush);
  }
  // Operations without a source need none; those with one fail without it.
  Canvas to(1, 1);
  EXPECT_TRUE(PatBlt(to.dc(), 0, 0, 1, 1, BLACKNESS));
  EXPECT_FALSE(BitBlt(to.dc(), 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
  EXPECT_FALSE(PatBlt(to.dc(), 0, 0, 1, 1, SRCCOPY));
}

TEST(GdiBlits, StretchScalesMirrorsAndShrinksByTheStretchMode) {
  Canvas from(2, 2);
  // Source: black, red / green, blue.
  from.bits()[0] = 0x000000;
  from.bits()[1] = 0xFF0000;
  from.bits()[2] = 0x00FF00;
  from.bits()[3] = 0x0000FF;
  Canvas to(4, 4);
  EXPECT_TRUE(StretchBlt(to.dc(), 0, 0, 4, 4, from.dc(), 0, 0, 2, 2, SRCCOPY));
  EXPECT_PICTURE(to.Picture(), {"##RR", "##RR", "GGBB", "GGBB"});
  to.Clear();
  EXPECT_TRUE(StretchBlt(to.dc(), 3, 0, -4, 2, from.dc(), 0, 0, 2, 2, SRCCOPY));
  EXPECT_PICTURE(to.Picture(), {"RR##", "BBGG", "....", "...."});

  // Four source pixels onto one: AND in the default mode, the average in halftone.
  Canvas one(1, 1);
  StretchBlt(one.dc(), 0, 0, 1, 1, from.dc(), 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(one.bits()[0], 0u);
  SetStretchBltMode(one.dc(), WHITEONBLACK);
  StretchBlt(one.dc(), 0, 0, 1, 1, from.dc(), 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(one.bits()[0], 0xFFFFFFu & 0xFFFFFF);
  SetStretchBltMode(one.dc(), HALFTONE);
  StretchBlt(one.dc(), 0, 0, 1, 1, from.dc(), 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(one.bits()[0], 0x00404040u);
}

TEST(GdiBlits, OverlappingCopyWithinOneSurfaceReadsThePixelsAsTheyWere) {
  Canvas canvas(5, 1);
  for (int x = 0; x < 5; x++) canvas.bits()[x] = x == 0 ? 0xFF0000 : x == 1 ? 0x00FF00 : 0x0000FF;
  EXPECT_TRUE(BitBlt(canvas.dc(), 1, 0, 4, 1, canvas.dc(), 0, 0, SRCCOPY));
  EXPECT_PICTURE(canvas.Picture(), {"RRGBB"});
}

TEST(GdiBlits, DestinationClipAndSourceEdgesLimitTheCopy) {
  Canvas from(2, 2);
  for (int i = 0; i < 4; i++) from.bits()[i] = 0;
  Canvas to(4, 3);
  HRGN clip = CreateRectRgn(0, 0, 4, 1);
  SelectClipRgn(to.dc(), clip);
  // The source has only two columns: the other two are left alone.
  EXPECT_TRUE(BitBlt(to.dc(), 0, 0, 4, 3, from.dc(), 0, 0, SRCCOPY));
  EXPECT_PICTURE(to.Picture(), {"##..", "....", "...."});
  DeleteObject(clip);
}

}  // namespace
