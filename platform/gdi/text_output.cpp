// TextOutA, ExtTextOutA and text extents. The reference point is placed by the text alignment:
// left, right or centre horizontally; top, bottom or baseline vertically.
#include <optional>
#include <vector>

#include "platform/gdi/coordinate_mapping.h"
#include "platform/gdi/selected_font.h"
#include "platform/gdi/text_run.h"

namespace kwplatform {

namespace {

constexpr UINT HorizontalAlignment = TA_LEFT | TA_RIGHT | TA_CENTER;
constexpr UINT VerticalAlignment = TA_TOP | TA_BOTTOM | TA_BASELINE;

BOOL WriteText(HDC dc, int x, int y, UINT options, const RECT* rectangle, LPCSTR text, int count, const INT* spacing) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context || count < 0 || (count > 0 && text == nullptr)) return FALSE;
  if (context->kind == DeviceContextKind::Information) return FALSE;
  DeviceContextState& state = context->state;
  SelectedFont font = FontOfContext(*context);
  if (!font.instance) return FALSE;
  RasterTarget target(*context);

  std::optional<RECT> box;
  if (rectangle)
    box = LogicalRectangleToDevice(state, rectangle->left, rectangle->top, rectangle->right, rectangle->bottom);
  if (box && (options & ETO_OPAQUE)) target.FillRectangle(*box, PixelFromColorRef(state.backgroundColor), R2_COPYPEN);

  const std::vector<uint32_t> characters = TextCharacters(*font.instance, text, count);
  std::vector<int> advances;
  if (spacing) {
    for (size_t i = 0; i < characters.size(); i++)
      advances.push_back(spacing[i] < 0 ? -DeviceWidth(state, spacing[i]) : DeviceWidth(state, spacing[i]));
  }
  int width = 0;
  for (size_t i = 0; i < characters.size(); i++)
    width += spacing ? advances[i] : font.instance->GlyphOf(characters[i]).advance;

  const UINT align = state.textAlign;
  const bool updatePosition = (align & TA_UPDATECP) != 0;
  POINT origin = LogicalToDevice(state, updatePosition ? state.position : POINT{x, y});
  const FontMetrics& metrics = font.instance->Metrics();
  int left = origin.x;
  if ((align & HorizontalAlignment) == TA_RIGHT) left -= width;
  if ((align & HorizontalAlignment) == TA_CENTER) left -= width / 2;
  int baseline = origin.y + metrics.ascent;
  if ((align & VerticalAlignment) == TA_BASELINE) baseline = origin.y;
  if ((align & VerticalAlignment) == TA_BOTTOM) baseline = origin.y - metrics.descent;

  if (state.backgroundMode == OPAQUE && !(box && (options & ETO_OPAQUE)))
    target.FillRectangle({left, baseline - metrics.ascent, left + width, baseline + metrics.descent},
                         PixelFromColorRef(state.backgroundColor), R2_COPYPEN);
  TextRunStyle style;
  style.pixel = PixelFromColorRef(state.textColor);
  style.underline = font.underline;
  style.strikeOut = font.strikeOut;
  style.advances = spacing ? &advances : nullptr;
  style.limit = box && (options & ETO_CLIPPED) ? &*box : nullptr;
  DrawTextRun(target, *font.instance, characters, left, baseline, style);

  // The current position moves past the text (right-aligned text moves it back).
  if (updatePosition) {
    const int moved = (align & HorizontalAlignment) == TA_RIGHT ? left : left + width;
    state.position = DeviceToLogical(state, {moved, origin.y});
  }
  return TRUE;
}

BOOL MeasureText(HDC dc, LPCSTR text, int count, LPSIZE size) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context || count < 0 || size == nullptr || (count > 0 && text == nullptr)) return FALSE;
  SelectedFont font = FontOfContext(*context);
  if (!font.instance) return FALSE;
  const int width = TextWidth(*font.instance, TextCharacters(*font.instance, text, count));
  size->cx = LogicalWidth(context->state, width);
  size->cy = LogicalHeight(context->state, font.instance->Metrics().height);
  return TRUE;
}

}  // namespace

}  // namespace kwplatform

using namespace kwplatform;

extern "C" {

BOOL WINAPI TextOutA(HDC dc, int x, int y, LPCSTR text, int count) {
  return WriteText(dc, x, y, 0, nullptr, text, count, nullptr);
}

BOOL WINAPI ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rectangle, LPCSTR text, UINT count,
                        const INT* spacing) {
  if (count > 0x7FFFFFFF) return FALSE;
  // With no text, an opaque rectangle is still filled.
  return WriteText(dc, x, y, options, rectangle, text, static_cast<int>(count), spacing);
}

BOOL WINAPI GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, LPSIZE size) {
  return MeasureText(dc, text, count, size);
}

BOOL WINAPI GetTextExtentPointA(HDC dc, LPCSTR text, int count, LPSIZE size) {
  return MeasureText(dc, text, count, size);
}

}  // extern "C"
