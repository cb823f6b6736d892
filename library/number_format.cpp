// StringFormat: a number through a pattern of placeholders ("#,##0.00", "0.0e+", "Scientific").
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/runtime_string.h"
#include "library/byte_builder.h"
#include "library/number_functions.h"
#include "library/string_functions.h"

namespace {

// Precision beyond which the C conversions only add zeros: a double has at most 767 significant
// digits and 1074 fraction digits. Larger requests are cut to it; the zeros they would add are
// removed again below, so the result is the same.
constexpr int kMaxPrecision = 1100;

bool IsScientific(const RuntimeString* pattern) {
  static const char kName[] = "scientific";
  if (StringLength(pattern) != 10) return false;
  const char* text = StringCText(pattern);
  for (int index = 0; index < 10; index++) {
    char c = text[index];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != kName[index]) return false;
  }
  return true;
}

// What the first pass over a section counts.
struct SectionSummary {
  int32_t integerPlaces = 0;   // "#" and "0" before the first "."
  int32_t fractionPlaces = 0;  // and after it
  bool percent = false;
  bool grouping = false;
  bool exponent = false;
};

SectionSummary Summarise(const char* section, int32_t length) {
  SectionSummary summary;
  bool point = false;
  for (int32_t index = 0; index < length; index++) {
    switch (section[index]) {
      case '\\':
        index++;
        break;  // the next character is literal
      case '#':
      case '0':
        (point ? summary.fractionPlaces : summary.integerPlaces)++;
        break;
      case '.':
        point = true;
        break;
      case '%':
        summary.percent = true;
        break;
      case ',':
        summary.grouping = true;
        break;
      case 'e':
      case 'E':
        summary.exponent = true;
        break;
      default:
        break;
    }
  }
  return summary;
}

// The number's digits: the text T with its exponent start E and its point G (0-based).
struct Digits {
  char text[kMaxPrecision + 400];
  int32_t length;
  int32_t exponent;  // E: the "e", or the end of the text when there is none
  int32_t point;     // G: the ".", or E when there is none
  char At(int32_t index) const { return index >= 0 && index < length ? text[index] : '\0'; }
};

void Convert(double x, SectionSummary& summary, Digits& digits) {
  int precision = summary.fractionPlaces < kMaxPrecision ? summary.fractionPlaces : kMaxPrecision;
  char* text = digits.text;
  int length = 0;
  if (summary.exponent) {
    length = snprintf(text, sizeof digits.text, "%.*g", precision + 1, x);
    // %g writes numbers with small exponents plainly. Such a number is written with %e at the
    // same precision instead, which gives the same digits with the exponent the pattern shows.
    // Zero and the non-finite values keep the plain text: they have no exponent to show.
    if (!memchr(text, 'e', static_cast<size_t>(length)) && x != 0 && std::isfinite(x)) {
      length = snprintf(text, sizeof digits.text, "%.*e", precision, x);
    }
  } else {
    length = snprintf(text, sizeof digits.text, "%.*f", precision, x);
  }
  if (length < 0) length = 0;
  if (length >= static_cast<int>(sizeof digits.text)) length = sizeof digits.text - 1;
  const char* e = static_cast<const char*>(memchr(text, 'e', static_cast<size_t>(length)));
  int32_t exponent = e ? static_cast<int32_t>(e - text) : -1;
  if (summary.fractionPlaces > 0) {
    if (summary.exponent && exponent >= 0) {
      // Zeros ending the mantissa go; the exponent moves back over them.
      int32_t end = exponent;
      while (end > 0 && text[end - 1] == '0') end--;
      memmove(text + end, text + exponent, static_cast<size_t>(length - exponent));
      length -= exponent - end;
      exponent = end;
    } else if (memchr(text, '.', static_cast<size_t>(length))) {
      // Only zeros of a fraction: a whole number written without a point keeps its zeros.
      while (length > 0 && text[length - 1] == '0') length--;
    }
  }
  if (exponent < 0) {
    exponent = length;
    summary.exponent = false;
  }
  const char* point = static_cast<const char*>(memchr(text, '.', static_cast<size_t>(length)));
  digits.length = length;
  digits.exponent = exponent;
  digits.point = point ? static_cast<int32_t>(point - text) : exponent;
}

void WriteSection(const char* section, int32_t length, const SectionSummary& summary, const Digits& digits, double x,
                  bool negative, ByteBuilder& out) {
  const int32_t integerPlaces = summary.integerPlaces;
  const int32_t G = digits.point;
  const int32_t E = digits.exponent;
  bool point = false;
  int32_t place = 0;  // placeholders seen on the current side of the point
  for (int32_t index = 0; index < length; index++) {
    char c = section[index];
    switch (c) {
      case '\\':
        if (++index < length) out.Append(section[index]);
        break;
      case '#':
      case '0': {
        int64_t digit = 0;
        bool separator = false;
        if (point) {
          digit = int64_t{G} + 1 + place;
        } else if (place == 0 && integerPlaces < G) {
          // More integer digits than placeholders: the first placeholder takes the surplus.
          for (int32_t k = 0; k <= G - integerPlaces; k++) {
            if (summary.grouping && k >= 1 && (G - k) % 3 == 0) out.Append(',');
            out.Append(digits.text[k]);
          }
          place++;
          break;
        } else {
          digit = int64_t{G} - (integerPlaces - place);
          separator = summary.grouping && place > 0 && (integerPlaces - place) % 3 == 0;
        }
        if (digit >= 0 && digit < E) {
          if (separator) out.Append(',');
          out.Append(digits.text[digit]);
        } else if (c == '0') {
          if (separator) out.Append(',');
          out.Append('0');
        }
        place++;
        break;
      }
      case '.':
        if (!point) {
          out.Append('.');
          point = true;
          place = 0;
        }
        break;
      case '+':
        if (negative)
          out.Append('-');
        else if (x > 0)
          out.Append('+');
        break;
      case '-':
        if (negative) out.Append('-');
        break;
      case '%':
      case '(':
      case ')':
        out.Append(c);
        break;
      case 'e':
      case 'E': {
        if (!summary.exponent) break;
        out.Append(c);
        int32_t from = E + 1;  // the exponent's sign and digits
        char next = index + 1 < length ? section[index + 1] : '\0';
        if (next == '+') {
          if (digits.At(E + 1) != '+' && digits.At(E + 1) != '-') out.Append('+');
          index++;
        } else if (next == '-') {
          if (digits.At(E + 1) == '+') from = E + 2;
          index++;
        }
        if (from < digits.length) out.Append(digits.text + from, digits.length - from);
        break;
      }
      default:  // any other character shows only after "\"
        break;
    }
  }
}

}  // namespace

extern "C" RuntimeString* StringFormat(double x, RuntimeString* pattern) {
  static RuntimeString* const semicolon = StringFromCString(";");
  RuntimeString* section = nullptr;
  bool negative = false;
  if (IsScientific(pattern)) {
    section = StringFromCString("-#.000000E+");
  } else {
    int32_t sections = StringCountFields(pattern, semicolon);
    int32_t chosen = 1;
    if (x < 0) {
      negative = true;
      x = -x;
      chosen = sections >= 2 ? 2 : 1;
    } else if (!(x > 0)) {  // zero, and NaN, which no other section fits
      chosen = sections >= 3 ? 3 : 1;
    }
    section = StringNthField(pattern, semicolon, chosen);
  }
  // The sign is the pattern's business: a zero of either sign and a NaN convert without one.
  if (x == 0 || std::isnan(x)) x = std::fabs(x);
  const char* text = StringCText(section);
  int32_t length = StringLength(section);
  SectionSummary summary = Summarise(text, length);
  if (summary.percent) x *= 100;
  Digits digits;
  Convert(x, summary, digits);
  ByteBuilder out;
  WriteSection(text, length, summary, digits, x, negative, out);
  StringRelease(section);
  return out.ToString();
}
