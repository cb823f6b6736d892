// The string functions under code page 932, where a lead byte and its trail byte are one
// character. Trail bytes can look like ASCII: 0x5C ("\") in the kanji for "table", 0x41 ("A")
// and 0x61 ("a") in katakana. Byte-wise processing would cut or change those characters.
#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "library/string_functions.h"
#include "library_test_support.h"
#include "platform/win32.h"

namespace {

using DoubleByteStringsTest = LibraryTest;

#define HIRAGANA_A "\x82\xA0"
#define HIRAGANA_I "\x82\xA2"
#define HIRAGANA_U "\x82\xA4"
#define KANJI_TABLE "\x95\x5C"  // trail byte "\"
#define KANJI_SHOW "\x8E\xA6"
#define KATAKANA_A "\x83\x41"   // trail byte "A"
#define KATAKANA_DI "\x83\x61"  // trail byte "a"
#define WIDE_A "\x82\x60"
#define WIDE_C "\x82\x62"
#define WIDE_SMALL_A "\x82\x81"
#define WIDE_SMALL_C "\x82\x83"
#define IDEOGRAPHIC_SPACE "\x81\x40"

TEST_F(DoubleByteStringsTest, RunsUnderCodePage932) {
  ASSERT_EQ(GetACP(), 932u) << "the test is started with KW_ANSI_CODE_PAGE=932";
  EXPECT_TRUE(IsDBCSLeadByte(0x82));
}

struct PieceCase {
  const char* call;
  std::function<RuntimeString*(RuntimeString*)> function;
  const char* source;
  const char* expected;
  bool same;
};

#define CALL(name, ...) #name "(" #__VA_ARGS__ ")", [](RuntimeString * s) { return name(s, __VA_ARGS__); }

TEST_F(DoubleByteStringsTest, PiecesCountCharacters) {
  const char* text = "a" HIRAGANA_A HIRAGANA_I "b";  // 4 characters in 6 bytes
  const PieceCase kCases[] = {
      {CALL(StringDBCSLeft, 2), text, "a" HIRAGANA_A, false},
      {CALL(StringDBCSLeft, 0), text, "", false},
      {CALL(StringDBCSLeft, 4), text, text, true},
      {CALL(StringDBCSLeft, INT_MAX), text, text, true},
      {CALL(StringDBCSRight, 2), text, HIRAGANA_I "b", false},
      {CALL(StringDBCSRight, 3), text, HIRAGANA_A HIRAGANA_I "b", false},
      {CALL(StringDBCSRight, 4), text, text, true},
      {CALL(StringDBCSRight, 0), text, "", false},
      {CALL(StringDBCSRight, INT_MIN), text, "", false},
      {CALL(StringDBCSMid2, 1), text, text, true},
      {CALL(StringDBCSMid2, 2), text, HIRAGANA_A HIRAGANA_I "b", false},
      {CALL(StringDBCSMid2, 4), text, "b", false},
      {CALL(StringDBCSMid2, 5), text, "", false},
      {CALL(StringDBCSMid2, INT_MAX), text, "", false},
      {CALL(StringDBCSMid3, 2, 2), text, HIRAGANA_A HIRAGANA_I, false},
      {CALL(StringDBCSMid3, 3, 100), text, HIRAGANA_I "b", false},
      {CALL(StringDBCSMid3, 5, 1), text, "", false},
      {CALL(StringDBCSMid3, 2, 0), text, "", false},
      {CALL(StringDBCSMid3, 2, INT_MAX), text, HIRAGANA_A HIRAGANA_I "b", false},
      {CALL(StringDBCSMid3, 1, 4), text, text, true},
      // A lead byte in the last position is a character of its own; nothing past it is read.
      {CALL(StringDBCSRight, 1), "a\x82", "\x82", false},
      {CALL(StringDBCSLeft, 2), "a\x82", "a\x82", true},
      {CALL(StringDBCSMid3, 2, 5), "a\x82", "\x82", false},
      // The byte forms still count bytes.
      {CALL(StringLeft, 2), text, "a\x82", false},
      {CALL(StringMid3, 3, 2), text, "\xA0\x82", false},
  };
  for (const PieceCase& c : kCases) {
    Owned source(c.source);
    Owned result(c.function(source));
    EXPECT_EQ(result.text(), c.expected) << c.call;
    if (c.same) {
      EXPECT_EQ(result.get(), source.get()) << c.call << ": the argument itself";
    }
  }
}

TEST_F(DoubleByteStringsTest, LengthsAndCodesOfCharacters) {
  Owned text("a" HIRAGANA_A "b\x82");
  EXPECT_EQ(StringDBCSLen(text), 4) << "a dangling lead byte counts as one";
  EXPECT_EQ(StringLen(text), 5);
  EXPECT_EQ(StringDBCSAsc(Owned(HIRAGANA_A)), 0x82A0);
  EXPECT_EQ(StringDBCSAsc(Owned("a")), 'a');
  EXPECT_EQ(StringDBCSAsc(Owned("\x82")), 0x82) << "a lead byte alone";
  EXPECT_EQ(Owned(StringDBCSChr(0x82A0)).text(), HIRAGANA_A);
}

TEST_F(DoubleByteStringsTest, InStrMatchesWholeCharactersIgnoringCase) {
  struct Case {
    int32_t start;
    const char* source;
    const char* find;
    int32_t expected;
  };
  const Case kCases[] = {
      {1, KANJI_TABLE KANJI_SHOW "\\", "\\", 3},  // not the trail byte of the first character
      {1, WIDE_SMALL_A "b" WIDE_C, WIDE_SMALL_C, 3},
      {1, WIDE_A, WIDE_SMALL_A, 1},
      {2, HIRAGANA_A HIRAGANA_I HIRAGANA_A, HIRAGANA_A, 3},
      {-5, HIRAGANA_A HIRAGANA_I HIRAGANA_U, HIRAGANA_I, 2},
      {1, KATAKANA_A "a", "a", 2},  // upper-casing makes the "a" look like the trail byte
      {1, KATAKANA_DI, KATAKANA_A, 0},
      {1, "Hello", "LL", 3},
      {1, "abc", "", 0},
      {3, HIRAGANA_A HIRAGANA_I HIRAGANA_U, "", 2},
      {1, "", "a", 0},
      {4, HIRAGANA_A HIRAGANA_I HIRAGANA_U, HIRAGANA_U, 0},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(StringDBCSInStr(c.start, Owned(c.source), Owned(c.find)), c.expected) << c.start << " " << c.source;
  }
  // The byte form matches anywhere, and exactly: the fold table is not built on this system.
  EXPECT_EQ(StringInStr(1, Owned(KANJI_TABLE KANJI_SHOW "\\"), Owned("\\")), 2);
  EXPECT_EQ(StringInStr(1, Owned("Hello"), Owned("LL")), 0);
  EXPECT_EQ(StringInStr(1, Owned("Hello"), Owned("ll")), 3);
}

TEST_F(DoubleByteStringsTest, ReplaceAndFieldsWorkOnCharacterBoundaries) {
  EXPECT_EQ(Owned(StringReplaceAll(Owned(KANJI_TABLE "\\" KANJI_TABLE), Owned("\\"), Owned("/"))).text(),
            KANJI_TABLE "/" KANJI_TABLE);
  EXPECT_EQ(Owned(StringReplace(Owned(HIRAGANA_A HIRAGANA_I "," HIRAGANA_U), Owned(","), Owned(""))).text(),
            HIRAGANA_A HIRAGANA_I HIRAGANA_U)
      << "the match's byte position, not its character position";
  EXPECT_EQ(Owned(StringReplaceAll(Owned("x" WIDE_SMALL_A "x" WIDE_A), Owned(WIDE_A), Owned("-"))).text(), "x-x-");
  EXPECT_EQ(StringCountFields(Owned(KANJI_TABLE "," KANJI_SHOW), Owned("\\")), 1);
  EXPECT_EQ(StringCountFields(Owned(HIRAGANA_A "," HIRAGANA_I "," HIRAGANA_U), Owned(",")), 3);
  EXPECT_EQ(Owned(StringNthField(Owned(HIRAGANA_A "," HIRAGANA_I "," HIRAGANA_U), Owned(","), 2)).text(), HIRAGANA_I);
  EXPECT_EQ(Owned(StringNthField(Owned(KANJI_TABLE "\\" KANJI_SHOW), Owned("\\"), 2)).text(), KANJI_SHOW);
}

TEST_F(DoubleByteStringsTest, CaseChangesConvertWholeCharacters) {
  struct Case {
    RuntimeString* (*change)(RuntimeString*);
    const char* source;
    const char* expected;
  };
  const Case kCases[] = {
      {StringUCase, WIDE_SMALL_A "b" KATAKANA_DI WIDE_SMALL_C, WIDE_A "B" KATAKANA_DI WIDE_C},
      {StringLCase, WIDE_A "B" KATAKANA_A, WIDE_SMALL_A "b" KATAKANA_A},
      {StringTitleCase, WIDE_SMALL_A WIDE_SMALL_C IDEOGRAPHIC_SPACE WIDE_C WIDE_A,
       WIDE_A WIDE_SMALL_C IDEOGRAPHIC_SPACE WIDE_C WIDE_SMALL_A},
      {StringTitleCase, "hello " KATAKANA_A "WORLD", "Hello " KATAKANA_A "world"},
      {StringTitleCase, "ab\x82", "Ab\x82"},
  };
  for (const Case& c : kCases) EXPECT_EQ(Owned(c.change(Owned(c.source))).text(), c.expected) << c.source;
}

TEST_F(DoubleByteStringsTest, TrimsSpacesOfTheCodePage) {
  const TrimCase kCases[] = {
      {IDEOGRAPHIC_SPACE " " HIRAGANA_A "\t" IDEOGRAPHIC_SPACE, HIRAGANA_A, HIRAGANA_A "\t" IDEOGRAPHIC_SPACE,
       IDEOGRAPHIC_SPACE " " HIRAGANA_A},
      {" " IDEOGRAPHIC_SPACE "\r\n", "", "", ""},
      {KANJI_TABLE, KANJI_TABLE, KANJI_TABLE, KANJI_TABLE},
      {" a\x82", "a\x82", "a\x82", " a\x82"},
  };
  for (const TrimCase& c : kCases) ExpectTrims(c);
}

TEST_F(DoubleByteStringsTest, ComparesByTheLocale) {
  EXPECT_EQ(StringStrCompare(Owned(HIRAGANA_A), Owned(HIRAGANA_I), 1), -1);
  EXPECT_EQ(StringStrCompare(Owned("z"), Owned(HIRAGANA_A), 1), -1);
  EXPECT_EQ(StringStrCompare(Owned(WIDE_A), Owned("A"), 1), 1);
  EXPECT_EQ(StringStrCompare(Owned(KANJI_TABLE), Owned(KANJI_TABLE), 1), 0);
}

}  // namespace
