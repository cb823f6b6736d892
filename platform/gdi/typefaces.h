// The typefaces the layer knows: names as applications ask for them, the font files behind
// them, and the name rules (substitutes and the fallback for unknown names).
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

namespace kwplatform {

struct TypefaceFile {
  std::string path;  // empty when the file is not installed
  bool bold = false;
  bool italic = false;
};

struct Typeface {
  const char* name;     // as reported (EnumFontsA, GetTextFaceA)
  bool raster;          // fixed-size bitmap strikes (a .fon file) rather than outlines
  bool symbol;          // a symbol font: its characters sit at U+F000 + byte
  BYTE pitchAndFamily;  // as in LOGFONTA
  const char* standIn;  // raster faces: the outline face used for sizes beyond the strikes
  std::vector<TypefaceFile> files;

  bool Installed() const { return !files.empty() && !files.front().path.empty(); }
};

// Every typeface, in enumeration order.
const std::vector<Typeface>& Typefaces();

// The typeface for a face name (compared without regard to case, substitutes applied); for an
// unknown or uninstalled name the default face that suits the pitch and family asked for.
// Null only when no font at all is installed.
const Typeface* MatchTypeface(const char* name, BYTE pitchAndFamily);

// The installed typeface of exactly this name (or substitute), or null.
const Typeface* FindTypeface(const char* name);

}  // namespace kwplatform
