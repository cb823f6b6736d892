// A line of text in one font: its characters as the font looks them up, its width, and its
// drawing, all in device pixels.
#pragma once

#include <vector>

#include "platform/gdi/font_engine.h"
#include "platform/gdi/raster.h"

namespace kwplatform {

// The lookup codes of the characters of length bytes: code-page bytes for a bitmap face (a
// double-byte character, which such a face lacks, becomes its default character), UTF-16 units
// otherwise.
std::vector<uint32_t> TextCharacters(const FontInstance& font, const char* text, int length);

// The sum of the characters' advances.
int TextWidth(FontInstance& font, const std::vector<uint32_t>& characters);

struct TextRunStyle {
  uint32_t pixel = 0;
  bool underline = false;
  bool strikeOut = false;
  const std::vector<int>* advances = nullptr;  // per character, in place of the font's
  const RECT* limit = nullptr;                 // device rectangle the ink must stay in
  int underlinedCharacter = -1;                // one character underlined on its own ('&' prefix)
};

// Draws the characters from pen position x on baseline y; returns the width drawn.
int DrawTextRun(const RasterTarget& target, FontInstance& font, const std::vector<uint32_t>& characters, int x,
                int baseline, const TextRunStyle& style);

}  // namespace kwplatform
