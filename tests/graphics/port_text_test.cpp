#include <gtest/gtest.h>

#include <string>

#include "core/runtime_string.h"
#include "graphics/drawing_port.h"
#include "memory_device.h"

namespace {

// Two equal devices, the port on the first in a fixed-width face so that widths are
// proportional to lengths, and a reference port on the second.
class PortTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port = NewFixedWidthPort(&drawn);
    reference = NewFixedWidthPort(&expected);
  }
  void TearDown() override {
    DestroyDrawingPort(port);
    DestroyDrawingPort(reference);
  }
  static DrawingPort* NewFixedWidthPort(MemoryDevice* device) {
    DrawingPort* p = NewDrawingPort(device);
    RuntimeString* courier = StringFromCString("Courier");
    PortSetFont(p, courier, 12, 0);
    StringRelease(courier);
    return p;
  }
  int32_t Width(const std::string& text) { return PortTextWidth(reference, text.data(), static_cast<int32_t>(text.size())); }
  bool SameImage() {
    for (int y = 0; y < 30; y++)
      for (int x = 0; x < 1000; x++)
        if (drawn.Pixel(x, y) != expected.Pixel(x, y)) return false;
    return true;
  }
  // What the truncation must draw: as much of the text as fits together with "...".
  std::string Expected(const std::string& text, int32_t maximum) {
    if (Width(text) <= maximum) return text;
    std::string kept = text;
    while (!kept.empty() && Width(kept) + Width("...") > maximum) kept.pop_back();
    std::string result = kept + "...";
    while (!result.empty() && Width(result) > maximum) result.pop_back();
    return result;
  }
  MemoryDevice drawn{1000, 30}, expected{1000, 30};
  DrawingPort* port = nullptr;
  DrawingPort* reference = nullptr;
};

TEST_F(PortTextTest, TruncationKeepsWhatFitsWithAnEllipsis) {
  std::string text;
  for (int i = 0; i < 100; i++) text += static_cast<char>('a' + i % 26);
  const int32_t unit = Width("a");
  ASSERT_GT(unit, 0);
  ASSERT_EQ(Width(text), 100 * unit) << "the face has equal widths";
  // 60 fit: the 50-byte half fits and cutting starts from the whole text; 20 fit: halving
  // first; a width below the ellipsis leaves part of it; a text that fits is drawn whole.
  const std::pair<std::string, int32_t> cases[] = {
      {text, 60 * unit}, {text, 20 * unit}, {text, Width("...") - 1}, {text, 0}, {"short", 60 * unit},
  };
  for (const auto& [source, maximum] : cases) {
    SCOPED_TRACE(maximum);
    drawn.Clear(0xFFFFFF);
    expected.Clear(0xFFFFFF);
    PortDrawTextTruncated(port, source.data(), static_cast<int32_t>(source.size()), 0, 20, maximum);
    std::string result = Expected(source, maximum);
    PortDrawText(reference, result.data(), static_cast<int32_t>(result.size()), 0, 20);
    EXPECT_TRUE(SameImage()) << "expected \"" << result << "\"";
  }
}

TEST_F(PortTextTest, TextUsesTheForeColourAndLeavesTheContextsColour) {
  PortSetForeColor(port, Color16FromLanguage(0xFF0000));
  HDC dc = PortDC(port);
  SetTextColor(dc, 0x00FF00);
  PortDrawText(port, "WWW", 3, 2, 20);
  EXPECT_EQ(GetTextColor(dc), 0x00FF00u);
  bool red = false;
  for (int x = 0; x < 40; x++)
    for (int y = 0; y < 30; y++) red |= drawn.Pixel(x, y) == 0x0000FFu;
  EXPECT_TRUE(red);
}

TEST_F(PortTextTest, MetricsComeFromTheSelectedFontAndFollowItsChanges) {
  TEXTMETRICA metrics;
  HDC dc = PortDC(port);
  PortSelectFont(port);
  GetTextMetricsA(dc, &metrics);
  EXPECT_EQ(PortTextAscent(port), metrics.tmAscent);
  EXPECT_EQ(PortTextHeight(port), metrics.tmHeight);
  EXPECT_EQ(PortTextLeading(port), metrics.tmExternalLeading);
  int32_t small = PortTextHeight(port);
  PortSetTextSize(port, 24);
  EXPECT_GT(PortTextHeight(port), small);
}

TEST_F(PortTextTest, TextBoxesWrapAtWordsBelowTheirTop) {
  const std::string words = "aaaa bbbb";
  int32_t lineHeight = PortTextHeight(port);
  PortRect box = {0, 0, 0, static_cast<int16_t>(Width("aaaa ") + 2)};
  PortDrawTextBox(port, words.data(), static_cast<int32_t>(words.size()), box, TextBoxLeft);
  auto inkInRows = [&](int from, int to) {
    for (int y = from; y < to; y++)
      for (int x = 0; x < 100; x++)
        if (drawn.Pixel(x, y) != 0xFFFFFFu) return true;
    return false;
  };
  EXPECT_TRUE(inkInRows(0, lineHeight));
  EXPECT_TRUE(inkInRows(lineHeight, 2 * lineHeight)) << "the second word wraps";
  EXPECT_EQ(GetTextAlign(PortDC(port)) & TA_BASELINE, static_cast<UINT>(TA_BASELINE));
}

}  // namespace
