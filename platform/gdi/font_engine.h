// Fonts made real at a pixel size with FreeType: their metrics and their glyphs, rendered one
// bit per pixel and kept in a glyph cache per font instance.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gdi/typefaces.h"

namespace kwplatform {

// What a device context asks for, in device pixels.
struct FontRequest {
  const Typeface* face = nullptr;
  int height = 0;  // as lfHeight: negative a character height, positive a cell height, 0 default
  bool bold = false;
  bool italic = false;

  bool operator==(const FontRequest&) const = default;
};

// TEXTMETRICA's values in device pixels, plus the lines that underline and strike out.
struct FontMetrics {
  int height = 0, ascent = 0, descent = 0, internalLeading = 0, externalLeading = 0;
  int averageWidth = 0, maximumWidth = 0, weight = 400, overhang = 0;
  BYTE firstChar = 32, lastChar = 255, defaultChar = 31, breakChar = 32;
  BYTE pitchAndFamily = 0;  // TEXTMETRICA's: TMPF_* bits and the family
  bool italic = false;
  int underlineOffset = 1, underlineThickness = 1;  // below the baseline
  int strikeoutOffset = 3;                          // above the baseline
};

// One character's ink: rows of 0/1 bytes, its position from the pen on the baseline and the
// distance to the next character.
struct Glyph {
  int width = 0, height = 0;
  int left = 0;  // from the pen position to the first column
  int top = 0;   // rows above the baseline of the first row
  int advance = 0;
  std::vector<uint8_t> ink;  // width × height
};

class FontInstance {
 public:
  FontInstance() = default;
  FontInstance(const FontInstance&) = delete;
  FontInstance& operator=(const FontInstance&) = delete;
  ~FontInstance();

  const FontMetrics& Metrics() const { return metrics_; }
  const char* FaceName() const { return faceName_; }

  // The glyph of a character: a code-page byte for bitmap faces (their native encoding), else
  // a UTF-16 unit. The reference is valid until the next call when caching is off.
  const Glyph& GlyphOf(uint32_t character);

  // Whether characters are given as code-page bytes (bitmap faces) rather than UTF-16 units.
  bool TakesBytes() const { return raster_; }

 private:
  friend std::shared_ptr<FontInstance> RealizeFont(const FontRequest& request);
  bool Open(const Typeface& face, const FontRequest& request);
  bool OpenRaster(const Typeface& face, const FontRequest& request);
  bool OpenOutline(const Typeface& face, const FontRequest& request);
  void Render(uint32_t character, Glyph* glyph);

  void* face_ = nullptr;  // FT_Face
  const char* faceName_ = "";
  bool raster_ = false;
  bool symbol_ = false;
  bool syntheticBold_ = false;
  bool syntheticItalic_ = false;
  FontMetrics metrics_;
  std::array<std::unique_ptr<Glyph>, 256> byteGlyphs_;
  std::unordered_map<uint32_t, Glyph> otherGlyphs_;
  Glyph scratch_;
};

// The instance for a request, shared by every request that asks the same; null when no font
// file can be opened.
std::shared_ptr<FontInstance> RealizeFont(const FontRequest& request);

// The cell heights of a bitmap face's strikes, smallest first.
std::vector<int> StrikeHeights(const Typeface& face);

// Turns the glyph cache off (every glyph rendered anew) or back on; for benchmarks.
void SetGlyphCacheEnabled(bool enabled);

}  // namespace kwplatform
