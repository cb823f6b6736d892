#include "platform/gdi/text_run.h"

#include <algorithm>

#include "platform/kernel/code_page.h"

namespace kwplatform {

namespace {

// Fills [left, right) of row y, cut to the limit when there is one.
void FillLimited(const RasterTarget& target, int y, int left, int right, const TextRunStyle& style) {
  if (style.limit) {
    if (y < style.limit->top || y >= style.limit->bottom) return;
    left = std::max<int>(left, style.limit->left);
    right = std::min<int>(right, style.limit->right);
  }
  target.FillSpan(y, left, right, style.pixel, R2_COPYPEN);
}

void DrawGlyph(const RasterTarget& target, const Glyph& glyph, int x, int baseline, const TextRunStyle& style) {
  const int left = x + glyph.left;
  const int top = baseline - glyph.top;
  for (int row = 0; row < glyph.height; row++) {
    const uint8_t* ink = glyph.ink.data() + static_cast<size_t>(row) * glyph.width;
    int column = 0;
    while (column < glyph.width) {
      while (column < glyph.width && !ink[column]) column++;
      const int start = column;
      while (column < glyph.width && ink[column]) column++;
      if (column > start) FillLimited(target, top + row, left + start, left + column, style);
    }
  }
}

}  // namespace

std::vector<uint32_t> TextCharacters(const FontInstance& font, const char* text, int length) {
  std::vector<uint32_t> characters;
  characters.reserve(static_cast<size_t>(length));
  int position = 0;
  while (position < length) {
    uint16_t unit = 0;
    const int used = DecodeAnsiChar(text + position, length - position, &unit);
    if (!font.TakesBytes())
      characters.push_back(unit);
    else if (used == 1)
      characters.push_back(static_cast<unsigned char>(text[position]));
    else
      characters.push_back(font.Metrics().defaultChar);
    position += used;
  }
  return characters;
}

int TextWidth(FontInstance& font, const std::vector<uint32_t>& characters) {
  int width = 0;
  for (uint32_t character : characters) width += font.GlyphOf(character).advance;
  return width;
}

int DrawTextRun(const RasterTarget& target, FontInstance& font, const std::vector<uint32_t>& characters, int x,
                int baseline, const TextRunStyle& style) {
  const FontMetrics& metrics = font.Metrics();
  auto line = [&](int y, int left, int right) {
    for (int i = 0; i < metrics.underlineThickness; i++) FillLimited(target, y + i, left, right, style);
  };
  int pen = x;
  for (size_t i = 0; i < characters.size(); i++) {
    const Glyph& glyph = font.GlyphOf(characters[i]);
    DrawGlyph(target, glyph, pen, baseline, style);
    const int advance = style.advances ? (*style.advances)[i] : glyph.advance;
    if (static_cast<int>(i) == style.underlinedCharacter) line(baseline + metrics.underlineOffset, pen, pen + advance);
    pen += advance;
  }
  if (style.underline) line(baseline + metrics.underlineOffset, x, pen);
  if (style.strikeOut) line(baseline - metrics.strikeoutOffset, x, pen);
  return pen - x;
}

}  // namespace kwplatform
