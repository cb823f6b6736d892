// The classic interface faces come as bitmap fonts; Arial, Times New Roman and Courier New as
// metric-compatible outline faces; unknown names fall back to one of those three by pitch and
// family.
#include "platform/gdi/typefaces.h"

#include <strings.h>
#include <unistd.h>

namespace kwplatform {

namespace {

const char* const fontFolders[] = {"/usr/share/wine/fonts/", "/usr/share/fonts/truetype/liberation2/",
                                   "/usr/share/fonts/truetype/liberation/"};

std::string Locate(const char* file) {
  for (const char* folder : fontFolders) {
    std::string path = std::string(folder) + file;
    if (access(path.c_str(), R_OK) == 0) return path;
  }
  return {};
}

struct FileName {
  const char* file;
  bool bold, italic;
};

Typeface Make(const char* name, bool raster, bool symbol, BYTE pitchAndFamily, const char* standIn,
              std::initializer_list<FileName> files) {
  Typeface face{name, raster, symbol, pitchAndFamily, standIn, {}};
  for (const FileName& file : files) {
    std::string path = Locate(file.file);
    if (!path.empty()) face.files.push_back({path, file.bold, file.italic});
  }
  return face;
}

// Names that stand for another face, as Windows' font substitutes have them.
struct Substitute {
  const char* name;
  const char* face;
};
const Substitute substitutes[] = {
    {"Helv", "MS Sans Serif"},          {"MS Shell Dlg", "MS Sans Serif"},
    {"MS Shell Dlg 2", "Tahoma"},       {"Helvetica", "Arial"},
    {"Times", "Times New Roman"},       {"Tms Rmn", "Times New Roman"},
    {"Liberation Sans", "Arial"},       {"Liberation Serif", "Times New Roman"},
    {"Liberation Mono", "Courier New"},
};

}  // namespace

const std::vector<Typeface>& Typefaces() {
  constexpr BYTE swiss = VARIABLE_PITCH | FF_SWISS, roman = VARIABLE_PITCH | FF_ROMAN;
  constexpr BYTE modern = FIXED_PITCH | FF_MODERN, decorative = VARIABLE_PITCH | 0x50;
  static const std::vector<Typeface> faces = [] {
    std::vector<Typeface> all = {
        Make("System", true, false, swiss, "Arial", {{"vgasys.fon", true, false}}),
        Make("MS Sans Serif", true, false, swiss, "Arial", {{"sserife.fon", false, false}}),
        Make("Small Fonts", true, false, swiss, "Arial", {{"smalle.fon", false, false}}),
        Make("Fixedsys", true, false, modern, "Courier New", {{"vgafix.fon", false, false}}),
        Make("Courier", true, false, modern, "Courier New", {{"coure.fon", false, false}}),
        Make("Arial", false, false, swiss, nullptr,
             {{"LiberationSans-Regular.ttf", false, false},
              {"LiberationSans-Bold.ttf", true, false},
              {"LiberationSans-Italic.ttf", false, true},
              {"LiberationSans-BoldItalic.ttf", true, true}}),
        Make("Times New Roman", false, false, roman, nullptr,
             {{"LiberationSerif-Regular.ttf", false, false},
              {"LiberationSerif-Bold.ttf", true, false},
              {"LiberationSerif-Italic.ttf", false, true},
              {"LiberationSerif-BoldItalic.ttf", true, true}}),
        Make("Courier New", false, false, modern, nullptr,
             {{"LiberationMono-Regular.ttf", false, false},
              {"LiberationMono-Bold.ttf", true, false},
              {"LiberationMono-Italic.ttf", false, true},
              {"LiberationMono-BoldItalic.ttf", true, true}}),
        Make("Tahoma", false, false, swiss, nullptr, {{"tahoma.ttf", false, false}, {"tahomabd.ttf", true, false}}),
        Make("Marlett", false, true, decorative, nullptr, {{"marlett.ttf", false, false}}),
        Make("Symbol", false, true, roman, nullptr, {{"symbol.ttf", false, false}}),
        Make("Wingdings", false, true, decorative, nullptr, {{"wingding.ttf", false, false}}),
        Make("Webdings", false, true, decorative, nullptr, {{"webdings.ttf", false, false}}),
    };
    return all;
  }();
  return faces;
}

const Typeface* FindTypeface(const char* name) {
  if (name == nullptr) return nullptr;
  for (const Substitute& substitute : substitutes)
    if (strcasecmp(name, substitute.name) == 0) name = substitute.face;
  for (const Typeface& face : Typefaces())
    if (strcasecmp(name, face.name) == 0) return face.Installed() ? &face : nullptr;
  return nullptr;
}

const Typeface* MatchTypeface(const char* name, BYTE pitchAndFamily) {
  if (const Typeface* face = FindTypeface(name)) return face;
  // The default face: a fixed-pitch or modern request gets Courier New, a roman one Times New
  // Roman, anything else Arial.
  const char* fallback = "Arial";
  if ((pitchAndFamily & 0x03) == FIXED_PITCH || (pitchAndFamily & 0xF0) == FF_MODERN) fallback = "Courier New";
  if ((pitchAndFamily & 0xF0) == FF_ROMAN) fallback = "Times New Roman";
  if (const Typeface* face = FindTypeface(fallback)) return face;
  for (const Typeface& face : Typefaces())
    if (face.Installed() && !face.symbol) return &face;
  return nullptr;
}

}  // namespace kwplatform
