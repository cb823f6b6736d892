#include "platform/kernel/character_type.h"

#include <array>
#include <cstring>

#include "platform/kernel/code_page.h"
#include "platform/win32.h"

namespace kwplatform {
namespace {

// Ranges where upper = lower - offset for every unit of the lower range (with exceptions).
struct CaseRange {
  uint16_t lowerFirst;
  uint16_t lowerLast;
  uint16_t offset;
};
constexpr CaseRange kCaseRanges[] = {
    {0x0061, 0x007A, 0x20},  // a..z
    {0x00E0, 0x00FE, 0x20},  // à..þ (÷ excepted)
    {0x03B1, 0x03C1, 0x20},  // Greek α..ρ
    {0x03C3, 0x03C9, 0x20},  // Greek σ..ω
    {0x0430, 0x044F, 0x20},  // Cyrillic а..я
    {0x0450, 0x045F, 0x50},  // Cyrillic ѐ..џ
    {0x2170, 0x217F, 0x10},  // small Roman numerals
    {0x24D0, 0x24E9, 0x1A},  // circled small letters
    {0xFF41, 0xFF5A, 0x20},  // full-width a..z
};

// Pairs outside the ranges: Latin Extended-A letters of 1252 and ÿ.
struct CasePair {
  uint16_t upper;
  uint16_t lower;
};
constexpr CasePair kCasePairs[] = {
    {0x0152, 0x0153}, {0x0160, 0x0161}, {0x0178, 0x00FF}, {0x017D, 0x017E}, {0x0191, 0x0192}};

// Lower-case letters without a capital, and other letters without case (ª, º).
bool IsCaselessLower(uint16_t unit) { return unit == 0x00DF || unit == 0x00B5 || unit == 0x00AA || unit == 0x00BA; }

bool IsKanaOrIdeograph(uint16_t unit) {
  return (unit >= 0x3041 && unit <= 0x30FF) || (unit >= 0x3400 && unit <= 0x9FFF) ||
         (unit >= 0xF900 && unit <= 0xFAFF) || (unit >= 0xFF66 && unit <= 0xFF9F) || (unit >= 0xE000 && unit <= 0xF8FF);
}

// Single-byte case tables of one code page, built on first use.
struct ByteCaseTables {
  std::array<char, 256> upper;
  std::array<char, 256> lower;
};

ByteCaseTables BuildByteCaseTables(unsigned page) {
  ByteCaseTables tables{};
  for (int byte = 0; byte < 256; ++byte) {
    tables.upper[byte] = tables.lower[byte] = static_cast<char>(byte);
    if (IsLeadByteOf(page, static_cast<unsigned char>(byte))) continue;
    uint16_t unit = ByteToUnicode(page, static_cast<unsigned char>(byte));
    char encoded[2];
    if (EncodeChar(page, UnicodeToUpper(unit), encoded) == 1) tables.upper[byte] = encoded[0];
    if (EncodeChar(page, UnicodeToLower(unit), encoded) == 1) tables.lower[byte] = encoded[0];
  }
  return tables;
}

const ByteCaseTables& CaseTables() {
  static const ByteCaseTables tables1252 = BuildByteCaseTables(1252);
  static const ByteCaseTables tables932 = BuildByteCaseTables(932);
  return AnsiCodePage() == 932 ? tables932 : tables1252;
}

void ConvertCase(char* text, uint32_t length, bool toUpper) {
  const ByteCaseTables& tables = CaseTables();
  const std::array<char, 256>& byteTable = toUpper ? tables.upper : tables.lower;
  for (uint32_t index = 0; index < length;) {
    auto byte = static_cast<unsigned char>(text[index]);
    if (!IsAnsiLeadByte(byte)) {
      text[index++] = byteTable[byte];
      continue;
    }
    if (index + 1 == length) break;  // a lead byte without its trail byte stays
    uint16_t unit = 0;
    DecodeAnsiChar(text + index, 2, &unit);
    uint16_t converted = toUpper ? UnicodeToUpper(unit) : UnicodeToLower(unit);
    char encoded[2];
    if (converted != unit && EncodeAnsiChar(converted, encoded) == 2) {
      text[index] = encoded[0];
      text[index + 1] = encoded[1];
    }
    index += 2;
  }
}

}  // namespace

uint16_t UnicodeToUpper(uint16_t unit) {
  for (const CaseRange& range : kCaseRanges) {
    if (unit >= range.lowerFirst && unit <= range.lowerLast) {
      return unit == 0x00F7 ? unit : static_cast<uint16_t>(unit - range.offset);
    }
  }
  for (const CasePair& pair : kCasePairs) {
    if (unit == pair.lower) return pair.upper;
  }
  return unit;
}

uint16_t UnicodeToLower(uint16_t unit) {
  for (const CaseRange& range : kCaseRanges) {
    uint16_t upperFirst = static_cast<uint16_t>(range.lowerFirst - range.offset);
    uint16_t upperLast = static_cast<uint16_t>(range.lowerLast - range.offset);
    if (unit >= upperFirst && unit <= upperLast) {
      return unit == 0x00D7 ? unit : static_cast<uint16_t>(unit + range.offset);
    }
  }
  for (const CasePair& pair : kCasePairs) {
    if (unit == pair.upper) return pair.lower;
  }
  return unit;
}

uint16_t UnicodeCharacterType(uint16_t unit) {
  WORD type = C1_DEFINED;
  // Spaces: tab and space are also blanks; the no-break and ideographic spaces are both.
  if (unit == 0x09 || unit == 0x20 || unit == 0xA0 || unit == 0x3000) type |= C1_SPACE | C1_BLANK;
  if (unit >= 0x0A && unit <= 0x0D) type |= C1_SPACE;
  if (unit < 0x20 || (unit >= 0x7F && unit <= 0x9F)) return type | C1_CNTRL;
  if (type & C1_SPACE) return type;
  if ((unit >= '0' && unit <= '9') || (unit >= 0xFF10 && unit <= 0xFF19)) {
    return type | C1_DIGIT | (unit <= '9' ? C1_XDIGIT : 0);
  }
  if (UnicodeToLower(unit) != unit)
    type |= C1_UPPER | C1_ALPHA;
  else if (UnicodeToUpper(unit) != unit || IsCaselessLower(unit))
    type |= C1_LOWER | C1_ALPHA;
  else if (IsKanaOrIdeograph(unit))
    type |= C1_ALPHA;
  else
    type |= C1_PUNCT;
  if ((unit >= 'A' && unit <= 'F') || (unit >= 'a' && unit <= 'f')) type |= C1_XDIGIT;
  return type;
}

void AnsiToUpper(char* text, uint32_t length) { ConvertCase(text, length, true); }

void AnsiToLower(char* text, uint32_t length) { ConvertCase(text, length, false); }

}  // namespace kwplatform

extern "C" BOOL WINAPI GetStringTypeExA(LCID Locale, DWORD dwInfoType, LPCSTR lpSrcStr, int cchSrc, LPWORD lpCharType) {
  (void)Locale;  // one locale: the code page decides
  if (lpSrcStr == nullptr || lpCharType == nullptr || dwInfoType != CT_CTYPE1) return FALSE;
  // -1: the text is NUL-terminated, and the terminator is classified too, as Windows does.
  int length = cchSrc < 0 ? static_cast<int>(strlen(lpSrcStr)) + 1 : cchSrc;
  // One class word per character: a lead byte and its trail byte give one.
  for (int index = 0; index < length;) {
    uint16_t unit = 0;
    index += kwplatform::DecodeAnsiChar(lpSrcStr + index, length - index, &unit);
    *lpCharType++ = kwplatform::UnicodeCharacterType(unit);
  }
  return TRUE;
}
