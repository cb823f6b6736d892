#include "graphics/font_cache.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/runtime_string.h"

namespace {

struct MadeFont {
  std::string face;
  int32_t size;
  bool bold, italic, underline;
  int32_t characterSet;
};

std::vector<MadeFont> made;
std::vector<HFONT> deleted;
uintptr_t nextFont = 0x100;

HFONT RecordCreate(const char* face, int32_t size, bool bold, bool italic, bool underline, int32_t characterSet) {
  made.push_back({face, size, bold, italic, underline, characterSet});
  return reinterpret_cast<HFONT>(nextFont++);
}

void RecordDestroy(HFONT font) { deleted.push_back(font); }

// Watches what the cache asks GDI for, with fonts that are only numbers.
class FontCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    made.clear();
    deleted.clear();
    const FontMaker recording = {RecordCreate, RecordDestroy};
    previous = SetFontMaker(&recording);
  }
  void TearDown() override {
    EXPECT_EQ(CachedFontCount(), 0) << "every font released";
    SetFontMaker(&previous);
  }
  HFONT Acquire(const char* name, int32_t size, int32_t style) {
    RuntimeString* text = StringFromCString(name);
    HFONT font = AcquireCachedFont(text, size, style);
    StringRelease(text);
    return font;
  }
  FontMaker previous{};
};

TEST_F(FontCacheTest, EqualKeysShareOneFontUntilTheLastRelease) {
  HFONT first = Acquire("Geneva", 12, 0);
  HFONT second = Acquire("geneva", 12, 0);
  EXPECT_EQ(first, second);
  EXPECT_EQ(made.size(), 1u);
  EXPECT_EQ(CachedFontUses(first), 2);
  ReleaseCachedFont(first);
  EXPECT_TRUE(deleted.empty()) << "still used by the second port";
  ReleaseCachedFont(second);
  ASSERT_EQ(deleted.size(), 1u);
  EXPECT_EQ(deleted[0], first);
}

TEST_F(FontCacheTest, SizeAndEachStyleBitMakeADifferentFont) {
  HFONT plain = Acquire("Times", 12, 0);
  HFONT fonts[] = {Acquire("Times", 14, 0), Acquire("Times", 12, BoldStyle), Acquire("Times", 12, ItalicStyle),
                   Acquire("Times", 12, UnderlineStyle)};
  for (HFONT font : fonts) EXPECT_NE(font, plain);
  ASSERT_EQ(made.size(), 5u);
  EXPECT_TRUE(made[2].bold && !made[2].italic && !made[2].underline);
  EXPECT_TRUE(!made[3].bold && made[3].italic && !made[3].underline);
  EXPECT_TRUE(!made[4].bold && !made[4].italic && made[4].underline);
  EXPECT_EQ(made[1].size, 14);
  ReleaseCachedFont(plain);
  for (HFONT font : fonts) ReleaseCachedFont(font);
}

TEST_F(FontCacheTest, StyleBitsAboveUnderlineDoNotChangeTheFont) {
  HFONT plain = Acquire("Courier", 10, 0);
  HFONT outlined = Acquire("Courier", 10, 8 | 16);
  EXPECT_EQ(plain, outlined);
  ReleaseCachedFont(plain);
  ReleaseCachedFont(outlined);
}

TEST_F(FontCacheTest, ClassicNamesMapToWindowsFacesWithoutRegardToCase) {
  const std::pair<const char*, const char*> cases[] = {
      {"System", "MS Sans Serif"}, {"application", "MS Sans Serif"}, {"GENEVA", "MS Sans Serif"},
      {"Courier", "Courier New"},  {"times", "Times New Roman"},     {"helvetica", "Arial"},
      {"Osaka", "MS UI Gothic"},   {"Symbol", "Symbol"},
  };
  for (const auto& [name, face] : cases) {
    HFONT font = Acquire(name, 9, 0);
    EXPECT_EQ(made.back().face, face) << name;
    ReleaseCachedFont(font);
  }
}

TEST_F(FontCacheTest, ReleasingAnUnknownOrNullFontIsHarmless) {
  ReleaseCachedFont(nullptr);
  ReleaseCachedFont(reinterpret_cast<HFONT>(0x7777));
  EXPECT_TRUE(deleted.empty());
}

}  // namespace
