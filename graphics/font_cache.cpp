#include "graphics/font_cache.h"

#include "core/memory_manager.h"
#include "core/runtime_string.h"
#include "loader/startup.h"

namespace {

struct FontEntry {
  FontEntry* next;
  int32_t uses;
  RuntimeString* name;  // as asked for, not the mapped face
  bool bold;
  bool italic;
  bool underline;
  int32_t size;
  HFONT font;
};

FontEntry* entries;

HFONT CreateGdiFont(const char* face, int32_t size, bool bold, bool italic, bool underline, int32_t characterSet) {
  // A negative height asks for the character height rather than the cell height.
  return CreateFontA(-size, 0, 0, 0, bold ? 700 : 400, italic, underline, FALSE, static_cast<DWORD>(characterSet),
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
}

void DeleteGdiFont(HFONT font) { DeleteObject(font); }

const FontMaker gdiMaker = {CreateGdiFont, DeleteGdiFont};
FontMaker maker = gdiMaker;

struct FaceMapping {
  const char* name;
  const char* face;
};

const FaceMapping faceMappings[] = {
    {"System", "MS Sans Serif"}, {"Application", "MS Sans Serif"}, {"Geneva", "MS Sans Serif"},
    {"Courier", "Courier New"},  {"Times", "Times New Roman"},     {"Helvetica", "Arial"},
    {"Osaka", "MS UI Gothic"},
};

}  // namespace

const char* WindowsFaceName(const char* name) {
  for (const FaceMapping& mapping : faceMappings)
    if (lstrcmpiA(name, mapping.name) == 0) return mapping.face;
  return name;
}

HFONT AcquireCachedFont(const RuntimeString* name, int32_t size, int32_t style) {
  bool bold = style & BoldStyle, italic = style & ItalicStyle, underline = style & UnderlineStyle;
  for (FontEntry* entry = entries; entry; entry = entry->next) {
    if (entry->size == size && entry->bold == bold && entry->italic == italic && entry->underline == underline &&
        lstrcmpiA(StringCText(entry->name), StringCText(name)) == 0) {
      entry->uses++;
      return entry->font;
    }
  }
  auto* entry = static_cast<FontEntry*>(SmallAlloc(sizeof(FontEntry)));
  *entry = {entries, 1, StringRetain(const_cast<RuntimeString*>(name)), bold, italic, underline, size, nullptr};
  entry->font = maker.create(WindowsFaceName(StringCText(name)), size, bold, italic, underline,
                             TheApplicationSettings().characterSet);
  entries = entry;
  return entry->font;
}

void ReleaseCachedFont(HFONT font) {
  if (font == nullptr) return;
  for (FontEntry** link = &entries; *link; link = &(*link)->next) {
    FontEntry* entry = *link;
    if (entry->font != font) continue;
    if (--entry->uses > 0) return;
    *link = entry->next;
    maker.destroy(entry->font);
    StringRelease(entry->name);
    SmallFree(entry, sizeof(FontEntry));
    return;
  }
}

FontMaker SetFontMaker(const FontMaker* replacement) {
  FontMaker previous = maker;
  maker = replacement ? *replacement : gdiMaker;
  return previous;
}

int32_t CachedFontCount() {
  int32_t count = 0;
  for (FontEntry* entry = entries; entry; entry = entry->next) count++;
  return count;
}

int32_t CachedFontUses(HFONT font) {
  for (FontEntry* entry = entries; entry; entry = entry->next)
    if (entry->font == font) return entry->uses;
  return 0;
}
