#include <cstring>
#include <string>
#include <vector>

#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using gditest::Canvas;

// A fixed-pitch font in a canvas, so that line breaks fall at predictable columns.
struct FixedPitchCanvas : Canvas {
  FixedPitchCanvas(int width, int height) : Canvas(width, height) {
    font = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, FIXED_PITCH, "Courier New");
    previous = SelectObject(dc(), font);
    SetBkMode(dc(), TRANSPARENT);
    GetTextExtentPoint32A(dc(), "M", 1, &cell);
  }
  ~FixedPitchCanvas() {
    SelectObject(dc(), previous);
    DeleteObject(font);
  }
  // The rows of ink, as runs of character cells: which cells of each text line have ink.
  std::vector<std::string> Lines(int lineCount) const {
    std::vector<std::string> lines;
    const std::vector<std::string> picture = Picture();
    for (int line = 0; line < lineCount; line++) {
      std::string cells;
      for (int column = 0; column * cell.cx < width(); column++) {
        bool ink = false;
        for (int y = line * cell.cy; y < (line + 1) * cell.cy && y < height(); y++)
          for (int x = column * cell.cx; x < (column + 1) * cell.cx && x < width(); x++)
            ink = ink || picture[y][x] != '.';
        cells += ink ? 'x' : ' ';
      }
      cells.erase(cells.find_last_not_of(' ') + 1);
      lines.push_back(cells);
    }
    return lines;
  }
  HFONT font;
  HGDIOBJ previous;
  SIZE cell;
};

TEST(GdiDrawText, WordBreakingAlignmentAndTheCalculatedRectangle) {
  struct Case {
    const char* name;
    const char* text;
    UINT format;
    int columns;  // rectangle width in character cells
    std::vector<std::string> lines;
  } cases[] = {
      {"fits", "ab cd", DT_WORDBREAK, 10, {"xx xx", "", ""}},
      {"breaks at spaces", "ab cd ef", DT_WORDBREAK, 6, {"xx xx", "xx", ""}},
      {"long word keeps its line, clipped", "a abcdefgh b", DT_WORDBREAK, 4, {"x", "xxxx", "x"}},
      {"line ends", "ab\r\ncd\nef", DT_WORDBREAK, 10, {"xx", "xx", "xx"}},
      {"centred", "ab", DT_WORDBREAK | DT_CENTER, 6, {"  xx", "", ""}},
      {"right", "ab cd", DT_WORDBREAK | DT_RIGHT, 4, {"  xx", "  xx", ""}},
      {"single line ignores breaks", "ab cd ef", DT_SINGLELINE, 4, {"xx x", "", ""}},
      {"prefix removed", "a&bc", DT_SINGLELINE, 10, {"xxx", "", ""}},
      {"no prefix", "a&bc", DT_SINGLELINE | DT_NOPREFIX, 10, {"xxxx", "", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FixedPitchCanvas canvas(200, 60);
    RECT box = {0, 0, c.columns * canvas.cell.cx, 32767};
    const int height = DrawTextA(canvas.dc(), c.text, -1, &box, c.format);
    EXPECT_EQ(canvas.Lines(3), c.lines);
    int lineCount = 0;
    for (const std::string& line : c.lines) lineCount += !line.empty();
    EXPECT_EQ(height, lineCount * canvas.cell.cy);

    // DT_CALCRECT measures the same lines without drawing.
    canvas.Clear();
    RECT measured = {0, 0, c.columns * canvas.cell.cx, 0};
    EXPECT_EQ(DrawTextA(canvas.dc(), c.text, static_cast<int>(strlen(c.text)), &measured, c.format | DT_CALCRECT),
              height);
    EXPECT_EQ(measured.bottom, height);
    EXPECT_EQ(canvas.Lines(1), std::vector<std::string>{""});
  }
}

TEST(GdiDrawText, CalculatedWidthBoundsASingleLineAndAWideWord) {
  FixedPitchCanvas canvas(200, 40);
  RECT single = {5, 0, 300, 0};
  DrawTextA(canvas.dc(), "abc", 3, &single, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(single.right, 5 + 3 * canvas.cell.cx);
  RECT wrapped = {0, 0, 2 * canvas.cell.cx, 0};
  DrawTextA(canvas.dc(), "a abcdef", -1, &wrapped, DT_WORDBREAK | DT_CALCRECT);
  EXPECT_EQ(wrapped.right, 6 * canvas.cell.cx);
  EXPECT_EQ(wrapped.bottom, 2 * canvas.cell.cy);
}

TEST(GdiDrawText, PrefixedCharacterIsUnderlinedAndTextIsClippedToTheRectangle) {
  FixedPitchCanvas canvas(100, 30);
  RECT box = {0, 0, 100, 30};
  DrawTextA(canvas.dc(), "a&b", -1, &box, DT_SINGLELINE);
  TEXTMETRICA metrics;
  GetTextMetricsA(canvas.dc(), &metrics);
  // Somewhere below the baseline, the second cell has a full-width line and the first none.
  bool underlined = false;
  for (int y = metrics.tmAscent; y < metrics.tmHeight; y++) {
    const std::string row = canvas.Picture()[y];
    underlined = underlined || (row.substr(canvas.cell.cx, canvas.cell.cx) == std::string(canvas.cell.cx, '#') &&
                                row.substr(0, canvas.cell.cx).find('#') == std::string::npos);
  }
  EXPECT_TRUE(underlined);

  canvas.Clear();
  RECT narrow = {0, 0, canvas.cell.cx, 30};
  DrawTextA(canvas.dc(), "abcdef", -1, &narrow, DT_SINGLELINE);
  EXPECT_EQ(canvas.Lines(1), std::vector<std::string>{"x"});
  canvas.Clear();
  DrawTextA(canvas.dc(), "abcdef", -1, &narrow, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_EQ(canvas.Lines(1), std::vector<std::string>{"xxxxxx"});
}

int CALLBACK CollectFace(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD type, LPARAM data) {
  auto* faces = reinterpret_cast<std::vector<std::string>*>(data);
  faces->push_back(font->lfFaceName);
  EXPECT_GT(metrics->tmHeight, 0);
  EXPECT_TRUE(type == RASTER_FONTTYPE || type == TRUETYPE_FONTTYPE);
  return faces->size() < 100 ? 1 : 0;
}

int CALLBACK StopAtOnce(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM data) {
  ++*reinterpret_cast<int*>(data);
  return 0;
}

TEST(GdiFontList, EveryTypefaceOnceThenTheSizesOfOne) {
  Canvas canvas(2, 2);
  std::vector<std::string> faces;
  EXPECT_EQ(EnumFontsA(canvas.dc(), nullptr, CollectFace, reinterpret_cast<LPARAM>(&faces)), 1);
  for (const char* expected : {"System", "MS Sans Serif", "Arial", "Times New Roman", "Courier New"})
    EXPECT_EQ(std::count(faces.begin(), faces.end(), expected), 1) << expected;

  std::vector<std::string> sizes;
  EnumFontsA(canvas.dc(), "MS Sans Serif", CollectFace, reinterpret_cast<LPARAM>(&sizes));
  EXPECT_EQ(sizes, (std::vector<std::string>{"MS Sans Serif", "MS Sans Serif", "MS Sans Serif"}));
  std::vector<std::string> styles;
  EnumFontsA(canvas.dc(), "Arial", CollectFace, reinterpret_cast<LPARAM>(&styles));
  EXPECT_EQ(styles.size(), 4u);

  int calls = 0;
  EXPECT_EQ(EnumFontsA(canvas.dc(), nullptr, StopAtOnce, reinterpret_cast<LPARAM>(&calls)), 0);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(EnumFontsA(nullptr, nullptr, StopAtOnce, 0), 0);
}

TEST(GdiDeviceCaps, DisplayFiguresAndTheInformationContext) {
  HDC information = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
  ASSERT_NE(information, nullptr);
  EXPECT_EQ(GetDeviceCaps(information, LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(information, LOGPIXELSY), 96);
  EXPECT_EQ(GetDeviceCaps(information, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(information, HORZRES), 1024);
  EXPECT_EQ(GetDeviceCaps(information, VERTRES), 768);
  // An information context answers questions and draws nothing.
  RECT r = {0, 0, 1, 1};
  EXPECT_FALSE(Rectangle(information, 0, 0, 2, 2));
  EXPECT_EQ(GetPixel(information, 0, 0), CLR_INVALID);
  EXPECT_EQ(FillRect(information, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
  EXPECT_FALSE(TextOutA(information, 0, 0, "x", 1));
  EXPECT_TRUE(DeleteDC(information));
  EXPECT_EQ(GetDeviceCaps(information, LOGPIXELSX), 0);
  EXPECT_EQ(CreateICA("WINSPOOL", "No Printer", nullptr, nullptr), nullptr);

  // The display context draws on the screen and is its caller's to delete.
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(GetDeviceCaps(display, HORZRES), 1024);
  EXPECT_NE(SetPixel(display, 1023, 767, RGB(1, 2, 3)), CLR_INVALID);
  EXPECT_EQ(GetPixel(display, 1023, 767), RGB(1, 2, 3));
  EXPECT_EQ(WindowFromDC(display), nullptr);
  HDC memory = CreateCompatibleDC(display);
  EXPECT_NE(memory, nullptr);
  EXPECT_TRUE(DeleteDC(memory));
  EXPECT_TRUE(DeleteDC(display));
  EXPECT_EQ(GetDeviceCaps(display, HORZRES), 0);
}

}  // namespace
