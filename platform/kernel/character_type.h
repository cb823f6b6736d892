// Character properties of the UTF-16 units the ANSI code pages reach (Latin-1 and the Latin,
// Greek, Cyrillic, kana, CJK and full-width characters of 1252 and 932), and case conversion of
// ANSI text through them.
#pragma once

#include <cstdint>

namespace kwplatform {

// Simple (one to one) case mappings; a unit without one maps to itself.
uint16_t UnicodeToUpper(uint16_t unit);
uint16_t UnicodeToLower(uint16_t unit);

// The CT_CTYPE1 class bits (C1_UPPER, C1_SPACE, ...) Windows reports for unit.
uint16_t UnicodeCharacterType(uint16_t unit);

// Converts length bytes of ANSI text in place, character by character in the active code page.
// A character whose converted form has another byte length, or no form in the code page, is
// left as it is, so the text keeps its length.
void AnsiToUpper(char* text, uint32_t length);
void AnsiToLower(char* text, uint32_t length);

}  // namespace kwplatform
