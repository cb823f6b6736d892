#include <cstring>
#include <string>

#include "platform/gdi/font_engine.h"
#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using gditest::Canvas;

RECT Ink(const Canvas& canvas) { return gditest::InkBounds(canvas.Picture()); }

// A font selected into a context for the life of the object.
class SelectedFont {
 public:
  SelectedFont(HDC dc, int height, const char* face, int weight = FW_NORMAL, bool italic = false,
               bool underline = false, DWORD pitchAndFamily = DEFAULT_PITCH)
      : dc_(dc) {
    font_ = CreateFontA(height, 0, 0, 0, weight, italic, underline, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitchAndFamily, face);
    previous_ = SelectObject(dc, font_);
  }
  ~SelectedFont() {
    SelectObject(dc_, previous_);
    DeleteObject(font_);
  }

 private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ previous_;
};

std::string FaceOf(HDC dc) {
  char face[64] = {};
  GetTextFaceA(dc, sizeof face, face);
  return face;
}

struct FontCase {
  const char* name;
  int height;
  const char* face;
  int weight;
};
const FontCase fonts[] = {
    {"MS Sans Serif 8 pt", -11, "MS Sans Serif", FW_NORMAL},
    {"MS Sans Serif bold", -11, "MS Sans Serif", FW_BOLD},
    {"System", -12, "System", FW_NORMAL},
    {"Arial", -16, "Arial", FW_NORMAL},
    {"Arial bold", -13, "Arial", FW_BOLD},
    {"Times New Roman", -20, "Times New Roman", FW_NORMAL},
    {"Courier New", 15, "Courier New", FW_NORMAL},
    {"large MS Sans Serif from its outline stand-in", -40, "MS Sans Serif", FW_NORMAL},
};

TEST(GdiFonts, FaceNamesMapAsAUserExpects) {
  struct Case {
    const char* asked;
    DWORD pitchAndFamily;
    const char* face;
  } cases[] = {
      {"System", DEFAULT_PITCH, "System"},
      {"MS Sans Serif", DEFAULT_PITCH, "MS Sans Serif"},
      {"ms sans serif", DEFAULT_PITCH, "MS Sans Serif"},
      {"Arial", DEFAULT_PITCH, "Arial"},
      {"Helvetica", DEFAULT_PITCH, "Arial"},
      {"Times New Roman", DEFAULT_PITCH, "Times New Roman"},
      {"Courier New", DEFAULT_PITCH, "Courier New"},
      {"No Such Face", DEFAULT_PITCH, "Arial"},
      {"No Such Face", FIXED_PITCH | FF_MODERN, "Courier New"},
      {"No Such Face", VARIABLE_PITCH | FF_ROMAN, "Times New Roman"},
      {"", DEFAULT_PITCH, "Arial"},
  };
  Canvas canvas(4, 4);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.asked);
    SelectedFont font(canvas.dc(), -12, c.asked, FW_NORMAL, false, false, c.pitchAndFamily);
    EXPECT_EQ(FaceOf(canvas.dc()), c.face);
  }
  // The stock system font is there without any CreateFontA.
  EXPECT_EQ(FaceOf(canvas.dc()), "System");
}

TEST(GdiFonts, MetricsAreConsistentAndFollowTheHeightAskedFor) {
  Canvas canvas(4, 4);
  for (const FontCase& c : fonts) {
    SCOPED_TRACE(c.name);
    SelectedFont font(canvas.dc(), c.height, c.face, c.weight);
    TEXTMETRICA metrics;
    ASSERT_TRUE(GetTextMetricsA(canvas.dc(), &metrics));
    EXPECT_EQ(metrics.tmHeight, metrics.tmAscent + metrics.tmDescent);
    EXPECT_GE(metrics.tmInternalLeading, 0);
    EXPECT_GT(metrics.tmAveCharWidth, 0);
    EXPECT_GE(metrics.tmMaxCharWidth, metrics.tmAveCharWidth);
    EXPECT_EQ(metrics.tmWeight, c.weight == FW_BOLD || std::string(c.face) == "System" ? FW_BOLD : FW_NORMAL);
    // A negative height is the character height, a positive one the cell height (outline faces
    // meet it exactly; bitmap faces take the nearest strike).
    if (c.height > 0) EXPECT_EQ(metrics.tmHeight, c.height);
    if (c.height < 0 && (metrics.tmPitchAndFamily & TMPF_TRUETYPE))
      EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, -c.height);
    // The same again: deterministic.
    TEXTMETRICA again;
    GetTextMetricsA(canvas.dc(), &again);
    EXPECT_EQ(memcmp(&metrics, &again, sizeof metrics), 0);
  }
  // Bitmap strikes: the nearest at or below the size asked for, else the smallest.
  struct Strike {
    int height;
    const char* face;
    int cellHeight;
  } strikes[] = {{-11, "MS Sans Serif", 13}, {-12, "MS Sans Serif", 13}, {-13, "MS Sans Serif", 16},
                 {-16, "MS Sans Serif", 20}, {20, "MS Sans Serif", 20},  {-8, "MS Sans Serif", 13},
                 {-12, "System", 16}};
  for (const Strike& strike : strikes) {
    SCOPED_TRACE(strike.height);
    SelectedFont font(canvas.dc(), strike.height, strike.face);
    TEXTMETRICA metrics;
    GetTextMetricsA(canvas.dc(), &metrics);
    EXPECT_EQ(metrics.tmHeight, strike.cellHeight);
    EXPECT_EQ(metrics.tmPitchAndFamily & TMPF_TRUETYPE, 0);
  }
}

TEST(GdiText, InkStaysInsideTheExtentBoxAtTopLeftAlignment) {
  const char* texts[] = {"Hello, World", "iiii", "WWMMW", "g|y_(Q)"};
  for (const FontCase& c : fonts) {
    for (const char* text : texts) {
      SCOPED_TRACE(std::string(c.name) + ": " + text);
      Canvas canvas(400, 80);
      SelectedFont font(canvas.dc(), c.height, c.face, c.weight);
      SetBkMode(canvas.dc(), TRANSPARENT);
      SIZE extent;
      ASSERT_TRUE(GetTextExtentPoint32A(canvas.dc(), text, static_cast<int>(strlen(text)), &extent));
      ASSERT_TRUE(TextOutA(canvas.dc(), 10, 5, text, static_cast<int>(strlen(text))));
      const RECT ink = Ink(canvas);
      EXPECT_GE(ink.left, 10);
      EXPECT_LE(ink.right, 10 + extent.cx);
      EXPECT_GE(ink.top, 5);
      EXPECT_LE(ink.bottom, 5 + extent.cy);
      // The ink spans most of the box: the extent is what is drawn, not a loose bound.
      EXPECT_GE(ink.right - ink.left, extent.cx * 3 / 4);
      TEXTMETRICA metrics;
      GetTextMetricsA(canvas.dc(), &metrics);
      EXPECT_EQ(extent.cy, metrics.tmHeight);
    }
  }
}

TEST(GdiText, BaselineAlignmentPutsTheBaselineAtY) {
  for (const FontCase& c : fonts) {
    SCOPED_TRACE(c.name);
    Canvas canvas(200, 100);
    SelectedFont font(canvas.dc(), c.height, c.face, c.weight);
    SetBkMode(canvas.dc(), TRANSPARENT);
    TEXTMETRICA metrics;
    GetTextMetricsA(canvas.dc(), &metrics);
    // Capital letters without descenders end on the row just above the baseline.
    SetTextAlign(canvas.dc(), TA_BASELINE | TA_LEFT);
    TextOutA(canvas.dc(), 5, 60, "HE", 2);
    EXPECT_EQ(Ink(canvas).bottom, 60);
    canvas.Clear();
    SetTextAlign(canvas.dc(), TA_TOP | TA_LEFT);
    TextOutA(canvas.dc(), 5, 10, "HE", 2);
    EXPECT_EQ(Ink(canvas).bottom, 10 + metrics.tmAscent);
    canvas.Clear();
    SetTextAlign(canvas.dc(), TA_BOTTOM | TA_RIGHT);
    TextOutA(canvas.dc(), 150, 60, "HE", 2);
    SIZE extent;
    GetTextExtentPoint32A(canvas.dc(), "HE", 2, &extent);
    EXPECT_EQ(Ink(canvas).bottom, 60 - metrics.tmDescent);
    EXPECT_LE(Ink(canvas).right, 150);
    EXPECT_GE(Ink(canvas).left, 150 - extent.cx);
  }
}

TEST(GdiText, ExtentsAddUpAndTheCurrentPositionMovesByThem) {
  for (const FontCase& c : fonts) {
    SCOPED_TRACE(c.name);
    Canvas canvas(300, 60);
    SelectedFont font(canvas.dc(), c.height, c.face, c.weight);
    SIZE whole, first, second;
    GetTextExtentPoint32A(canvas.dc(), "Drawing", 7, &whole);
    GetTextExtentPoint32A(canvas.dc(), "Draw", 4, &first);
    GetTextExtentPointA(canvas.dc(), "ing", 3, &second);
    EXPECT_EQ(whole.cx, first.cx + second.cx);
    SIZE empty;
    EXPECT_TRUE(GetTextExtentPoint32A(canvas.dc(), "", 0, &empty));
    EXPECT_EQ(empty.cx, 0);

    SetTextAlign(canvas.dc(), TA_UPDATECP);
    MoveToEx(canvas.dc(), 3, 0, nullptr);
    TextOutA(canvas.dc(), 0, 0, "Draw", 4);
    TextOutA(canvas.dc(), 0, 0, "ing", 3);
    POINT position;
    GetCurrentPositionEx(canvas.dc(), &position);
    EXPECT_EQ(position.x, 3 + whole.cx);
  }
}

TEST(GdiText, BackgroundModeAndColoursOfDrawnText) {
  Canvas canvas(120, 30);
  SelectedFont font(canvas.dc(), -16, "Arial", FW_NORMAL, false, true);
  SetTextColor(canvas.dc(), RGB(255, 0, 0));
  SetBkColor(canvas.dc(), RGB(0, 0, 255));
  SetBkMode(canvas.dc(), OPAQUE);
  TextOutA(canvas.dc(), 2, 3, "Ab", 2);
  SIZE extent;
  GetTextExtentPoint32A(canvas.dc(), "Ab", 2, &extent);
  // The opaque background fills exactly the extent box; the text is pure text colour.
  const RECT ink = Ink(canvas);
  EXPECT_EQ(ink.left, 2);
  EXPECT_EQ(ink.top, 3);
  EXPECT_EQ(ink.right, 2 + extent.cx);
  EXPECT_EQ(ink.bottom, 3 + extent.cy);
  int red = 0;
  for (const std::string& row : canvas.Picture())
    for (char pixel : row) {
      EXPECT_TRUE(pixel == '.' || pixel == 'R' || pixel == 'B') << pixel;
      red += pixel == 'R';
    }
  EXPECT_GT(red, 20);
  // The underline runs under the whole text.
  TEXTMETRICA metrics;
  GetTextMetricsA(canvas.dc(), &metrics);
  EXPECT_EQ(metrics.tmUnderlined, 1);
  bool underlined = false;
  for (int y = 3 + metrics.tmAscent; y < 3 + metrics.tmHeight; y++) {
    std::string row = canvas.Picture()[y].substr(2, extent.cx);
    underlined = underlined || row == std::string(extent.cx, 'R');
  }
  EXPECT_TRUE(underlined);
}

TEST(GdiText, BoldIsWiderAndTheGlyphCacheChangesNothing) {
  Canvas canvas(300, 40);
  SIZE regular, bold;
  {
    SelectedFont font(canvas.dc(), -11, "MS Sans Serif");
    GetTextExtentPoint32A(canvas.dc(), "Bold text", 9, &regular);
  }
  {
    SelectedFont font(canvas.dc(), -11, "MS Sans Serif", FW_BOLD);
    GetTextExtentPoint32A(canvas.dc(), "Bold text", 9, &bold);
  }
  EXPECT_EQ(bold.cx, regular.cx + 9);  // one more pixel for each emboldened character

  SelectedFont font(canvas.dc(), -15, "Times New Roman", FW_NORMAL, true);
  SetBkMode(canvas.dc(), TRANSPARENT);
  TextOutA(canvas.dc(), 4, 4, "Cached glyphs", 13);
  const std::vector<std::string> cached = canvas.Picture();
  canvas.Clear();
  kwplatform::SetGlyphCacheEnabled(false);
  TextOutA(canvas.dc(), 4, 4, "Cached glyphs", 13);
  kwplatform::SetGlyphCacheEnabled(true);
  EXPECT_EQ(canvas.Picture(), cached);
}

TEST(GdiText, BadArgumentsFail) {
  Canvas canvas(10, 10);
  SIZE size;
  EXPECT_FALSE(TextOutA(canvas.dc(), 0, 0, "x", -1));
  EXPECT_FALSE(TextOutA(canvas.dc(), 0, 0, nullptr, 3));
  EXPECT_FALSE(GetTextExtentPoint32A(canvas.dc(), "x", 1, nullptr));
  EXPECT_FALSE(GetTextExtentPoint32A(nullptr, "x", 1, &size));
  EXPECT_FALSE(GetTextMetricsA(canvas.dc(), nullptr));
  EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
  // A face name that fills LOGFONTA's field without a terminating zero.
  LOGFONTA description = {};
  description.lfHeight = -12;
  memset(description.lfFaceName, 'A', sizeof description.lfFaceName);
  HFONT font = CreateFontIndirectA(&description);
  HGDIOBJ previous = SelectObject(canvas.dc(), font);
  EXPECT_EQ(FaceOf(canvas.dc()), "Arial");
  SelectObject(canvas.dc(), previous);
  LOGFONTA back;
  EXPECT_EQ(GetObjectA(font, sizeof back, &back), static_cast<int>(sizeof back));
  EXPECT_EQ(back.lfHeight, -12);
  DeleteObject(font);
}

}  // namespace
