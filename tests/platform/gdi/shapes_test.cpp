#include <algorithm>
#include <cstdint>

#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using gditest::Canvas;
using gditest::InkBounds;

// Selects a pen and a brush for one test and deletes them afterwards.
class Tools {
 public:
  Tools(HDC dc, HPEN pen, HBRUSH brush) : dc_(dc), pen_(pen), brush_(brush) {
    oldPen_ = SelectObject(dc, pen);
    oldBrush_ = SelectObject(dc, brush);
  }
  ~Tools() {
    SelectObject(dc_, oldPen_);
    SelectObject(dc_, oldBrush_);
    DeleteObject(pen_);
    DeleteObject(brush_);
  }

 private:
  HDC dc_;
  HGDIOBJ pen_, brush_, oldPen_, oldBrush_;
};

TEST(GdiLines, LineToLeavesOutTheEndPointInEveryDirection) {
  struct Case {
    const char* name;
    POINT from, to;
    std::vector<std::string> picture;
  } cases[] = {
      {"rightwards", {1, 1}, {4, 1}, {"......", ".###..", "......", "......"}},
      {"leftwards", {4, 1}, {1, 1}, {"......", "..###.", "......", "......"}},
      {"downwards", {2, 0}, {2, 3}, {"..#...", "..#...", "..#...", "......"}},
      {"diagonal", {0, 0}, {3, 3}, {"#.....", ".#....", "..#...", "......"}},
      {"shallow", {0, 0}, {5, 2}, {"##....", "..##..", "....#.", "......"}},
      {"single point", {2, 2}, {2, 2}, {"......", "......", "......", "......"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas(6, 4);
    MoveToEx(canvas.dc(), c.from.x, c.from.y, nullptr);
    EXPECT_TRUE(LineTo(canvas.dc(), c.to.x, c.to.y));
    EXPECT_PICTURE(canvas.Picture(), c.picture);
    POINT position;
    GetCurrentPositionEx(canvas.dc(), &position);
    EXPECT_EQ(position.x, c.to.x);
    EXPECT_EQ(position.y, c.to.y);
  }
}

TEST(GdiLines, JoinedSegmentsTouchEachPixelOnceAndWidePensHaveRoundCaps) {
  Canvas canvas(6, 5);
  // Inverting with R2_NOT shows a pixel drawn twice as white again.
  SetROP2(canvas.dc(), R2_NOT);
  const POINT square[] = {{1, 1}, {4, 1}, {4, 3}, {1, 3}, {1, 1}};
  EXPECT_TRUE(Polyline(canvas.dc(), square, 5));
  EXPECT_PICTURE(canvas.Picture(), {"......", ".####.", ".#..#.", ".####.", "......"});

  // Five pixels wide: discs of that diameter from one end to the other, the end included.
  Canvas wide(11, 7);
  Tools tools(wide.dc(), CreatePen(PS_SOLID, 5, RGB(0, 0, 0)), CreateSolidBrush(0));
  MoveToEx(wide.dc(), 3, 3, nullptr);
  LineTo(wide.dc(), 7, 3);
  EXPECT_PICTURE(wide.Picture(), {"...........", "..#######..", ".#########.", ".#########.", ".#########.",
                                  "..#######..", "..........."});
}

TEST(GdiLines, DottedPensLeaveGapsOrFillThemWithTheBackground) {
  Canvas canvas(12, 2);
  Tools tools(canvas.dc(), CreatePen(PS_DOT, 1, RGB(0, 0, 0)), CreateSolidBrush(0));
  SetBkMode(canvas.dc(), TRANSPARENT);
  MoveToEx(canvas.dc(), 0, 0, nullptr);
  LineTo(canvas.dc(), 12, 0);
  SetBkMode(canvas.dc(), OPAQUE);
  SetBkColor(canvas.dc(), RGB(255, 0, 0));
  MoveToEx(canvas.dc(), 0, 1, nullptr);
  LineTo(canvas.dc(), 12, 1);
  EXPECT_PICTURE(canvas.Picture(), {"###...###...", "###RRR###RRR"});
}

TEST(GdiShapes, RectanglesKeepThePenInsideTheirBounds) {
  struct Case {
    const char* name;
    int pen;    // stock pen, or -1 for a 2-pixel black pen
    int brush;  // stock brush, or -1 for a red brush
    RECT bounds;
    std::vector<std::string> picture;
  } cases[] = {
      {"pen and brush",
       BLACK_PEN,
       -1,
       {1, 1, 6, 5},
       {".......", ".#####.", ".#RRR#.", ".#RRR#.", ".#####.", "......."}},
      {"null pen", NULL_PEN, -1, {1, 1, 6, 5}, {".......", ".RRRRR.", ".RRRRR.", ".RRRRR.", ".RRRRR.", "......."}},
      {"null brush",
       BLACK_PEN,
       NULL_BRUSH,
       {1, 1, 6, 5},
       {".......", ".#####.", ".#...#.", ".#...#.", ".#####.", "......."}},
      {"reversed corners",
       BLACK_PEN,
       NULL_BRUSH,
       {6, 5, 1, 1},
       {".......", ".#####.", ".#...#.", ".#...#.", ".#####.", "......."}},
      {"wide pen", -1, -1, {0, 0, 7, 6}, {"#######", "#######", "##RRR##", "##RRR##", "#######", "#######"}},
      {"one pixel", BLACK_PEN, -1, {2, 2, 3, 3}, {".......", ".......", "..#....", ".......", ".......", "......."}},
      {"empty", BLACK_PEN, -1, {2, 2, 2, 5}, {".......", ".......", ".......", ".......", ".......", "......."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas(7, 6);
    HPEN pen = c.pen < 0 ? CreatePen(PS_SOLID, 2, RGB(0, 0, 0)) : CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    if (c.pen == NULL_PEN) {
      DeleteObject(pen);
      pen = CreatePen(PS_NULL, 1, 0);
    }
    HBRUSH brush = c.brush < 0 ? CreateSolidBrush(RGB(255, 0, 0)) : CreateSolidBrush(0);
    Tools tools(canvas.dc(), pen, brush);
    if (c.brush == NULL_BRUSH) SelectObject(canvas.dc(), GetStockObject(NULL_BRUSH));
    EXPECT_TRUE(Rectangle(canvas.dc(), c.bounds.left, c.bounds.top, c.bounds.right, c.bounds.bottom));
    EXPECT_PICTURE(canvas.Picture(), c.picture);
  }
}

TEST(GdiShapes, EllipsesAndRoundRectanglesFillExactlyTheirBounds) {
  struct Case {
    const char* name;
    RECT bounds;
    int cornerWidth, cornerHeight;  // 0: an ellipse
  } cases[] = {
      {"circle", {1, 1, 9, 9}, 0, 0},           {"wide ellipse", {0, 2, 10, 6}, 0, 0},
      {"tall ellipse", {3, 0, 6, 10}, 0, 0},    {"odd ellipse", {1, 1, 8, 6}, 0, 0},
      {"round rectangle", {0, 0, 10, 8}, 4, 4}, {"tiny", {4, 4, 6, 6}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool outline : {false, true}) {
      Canvas canvas(10, 10);
      Tools tools(canvas.dc(), outline ? CreatePen(PS_SOLID, 1, RGB(0, 0, 0)) : CreatePen(PS_NULL, 1, 0),
                  CreateSolidBrush(RGB(255, 0, 0)));
      if (c.cornerWidth == 0)
        Ellipse(canvas.dc(), c.bounds.left, c.bounds.top, c.bounds.right, c.bounds.bottom);
      else
        RoundRect(canvas.dc(), c.bounds.left, c.bounds.top, c.bounds.right, c.bounds.bottom, c.cornerWidth,
                  c.cornerHeight);
      const std::vector<std::string> picture = canvas.Picture();
      const RECT ink = InkBounds(picture);
      EXPECT_EQ(ink.left, c.bounds.left) << gditest::Show(picture);
      EXPECT_EQ(ink.top, c.bounds.top);
      EXPECT_EQ(ink.right, c.bounds.right);
      EXPECT_EQ(ink.bottom, c.bounds.bottom);
      // Mirror symmetry about the bounds' centre lines.
      for (int y = c.bounds.top; y < c.bounds.bottom; y++)
        for (int x = c.bounds.left; x < c.bounds.right; x++) {
          const int mirroredX = c.bounds.left + c.bounds.right - 1 - x;
          const int mirroredY = c.bounds.top + c.bounds.bottom - 1 - y;
          EXPECT_EQ(picture[y][x], picture[y][mirroredX]) << x << "," << y << gditest::Show(picture);
          EXPECT_EQ(picture[y][x], picture[mirroredY][x]) << x << "," << y;
        }
    }
  }
}

TEST(GdiShapes, EllipseOutlineIsClosedAroundItsInterior) {
  Canvas canvas(12, 6);
  Tools tools(canvas.dc(), CreatePen(PS_SOLID, 1, RGB(0, 0, 0)), CreateSolidBrush(RGB(255, 0, 0)));
  Ellipse(canvas.dc(), 0, 0, 12, 6);
  EXPECT_PICTURE(canvas.Picture(),
                 {"...######...", ".##RRRRRR##.", "#RRRRRRRRRR#", "#RRRRRRRRRR#", ".##RRRRRR##.", "...######..."});
  Canvas circle(4, 4);
  Tools circleTools(circle.dc(), CreatePen(PS_NULL, 1, 0), CreateSolidBrush(RGB(0, 0, 0)));
  Ellipse(circle.dc(), 0, 0, 4, 4);
  EXPECT_PICTURE(circle.Picture(), {".##.", "####", "####", ".##."});
}

TEST(GdiShapes, PolygonsFillByCentreAndOutlineThroughTheirVertices) {
  Canvas canvas(7, 6);
  Tools tools(canvas.dc(), CreatePen(PS_NULL, 1, 0), CreateSolidBrush(RGB(0, 0, 0)));
  const POINT square[] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
  EXPECT_TRUE(Polygon(canvas.dc(), square, 4));
  EXPECT_PICTURE(canvas.Picture(), {".......", ".####..", ".####..", ".####..", ".......", "......."});

  canvas.Clear();
  SelectObject(canvas.dc(), GetStockObject(BLACK_PEN));
  SelectObject(canvas.dc(), GetStockObject(NULL_BRUSH));
  const POINT triangle[] = {{0, 0}, {6, 0}, {0, 5}};
  EXPECT_TRUE(Polygon(canvas.dc(), triangle, 3));
  const std::vector<std::string> picture = canvas.Picture();
  EXPECT_EQ(picture[0], "#######");
  EXPECT_EQ(picture[5][0], '#');
  EXPECT_FALSE(Polygon(canvas.dc(), triangle, 1));

  // Alternate leaves the doubly-wound centre of a self-overlapping path empty; winding fills it.
  const POINT star[] = {{0, 2}, {6, 2}, {6, 4}, {2, 4}, {2, 0}, {4, 0}, {4, 6}, {0, 6}};
  for (int mode : {ALTERNATE, WINDING}) {
    Canvas fill(7, 7);
    Tools fillTools(fill.dc(), CreatePen(PS_NULL, 1, 0), CreateSolidBrush(RGB(0, 0, 0)));
    SetPolyFillMode(fill.dc(), mode);
    Polygon(fill.dc(), star, 8);
    EXPECT_EQ(fill.Picture()[2][2], mode == WINDING ? '#' : '.') << gditest::Show(fill.Picture());
  }
}

TEST(GdiShapes, ShapesStayInsideTheClip) {
  Canvas canvas(8, 8);
  Tools tools(canvas.dc(), CreatePen(PS_SOLID, 1, RGB(0, 0, 0)), CreateSolidBrush(RGB(0, 0, 0)));
  HRGN clip = CreateRectRgn(2, 3, 5, 20);
  SelectClipRgn(canvas.dc(), clip);
  Ellipse(canvas.dc(), -10, -10, 20, 20);
  MoveToEx(canvas.dc(), 0, 7, nullptr);
  LineTo(canvas.dc(), 8, 7);
  EXPECT_EQ(InkBounds(canvas.Picture()).left, 2);
  const RECT ink = InkBounds(canvas.Picture());
  EXPECT_EQ(ink.top, 3);
  EXPECT_EQ(ink.right, 5);
  EXPECT_EQ(ink.bottom, 8);
  DeleteObject(clip);
}

TEST(GdiShapes, ExtremeCoordinatesAndSizesDrawQuicklyWithoutOverflow) {
  Canvas canvas(16, 16);
  Tools tools(canvas.dc(), CreatePen(PS_SOLID, 0x7FFFFFFF, RGB(0, 0, 0)), CreateSolidBrush(RGB(255, 0, 0)));
  const int low = INT32_MIN, high = INT32_MAX;
  EXPECT_TRUE(Rectangle(canvas.dc(), low, low, high, high));
  EXPECT_TRUE(Ellipse(canvas.dc(), low, low, high, high));
  EXPECT_TRUE(RoundRect(canvas.dc(), low, low, high, high, high, high));
  const POINT far[] = {{low, low}, {high, 0}, {0, high}};
  EXPECT_TRUE(Polygon(canvas.dc(), far, 3));
  MoveToEx(canvas.dc(), -100000, -3, nullptr);
  EXPECT_TRUE(LineTo(canvas.dc(), 100000, 3));
  RECT huge = {low, low, high, high};
  EXPECT_NE(FillRect(canvas.dc(), &huge, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 0);
  EXPECT_TRUE(PatBlt(canvas.dc(), high - 1, high - 1, high, high, BLACKNESS));
  EXPECT_TRUE(StretchBlt(canvas.dc(), low, low, high, high, canvas.dc(), 0, 0, high, 1, SRCCOPY));
  SetMapMode(canvas.dc(), MM_ANISOTROPIC);
  EXPECT_TRUE(SetViewportExtEx(canvas.dc(), low, high, nullptr));
  EXPECT_TRUE(Rectangle(canvas.dc(), -5, -5, 5, 5));
  EXPECT_NE(SetPixel(canvas.dc(), 0, 0, 0), CLR_INVALID);
}

}  // namespace
