// The system ANSI code page: Windows-1252 (an English installation) unless the layer's
// environment variable KW_ANSI_CODE_PAGE selects 932 (Japanese Shift-JIS) for the process.
#pragma once

#include <cstdint>

namespace kwplatform {

// Code units the conversions give where the code page has no character: Windows' defaults.
constexpr uint16_t kDefaultUnit932 = 0x30FB;  // katakana middle dot

// The active code page's number (1252 or 932).
unsigned AnsiCodePage();

// Makes page (1252 or 932) the active code page; false, and no change, for any other page.
bool SelectAnsiCodePage(unsigned page);

// Whether byte starts a two-byte character in the active code page (never for 1252).
bool IsAnsiLeadByte(unsigned char byte);
bool IsLeadByteOf(unsigned page, unsigned char byte);

// The UTF-16 code unit of a single byte. The five bytes Windows-1252 leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value, as Windows maps them; a lead
// byte of 932 on its own gives the default unit.
uint16_t AnsiToUnicode(unsigned char byte);
uint16_t ByteToUnicode(unsigned page, unsigned char byte);

// Decodes the character at the start of bytes (length >= 1) into its UTF-16 code unit and
// returns the number of bytes it occupies: 2 for a lead byte with its trail byte, else 1. A
// pair with no character, or a lead byte in the last position, gives the default unit.
int DecodeAnsiChar(const char* bytes, int length, uint16_t* unit);

// Writes the bytes of unit in the active code page to out and returns their number (1 or 2),
// or 0 when the code page has no such character.
int EncodeAnsiChar(uint16_t unit, char out[2]);
int EncodeChar(unsigned page, uint16_t unit, char out[2]);

}  // namespace kwplatform
