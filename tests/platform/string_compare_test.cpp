#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/kernel/code_page.h"
#include "platform/kernel/collation.h"
#include "platform/win32.h"

namespace {

// A string of explicit length (embedded NULs allowed), or NUL-terminated when length < 0.
struct Text {
  const char* chars;
  int length;
};

Text T(const char* chars) { return {chars, -1}; }

int Mirror(int result) { return result == 0 ? 0 : CSTR_EQUAL * 2 - result; }

int Compare(Text a, Text b, DWORD flags = 0, LCID locale = LOCALE_USER_DEFAULT) {
  return CompareStringA(locale, flags, a.chars, a.length, b.chars, b.length);
}

TEST(CodePageTest, MapsWindows1252ToUtf16) {
  struct Case {
    unsigned char byte;
    uint16_t unit;
  };
  const Case kCases[] = {
      {0x00, 0x0000}, {0x41, 0x0041}, {0x7F, 0x007F}, {0x80, 0x20AC},
      {0x81, 0x0081}, {0x8A, 0x0160}, {0x8D, 0x008D}, {0x8F, 0x008F},
      {0x90, 0x0090}, {0x92, 0x2019}, {0x96, 0x2013}, {0x9D, 0x009D},
      {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(kwplatform::AnsiToUnicode(c.byte), c.unit) << std::hex << int{c.byte};
  }
  EXPECT_EQ(GetACP(), 1252u);
}

// Each string sorts strictly before every later one, with default flags.
TEST(CompareStringTest, SortsInCollationOrder) {
  // clang-format off
  const std::vector<std::string> kAscending = {
      "", " ", "\xA0",              // space, then no-break space (a tertiary variant of it)
      "!", "\"", "$", "~",          // punctuation
      "+", "=", "\x80",             // math signs, then currency (euro)
      "0", "1", "\xB9", "2", "9",   // digits; superscript one is a variant of 1
      "a", "A", "\xAA",             // lower case, upper case, then the ordinal variant
      "\xE1", "\xC1", "\xE0",       // accents after the bare letter, acute before grave
      "ab", "b",
      "\xD8", "P",                  // O with stroke is an accented O
      "resume", "r\xE9sum\xE9", "resumes",
      "\x8A", "T",                  // S caron
      "z", "Z", "\xB5",             // micro sign: Greek, after the Latin letters
  };
  // clang-format on
  for (size_t i = 0; i < kAscending.size(); ++i) {
    for (size_t j = i + 1; j < kAscending.size(); ++j) {
      Text a{kAscending[i].c_str(), -1}, b{kAscending[j].c_str(), -1};
      EXPECT_EQ(Compare(a, b), CSTR_LESS_THAN) << i << " vs " << j;
      EXPECT_EQ(Compare(b, a), CSTR_GREATER_THAN) << j << " vs " << i;
    }
  }
}

TEST(CompareStringTest, ComparesPairsUnderFlags) {
  struct Case {
    Text a;
    Text b;
    DWORD flags;
    int expected;
  };
  const Case kCases[] = {
      {T("Window1"), T("WINDOW1"), NORM_IGNORECASE, CSTR_EQUAL},
      {T("Window1"), T("WINDOW1"), 0, CSTR_LESS_THAN},
      {T("a"), T("B"), NORM_IGNORECASE, CSTR_LESS_THAN},
      {T("a"), T("AB"), NORM_IGNORECASE, CSTR_LESS_THAN},
      {T("A"), T("b"), 0, CSTR_LESS_THAN},
      {T("aB"), T("Ab"), 0, CSTR_LESS_THAN},  // the first case difference decides
      {T("R\xC9SUM\xC9"), T("r\xE9sum\xE9"), NORM_IGNORECASE, CSTR_EQUAL},
      {T("resume"), T("r\xE9sum\xE9"), NORM_IGNORENONSPACE, CSTR_EQUAL},
      {T("r\xE9sume"), T("resum\xE9"), 0, CSTR_GREATER_THAN},  // diacritics compare left to right
      {T("\xF8"), T("o"), NORM_IGNORENONSPACE, CSTR_EQUAL},
      {T("\x9F"), T("\xFF"), NORM_IGNORECASE, CSTR_EQUAL},  // Ÿ ÿ
      {T("a b"), T("ab"), 0, CSTR_LESS_THAN},               // space sorts before letters
      {T("a b"), T("a!b"), 0, CSTR_LESS_THAN},
      // Word sort: hyphen and apostrophe only count after everything else.
      {T("coop"), T("co-op"), 0, CSTR_LESS_THAN},
      {T("co-op"), T("coopa"), 0, CSTR_LESS_THAN},
      {T("co-op"), T("Coop"), 0, CSTR_LESS_THAN},
      {T("co'op"), T("co-op"), 0, CSTR_LESS_THAN},
      {T("-ab"), T("a-b"), 0, CSTR_LESS_THAN},
      {T("coop"), T("co-op"), SORT_STRINGSORT, CSTR_GREATER_THAN},
      {T("co-op"), T("co!op"), SORT_STRINGSORT, CSTR_LESS_THAN},
      {T("co-op"), T("coop"), NORM_IGNORESYMBOLS, CSTR_EQUAL},
      {T("a.b, c$"), T("abc"), NORM_IGNORESYMBOLS, CSTR_EQUAL},
      {T("a.b"), T("abc"), 0, CSTR_LESS_THAN},
      // Expansions equal their spelling.
      {T("stra\xDF"
         "e"),
       T("strasse"), 0, CSTR_EQUAL},
      {T("\xDF"), T("SS"), 0, CSTR_LESS_THAN},
      {T("\xDF"), T("SS"), NORM_IGNORECASE, CSTR_EQUAL},
      {T("\xDF"), T("st"), 0, CSTR_LESS_THAN},
      {T("\xE6"), T("ae"), 0, CSTR_EQUAL},
      {T("\xC6"), T("ae"), 0, CSTR_GREATER_THAN},
      {T("\xC6"), T("ae"), NORM_IGNORECASE, CSTR_EQUAL},
      {T("\xE6"), T("af"), 0, CSTR_LESS_THAN},
      {T("\x9C"), T("oe"), 0, CSTR_EQUAL},
      {T("\xDE"), T("TH"), 0, CSTR_EQUAL},
      {T("\xBD"), T("1/2"), 0, CSTR_GREATER_THAN},
      {T("\xBD"), T("1/2"), NORM_IGNORECASE, CSTR_GREATER_THAN},  // variants are not case
      // Ignorable characters and explicit lengths.
      {{"a\0b", 3}, {"ab", 2}, 0, CSTR_EQUAL},
      {{"a\x01\tb\x7F", 5}, T("ab"), 0, CSTR_EQUAL},
      {T("co\xADop"), T("coop"), 0, CSTR_EQUAL},
      {T("\x81x\x8D\x8F\x90\x9D"), T("x"), 0, CSTR_EQUAL},
      {{"abc", 2}, T("ab"), 0, CSTR_EQUAL},
      {{"abc", 0}, {"", -1}, 0, CSTR_EQUAL},
      {{"abc", -2}, {"abcd", 3}, 0, CSTR_EQUAL},  // any negative count means NUL-terminated
      {T("abc"), T("abd"), 0, CSTR_LESS_THAN},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.a.chars) + " / " + c.b.chars + " flags " + std::to_string(c.flags));
    EXPECT_EQ(Compare(c.a, c.b, c.flags), c.expected);
    EXPECT_EQ(Compare(c.b, c.a, c.flags), Mirror(c.expected));
  }
}

// Every character of the code page has its own place, except the ignorable ones, which have none.
TEST(CompareStringTest, GivesEachCharacterItsOwnWeight) {
  auto ignorable = [](int byte) {
    return byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F ||
           byte == 0x90 || byte == 0x9D || byte == 0xAD;
  };
  for (int x = 0; x < 256; ++x) {
    char cx = static_cast<char>(x);
    EXPECT_EQ(Compare({&cx, 1}, {"", 0}), ignorable(x) ? CSTR_EQUAL : CSTR_GREATER_THAN) << x;
    for (int y = 0; y < 256; ++y) {
      if (x == y || ignorable(x) || ignorable(y)) continue;
      char cy = static_cast<char>(y);
      int forward = Compare({&cx, 1}, {&cy, 1});
      EXPECT_NE(forward, CSTR_EQUAL) << x << " vs " << y;
      EXPECT_EQ(Compare({&cy, 1}, {&cx, 1}), Mirror(forward)) << x << " vs " << y;
    }
  }
}

TEST(CompareStringTest, FailsOnInvalidArguments) {
  struct Case {
    LCID locale;
    DWORD flags;
    const char* a;
    const char* b;
  };
  const Case kCases[] = {
      {LOCALE_USER_DEFAULT, 0, nullptr, "a"},
      {LOCALE_USER_DEFAULT, 0, "a", nullptr},
      {LOCALE_USER_DEFAULT, 0x00000100, "a", "a"},
      {LOCALE_USER_DEFAULT, NORM_IGNORECASE | 0x80000000, "a", "a"},
      {0x0411, 0, "a", "a"},  // a locale whose collation is not modelled
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(CompareStringA(c.locale, c.flags, c.a, -1, c.b, -1), 0) << c.locale << " " << c.flags;
  }
  for (LCID locale : {LOCALE_USER_DEFAULT, LOCALE_SYSTEM_DEFAULT, LCID{0x0409}}) {
    EXPECT_EQ(CompareStringA(locale, NORM_IGNOREWIDTH | NORM_IGNOREKANATYPE, "a", -1, "A", -1),
              CSTR_LESS_THAN);
  }
}

// For ASCII letters and digits CompareCollated takes a byte-wise shortcut.
TEST(CompareStringTest, AsciiShortcutAgreesWithWeights) {
  const char* const kWords[] = {"",   "a",  "A",  "b",  "B",       "ab",      "aB",      "Ab",
                                "AB", "a1", "A1", "1",  "9",       "10",      "z",       "Z",
                                "zz", "Zz", "0a", "0A", "Window1", "WINDOW1", "window1", "Windows"};
  for (DWORD flags : {DWORD{0}, NORM_IGNORECASE}) {
    for (const char* a : kWords) {
      for (const char* b : kWords) {
        int lengthA = static_cast<int>(std::string(a).size());
        int lengthB = static_cast<int>(std::string(b).size());
        EXPECT_EQ(kwplatform::CompareCollated(a, lengthA, b, lengthB, flags),
                  kwplatform::CompareCollatedByWeights(a, lengthA, b, lengthB, flags))
            << a << " vs " << b << " flags " << flags;
      }
    }
  }
}

TEST(LstrTest, ComparesAndMeasures) {
  using Compare2 = int(WINAPI*)(LPCSTR, LPCSTR);
  struct Case {
    Compare2 function;
    const char* a;
    const char* b;
    int expected;
  };
  const Case kCases[] = {
      {lstrcmpiA, "Window1", "WINDOW1", 0},
      {lstrcmpiA, "abc", "ABD", -1},
      {lstrcmpiA, "b", "A", 1},
      {lstrcmpiA, nullptr, "", -1},
      {lstrcmpiA, "", nullptr, 1},
      {lstrcmpiA, nullptr, nullptr, 0},
      {lstrcmpA, "a", "A", -1},
      {lstrcmpA, "A", "b", -1},
      {lstrcmpA, "co-op", "coop", 1},
      {lstrcmpA, nullptr, "a", -1},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(c.function(c.a, c.b), c.expected)
        << (c.a ? c.a : "(null)") << " vs " << (c.b ? c.b : "(null)");
  }
  EXPECT_EQ(lstrlenA(nullptr), 0);
  EXPECT_EQ(lstrlenA(""), 0);
  EXPECT_EQ(lstrlenA("r\xE9sum\xE9"), 6);
}

}  // namespace
