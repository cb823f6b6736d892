// Font objects, the font of a device context, text metrics and the font list.
#include <cstring>

#include "platform/gdi/coordinate_mapping.h"
#include "platform/gdi/selected_font.h"

namespace kwplatform {

namespace {

FontRequest RequestFor(const LOGFONTA& font, const DeviceContextState& state) {
  FontRequest request;
  char face[sizeof font.lfFaceName + 1] = {};
  memcpy(face, font.lfFaceName, sizeof font.lfFaceName);
  request.face = MatchTypeface(face, font.lfPitchAndFamily);
  // The height goes through the mapping like any vertical length; its sign keeps its meaning.
  int height = DeviceHeight(state, font.lfHeight);
  if (height == 0 && font.lfHeight != 0) height = 1;
  request.height = font.lfHeight < 0 ? -height : height;
  request.bold = font.lfWeight >= 600;
  request.italic = font.lfItalic != 0;
  return request;
}

LONG LogicalY(const DeviceContextState& state, int device) { return LogicalHeight(state, device); }
LONG LogicalX(const DeviceContextState& state, int device) { return LogicalWidth(state, device); }

// One callback of EnumFontsA: a face at one size or style.
int Report(const Typeface& face, const FontRequest& request, FONTENUMPROCA procedure, LPARAM data) {
  std::shared_ptr<FontInstance> instance = RealizeFont(request);
  if (!instance) return 1;
  const FontMetrics& metrics = instance->Metrics();
  DeviceContextState identity;
  TEXTMETRICA textMetrics;
  FillTextMetrics(metrics, identity, &textMetrics);
  LOGFONTA font = {};
  font.lfHeight = metrics.height;
  font.lfWidth = metrics.averageWidth;
  font.lfWeight = metrics.weight;
  font.lfItalic = metrics.italic ? 1 : 0;
  font.lfCharSet = textMetrics.tmCharSet;
  font.lfPitchAndFamily = face.pitchAndFamily;
  strncpy(font.lfFaceName, face.name, sizeof font.lfFaceName - 1);
  return procedure(&font, &textMetrics, face.raster ? RASTER_FONTTYPE : TRUETYPE_FONTTYPE, data);
}

}  // namespace

SelectedFont FontOfContext(const DeviceContext& context) {
  SelectedFont selected;
  const Selection& font = context.state.font;
  const FontObject* object = font.object ? std::get_if<FontObject>(&font.object->value) : nullptr;
  if (!object) return selected;
  selected.instance = RealizeFont(RequestFor(object->description, context.state));
  selected.underline = object->description.lfUnderline != 0;
  selected.strikeOut = object->description.lfStrikeOut != 0;
  return selected;
}

void FillTextMetrics(const FontMetrics& metrics, const DeviceContextState& state, TEXTMETRICA* out) {
  *out = TEXTMETRICA{};
  out->tmHeight = LogicalY(state, metrics.height);
  out->tmAscent = LogicalY(state, metrics.ascent);
  out->tmDescent = out->tmHeight - out->tmAscent;
  out->tmInternalLeading = LogicalY(state, metrics.internalLeading);
  out->tmExternalLeading = LogicalY(state, metrics.externalLeading);
  out->tmAveCharWidth = LogicalX(state, metrics.averageWidth);
  out->tmMaxCharWidth = LogicalX(state, metrics.maximumWidth);
  out->tmWeight = metrics.weight;
  out->tmOverhang = LogicalX(state, metrics.overhang);
  out->tmDigitizedAspectX = 96;
  out->tmDigitizedAspectY = 96;
  out->tmFirstChar = metrics.firstChar;
  out->tmLastChar = metrics.lastChar;
  out->tmDefaultChar = metrics.defaultChar;
  out->tmBreakChar = metrics.breakChar;
  out->tmItalic = metrics.italic ? 1 : 0;
  out->tmPitchAndFamily = metrics.pitchAndFamily;
  out->tmCharSet = ANSI_CHARSET;
}

}  // namespace kwplatform

using namespace kwplatform;

extern "C" {

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* description) {
  if (description == nullptr) return nullptr;
  GdiObject object;
  FontObject font{*description};
  font.description.lfFaceName[sizeof font.description.lfFaceName - 1] = 0;
  object.value = font;
  return static_cast<HFONT>(AddGdiObject(std::move(object)));
}

HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                         DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outputPrecision, DWORD clipPrecision,
                         DWORD quality, DWORD pitchAndFamily, LPCSTR face) {
  LOGFONTA font = {};
  font.lfHeight = height;
  font.lfWidth = width;
  font.lfEscapement = escapement;
  font.lfOrientation = orientation;
  font.lfWeight = weight;
  font.lfItalic = static_cast<BYTE>(italic != 0);
  font.lfUnderline = static_cast<BYTE>(underline != 0);
  font.lfStrikeOut = static_cast<BYTE>(strikeOut != 0);
  font.lfCharSet = static_cast<BYTE>(charSet);
  font.lfOutPrecision = static_cast<BYTE>(outputPrecision);
  font.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  font.lfQuality = static_cast<BYTE>(quality);
  font.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (face) strncpy(font.lfFaceName, face, sizeof font.lfFaceName - 1);
  return CreateFontIndirectA(&font);
}

BOOL WINAPI GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context || !metrics) return FALSE;
  SelectedFont font = FontOfContext(*context);
  if (!font.instance) return FALSE;
  FillTextMetrics(font.instance->Metrics(), context->state, metrics);
  metrics->tmUnderlined = font.underline ? 1 : 0;
  metrics->tmStruckOut = font.strikeOut ? 1 : 0;
  return TRUE;
}

int WINAPI GetTextFaceA(HDC dc, int size, LPSTR name) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context) return 0;
  SelectedFont font = FontOfContext(*context);
  if (!font.instance) return 0;
  const char* face = font.instance->FaceName();
  const int length = static_cast<int>(strlen(face));
  if (name == nullptr) return length + 1;
  if (size <= 0) return 0;
  const int copied = std::min(length, size - 1);
  memcpy(name, face, static_cast<size_t>(copied));
  name[copied] = 0;
  return copied;
}

// Without a face name: one call per typeface. With one: a call per size of a bitmap face, or
// per style of an outline face. The result is what the last call returned (1 when none ran).
int WINAPI EnumFontsA(HDC dc, LPCSTR faceName, FONTENUMPROCA procedure, LPARAM data) {
  if (!FindDeviceContext(dc) || procedure == nullptr) return 0;
  int result = 1;
  if (faceName == nullptr) {
    for (const Typeface& face : Typefaces()) {
      if (!face.Installed()) continue;
      result = Report(face, FontRequest{&face, face.raster ? 0 : -16, false, false}, procedure, data);
      if (result == 0) return 0;
    }
    return result;
  }
  const Typeface* face = FindTypeface(faceName);
  if (!face) return result;
  if (face->raster) {
    for (int height : StrikeHeights(*face)) {
      result = Report(*face, FontRequest{face, height, false, false}, procedure, data);
      if (result == 0) return 0;
    }
    return result;
  }
  for (const TypefaceFile& file : face->files) {
    result = Report(*face, FontRequest{face, -16, file.bold, file.italic}, procedure, data);
    if (result == 0) return 0;
  }
  return result;
}

}  // extern "C"
