#include <cstring>

#include "platform/display/window_drawing.h"
#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using gditest::Canvas;

TEST(GdiHandles, StaleAndWrongKindHandlesFailWithoutFaulting) {
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  ASSERT_NE(pen, nullptr);
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_FALSE(DeleteObject(pen));

  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(dc, pen), nullptr);
  // A device context is no GDI object and the other way round.
  EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(dc)));
  HBRUSH brush = CreateSolidBrush(0);
  EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(brush)));
  EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(brush), brush), nullptr);
  EXPECT_TRUE(DeleteDC(dc));

  RECT r = {0, 0, 1, 1};
  EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
  EXPECT_EQ(SetPixel(dc, 0, 0, 0), CLR_INVALID);
  EXPECT_EQ(FillRect(dc, &r, brush), 0);
  EXPECT_EQ(SaveDC(dc), 0);
  EXPECT_EQ(SetBkMode(dc, TRANSPARENT), 0);
  EXPECT_EQ(GetObjectA(reinterpret_cast<HANDLE>(0x12345678), 0, nullptr), 0);
  EXPECT_TRUE(DeleteObject(brush));
}

TEST(GdiHandles, SelectedObjectsCannotBeDeletedAndBitmapsLiveInOneContext) {
  Canvas canvas(2, 2);
  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  HGDIOBJ stockPen = SelectObject(canvas.dc(), pen);
  EXPECT_EQ(stockPen, GetStockObject(BLACK_PEN));
  EXPECT_FALSE(DeleteObject(pen));
  EXPECT_EQ(SelectObject(canvas.dc(), stockPen), pen);
  EXPECT_TRUE(DeleteObject(pen));

  // Stock objects survive DeleteObject.
  EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));

  HDC other = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(canvas.dc(), 3, 3);
  ASSERT_NE(SelectObject(other, bitmap), nullptr);
  EXPECT_EQ(SelectObject(canvas.dc(), bitmap), nullptr);
  EXPECT_FALSE(DeleteObject(bitmap));
  DeleteDC(other);  // deleting the context releases its selections
  EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(GdiBitmaps, DibSectionPixelsAreLiveBothWays) {
  struct Case {
    const char* name;
    LONG height;  // negative: top-down
    int memoryIndexOfTopLeft;
  } cases[] = {{"top-down", -3, 0}, {"bottom-up", 3, 2 * 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, c.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    uint32_t* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bits[0], 0u);  // zero-filled

    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    EXPECT_EQ(SetPixel(dc, 0, 0, RGB(0x12, 0x34, 0x56)), RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(bits[c.memoryIndexOfTopLeft], 0x00123456u);  // bytes B, G, R, 0
    bits[c.memoryIndexOfTopLeft + 1] = 0x00ABCDEF;
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0xAB, 0xCD, 0xEF));

    DIBSECTION section = {};
    EXPECT_EQ(GetObjectA(bitmap, sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBm.bmBits, bits);
    EXPECT_EQ(section.dsBmih.biHeight, c.height);
    BITMAP description = {};
    EXPECT_EQ(GetObjectA(bitmap, sizeof description, &description), static_cast<int>(sizeof description));
    EXPECT_EQ(description.bmWidth, 4);
    EXPECT_EQ(description.bmHeight, 3);
    EXPECT_EQ(description.bmBitsPixel, 32);

    SelectObject(dc, previous);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(bitmap));
  }
}

TEST(GdiBitmaps, BadDibSectionRequestsAreRefused) {
  struct Case {
    const char* name;
    BITMAPINFOHEADER header;
  } cases[] = {
      {"zero width", {sizeof(BITMAPINFOHEADER), 0, 4, 1, 32, BI_RGB, 0, 0, 0, 0, 0}},
      {"zero height", {sizeof(BITMAPINFOHEADER), 4, 0, 1, 32, BI_RGB, 0, 0, 0, 0, 0}},
      {"two planes", {sizeof(BITMAPINFOHEADER), 4, 4, 2, 32, BI_RGB, 0, 0, 0, 0, 0}},
      {"short header", {12, 4, 4, 1, 32, BI_RGB, 0, 0, 0, 0, 0}},
      {"huge", {sizeof(BITMAPINFOHEADER), 0x10000, 0x10000, 1, 32, BI_RGB, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BITMAPINFO info = {};
    info.bmiHeader = c.header;
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
  }
  EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

TEST(GdiFill, FillRectLeavesRightAndBottomEdgesAndTakesSystemColorValues) {
  Canvas canvas(6, 4);
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  RECT r = {1, 1, 4, 3};
  EXPECT_NE(FillRect(canvas.dc(), &r, black), 0);
  EXPECT_PICTURE(canvas.Picture(), {"......", ".###..", ".###..", "......"});

  // A system colour index + 1 in place of a brush; the null brush paints nothing.
  RECT all = {0, 0, 6, 4};
  EXPECT_NE(FillRect(canvas.dc(), &all, reinterpret_cast<HBRUSH>(COLOR_BTNTEXT + 1)), 0);
  EXPECT_EQ(GetPixel(canvas.dc(), 5, 3), GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(FillRect(canvas.dc(), &all, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))), 0);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_3DFACE));
  EXPECT_EQ(GetSysColor(-1), 0u);
}

TEST(GdiFill, InvertFrameAndFocusRectangles) {
  Canvas canvas(6, 5);
  RECT r = {1, 1, 5, 4};
  EXPECT_NE(FrameRect(canvas.dc(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
  EXPECT_PICTURE(canvas.Picture(), {"......", ".####.", ".#..#.", ".####.", "......"});
  EXPECT_TRUE(InvertRect(canvas.dc(), &r));
  EXPECT_PICTURE(canvas.Picture(), {"......", "......", "..##..", "......", "......"});

  // A dotted frame that a second call removes.
  canvas.Clear();
  RECT focus = {0, 0, 6, 5};
  EXPECT_TRUE(DrawFocusRect(canvas.dc(), &focus));
  EXPECT_PICTURE(canvas.Picture(), {"#.#.#.", ".....#", "#.....", ".....#", "#.#.#."});
  EXPECT_TRUE(DrawFocusRect(canvas.dc(), &focus));
  EXPECT_PICTURE(canvas.Picture(), {"......", "......", "......", "......", "......"});
}

}  // namespace
