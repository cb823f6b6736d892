#include "graphics/font_list.h"

#include <vector>

#include "core/exceptions.h"
#include "core/runtime_string.h"
#include "platform/win32.h"

namespace {

// Built once; fonts installed later do not appear.
std::vector<RuntimeString*>* fontNames;

int CALLBACK CollectFontName(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM) {
  fontNames->push_back(StringFromCString(font->lfFaceName));
  return 1;
}

const std::vector<RuntimeString*>& FontNames() {
  if (fontNames == nullptr) {
    fontNames = new std::vector<RuntimeString*>;
    HDC screen = GetDC(nullptr);
    // No face name: one report per typeface.
    EnumFontsA(screen, nullptr, CollectFontName, 0);
    ReleaseDC(nullptr, screen);
  }
  return *fontNames;
}

}  // namespace

extern "C" {

int32_t getFontCount() { return static_cast<int32_t>(FontNames().size()); }

RuntimeString* getFontName(int32_t index) {
  const std::vector<RuntimeString*>& names = FontNames();
  if (index < 0 || index >= static_cast<int32_t>(names.size())) RaiseNewException(ExceptionKind::OutOfBounds);
  return StringRetain(names[static_cast<size_t>(index)]);
}

}  // extern "C"
