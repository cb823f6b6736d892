// The system ANSI code page: Windows-1252, as on an English Windows installation.
#pragma once

#include <cstdint>

namespace kwplatform {

// The UTF-16 code unit of a single byte of the ANSI code page. The five bytes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value, as Windows
// maps them.
uint16_t AnsiToUnicode(unsigned char byte);

// Decodes the character at the start of bytes (length >= 1) into its UTF-16 code unit and
// returns the number of bytes it occupies. Always 1 for a single-byte code page; callers that
// walk strings go through here so that a double-byte code page can be added behind it.
int DecodeAnsiChar(const char* bytes, int length, uint16_t* unit);

}  // namespace kwplatform
