#include <functional>

#include "platform/display/window_drawing.h"
#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using gditest::Canvas;

// The surface's pixels as characters, row by row.
std::vector<std::string> SurfacePicture(const kwplatform::Surface& surface) {
  std::vector<std::string> rows;
  for (int y = 0; y < surface.height; y++) {
    std::string row;
    for (int x = 0; x < surface.width; x++)
      row += gditest::ColorCharacter(kwplatform::ColorRefFromPixel(surface.Row(y)[x]));
    rows.push_back(row);
  }
  return rows;
}

void FillEverything(HDC dc, int stockBrush) {
  RECT everything = {-1000, -1000, 1000, 1000};
  FillRect(dc, &everything, static_cast<HBRUSH>(GetStockObject(stockBrush)));
}

TEST(GdiWindowContext, DrawsAtTheOriginInsideSystemAndApplicationClips) {
  auto surface = kwplatform::Surface::Make(10, 6);
  kwplatform::Region system(RECT{2, 1, 8, 5});
  system.Subtract(RECT{4, 2, 5, 3});
  HWND window = reinterpret_cast<HWND>(0x1234);
  HDC dc = kwplatform::OpenWindowDC(window, surface, POINT{2, 1}, system);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(kwplatform::WindowOfDC(dc), window);

  FillEverything(dc, BLACK_BRUSH);
  EXPECT_PICTURE(SurfacePicture(*surface),
                 {"..........", "..######..", "..##.###..", "..######..", "..######..", ".........."});
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));  // device (0, 0) is surface (2, 1)
  EXPECT_EQ(GetPixel(dc, 2, 1), CLR_INVALID);   // the hole in the system clip
  EXPECT_EQ(SetPixel(dc, -1, 0, 0), CLR_INVALID);

  // The application clip is in device coordinates and never widens the system clip; the
  // viewport origin moves drawing but not the clip.
  HRGN clip = CreateRectRgn(1, 1, 20, 3);
  EXPECT_EQ(SelectClipRgn(dc, clip), COMPLEXREGION);
  SetViewportOrgEx(dc, -1, 0, nullptr);
  RECT r = {0, 0, 4, 4};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_PICTURE(SurfacePicture(*surface),
                 {"..........", "..######..", "..#..###..", "..#..###..", "..######..", ".........."});

  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(dc, copy), 1);
  RECT box;
  EXPECT_EQ(GetRgnBox(copy, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 1);
  EXPECT_EQ(box.bottom, 3);
  EXPECT_EQ(SelectClipRgn(dc, nullptr), COMPLEXREGION);
  EXPECT_EQ(GetClipRgn(dc, copy), 0);

  EXPECT_FALSE(DeleteDC(dc));  // a window's context goes back through the window system
  EXPECT_TRUE(kwplatform::CloseWindowDC(dc));
  EXPECT_FALSE(kwplatform::CloseWindowDC(dc));
  EXPECT_EQ(kwplatform::WindowOfDC(dc), nullptr);
  DeleteObject(clip);
  DeleteObject(copy);
}

TEST(GdiRegions, CombineModesGiveExactPixelSets) {
  struct Case {
    int mode;
    int expectedType;
    std::vector<std::string> picture;
  } cases[] = {
      {RGN_AND, SIMPLEREGION, {"......", ".##...", ".##...", "......"}},
      {RGN_OR, COMPLEXREGION, {"###...", "####..", "####..", ".###.."}},
      {RGN_XOR, COMPLEXREGION, {"###...", "#..#..", "#..#..", ".###.."}},
      {RGN_DIFF, COMPLEXREGION, {"###...", "#.....", "#.....", "......"}},
      {RGN_COPY, SIMPLEREGION, {"###...", "###...", "###...", "......"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    Canvas canvas(6, 4);
    HRGN a = CreateRectRgn(0, 0, 3, 3);
    HRGN b = CreateRectRgn(1, 1, 4, 4);
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    // Each result drawn through the clip.
    EXPECT_EQ(CombineRgn(result, a, b, c.mode), c.expectedType);
    SelectClipRgn(canvas.dc(), result);
    FillEverything(canvas.dc(), BLACK_BRUSH);
    EXPECT_PICTURE(canvas.Picture(), c.picture);
    for (HRGN r : {a, b, result}) DeleteObject(r);
  }
}

TEST(GdiSaveRestore, RestoreBringsBackEachPieceOfState) {
  struct Case {
    const char* name;
    std::function<void(HDC)> change;
    std::function<bool(HDC)> isOriginal;
  } cases[] = {
      {"pen", [](HDC dc) { SelectObject(dc, GetStockObject(NULL_PEN)); },
       [](HDC dc) { return GetCurrentObject(dc, OBJ_PEN) == GetStockObject(BLACK_PEN); }},
      {"brush", [](HDC dc) { SelectObject(dc, GetStockObject(BLACK_BRUSH)); },
       [](HDC dc) { return GetCurrentObject(dc, OBJ_BRUSH) == GetStockObject(WHITE_BRUSH); }},
      {"text colour", [](HDC dc) { SetTextColor(dc, RGB(9, 9, 9)); }, [](HDC dc) { return GetTextColor(dc) == 0; }},
      {"background",
       [](HDC dc) {
         SetBkMode(dc, TRANSPARENT);
         SetBkColor(dc, 5);
       },
       [](HDC dc) { return GetBkMode(dc) == OPAQUE && GetBkColor(dc) == RGB(255, 255, 255); }},
      {"text alignment", [](HDC dc) { SetTextAlign(dc, TA_BASELINE); },
       [](HDC dc) { return GetTextAlign(dc) == (TA_LEFT | TA_TOP); }},
      {"origin", [](HDC dc) { SetViewportOrgEx(dc, -3, -4, nullptr); },
       [](HDC dc) {
         POINT p;
         GetViewportOrgEx(dc, &p);
         return p.x == 0 && p.y == 0;
       }},
      {"mapping",
       [](HDC dc) {
         SetMapMode(dc, MM_ANISOTROPIC);
         SetWindowExtEx(dc, 2, 2, nullptr);
       },
       [](HDC dc) {
         SIZE s;
         GetWindowExtEx(dc, &s);
         return GetMapMode(dc) == MM_TEXT && s.cx == 1;
       }},
      {"clip",
       [](HDC dc) {
         HRGN r = CreateRectRgn(0, 0, 1, 1);
         SelectClipRgn(dc, r);
         DeleteObject(r);
       },
       [](HDC dc) { return GetPixel(dc, 3, 3) != CLR_INVALID; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas(4, 4);
    ASSERT_TRUE(c.isOriginal(canvas.dc()));
    EXPECT_EQ(SaveDC(canvas.dc()), 1);
    c.change(canvas.dc());
    EXPECT_FALSE(c.isOriginal(canvas.dc()));
    EXPECT_EQ(SaveDC(canvas.dc()), 2);
    EXPECT_TRUE(RestoreDC(canvas.dc(), -1));
    EXPECT_FALSE(c.isOriginal(canvas.dc()));
    EXPECT_TRUE(RestoreDC(canvas.dc(), 1));
    EXPECT_TRUE(c.isOriginal(canvas.dc()));
    EXPECT_FALSE(RestoreDC(canvas.dc(), 1));  // that level is gone
  }
}

TEST(GdiMapping, AnisotropicScalingAppliesToRectanglesAndPixels) {
  Canvas canvas(8, 6);
  SetMapMode(canvas.dc(), MM_ANISOTROPIC);
  SetWindowExtEx(canvas.dc(), 1, 1, nullptr);
  SetViewportExtEx(canvas.dc(), 2, 3, nullptr);  // one logical unit = 2 × 3 pixels
  SetWindowOrgEx(canvas.dc(), 1, 0, nullptr);
  RECT r = {2, 0, 4, 1};
  FillRect(canvas.dc(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SetMapMode(canvas.dc(), MM_TEXT);
  SetWindowOrgEx(canvas.dc(), 0, 0, nullptr);
  EXPECT_PICTURE(canvas.Picture(), {"..####..", "..####..", "..####..", "........", "........", "........"});

  POINT points[] = {{0, 0}, {4, 6}};
  SetMapMode(canvas.dc(), MM_ISOTROPIC);
  SetWindowExtEx(canvas.dc(), 10, 10, nullptr);
  SetViewportExtEx(canvas.dc(), 20, 40, nullptr);  // the smaller scale wins on both axes
  SIZE viewport;
  GetViewportExtEx(canvas.dc(), &viewport);
  EXPECT_EQ(viewport.cx, 20);
  EXPECT_EQ(viewport.cy, 20);
  EXPECT_TRUE(LPtoDP(canvas.dc(), points, 2));
  EXPECT_EQ(points[1].x, 8);
  EXPECT_EQ(points[1].y, 12);
  EXPECT_TRUE(DPtoLP(canvas.dc(), points, 2));
  EXPECT_EQ(points[1].y, 6);
}

}  // namespace
