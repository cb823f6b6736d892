// FreeType behind the font instances. Glyphs are rendered one bit per pixel (hinted for
// outline faces), so text has exactly the text colour and draws the same in every build.
#include "platform/gdi/font_engine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_WINFONTS_H

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <map>
#include <tuple>

namespace kwplatform {

namespace {

std::atomic<bool> glyphCacheEnabled{true};

// The largest em size made, in pixels: beyond it glyph bitmaps would only waste memory.
constexpr int MaximumPixelSize = 1024;
// The size a height of 0 asks for: a 12-pixel character height.
constexpr int DefaultCharacterHeight = 12;

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library made = nullptr;
    if (FT_Init_FreeType(&made) != 0) made = nullptr;
    return made;
  }();
  return library;
}

FT_Face Face(void* handle) { return static_cast<FT_Face>(handle); }

int Round(long long numerator, long long denominator) {
  return static_cast<int>((2 * numerator + (numerator >= 0 ? denominator : -denominator)) / (2 * denominator));
}

// Appends a synthetic-bold copy: every row ORed with itself one pixel to the right.
void Embolden(Glyph* glyph) {
  if (glyph->width == 0) {
    glyph->advance++;
    return;
  }
  const int width = glyph->width + 1;
  std::vector<uint8_t> ink(static_cast<size_t>(width * glyph->height), 0);
  for (int y = 0; y < glyph->height; y++)
    for (int x = 0; x < glyph->width; x++)
      if (glyph->ink[static_cast<size_t>(y * glyph->width + x)]) {
        ink[static_cast<size_t>(y * width + x)] = 1;
        ink[static_cast<size_t>(y * width + x + 1)] = 1;
      }
  glyph->ink.swap(ink);
  glyph->width = width;
  glyph->advance++;
}

int FloorDivide(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Slants a glyph a quarter pixel per row: rows above the baseline move right, rows below left.
void Slant(Glyph* glyph) {
  if (glyph->width == 0) return;
  auto shift = [&](int row) { return FloorDivide(glyph->top - row - 1, 4); };
  const int low = std::min(shift(0), shift(glyph->height - 1));
  const int high = std::max(shift(0), shift(glyph->height - 1));
  const int width = glyph->width + high - low;
  std::vector<uint8_t> ink(static_cast<size_t>(width * glyph->height), 0);
  for (int y = 0; y < glyph->height; y++)
    for (int x = 0; x < glyph->width; x++)
      ink[static_cast<size_t>(y * width + x + shift(y) - low)] = glyph->ink[static_cast<size_t>(y * glyph->width + x)];
  glyph->ink.swap(ink);
  glyph->width = width;
  glyph->left += low;
}

// The strike of a bitmap font nearest below the size asked for (the smallest when all are
// larger), as the face index of the .fon file; -1 when the file holds none.
struct Strike {
  int index = -1;
  int cellHeight = 0;
  int characterHeight = 0;
};

std::vector<Strike> Strikes(const std::string& path) {
  std::vector<Strike> strikes;
  for (int index = 0;; index++) {
    FT_Face face = nullptr;
    if (FT_New_Face(Library(), path.c_str(), index, &face) != 0) break;
    FT_WinFNT_HeaderRec header;
    // Only strikes of the Western character set: the others hold other code pages.
    if (FT_Get_WinFNT_Header(face, &header) == 0 && header.charset == FT_WinFNT_ID_CP1252)
      strikes.push_back({index, header.pixel_height, header.pixel_height - header.internal_leading});
    const long count = face->num_faces;
    FT_Done_Face(face);
    if (index + 1 >= count) break;
  }
  std::sort(strikes.begin(), strikes.end(),
            [](const Strike& a, const Strike& b) { return a.cellHeight < b.cellHeight; });
  return strikes;
}

// The file of an outline face nearest the style asked for (exact, then same slant, then any).
const TypefaceFile& ChooseFile(const Typeface& face, bool bold, bool italic) {
  const TypefaceFile* best = &face.files.front();
  int bestScore = -1;
  for (const TypefaceFile& file : face.files) {
    const int score = (file.italic == italic ? 2 : 0) + (file.bold == bold ? 1 : 0);
    if (score > bestScore) {
      best = &file;
      bestScore = score;
    }
  }
  return *best;
}

}  // namespace

FontInstance::~FontInstance() {
  if (face_) FT_Done_Face(Face(face_));
}

bool FontInstance::Open(const Typeface& face, const FontRequest& request) {
  if (!Library() || !face.Installed()) return false;
  faceName_ = face.name;
  symbol_ = face.symbol;
  return face.raster ? OpenRaster(face, request) : OpenOutline(face, request);
}

bool FontInstance::OpenRaster(const Typeface& face, const FontRequest& request) {
  const std::vector<Strike> strikes = Strikes(face.files.front().path);
  if (strikes.empty()) return false;
  const int height = request.height == 0 ? -DefaultCharacterHeight : request.height;
  const int wanted = std::abs(height);
  auto sizeOf = [&](const Strike& strike) { return height < 0 ? strike.characterHeight : strike.cellHeight; };
  const Strike* chosen = &strikes.front();
  for (const Strike& strike : strikes)
    if (sizeOf(strike) <= wanted) chosen = &strike;
  // Much larger sizes than the strikes have come from the face's outline stand-in.
  if (face.standIn && wanted * 4 > sizeOf(strikes.back()) * 5) {
    const Typeface* standIn = FindTypeface(face.standIn);
    if (standIn && !standIn->raster) {
      FontRequest scaled = request;
      scaled.bold = request.bold || face.files.front().bold;
      if (!OpenOutline(*standIn, scaled)) return false;
      faceName_ = face.name;  // still reported by the name asked for
      return true;
    }
  }

  FT_Face opened = nullptr;
  if (FT_New_Face(Library(), face.files.front().path.c_str(), chosen->index, &opened) != 0) return false;
  face_ = opened;
  raster_ = true;
  FT_WinFNT_HeaderRec header;
  FT_Get_WinFNT_Header(opened, &header);
  syntheticBold_ = request.bold && header.weight < 600;
  syntheticItalic_ = request.italic && !header.italic;
  if (opened->num_fixed_sizes > 0) FT_Select_Size(opened, 0);
  // A bitmap font's one character map (the code page's bytes) is not selected by itself.
  if (!opened->charmap && opened->num_charmaps > 0) FT_Set_Charmap(opened, opened->charmaps[0]);

  FontMetrics& m = metrics_;
  m.height = header.pixel_height;
  m.ascent = header.ascent;
  m.descent = header.pixel_height - header.ascent;
  m.internalLeading = header.internal_leading;
  m.externalLeading = header.external_leading;
  m.averageWidth = header.avg_width + (syntheticBold_ ? 1 : 0);
  m.maximumWidth = header.max_width + (syntheticBold_ ? 1 : 0);
  m.weight = syntheticBold_ ? FW_BOLD : header.weight;
  m.italic = request.italic;
  m.firstChar = header.first_char;
  m.lastChar = header.last_char;
  m.defaultChar = static_cast<BYTE>(header.first_char + header.default_char);
  m.breakChar = static_cast<BYTE>(header.first_char + header.break_char);
  // TMPF_FIXED_PITCH is set for variable-pitch fonts (its name says the opposite).
  const bool variable = (header.pitch_and_family & 0x01) != 0 || header.avg_width != header.max_width;
  m.pitchAndFamily = static_cast<BYTE>((header.pitch_and_family & 0xF0) | (variable ? TMPF_FIXED_PITCH : 0));
  m.underlineOffset = m.descent >= 2 ? 1 : 0;
  m.underlineThickness = 1;
  m.strikeoutOffset = (m.ascent - m.internalLeading) / 3 + 1;
  return true;
}

bool FontInstance::OpenOutline(const Typeface& face, const FontRequest& request) {
  const TypefaceFile& file = ChooseFile(face, request.bold, request.italic);
  FT_Face opened = nullptr;
  if (FT_New_Face(Library(), file.path.c_str(), 0, &opened) != 0) return false;
  face_ = opened;
  faceName_ = face.name;
  symbol_ = face.symbol;
  raster_ = false;
  syntheticBold_ = request.bold && !file.bold;
  syntheticItalic_ = request.italic && !file.italic;
  if (symbol_ && FT_Select_Charmap(opened, FT_ENCODING_MS_SYMBOL) != 0) FT_Select_Charmap(opened, FT_ENCODING_UNICODE);

  const TT_OS2* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(opened, FT_SFNT_OS2));
  const TT_HoriHeader* horizontal = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(opened, FT_SFNT_HHEA));
  const TT_Postscript* postscript = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(opened, FT_SFNT_POST));
  const long unitsPerEm = opened->units_per_EM > 0 ? opened->units_per_EM : 2048;
  const long winAscent = os2 ? os2->usWinAscent : opened->ascender;
  const long winDescent = os2 ? os2->usWinDescent : -opened->descender;
  const long cell = std::max(1L, winAscent + winDescent);

  // A negative height is the em size; a positive one the cell (ascent + descent).
  int pixelSize = request.height == 0  ? DefaultCharacterHeight
                  : request.height < 0 ? -request.height
                                       : Round(static_cast<long long>(request.height) * unitsPerEm, cell);
  pixelSize = std::clamp(pixelSize, 1, MaximumPixelSize);
  if (FT_Set_Pixel_Sizes(opened, 0, static_cast<FT_UInt>(pixelSize)) != 0) return false;

  FontMetrics& m = metrics_;
  m.ascent = Round(winAscent * pixelSize, unitsPerEm);
  m.descent = Round(winDescent * pixelSize, unitsPerEm);
  m.height = m.ascent + m.descent;
  m.internalLeading = std::max(0, m.height - pixelSize);
  if (horizontal) {
    const long lineGap =
        horizontal->Line_Gap - ((winAscent + winDescent) - (horizontal->Ascender - horizontal->Descender));
    m.externalLeading = std::max(0, Round(lineGap * pixelSize, unitsPerEm));
  }
  const long average = os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : unitsPerEm / 2;
  m.averageWidth = Round(average * pixelSize, unitsPerEm) + (syntheticBold_ ? 1 : 0);
  const long widest = horizontal ? horizontal->advance_Width_Max : unitsPerEm;
  m.maximumWidth = Round(widest * pixelSize, unitsPerEm) + (syntheticBold_ ? 1 : 0);
  m.weight = request.bold ? FW_BOLD : FW_NORMAL;
  m.italic = request.italic;
  m.firstChar = symbol_ ? 0x1F : 0x1E;
  m.lastChar = 0xFF;
  m.defaultChar = 0x1F;
  m.breakChar = 0x20;
  const bool fixed = FT_IS_FIXED_WIDTH(opened);
  m.pitchAndFamily =
      static_cast<BYTE>((face.pitchAndFamily & 0xF0) | TMPF_TRUETYPE | TMPF_VECTOR | (fixed ? 0 : TMPF_FIXED_PITCH));
  if (postscript) {
    m.underlineOffset = std::max(1, Round(-static_cast<long>(postscript->underlinePosition) * pixelSize, unitsPerEm));
    m.underlineThickness =
        std::max(1, Round(static_cast<long>(postscript->underlineThickness) * pixelSize, unitsPerEm));
  }
  m.strikeoutOffset =
      os2 && os2->yStrikeoutPosition > 0 ? Round(os2->yStrikeoutPosition * pixelSize, unitsPerEm) : m.ascent / 3;
  return true;
}

void FontInstance::Render(uint32_t character, Glyph* glyph) {
  *glyph = Glyph{};
  FT_Face face = Face(face_);
  FT_UInt index = 0;
  if (raster_) {
    index = FT_Get_Char_Index(face, character);
    if (index == 0) index = FT_Get_Char_Index(face, metrics_.defaultChar);
  } else {
    if (symbol_) index = FT_Get_Char_Index(face, 0xF000 | (character & 0xFF));
    if (index == 0) index = FT_Get_Char_Index(face, character);
  }
  if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) != 0) return;
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  glyph->advance = static_cast<int>((slot->advance.x + 32) >> 6);
  glyph->left = slot->bitmap_left;
  glyph->top = slot->bitmap_top;
  glyph->width = static_cast<int>(bitmap.width);
  glyph->height = static_cast<int>(bitmap.rows);
  glyph->ink.assign(static_cast<size_t>(glyph->width * glyph->height), 0);
  for (int y = 0; y < glyph->height; y++) {
    const unsigned char* row = bitmap.buffer + static_cast<long>(y) * bitmap.pitch;
    for (int x = 0; x < glyph->width; x++) {
      const bool set =
          bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (row[x >> 3] >> (7 - (x & 7)) & 1) != 0 : row[x] >= 128;
      glyph->ink[static_cast<size_t>(y * glyph->width + x)] = set ? 1 : 0;
    }
  }
  if (syntheticBold_) Embolden(glyph);
  if (syntheticItalic_) Slant(glyph);
}

const Glyph& FontInstance::GlyphOf(uint32_t character) {
  if (!glyphCacheEnabled.load(std::memory_order_relaxed)) {
    Render(character, &scratch_);
    return scratch_;
  }
  if (character < byteGlyphs_.size()) {
    std::unique_ptr<Glyph>& slot = byteGlyphs_[character];
    if (!slot) {
      slot = std::make_unique<Glyph>();
      Render(character, slot.get());
    }
    return *slot;
  }
  auto [entry, added] = otherGlyphs_.try_emplace(character);
  if (added) Render(character, &entry->second);
  return entry->second;
}

std::shared_ptr<FontInstance> RealizeFont(const FontRequest& request) {
  // Instances are kept for reuse; when there are many, those nobody holds are let go.
  static std::map<std::tuple<const Typeface*, int, bool, bool>, std::shared_ptr<FontInstance>> instances;
  constexpr size_t KeptInstances = 64;
  if (request.face == nullptr) return nullptr;
  const auto key = std::make_tuple(request.face, request.height, request.bold, request.italic);
  auto found = instances.find(key);
  if (found != instances.end()) return found->second;
  if (instances.size() >= KeptInstances)
    std::erase_if(instances, [](const auto& entry) { return entry.second.use_count() <= 1; });
  auto instance = std::make_shared<FontInstance>();
  if (!instance->Open(*request.face, request)) instance = nullptr;
  instances.emplace(key, instance);
  return instance;
}

std::vector<int> StrikeHeights(const Typeface& face) {
  std::vector<int> heights;
  if (!face.raster || !face.Installed() || !Library()) return heights;
  for (const Strike& strike : Strikes(face.files.front().path)) heights.push_back(strike.cellHeight);
  return heights;
}

void SetGlyphCacheEnabled(bool enabled) { glyphCacheEnabled.store(enabled, std::memory_order_relaxed); }

}  // namespace kwplatform
