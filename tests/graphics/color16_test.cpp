#include "graphics/color16.h"

#include <gtest/gtest.h>

namespace {

TEST(Color16Test, LanguageColoursWidenByRepeatingEachByte) {
  struct Case {
    uint32_t language;
    RGBColor16 wide;
    uint32_t colorRef;
  };
  const Case cases[] = {
      {0x000000, {0, 0, 0}, 0x000000},
      {0xFFFFFF, {0xFFFF, 0xFFFF, 0xFFFF}, 0xFFFFFF},
      {0xFF8000, {0xFFFF, 0x8080, 0x0000}, 0x0080FF},
      {0x123456, {0x1212, 0x3434, 0x5656}, 0x563412},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    EXPECT_EQ(Color16FromLanguage(c.language), c.wide);
    EXPECT_EQ(LanguageFromColor16(c.wide), c.language);
    EXPECT_EQ(ColorRefFromColor16(c.wide), c.colorRef);
    EXPECT_EQ(Color16FromColorRef(c.colorRef), c.wide);
  }
}

TEST(Color16Test, NarrowingKeepsTheHighByteForTheLanguageAndDividesBy257ForGdi) {
  // 0x80FF: high byte 0x80 for the language; 0x80FF / 257 = 0x80 for GDI; 0x00FF stays 0 and 0.
  RGBColor16 odd = {0x80FF, 0x00FF, 0xFFFE};
  EXPECT_EQ(LanguageFromColor16(odd), 0x8000FFu);
  EXPECT_EQ(ColorRefFromColor16(odd), 0xFE0080u);
}

TEST(Color16Test, LanguageValueBitsAboveTheColourAreIgnored) {
  EXPECT_EQ(Color16FromLanguage(0x7F00FF00), (RGBColor16{0, 0xFFFF, 0}));
}

}  // namespace
