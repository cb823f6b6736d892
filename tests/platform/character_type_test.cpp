#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/kernel/code_page.h"
#include "platform/testing/testing.h"
#include "platform/win32.h"

namespace {

// Runs a test under code page 932 and restores 1252 afterwards.
class CodePage932Test : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(kwtesting::SelectAnsiCodePage(932)); }
  void TearDown() override { kwtesting::SelectAnsiCodePage(1252); }
};

std::string Upper(std::string text) {
  EXPECT_EQ(CharUpperBuffA(text.data(), static_cast<DWORD>(text.size())), text.size());
  return text;
}

std::string Lower(std::string text) {
  CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

WORD TypeOf(const std::string& text) {
  WORD types[3] = {0xFFFF, 0xFFFF, 0xFFFF};
  EXPECT_TRUE(GetStringTypeExA(LOCALE_USER_DEFAULT, CT_CTYPE1, text.data(), static_cast<int>(text.size()), types));
  return types[0];
}

TEST(CharacterCaseTest, ConvertsWindows1252LettersAndLeavesTheRest) {
  struct Case {
    const char* lower;
    const char* upper;
  };
  const Case kPairs[] = {
      {"abc xyz 09!", "ABC XYZ 09!"},
      {"\xE0\xE9\xEE\xF5\xFC\xE7\xF1\xFE", "\xC0\xC9\xCE\xD5\xDC\xC7\xD1\xDE"},  // àéîõüçñþ
      {"\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"},                                  // š œ ž ÿ
  };
  for (const Case& c : kPairs) {
    EXPECT_EQ(Upper(c.lower), c.upper) << c.lower;
    EXPECT_EQ(Lower(c.upper), c.lower) << c.upper;
  }
  // No capital in the code page (ß, µ, ƒ), and the signs between the letter ranges.
  EXPECT_EQ(Upper("\xDF\xB5\x83\xF7"), "\xDF\xB5\x83\xF7");
  EXPECT_EQ(Lower("\xD7"), "\xD7");
  std::string embedded("a\0b", 3);
  EXPECT_EQ(Upper(embedded), std::string("A\0B", 3)) << "every byte of the count, NUL included";
}

TEST(CharacterTypeTest, ClassifiesSpacesBlanksAndCapitals) {
  struct Case {
    const char* text;
    WORD set;
    WORD clear;
  };
  const Case kCases[] = {
      {" ", C1_SPACE | C1_BLANK, C1_UPPER},
      {"\t", C1_SPACE | C1_BLANK | C1_CNTRL, 0},
      {"\n", C1_SPACE | C1_CNTRL, C1_BLANK},
      {"\r", C1_SPACE, C1_BLANK},
      {"\v", C1_SPACE, C1_BLANK},
      {"\f", C1_SPACE, C1_BLANK},
      {"\xA0", C1_SPACE | C1_BLANK, 0},
      {"A", C1_UPPER | C1_ALPHA | C1_XDIGIT, C1_LOWER},
      {"a", C1_LOWER | C1_ALPHA, C1_UPPER},
      {"\xC9", C1_UPPER | C1_ALPHA, 0},
      {"\x8A", C1_UPPER, 0},
      {"\xDF", C1_LOWER, C1_UPPER},
      {"7", C1_DIGIT | C1_XDIGIT, C1_ALPHA},
      {"'", C1_PUNCT, C1_SPACE | C1_ALPHA},
      {"-", C1_PUNCT, C1_UPPER},
  };
  for (const Case& c : kCases) {
    WORD type = TypeOf(c.text);
    EXPECT_EQ(type & c.set, c.set) << std::hex << int{static_cast<unsigned char>(c.text[0])};
    EXPECT_EQ(type & c.clear, 0) << std::hex << int{static_cast<unsigned char>(c.text[0])};
  }
  WORD types[2] = {};
  EXPECT_FALSE(GetStringTypeExA(LOCALE_USER_DEFAULT, 2, "a", 1, types)) << "only CT_CTYPE1";
  EXPECT_FALSE(GetStringTypeExA(LOCALE_USER_DEFAULT, CT_CTYPE1, nullptr, 1, types));
}

TEST(CodePage1252Test, HasNoLeadBytes) {
  EXPECT_EQ(GetACP(), 1252u);
  for (int byte = 0; byte < 256; ++byte) EXPECT_FALSE(IsDBCSLeadByte(static_cast<BYTE>(byte))) << byte;
}

TEST_F(CodePage932Test, LeadBytesAreTheShiftJisRanges) {
  EXPECT_EQ(GetACP(), 932u);
  for (int byte = 0; byte < 256; ++byte) {
    bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    EXPECT_EQ(IsDBCSLeadByte(static_cast<BYTE>(byte)) != FALSE, lead) << std::hex << byte;
  }
  EXPECT_FALSE(kwtesting::SelectAnsiCodePage(437)) << "a page the layer lacks";
  EXPECT_EQ(GetACP(), 932u);
}

TEST_F(CodePage932Test, DecodesAndEncodesCharacters) {
  struct Case {
    const char* bytes;
    uint16_t unit;
  };
  const Case kCases[] = {
      {"A", 0x0041},        {"\x5C", 0x005C},     {"\xA1", 0xFF61},     {"\xDF", 0xFF9F},
      {"\x81\x40", 0x3000}, {"\x82\xA0", 0x3042}, {"\x88\x9F", 0x4E9C}, {"\x81\x5F", 0xFF3C},
      {"\x95\x5C", 0x8868}, {"\x82\x60", 0xFF21}, {"\x87\x54", 0x2160}, {"\xFA\x40", 0x2170},
  };
  for (const Case& c : kCases) {
    uint16_t unit = 0;
    int length = static_cast<int>(strlen(c.bytes));
    EXPECT_EQ(kwplatform::DecodeAnsiChar(c.bytes, length, &unit), length) << c.bytes;
    EXPECT_EQ(unit, c.unit) << c.bytes;
    char encoded[2] = {};
    ASSERT_EQ(kwplatform::EncodeAnsiChar(c.unit, encoded), length) << std::hex << c.unit;
    EXPECT_EQ(std::string(encoded, length), c.bytes) << std::hex << c.unit;
  }
  uint16_t unit = 0;
  EXPECT_EQ(kwplatform::DecodeAnsiChar("\x82", 1, &unit), 1) << "a lead byte at the end";
  EXPECT_EQ(unit, kwplatform::kDefaultUnit932);
  EXPECT_EQ(kwplatform::DecodeAnsiChar("\x85\x40", 2, &unit), 2) << "an unassigned pair";
  EXPECT_EQ(unit, kwplatform::kDefaultUnit932);
  char encoded[2];
  EXPECT_EQ(kwplatform::EncodeAnsiChar(0x00E9, encoded), 0) << "no e-acute in 932";
  // The NEC-selected copy of small Roman numeral one decodes, but encoding writes the IBM pair.
  ASSERT_EQ(kwplatform::DecodeAnsiChar("\xEE\xEF", 2, &unit), 2);
  EXPECT_EQ(unit, 0x2170);
}

TEST_F(CodePage932Test, CaseConversionKeepsPairsTogether) {
  struct Case {
    const char* lower;
    const char* upper;
  };
  const Case kPairs[] = {
      {"abc", "ABC"},
      {"\x82\x81\x82\x9A", "\x82\x60\x82\x79"},  // full-width a z
      {"\x83\xBF\x83\xD6", "\x83\x9F\x83\xB6"},  // Greek alpha omega
      {"\x84\x70\x84\x76", "\x84\x40\x84\x46"},  // Cyrillic a yo
  };
  for (const Case& c : kPairs) {
    EXPECT_EQ(Upper(c.lower), c.upper) << c.lower;
    EXPECT_EQ(Lower(c.upper), c.lower) << c.upper;
  }
  // Trail bytes in the ASCII letter range belong to their character: katakana "di", "ma", then
  // a lone lead byte at the end; half-width katakana has no case.
  EXPECT_EQ(Upper("\x83\x61\x83\x7D"
                  "a\xB1\x83"),
            "\x83\x61\x83\x7D"
            "A\xB1\x83");
  EXPECT_EQ(Lower("\x83\x41\x83\x5A"
                  "A"),
            "\x83\x41\x83\x5A"
            "a");
}

TEST_F(CodePage932Test, ClassifiesDoubleByteCharactersOnce) {
  WORD types[3] = {0, 0xFFFF, 0xFFFF};
  ASSERT_TRUE(GetStringTypeExA(LOCALE_USER_DEFAULT, CT_CTYPE1, "\x81\x40", 2, types));
  EXPECT_EQ(types[0] & (C1_SPACE | C1_BLANK), C1_SPACE | C1_BLANK) << "ideographic space";
  EXPECT_EQ(types[1], 0xFFFF) << "one word for one character";
  EXPECT_NE(TypeOf("\x82\x60") & C1_UPPER, 0) << "full-width A";
  EXPECT_EQ(TypeOf("\x82\xA0") & (C1_UPPER | C1_SPACE), 0) << "hiragana a";
  EXPECT_NE(TypeOf("\x82\xA0") & C1_ALPHA, 0);
}

TEST_F(CodePage932Test, ComparesCharactersNotBytes) {
  auto compare = [](const char* a, const char* b, DWORD flags = 0) {
    return CompareStringA(LOCALE_USER_DEFAULT, flags, a, -1, b, -1);
  };
  EXPECT_EQ(compare("\x82\xA0", "\x82\xA2"), CSTR_LESS_THAN) << "a < i in hiragana";
  EXPECT_EQ(compare("z", "\x82\xA0"), CSTR_LESS_THAN) << "kana after the Latin letters";
  EXPECT_EQ(compare("\x82\x60", "A"), CSTR_GREATER_THAN) << "full-width is the wider variant";
  EXPECT_EQ(compare("\x82\x60", "A", NORM_IGNOREWIDTH), CSTR_EQUAL);
  EXPECT_EQ(compare("\x82\x81", "A", NORM_IGNOREWIDTH | NORM_IGNORECASE), CSTR_EQUAL);
  EXPECT_EQ(compare("\x82\x60"
                    "b",
                    "Ac"),
            CSTR_LESS_THAN)
      << "width decides only at the last level";
}

TEST(TickCountTest, FreezesForTestsAndOtherwiseAdvances) {
  kwtesting::FreezeTickCount(0xFFFFFFF0ul);
  EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
  kwtesting::ReleaseTickCount();
  DWORD first = GetTickCount();
  DWORD second = GetTickCount();
  EXPECT_LE(second - first, 1000u) << "monotonic, modulo 2^32";
}

}  // namespace
