// The rectangle painters of the user library: FillRect, FrameRect, InvertRect, DrawFocusRect.
// They take logical rectangles whose right and bottom edges are outside, ignore the pen and the
// binary raster operation, and accept a system colour index + 1 in place of a brush.
#include <algorithm>
#include <optional>

#include "platform/gdi/coordinate_mapping.h"
#include "platform/gdi/raster.h"
#include "platform/gdi/system_colors.h"

namespace kwplatform {

namespace {

struct RectanglePaint {
  std::shared_ptr<DeviceContext> context;
  RECT device = {};
};

std::optional<RectanglePaint> Prepare(HDC dc, const RECT* rectangle) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context || !rectangle || context->kind == DeviceContextKind::Information) return std::nullopt;
  RECT device =
      LogicalRectangleToDevice(context->state, rectangle->left, rectangle->top, rectangle->right, rectangle->bottom);
  return RectanglePaint{std::move(context), device};
}

// The four sides of a frame of the given thickness, inside the rectangle.
void FrameSides(const RECT& r, int width, int height, RECT sides[4]) {
  sides[0] = {r.left, r.top, r.right, r.top + height};
  sides[1] = {r.left, r.bottom - height, r.right, r.bottom};
  sides[2] = {r.left, r.top + height, r.left + width, r.bottom - height};
  sides[3] = {r.right - width, r.top + height, r.right, r.bottom - height};
}

}  // namespace

}  // namespace kwplatform

using namespace kwplatform;

extern "C" {

int WINAPI FillRect(HDC dc, const RECT* rectangle, HBRUSH brush) {
  auto paint = Prepare(dc, rectangle);
  if (!paint) return 0;
  std::optional<COLORREF> color = BrushFillColor(brush);
  if (!color) return 0;
  RasterTarget(*paint->context).FillRectangle(paint->device, PixelFromColorRef(*color), R2_COPYPEN);
  return 1;
}

int WINAPI FrameRect(HDC dc, const RECT* rectangle, HBRUSH brush) {
  auto paint = Prepare(dc, rectangle);
  if (!paint) return 0;
  std::optional<COLORREF> color = BrushFillColor(brush);
  if (!color) return 0;
  if (RectangleIsEmpty(paint->device)) return 1;
  // One logical unit thick, at least one pixel.
  const int width = std::max(1, DeviceWidth(paint->context->state, 1));
  const int height = std::max(1, DeviceHeight(paint->context->state, 1));
  RECT sides[4];
  FrameSides(paint->device, width, height, sides);
  RasterTarget target(*paint->context);
  for (const RECT& side : sides)
    if (!RectangleIsEmpty(side)) target.FillRectangle(side, PixelFromColorRef(*color), R2_COPYPEN);
  return 1;
}

BOOL WINAPI InvertRect(HDC dc, const RECT* rectangle) {
  auto paint = Prepare(dc, rectangle);
  if (!paint) return FALSE;
  RasterTarget(*paint->context).FillRectangle(paint->device, 0, R2_NOT);
  return TRUE;
}

BOOL WINAPI DrawFocusRect(HDC dc, const RECT* rectangle) {
  auto paint = Prepare(dc, rectangle);
  if (!paint) return FALSE;
  const RECT& r = paint->device;
  if (RectangleIsEmpty(r)) return TRUE;
  // Every other pixel of the one-pixel frame, in a checkerboard fixed to the device, inverted:
  // drawing the same rectangle twice removes it.
  RasterTarget target(*paint->context);
  auto invert = [&](int x, int y) {
    if (((x + y) & 1) == 0) target.Plot(x, y, 0x00FFFFFF, R2_XORPEN);
  };
  for (int x = r.left; x < r.right; x++) {
    invert(x, r.top);
    if (r.bottom - 1 > r.top) invert(x, r.bottom - 1);
  }
  for (int y = r.top + 1; y < r.bottom - 1; y++) {
    invert(r.left, y);
    if (r.right - 1 > r.left) invert(r.right - 1, y);
  }
  return TRUE;
}

}  // extern "C"
