// Invalidation and painting: update regions, erase, paint order, clipping, scrolling, and
// screenshots of windows and the composed screen.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/display/surface.h"
#include "platform/user/window_surfaces.h"
#include "tests/platform/window_test_support.h"

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace {

using namespace windowtest;

constexpr const char* PainterClass = "KWTestPainter";
constexpr COLORREF Blue = 0x00FF0000;
constexpr COLORREF Green = 0x0000FF00;
constexpr COLORREF Red = 0x000000FF;

void SetColour(HWND window, COLORREF colour) {
  SetPropA(window, "Colour", reinterpret_cast<HANDLE>(static_cast<uintptr_t>(colour) + 1));
}

// Records like the recording procedure and paints its whole client area in its "Colour".
LRESULT CALLBACK PaintingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return windowtest::RecordingProcedure(window, message, wParam, lParam);
  windowtest::Received().push_back({window, message, wParam, lParam, {}, {}, {}});
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (uintptr_t colour = reinterpret_cast<uintptr_t>(GetPropA(window, "Colour"))) {
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(colour - 1));
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
  }
  EndPaint(window, &paint);
  return 0;
}

uint32_t Pixel(COLORREF colour) { return kwplatform::PixelFromColorRef(colour); }

uint32_t WindowPixel(HWND window, int x, int y) {
  uint32_t pixel = 0xFFFFFFFF;
  EXPECT_TRUE(kwtesting::ReadWindowPixel(window, x, y, &pixel)) << x << "," << y;
  return pixel;
}

uint32_t ScreenPixel(int x, int y) {
  uint32_t pixel = 0xFFFFFFFF;
  EXPECT_TRUE(kwtesting::ReadScreenPixel(x, y, &pixel)) << x << "," << y;
  return pixel;
}

class PaintingTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    RegisterExtraClass(PainterClass, PaintingProcedure);
  }

  HWND Painter(DWORD style, HWND parent, int x, int y, int width, int height, COLORREF colour) {
    HWND window =
        CreateWindowExA(0, PainterClass, "", style, x, y, width, height, parent, nullptr, nullptr, nullptr);
    SetColour(window, colour);
    return window;
  }

  // A blue borderless popup at (100, 100), 300 x 200, with a green child and a red one lying
  // partly over it (created later, so on top).
  void BuildStage() {
    stage_ = Painter(WS_POPUP | WS_VISIBLE, nullptr, 100, 100, 300, 200, Blue);
    lower_ = Painter(WS_CHILD | WS_VISIBLE, stage_, 10, 10, 100, 100, Green);
    upper_ = Painter(WS_CHILD | WS_VISIBLE, stage_, 50, 50, 100, 100, Red);
    kwtesting::PumpMessages();
    Received().clear();
  }

  HWND stage_ = nullptr;
  HWND lower_ = nullptr;
  HWND upper_ = nullptr;
};

TEST_F(PaintingTest, InvalidationPaintsParentsBeforeChildrenAndErasesInBeginPaint) {
  BuildStage();
  struct Case {
    const char* name;
    bool clipChildren;
    HWND target;
    RECT area;
    BOOL erase;
    Sequence expected;
  };
  const Case cases[] = {
      {"over both children", false, stage_, {0, 0, 80, 80}, TRUE,
       {{stage_, WM_PAINT}, {stage_, WM_ERASEBKGND}, {lower_, WM_PAINT}, {lower_, WM_ERASEBKGND},
        {upper_, WM_PAINT}, {upper_, WM_ERASEBKGND}}},
      {"over the lower child", false, stage_, {0, 0, 30, 30}, TRUE,
       {{stage_, WM_PAINT}, {stage_, WM_ERASEBKGND}, {lower_, WM_PAINT}, {lower_, WM_ERASEBKGND}}},
      {"without erase", false, stage_, {0, 0, 30, 30}, FALSE, {{stage_, WM_PAINT}, {lower_, WM_PAINT}}},
      {"a child alone", false, upper_, {0, 0, 5, 5}, TRUE, {{upper_, WM_PAINT}, {upper_, WM_ERASEBKGND}}},
      {"a parent that clips its children", true, stage_, {0, 0, 80, 80}, TRUE,
       {{stage_, WM_PAINT}, {stage_, WM_ERASEBKGND}}},
  };
  for (const Case& c : cases) {
    LONG style = GetWindowLongA(stage_, GWL_STYLE);
    SetWindowLongA(stage_, GWL_STYLE, c.clipChildren ? style | WS_CLIPCHILDREN : style & ~WS_CLIPCHILDREN);
    Received().clear();
    InvalidateRect(c.target, &c.area, c.erase);
    kwtesting::PumpMessages();
    EXPECT_EQ(ReceivedAmong({WM_PAINT, WM_ERASEBKGND}), c.expected) << c.name;
  }
  Received().clear();
  kwtesting::PumpMessages();
  EXPECT_TRUE(Received().empty()) << "nothing left to paint";
}

TEST_F(PaintingTest, ParentsPaintOverChildrenWhichRepaintAndLaterSiblingsStayOnTop) {
  BuildStage();
  InvalidateRect(stage_, nullptr, TRUE);
  kwtesting::PumpMessages();
  EXPECT_EQ(WindowPixel(stage_, 5, 5), Pixel(Blue));
  EXPECT_EQ(WindowPixel(stage_, 20, 20), Pixel(Green));
  EXPECT_EQ(WindowPixel(stage_, 60, 60), Pixel(Red)) << "the later sibling lies on top";
  EXPECT_EQ(WindowPixel(lower_, 50, 50), Pixel(Red)) << "the lower child's own pixel is covered";
  // Repainting the lower child alone does not paint over its later sibling.
  InvalidateRect(lower_, nullptr, TRUE);
  kwtesting::PumpMessages();
  EXPECT_EQ(WindowPixel(stage_, 60, 60), Pixel(Red));
  EXPECT_EQ(WindowPixel(stage_, 20, 20), Pixel(Green));
}

TEST_F(PaintingTest, OnlyTheUpdateRegionIsPainted) {
  BuildStage();
  SetColour(stage_, Green);
  RECT area = {200, 150, 220, 170};
  InvalidateRect(stage_, &area, FALSE);
  kwtesting::PumpMessages();
  EXPECT_EQ(WindowPixel(stage_, 210, 160), Pixel(Green));
  EXPECT_EQ(WindowPixel(stage_, 230, 160), Pixel(Blue)) << "outside the update region";
  EXPECT_EQ(WindowPixel(stage_, 210, 140), Pixel(Blue));
}

TEST_F(PaintingTest, HiddenWindowsAreNotPaintedAndUncoverWhatLiesBeneath) {
  BuildStage();
  ShowWindow(upper_, SW_HIDE);
  RECT pending;
  EXPECT_TRUE(GetUpdateRect(stage_, &pending, FALSE)) << "the parent repaints where the child was";
  EXPECT_EQ(pending.left, 50);
  EXPECT_EQ(pending.bottom, 150);
  InvalidateRect(stage_, nullptr, TRUE);
  kwtesting::PumpMessages();
  EXPECT_EQ(FirstReceived(upper_, WM_PAINT), nullptr);
  EXPECT_EQ(WindowPixel(stage_, 60, 60), Pixel(Green)) << "the lower child shows where the upper one was";
  EXPECT_EQ(WindowPixel(stage_, 140, 140), Pixel(Blue));
  Received().clear();
  ShowWindow(upper_, SW_SHOW);
  kwtesting::PumpMessages();
  EXPECT_NE(FirstReceived(upper_, WM_PAINT), nullptr) << "a window that appears paints";
  EXPECT_EQ(WindowPixel(stage_, 140, 140), Pixel(Red));
}

TEST_F(PaintingTest, BeginPaintOutsideWmPaintErasesAndValidatesAtOnce) {
  BuildStage();
  RECT area = {0, 0, 15, 15};
  InvalidateRect(stage_, &area, TRUE);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(stage_, &paint);
  ASSERT_NE(dc, nullptr);
  EXPECT_NE(FirstReceived(stage_, WM_ERASEBKGND), nullptr) << "sent from BeginPaint";
  EXPECT_EQ(FirstReceived(stage_, WM_ERASEBKGND)->wParam, reinterpret_cast<WPARAM>(dc));
  EXPECT_TRUE(paint.fErase) << "the class has no brush: the caller must erase";
  EXPECT_EQ(paint.rcPaint.right, 15);
  EXPECT_FALSE(GetUpdateRect(stage_, nullptr, FALSE)) << "validated";
  EXPECT_TRUE(EndPaint(stage_, &paint));
  // Asking for the update rectangle with erase erases at once and keeps the region pending.
  Received().clear();
  InvalidateRect(stage_, &area, TRUE);
  EXPECT_TRUE(GetUpdateRect(stage_, nullptr, TRUE));
  EXPECT_NE(FirstReceived(stage_, WM_ERASEBKGND), nullptr);
  EXPECT_TRUE(GetUpdateRect(stage_, nullptr, FALSE));
  ValidateRect(stage_, nullptr);
  Received().clear();
  kwtesting::PumpMessages();
  EXPECT_EQ(FirstReceived(stage_, WM_PAINT), nullptr);
  EXPECT_NE(FirstReceived(lower_, WM_PAINT), nullptr) << "the child under the area still repaints";
}

int paintsToRepeat = 0;

// Ignores WM_PAINT, or paints and asks for another paint while paintsToRepeat lasts.
LRESULT CALLBACK CarelessPainter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
  windowtest::Received().push_back({window, message, wParam, lParam, {}, {}, {}});
  if (paintsToRepeat == 0) return 0;
  paintsToRepeat--;
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  EndPaint(window, &paint);
  InvalidateRect(window, nullptr, FALSE);
  return 0;
}

TEST_F(PaintingTest, AHandlerThatDoesNotPaintIsValidatedAndOneThatInvalidatesAgainRepaints) {
  RegisterExtraClass("KWTestCareless", CarelessPainter);
  for (int repeats : {0, 2}) {
    HWND window = CreateWindowExA(0, "KWTestCareless", "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr,
                                  nullptr, nullptr);
    paintsToRepeat = repeats;
    Received().clear();
    kwtesting::PumpMessages();
    EXPECT_EQ(ReceivedAmong({WM_PAINT}).size(), static_cast<size_t>(repeats + 1)) << repeats;
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE)) << repeats;
    DestroyWindow(window);
  }
}

TEST_F(PaintingTest, EraseFillsWithTheClassBrush) {
  HBRUSH solid = CreateSolidBrush(0x001E140A);
  struct Case {
    const char* name;
    HBRUSH brush;
    uint32_t expected;
  };
  const Case cases[] = {
      {"system colour + 1", reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_APPWORKSPACE + 1)),
       Pixel(GetSysColor(COLOR_APPWORKSPACE))},
      {"solid brush", solid, 0x000A141E},
      {"none: left as it was", nullptr, 0x00FFFFFF},
  };
  for (const Case& c : cases) {
    WNDCLASSA description = {};
    description.lpfnWndProc = DefWindowProcA;
    description.hbrBackground = c.brush;
    description.lpszClassName = "KWTestBrush";
    ASSERT_NE(RegisterClassA(&description), 0);
    HWND window =
        CreateWindowExA(0, "KWTestBrush", "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr, nullptr, nullptr);
    kwtesting::PumpMessages();
    EXPECT_EQ(WindowPixel(window, 20, 20), c.expected) << c.name;
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassA("KWTestBrush", nullptr));
  }
  DeleteObject(solid);
}

TEST_F(PaintingTest, MoveWindowRepaintsOldAndNewAreaOnlyWhenAsked) {
  BuildStage();
  for (BOOL repaint : {TRUE, FALSE}) {
    MoveWindow(upper_, repaint ? 170 : 180, 60, 100, 100, repaint);
    EXPECT_EQ(GetUpdateRect(stage_, nullptr, FALSE) != 0, repaint != 0) << repaint;
    EXPECT_EQ(GetUpdateRect(upper_, nullptr, FALSE) != 0, repaint != 0) << repaint;
    kwtesting::PumpMessages();
  }
  EXPECT_EQ(WindowPixel(stage_, 60, 60), Pixel(Green)) << "the old place repainted";
  EXPECT_EQ(WindowPixel(stage_, 175, 70), Pixel(Red)) << "not repainted after the second move";
}

TEST_F(PaintingTest, ScrollWindowMovesPixelsAndInvalidatesWhatTheyUncover) {
  HWND window = Painter(WS_POPUP | WS_VISIBLE, nullptr, 100, 100, 200, 100, Blue);
  kwtesting::PumpMessages();
  HDC dc = GetDC(window);
  HBRUSH red = CreateSolidBrush(Red);
  RECT block = {20, 20, 30, 30};
  FillRect(dc, &block, red);
  DeleteObject(red);
  EXPECT_EQ(ReleaseDC(window, dc), 1);
  RECT area = {0, 0, 100, 100};
  EXPECT_TRUE(ScrollWindow(window, 0, 15, &area, &area));
  EXPECT_EQ(WindowPixel(window, 25, 40), Pixel(Red)) << "moved down by 15";
  EXPECT_EQ(WindowPixel(window, 25, 25), Pixel(Blue));
  EXPECT_EQ(WindowPixel(window, 150, 50), Pixel(Blue)) << "outside the area";
  RECT pending;
  ASSERT_TRUE(GetUpdateRect(window, &pending, FALSE));
  EXPECT_EQ(pending.top, 0);
  EXPECT_EQ(pending.bottom, 15);
  EXPECT_EQ(pending.right, 100);
}

TEST_F(PaintingTest, ScreenshotsShowFramedWindowsStackedOnTheDesktop) {
  HWND framed = Painter(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 50, 60, 300, 200, Blue);
  HWND front = Painter(WS_POPUP | WS_BORDER | WS_VISIBLE, nullptr, 250, 150, 200, 150, Green);
  kwtesting::PumpMessages();
  POINT inside = kwtesting::ScreenPoint(framed, 10, 10);
  EXPECT_EQ(ScreenPixel(inside.x, inside.y), Pixel(Blue));
  EXPECT_EQ(ScreenPixel(300, 200), Pixel(Green)) << "the front window covers the other";
  EXPECT_EQ(ScreenPixel(100, 30), Pixel(GetSysColor(COLOR_BACKGROUND))) << "the desktop";
  EXPECT_EQ(ScreenPixel(100, 60 + 4 + 5), Pixel(GetSysColor(COLOR_INACTIVECAPTION)));
  EXPECT_EQ(ScreenPixel(250, 150), Pixel(GetSysColor(COLOR_WINDOWFRAME))) << "the front window's border";
  EXPECT_EQ(GetActiveWindow(), front);

  // The title is written on the caption in the caption text colour.
  auto titleInk = [&] {
    std::shared_ptr<kwplatform::Surface> screen = kwplatform::ComposeScreen();
    int count = 0;
    for (int y = 60 + 4; y < 60 + 4 + 18; y++)
      for (int x = 50 + 4; x < 50 + 150; x++)
        count += (screen->Row(y)[x] & 0xFFFFFF) == Pixel(GetSysColor(COLOR_INACTIVECAPTIONTEXT));
    return count;
  };
  EXPECT_EQ(titleInk(), 0) << "no title yet";
  SetWindowTextA(framed, "Document");
  EXPECT_GT(titleInk(), 20);

  SetActiveWindow(framed);
  EXPECT_EQ(ScreenPixel(300, 200), Pixel(Blue)) << "brought to the front";
  EXPECT_EQ(ScreenPixel(100, 60 + 4 + 5), Pixel(GetSysColor(COLOR_ACTIVECAPTION)));

  const char* screenFile = "window_system_screen.png";
  const char* windowFile = "window_system_window.png";
  std::remove(screenFile);
  ASSERT_TRUE(kwtesting::SaveScreenPng(screenFile));
  ASSERT_TRUE(kwtesting::SaveWindowPng(framed, windowFile));
  struct Check {
    const char* file;
    int width;
    int height;
    POINT at;
    uint32_t expected;
  };
  const Check checks[] = {
      {screenFile, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), {300, 200}, Pixel(Blue)},
      {windowFile, 300, 200, {150, 4 + 19 + 40}, Pixel(Blue)},
      {windowFile, 300, 200, {0, 0}, ScreenPixel(50, 60)},
  };
  for (const Check& check : checks) {
    int width = 0;
    int height = 0;
    int channels = 0;
    unsigned char* pixels = stbi_load(check.file, &width, &height, &channels, 3);
    ASSERT_NE(pixels, nullptr) << check.file;
    EXPECT_EQ(width, check.width) << check.file;
    EXPECT_EQ(height, check.height) << check.file;
    const unsigned char* at = pixels + (check.at.y * width + check.at.x) * 3;
    EXPECT_EQ(static_cast<uint32_t>(at[0] << 16 | at[1] << 8 | at[2]), check.expected) << check.file;
    stbi_image_free(pixels);
  }
  EXPECT_FALSE(kwtesting::SaveWindowPng(reinterpret_cast<HWND>(0x4321), windowFile));
}

TEST_F(PaintingTest, DeviceContextsBelongToTheirWindow) {
  BuildStage();
  HDC dc = GetDC(lower_);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(WindowFromDC(dc), lower_);
  EXPECT_EQ(ReleaseDC(stage_, dc), 0) << "not this window's";
  EXPECT_EQ(ReleaseDC(lower_, dc), 1);
  EXPECT_EQ(ReleaseDC(lower_, dc), 0) << "already released";
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(WindowFromDC(screen), nullptr);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
  DestroyWindow(lower_);
  EXPECT_EQ(GetDC(lower_), nullptr);
  EXPECT_EQ(BeginPaint(lower_, nullptr), nullptr);
}

}  // namespace
