// Numbers to text and back: StringStr, StringVal, RuntimeHex, RuntimeOct.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/runtime_string.h"
#include "library/number_functions.h"

namespace {

RuntimeString* DigitsOf(uint32_t value, uint32_t radix) {
  char digits[32];
  int start = sizeof digits;
  do {
    digits[--start] = "0123456789ABCDEF"[value % radix];
    value /= radix;
  } while (value != 0);
  return StringFromBytes(digits + start, static_cast<int32_t>(sizeof digits) - start);
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "&h", "&o" or "&b" and digits of that radix; other bytes after the prefix are skipped.
double ReadRadixNumber(const char* text, int32_t length) {
  uint32_t radix = 0;
  switch (text[1]) {
    case 'h':
    case 'H':
      radix = 16;
      break;
    case 'o':
    case 'O':
      radix = 8;
      break;
    case 'b':
    case 'B':
      radix = 2;
      break;
    default:
      return 0;
  }
  uint32_t value = 0;  // wraps as 32-bit arithmetic does
  for (int32_t index = 2; index < length; index++) {
    int digit = DigitValue(text[index]);
    if (digit >= 0 && static_cast<uint32_t>(digit) < radix) value = value * radix + static_cast<uint32_t>(digit);
  }
  return static_cast<int32_t>(value);
}

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// What "%lf" reads from the start of text: white space, a sign, digits with an optional point,
// an optional exponent. Only that decimal form counts: the C library would also read "inf",
// "nan" and hexadecimal "0x" numbers, which here read as 0 (or as the "0" before the "x").
double ReadDecimalNumber(const char* text) {
  while (IsCSpace(*text)) text++;
  const char* mantissa = text + (*text == '+' || *text == '-');
  bool digitFirst = *mantissa >= '0' && *mantissa <= '9';
  bool pointFirst = *mantissa == '.' && mantissa[1] >= '0' && mantissa[1] <= '9';
  if (!digitFirst && !pointFirst) return 0;
  if (mantissa[0] == '0' && (mantissa[1] == 'x' || mantissa[1] == 'X')) return *text == '-' ? -0.0 : 0.0;
  return strtod(text, nullptr);
}

}  // namespace

extern "C" {

RuntimeString* StringStr(double x) {
  if (x == 0) x = 0;  // -0 shows as 0
  double magnitude = std::fabs(x);
  char text[64];
  int length = 0;
  if ((magnitude >= 1e-5 && magnitude <= 1e6) || x == 0) {
    length = snprintf(text, sizeof text, "%.7f", x);
    while (length > 0 && text[length - 1] == '0') length--;
    if (length > 0 && text[length - 1] == '.') length--;
  } else {
    length = snprintf(text, sizeof text, "%.7g", x);
  }
  return StringFromBytes(text, length);
}

RuntimeString* runCStr(double x) { return StringStr(x); }

double StringVal(RuntimeString* s) {
  const char* text = StringCText(s);
  int32_t length = StringLength(s);
  if (length >= 2 && text[0] == '&') return ReadRadixNumber(text, length);
  return ReadDecimalNumber(text);
}

double runCDbl(RuntimeString* s) { return StringVal(s); }

RuntimeString* RuntimeHex(int32_t n) { return DigitsOf(static_cast<uint32_t>(n), 16); }

RuntimeString* RuntimeOct(int32_t n) { return DigitsOf(static_cast<uint32_t>(n), 8); }

}  // extern "C"
