// The process-wide font cache: GDI fonts shared by every port and control that asks for the
// same name, size and style, each deleted when its last user releases it.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"
#include "platform/win32.h"

// Style bits of ports and controls: bold 1, italic 2, underline 4.
enum FontStyleBits : int32_t { BoldStyle = 1, ItalicStyle = 2, UnderlineStyle = 4 };

// A font for (name, size, style bits); the name compares without regard to case. Every call
// counts one use, given back with ReleaseCachedFont.
HFONT AcquireCachedFont(const RuntimeString* name, int32_t size, int32_t style);
void ReleaseCachedFont(HFONT font);

// The Windows face that a font name asks for ("Geneva" is "MS Sans Serif", ...).
const char* WindowsFaceName(const char* name);

// How the cache makes and deletes its fonts: CreateFontA and DeleteObject unless a test
// watches the calls.
struct FontMaker {
  HFONT (*create)(const char* face, int32_t size, bool bold, bool italic, bool underline, int32_t characterSet);
  void (*destroy)(HFONT font);
};
// Replaces the maker; null restores GDI. Returns the previous one.
FontMaker SetFontMaker(const FontMaker* maker);

// Entries and the uses they count, for diagnostics and tests.
int32_t CachedFontCount();
int32_t CachedFontUses(HFONT font);
