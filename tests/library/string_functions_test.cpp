#include "library/string_functions.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>

#include "library_test_support.h"
#include "platform/win32.h"

namespace {

using StringFunctionsTest = LibraryTest;

// A piece of a string: the function under test, its argument, the bytes expected, and whether
// the result must be the argument itself.
struct PieceCase {
  const char* call;
  std::function<RuntimeString*(RuntimeString*)> plain;
  std::function<RuntimeString*(RuntimeString*)> dbcs;
  const char* source;
  const char* expected;
  bool same;
};

#define PIECE(name, dbcsName, ...)                            \
#name "(" #__VA_ARGS__ ")",                                 \
      [](RuntimeString * s) { return name(s, __VA_ARGS__); }, \
                                                           [](RuntimeString * s) { return dbcsName(s, __VA_ARGS__); }

// Without lead bytes the double-byte forms give exactly what the byte forms give.
TEST_F(StringFunctionsTest, PiecesClampPositionsAndShareWholeResults) {
  const PieceCase kCases[] = {
      {PIECE(StringLeft, StringDBCSLeft, 0), "abc", "", false},
      {PIECE(StringLeft, StringDBCSLeft, -1), "abc", "", false},
      {PIECE(StringLeft, StringDBCSLeft, 2), "abc", "ab", false},
      {PIECE(StringLeft, StringDBCSLeft, 3), "abc", "abc", true},
      {PIECE(StringLeft, StringDBCSLeft, 5), "abc", "abc", true},
      {PIECE(StringLeft, StringDBCSLeft, 5), "", "", false},
      {PIECE(StringRight, StringDBCSRight, -1), "abc", "", false},
      {PIECE(StringRight, StringDBCSRight, INT_MIN), "abc", "", false},
      {PIECE(StringRight, StringDBCSRight, 1), "abc", "c", false},
      {PIECE(StringRight, StringDBCSRight, 100), "abc", "abc", true},
      {PIECE(StringMid2, StringDBCSMid2, 1), "abc", "abc", true},
      {PIECE(StringMid2, StringDBCSMid2, 2), "abc", "bc", false},
      {PIECE(StringMid2, StringDBCSMid2, 4), "abc", "", false},
      {PIECE(StringMid2, StringDBCSMid2, INT_MAX), "abc", "", false},
      {PIECE(StringMid2, StringDBCSMid2, 0), "abc", "abc", true},  // below 1 counts as 1
      {PIECE(StringMid2, StringDBCSMid2, INT_MIN), "abc", "abc", true},
      {PIECE(StringMid3, StringDBCSMid3, 3, 100), "abcdef", "cdef", false},
      {PIECE(StringMid3, StringDBCSMid3, 4, 1), "abc", "", false},
      {PIECE(StringMid3, StringDBCSMid3, 1, 3), "abc", "abc", true},
      {PIECE(StringMid3, StringDBCSMid3, 2, 1), "abc", "b", false},
      {PIECE(StringMid3, StringDBCSMid3, 2, 0), "abc", "", false},
      {PIECE(StringMid3, StringDBCSMid3, 2, INT_MIN), "abc", "", false},
      {PIECE(StringMid3, StringDBCSMid3, 2, INT_MAX), "abc", "bc", false},
      {PIECE(StringMid3, StringDBCSMid3, -3, 2), "abc", "ab", false},
      {PIECE(StringMid3, StringDBCSMid3, INT_MAX, INT_MAX), "abc", "", false},
  };
  for (const PieceCase& c : kCases) {
    Owned source(c.source);
    for (const auto& function : {c.plain, c.dbcs}) {
      Owned result(function(source));
      EXPECT_EQ(result.text(), c.expected) << c.call << " of '" << c.source << "'";
      if (c.same) {
        EXPECT_EQ(result.get(), source.get()) << c.call << ": the argument, not a copy";
      }
      if (result.get() && result.get() != source.get()) {
        EXPECT_EQ(result.get()->count, 1) << c.call;
      }
    }
    if (source.get()) {
      EXPECT_EQ(source.get()->count, 1) << c.call << ": the argument is borrowed";
    }
  }
}

TEST_F(StringFunctionsTest, LengthsCodesAndCharacters) {
  Owned abc("abc");
  Owned accented("\xE9t\xE9");
  EXPECT_EQ(StringLen(nullptr), 0);
  EXPECT_EQ(StringLen(abc), 3);
  EXPECT_EQ(StringDBCSLen(accented), 3);
  EXPECT_EQ(StringAsc(nullptr), 0);
  EXPECT_EQ(StringAsc(accented), 0xE9) << "bytes read unsigned";
  EXPECT_EQ(StringDBCSAsc(Owned("\x82\xA0")), 0x82) << "no lead bytes in 1252";

  struct CodeCase {
    RuntimeString* (*make)(int32_t);
    int32_t code;
    std::string expected;
  };
  const CodeCase kCodes[] = {
      {StringChr, 0, std::string(1, '\0')},
      {StringChr, 65, "A"},
      {StringChr, 256 + 66, "B"},
      {StringChr, -1, "\xFF"},
      {StringDBCSChr, 129 * 256 + 64, "\x81\x40"},
      {StringDBCSChr, 65, "A"},
      {StringDBCSChr, 0, std::string(1, '\0')},
      {StringDBCSChr, -1, "\xFF"},
      {StringDBCSChr, 0x12345, "\x23\x45"},
  };
  for (const CodeCase& c : kCodes) {
    Owned made(c.make(c.code));
    EXPECT_EQ(made.text(), c.expected) << c.code;
  }
}

TEST_F(StringFunctionsTest, CaseChangesCopyAndFollowTheCodePage) {
  struct Case {
    RuntimeString* (*change)(RuntimeString*);
    const char* source;
    const char* expected;
  };
  const Case kCases[] = {
      {StringUCase, "h\xE9llo w\xF6rld \x9C\xFF", "H\xC9LLO W\xD6RLD \x8C\x9F"},
      {StringLCase, "H\xC9LLO W\xD6RLD \x8C\x9F", "h\xE9llo w\xF6rld \x9C\xFF"},
      {StringUCase,
       "stra\xDF"
       "e 1",
       "STRA\xDF"
       "E 1"},
      {StringTitleCase, "hello WORLD", "Hello World"},
      {StringTitleCase, "o'neil-SMITH", "O'neil-smith"},
      {StringTitleCase, "  \xE9lan\tVITAL\r\nx", "  \xC9lan\tVital\r\nX"},
      {StringTitleCase, "123abc dEF", "123abc Def"},
      {StringTitleCase, "", ""},
  };
  for (const Case& c : kCases) {
    Owned source(c.source);
    Owned result(c.change(source));
    EXPECT_EQ(result.text(), c.expected) << c.source;
    EXPECT_EQ(source.text(), c.source) << "the argument is unchanged";
  }
}

TEST_F(StringFunctionsTest, InStrIgnoresCaseAndClampsTheStart) {
  struct Case {
    int32_t start;
    std::string source;
    std::string find;
    int32_t expected;
  };
  const Case kCases[] = {
      {1, "Hello", "LL", 3},
      {3, "abcabc", "a", 4},
      {1, "abc", "", 0},
      {3, "abc", "", 2},
      {-5, "abc", "b", 2},
      {1, "", "a", 0},
      {4, "abc", "c", 0},
      {3, "abc", "c", 3},
      {2, "abc", "bcd", 0},
      {1,
       "\xC9"
       "COLE",
       "\xE9"
       "cole",
       1},
      {1, std::string("a\0b", 3), std::string("\0B", 2), 2},
      {INT_MAX, "abc", "a", 0},
      {1, "aaab", "aab", 2},
  };
  for (const Case& c : kCases) {
    Owned source(c.source);
    Owned find(c.find);
    EXPECT_EQ(StringInStr(c.start, source, find), c.expected) << c.start << " '" << c.source << "' '" << c.find << "'";
    EXPECT_EQ(StringDBCSInStr(c.start, source, find), c.expected) << "double-byte form, single-byte system";
  }
}

TEST_F(StringFunctionsTest, ReplaceResumesAfterTheInsertedText) {
  struct Case {
    RuntimeString* (*replace)(RuntimeString*, RuntimeString*, RuntimeString*);
    const char* source;
    const char* find;
    const char* replacement;
    const char* expected;
  };
  const Case kCases[] = {
      {StringReplaceAll, "aaa", "a", "aa", "aaaaaa"},
      {StringReplace, "xAx", "a", "b", "xbx"},
      {StringReplace, "a-b-c", "-", "+", "a+b-c"},
      {StringReplaceAll, "Hello hello HELLO", "hello", "bye", "bye bye bye"},
      {StringReplaceAll, "aaaa", "aa", "a", "aa"},
      {StringReplaceAll, "a,b,,c", ",", "", "abc"},
      {StringReplaceAll, "abab", "AB", "", ""},
      {StringReplaceAll, "abc", "c", "xyz", "abxyz"},
  };
  for (const Case& c : kCases) {
    Owned source(c.source);
    Owned result(c.replace(source, Owned(c.find), Owned(c.replacement)));
    EXPECT_EQ(result.text(), c.expected) << c.source << " / " << c.find << " / " << c.replacement;
  }
  // Nothing to replace: the source itself, for an empty find too.
  Owned abc("abc");
  for (const char* find : {"", "z", "abcd"}) {
    for (auto replace : {StringReplace, StringReplaceAll}) {
      Owned result(replace(abc, Owned(find), Owned("x")));
      EXPECT_EQ(result.get(), abc.get()) << find;
    }
  }
  EXPECT_EQ(Owned(StringReplaceAll(nullptr, Owned("a"), Owned("b"))).get(), nullptr);
}

TEST_F(StringFunctionsTest, FieldsCountEmptyOnesAndMatchDelimitersIgnoringCase) {
  struct CountCase {
    const char* source;
    const char* delimiter;
    int32_t expected;
  };
  const CountCase kCounts[] = {
      {"", ",", 0},    {"abc", "", 1},    {"a,,b", ",", 3},     {",", ",", 2},
      {"abc", ",", 1}, {"aXbxc", "x", 3}, {"a::b::c", "::", 3}, {":::", "::", 2},
  };
  for (const CountCase& c : kCounts) {
    EXPECT_EQ(StringCountFields(Owned(c.source), Owned(c.delimiter)), c.expected) << c.source << " by " << c.delimiter;
  }
  struct FieldCase {
    const char* source;
    const char* delimiter;
    int32_t n;
    const char* expected;
  };
  const FieldCase kFields[] = {
      {"a,b,c", ",", 3, "c"}, {"a,b,c", ",", 4, ""},     {"a,b", ",", 0, ""},       {"abc", "", 1, ""},
      {"a,,b", ",", 2, ""},   {"a,,b", ",", 3, "b"},     {"aXbxc", "x", 2, "b"},    {"a,b,", ",", 3, ""},
      {"", ",", 1, ""},       {"k1::k2", "::", 2, "k2"}, {"a,b", ",", INT_MIN, ""},
  };
  for (const FieldCase& c : kFields) {
    Owned field(StringNthField(Owned(c.source), Owned(c.delimiter), c.n));
    EXPECT_EQ(field.text(), c.expected) << c.source << " by " << c.delimiter << " #" << c.n;
  }
  Owned whole("abc");
  EXPECT_EQ(Owned(StringNthField(whole, Owned(","), 1)).get(), whole.get()) << "a lone field is the source";
}

TEST_F(StringFunctionsTest, TrimsWhiteSpaceOfTheCodePage) {
  const TrimCase kCases[] = {
      {" \t a b \t ", "a b", "a b \t ", " \t a b"},
      {" \t \t", "", "", ""},
      {"\r\n\v\fx\xA0", "x", "x\xA0", "\r\n\v\fx"},  // the no-break space is white space
      {"", "", "", ""},
  };
  for (const TrimCase& c : kCases) ExpectTrims(c);
  Owned clean("a b");
  for (auto trim : {runTrim, runLTrim, runRTrim}) EXPECT_EQ(Owned(trim(clean)).get(), clean.get());
}

TEST_F(StringFunctionsTest, CompareByBytesOrByTheLocale) {
  struct Case {
    const char* a;
    const char* b;
    int32_t mode;
    int32_t expected;
  };
  const Case kCases[] = {
      {"abc", "abd", 0, -1}, {"ab", "abc", 0, -1}, {"", "", 0, 0},       {"b", "a", 0, 1},  {"", "a", 0, -1},
      {"\xE9", "z", 0, 1},   {"a", "B", 0, 1},     {"abc", "abc", 0, 0}, {"a", "B", 1, -1}, {"abc", "ABC", 1, -1},
      {"abc", "abc", -7, 0}, {"\xE9", "f", 1, -1}, {"", "a", 1, -1},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(StringStrCompare(Owned(c.a), Owned(c.b), c.mode), c.expected) << c.a << " " << c.b << " mode " << c.mode;
    EXPECT_EQ(StringStrCompare(Owned(c.b), Owned(c.a), c.mode), -c.expected) << "mirrored";
  }
}

TEST_F(StringFunctionsTest, RawFormsForExternalRoutines) {
  for (auto view : {StringToCString, StringGetCString}) {
    EXPECT_STREQ(view(nullptr), "");
    Owned ab("ab");
    EXPECT_EQ(view(ab), StringCText(ab)) << "the string's own bytes";
  }
  std::string long300(300, 'x');
  for (auto view : {StringToPString, StringGetPString}) {
    EXPECT_EQ(view(nullptr)[0], 0);
    Owned abc("abc");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(view(abc)), 5), std::string("\x03"
                                                                                    "abc\0",
                                                                                    5));
    Owned long_(long300);
    EXPECT_EQ(view(long_)[0], 255) << "the length byte saturates";
  }
  struct Case {
    std::string text;
    unsigned char bytes[4];
  };
  const Case kCases[] = {
      {"TEXT", {'T', 'E', 'X', 'T'}},
      {"ab", {'a', 'b', 0, 0}},
      {"", {'?', '?', '?', '?'}},
      {"abcdef", {'a', 'b', 'c', 'd'}},
  };
  for (const Case& c : kCases) {
    uint32_t code = StringToOSType(Owned(c.text));
    EXPECT_EQ(memcmp(&code, c.bytes, 4), 0) << c.text;
  }
}

}  // namespace
