#include "platform/kernel/collation.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "platform/kernel/code_page.h"

namespace kwplatform {
namespace {

// Primary weight ranges, in collation order; zero is never a weight.
constexpr uint32_t kMarkBase = 0x100;      // whitespace, punctuation, symbols
constexpr uint32_t kDigitBase = 0x200;     // 0..9
constexpr uint32_t kLetterBase = 0x300;    // A..Z, then µ (a Greek letter, after the Latin ones)
constexpr uint32_t kUnlistedBase = 0x400;  // anything outside these tables, in code point order

// Every mark of the code page, in collation order, one primary weight each. Spaces come first;
// the ASCII marks keep the order Windows gives them (ASCII order, except that + < = > sort with
// the math signs after ~); every other mark follows its closest ASCII relative; then the
// remaining punctuation, math signs, currency signs ($ stays in its ASCII place) and the rest.
// The no-break space is a variant of the space (see kSingles).
constexpr std::u16string_view kMarks =
    u" "
    u"'-"                                    // word-sort marks; ordinary only with SORT_STRINGSORT
    u"\u2013\u2014"                          // – —
    u"!\u00A1"                               // ! ¡
    u"\"\u201C\u201D\u201E\u00AB\u00BB"      // " “ ” „ « »
    u"\u2018\u2019\u201A\u2039\u203A"        // ‘ ’ ‚ ‹ ›
    u"#$%\u2030&()*,.\u2026/:;?\u00BF@[\\]"  // ‰ after %, … after ., ¿ after ?
    u"^\u02C6_`\u00B4\u00A8\u00AF\u00B8"     // ^ ˆ _ ` ´ ¨ ¯ ¸
    u"{|\u00A6}~\u02DC"                      // { | ¦ } ~ ˜
    u"\u00A7\u00B6\u00B7\u2022\u2020\u2021"  // § ¶ · • † ‡
    u"+\u00B1<=>\u00D7\u00F7\u00AC"          // + ± < = > × ÷ ¬
    u"\u00A2\u00A3\u00A4\u00A5\u20AC"        // ¢ £ ¤ ¥ €
    u"\u00B0\u00A9\u00AE\u2122";             // ° © ® ™

// Secondary weights, in the order accented forms of one letter sort.
enum Diacritic : uint8_t {
  kNoDiacritic,
  kAcute,
  kGrave,
  kCircumflex,
  kCaron,
  kRing,
  kDiaeresis,
  kTilde,
  kCedilla,
  kStroke,
  kHook,
};

// Tertiary weights: lower case (and caseless) before upper case, then compatibility variants
// (superscripts, ordinal indicators, fractions, the no-break space), then the full-width forms
// of code page 932, which NORM_IGNOREWIDTH folds to the normal ones.
enum Tertiary : uint8_t { kLower, kUpper, kVariant, kWideLower, kWideUpper };

enum class Kind : uint8_t {
  kAlphanumeric,
  kSymbol,    // dropped by NORM_IGNORESYMBOLS
  kWordMark,  // hyphen and apostrophe: weighted only at the last level in word sort
};

struct Element {
  uint32_t primary;
  uint8_t secondary;
  uint8_t tertiary;
  Kind kind;
};

// A character's elements: none for ignorables, up to three for expansions (Æ -> A E, ¼ -> 1 / 4).
struct Entry {
  uint8_t count;
  std::array<Element, 3> elements;
};

// Accented and composite letters, as (upper, lower, base spelled in upper case, diacritic).
// Expansions carry no mark of their own, so "æ" equals "ae", "ß" equals "ss" and "Þ" equals
// "TH" at every level, as Windows treats æ and ß.
struct LetterPair {
  char16_t upper;
  char16_t lower;
  const char* base;
  Diacritic diacritic;
};
constexpr LetterPair kLetterPairs[] = {
    {0xC0, 0xE0, "A", kGrave},          {0xC1, 0xE1, "A", kAcute},
    {0xC2, 0xE2, "A", kCircumflex},     {0xC3, 0xE3, "A", kTilde},
    {0xC4, 0xE4, "A", kDiaeresis},      {0xC5, 0xE5, "A", kRing},
    {0xC6, 0xE6, "AE", kNoDiacritic},   {0xC7, 0xE7, "C", kCedilla},
    {0xC8, 0xE8, "E", kGrave},          {0xC9, 0xE9, "E", kAcute},
    {0xCA, 0xEA, "E", kCircumflex},     {0xCB, 0xEB, "E", kDiaeresis},
    {0xCC, 0xEC, "I", kGrave},          {0xCD, 0xED, "I", kAcute},
    {0xCE, 0xEE, "I", kCircumflex},     {0xCF, 0xEF, "I", kDiaeresis},
    {0xD0, 0xF0, "D", kStroke},         {0xD1, 0xF1, "N", kTilde},
    {0xD2, 0xF2, "O", kGrave},          {0xD3, 0xF3, "O", kAcute},
    {0xD4, 0xF4, "O", kCircumflex},     {0xD5, 0xF5, "O", kTilde},
    {0xD6, 0xF6, "O", kDiaeresis},      {0xD8, 0xF8, "O", kStroke},
    {0xD9, 0xF9, "U", kGrave},          {0xDA, 0xFA, "U", kAcute},
    {0xDB, 0xFB, "U", kCircumflex},     {0xDC, 0xFC, "U", kDiaeresis},
    {0xDD, 0xFD, "Y", kAcute},          {0xDE, 0xFE, "TH", kNoDiacritic},
    {0x178, 0xFF, "Y", kDiaeresis},     {0x160, 0x161, "S", kCaron},
    {0x152, 0x153, "OE", kNoDiacritic}, {0x17D, 0x17E, "Z", kCaron},
};

// Other characters written as ASCII: caseless letters, and variants of a letter, digit or space
// that differ from it at the tertiary level only.
struct Single {
  char16_t code;
  const char* base;
  Diacritic diacritic;
  bool variant;
};
constexpr Single kSingles[] = {
    {0xDF, "ss", kNoDiacritic, false}, {0x192, "f", kHook, false},
    {0xAA, "a", kNoDiacritic, true},   {0xBA, "o", kNoDiacritic, true},
    {0xB9, "1", kNoDiacritic, true},   {0xB2, "2", kNoDiacritic, true},
    {0xB3, "3", kNoDiacritic, true},   {0xBC, "1/4", kNoDiacritic, true},
    {0xBD, "1/2", kNoDiacritic, true}, {0xBE, "3/4", kNoDiacritic, true},
    {0xA0, " ", kNoDiacritic, true},
};

// The element of a character that stands for itself: a digit, a basic letter or a mark.
constexpr Element Basic(char16_t c) {
  if (c >= u'0' && c <= u'9') return {kDigitBase + (c - u'0'), 0, kLower, Kind::kAlphanumeric};
  if (c >= u'A' && c <= u'Z') return {kLetterBase + (c - u'A'), 0, kUpper, Kind::kAlphanumeric};
  if (c >= u'a' && c <= u'z') return {kLetterBase + (c - u'a'), 0, kLower, Kind::kAlphanumeric};
  if (c == 0xB5) return {kLetterBase + 26, 0, kLower, Kind::kAlphanumeric};
  if (size_t index = kMarks.find(c); index != std::u16string_view::npos) {
    Kind kind = (c == u'\'' || c == u'-') ? Kind::kWordMark : Kind::kSymbol;
    return {kMarkBase + static_cast<uint32_t>(index), 0, kLower, kind};
  }
  return {kUnlistedBase + c, 0, kLower, Kind::kAlphanumeric};
}

constexpr Entry Expand(const char* base, bool lower, Diacritic diacritic, bool variant) {
  Entry entry{};
  for (; base[entry.count] != '\0'; ++entry.count) {
    char c = base[entry.count];
    Element element = Basic(static_cast<char16_t>(lower && c >= 'A' && c <= 'Z' ? c + 32 : c));
    element.secondary = entry.count == 0 ? diacritic : kNoDiacritic;  // the mark sits on the first
    if (variant) element.tertiary = kVariant;
    entry.elements[entry.count] = element;
  }
  return entry;
}

constexpr Entry BuildEntry(char16_t c) {
  // Controls (NUL included), the undefined bytes (decoded to C1 controls) and the soft hyphen
  // have no weight at all.
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xAD) return Entry{};
  for (const LetterPair& pair : kLetterPairs) {
    if (c == pair.upper || c == pair.lower) {
      return Expand(pair.base, c == pair.lower, pair.diacritic, false);
    }
  }
  for (const Single& single : kSingles) {
    if (c == single.code) return Expand(single.base, false, single.diacritic, single.variant);
  }
  // Full-width ASCII and the ideographic space: their normal form, wide at the tertiary level.
  if ((c >= 0xFF01 && c <= 0xFF5E) || c == 0x3000) {
    Element element = Basic(c == 0x3000 ? u' ' : static_cast<char16_t>(c - 0xFEE0));
    element.tertiary = element.tertiary == kUpper ? kWideUpper : kWideLower;
    return Entry{1, {element}};
  }
  return Entry{1, {Basic(c)}};
}

constexpr auto kLatin1Entries = [] {
  std::array<Entry, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = BuildEntry(static_cast<char16_t>(c));
  return table;
}();

Entry Lookup(uint16_t unit) { return unit < 256 ? kLatin1Entries[unit] : BuildEntry(unit); }

// Walks the collation elements of a string, applying the flags that remove elements.
class ElementStream {
 public:
  ElementStream(const char* text, int length, DWORD flags)
      : cursor_(text),
        end_(text + length),
        ignoreSymbols_((flags & NORM_IGNORESYMBOLS) != 0),
        wordSort_((flags & SORT_STRINGSORT) == 0) {}

  // The next element weighted at the first three levels.
  bool NextWeighted(Element& out) {
    while (Pull(out)) {
      if (out.kind != Kind::kWordMark) return true;
    }
    return false;
  }

  // The next word-sort mark, with the number of weighted elements before it.
  bool NextWordMark(Element& out, uint32_t& position) {
    while (Pull(out)) {
      if (out.kind == Kind::kWordMark) {
        position = weighted_;
        return true;
      }
    }
    return false;
  }

 private:
  bool Pull(Element& out) {
    for (;;) {
      while (next_ < entry_.count) {
        out = entry_.elements[next_++];
        if (out.kind == Kind::kWordMark && !wordSort_) out.kind = Kind::kSymbol;
        if (out.kind != Kind::kAlphanumeric && ignoreSymbols_) continue;
        if (out.kind != Kind::kWordMark) ++weighted_;
        return true;
      }
      if (cursor_ == end_) return false;
      uint16_t unit = 0;
      cursor_ += DecodeAnsiChar(cursor_, static_cast<int>(end_ - cursor_), &unit);
      entry_ = Lookup(unit);
      next_ = 0;
    }
  }

  const char* cursor_;
  const char* end_;
  bool ignoreSymbols_;
  bool wordSort_;
  Entry entry_{};
  int next_ = 0;
  uint32_t weighted_ = 0;
};

enum class Level { kPrimary, kSecondary, kTertiary };

uint32_t WeightAt(const Element& element, Level level, DWORD flags) {
  switch (level) {
    case Level::kPrimary:
      return element.primary;
    case Level::kSecondary:
      return element.secondary;
    case Level::kTertiary: {
      // Ignoring case folds upper to lower but keeps the compatibility variants apart.
      uint8_t tertiary = element.tertiary;
      if ((flags & NORM_IGNOREWIDTH) != 0 && tertiary >= kWideLower) tertiary = tertiary == kWideUpper ? kUpper : kLower;
      if ((flags & NORM_IGNORECASE) != 0 && (tertiary == kUpper || tertiary == kWideUpper)) tertiary--;
      return tertiary;
    }
  }
  return 0;
}

int Sign(uint32_t a, uint32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

int CompareLevel(const char* a, int lengthA, const char* b, int lengthB, DWORD flags, Level level) {
  ElementStream streamA(a, lengthA, flags);
  ElementStream streamB(b, lengthB, flags);
  for (;;) {
    Element elementA{}, elementB{};
    bool hasA = streamA.NextWeighted(elementA);
    bool hasB = streamB.NextWeighted(elementB);
    if (!hasA || !hasB) return Sign(hasA, hasB);  // the string that ran out first is smaller
    if (int order =
            Sign(WeightAt(elementA, level, flags), WeightAt(elementB, level, flags))) {
      return order;
    }
  }
}

// Last level of word sort: the hyphens and apostrophes, compared as (position, kind) pairs in
// string order; no mark sorts before any mark, and an earlier mark before a later one.
int CompareWordMarks(const char* a, int lengthA, const char* b, int lengthB, DWORD flags) {
  ElementStream streamA(a, lengthA, flags);
  ElementStream streamB(b, lengthB, flags);
  for (;;) {
    Element markA{}, markB{};
    uint32_t positionA = 0, positionB = 0;
    bool hasA = streamA.NextWordMark(markA, positionA);
    bool hasB = streamB.NextWordMark(markB, positionB);
    if (!hasA || !hasB) return Sign(hasA, hasB);
    if (int order = Sign(positionA, positionB)) return order;
    if (int order = Sign(markA.primary, markB.primary)) return order;
  }
}

bool IsAsciiAlphanumeric(const char* text, int length) {
  return std::all_of(text, text + length, [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  });
}

char FoldUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// For ASCII letters and digits the weights reduce to bytes: the upper-case byte order is the
// primary order (digits before letters), there are no diacritics, and the first case difference
// decides the tertiary level, lower case first.
int CompareAsciiAlphanumeric(const char* a, int lengthA, const char* b, int lengthB,
                             bool ignoreCase) {
  int common = std::min(lengthA, lengthB);
  for (int i = 0; i < common; ++i) {
    if (int order =
            Sign(static_cast<uint8_t>(FoldUpper(a[i])), static_cast<uint8_t>(FoldUpper(b[i])))) {
      return order;
    }
  }
  if (lengthA != lengthB) return lengthA < lengthB ? -1 : 1;
  if (!ignoreCase) {
    for (int i = 0; i < common; ++i) {
      if (a[i] != b[i]) return a[i] >= 'a' ? -1 : 1;  // same letter, so exactly one is lower case
    }
  }
  return 0;
}

}  // namespace

int CompareCollatedByWeights(const char* a, int lengthA, const char* b, int lengthB, DWORD flags) {
  if (int order = CompareLevel(a, lengthA, b, lengthB, flags, Level::kPrimary)) return order;
  if ((flags & NORM_IGNORENONSPACE) == 0) {
    if (int order = CompareLevel(a, lengthA, b, lengthB, flags, Level::kSecondary)) return order;
  }
  if (int order = CompareLevel(a, lengthA, b, lengthB, flags, Level::kTertiary)) return order;
  if ((flags & SORT_STRINGSORT) == 0) return CompareWordMarks(a, lengthA, b, lengthB, flags);
  return 0;
}

int CompareCollated(const char* a, int lengthA, const char* b, int lengthB, DWORD flags) {
  if (IsAsciiAlphanumeric(a, lengthA) && IsAsciiAlphanumeric(b, lengthB)) {
    return CompareAsciiAlphanumeric(a, lengthA, b, lengthB, (flags & NORM_IGNORECASE) != 0);
  }
  return CompareCollatedByWeights(a, lengthA, b, lengthB, flags);
}

}  // namespace kwplatform
