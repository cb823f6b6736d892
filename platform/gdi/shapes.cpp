// Lines and shapes: MoveToEx, LineTo, Polyline, Rectangle, Ellipse, RoundRect, Polygon. Shapes
// fill their bounds' right and bottom edges out, draw their outline with the pen inside the
// bounds and their interior with the brush; a null pen or brush leaves that part out.
#include <algorithm>
#include <optional>
#include <vector>

#include "platform/gdi/coordinate_mapping.h"
#include "platform/gdi/pen_stroke.h"
#include "platform/gdi/shape_spans.h"

namespace kwplatform {

namespace {

struct ShapeDrawing {
  std::shared_ptr<DeviceContext> context;
  RasterTarget target;
  PenStroke pen;
  std::optional<uint32_t> brush;  // null brush: none
  RECT clipBounds;                // device coordinates

  explicit ShapeDrawing(std::shared_ptr<DeviceContext> drawn)
      : context(std::move(drawn)), target(*context), pen(PreparePen(*context)), clipBounds(target.ClipBounds()) {
    const DeviceContextState& state = context->state;
    const BrushObject* selected = state.brush.object ? std::get_if<BrushObject>(&state.brush.object->value) : nullptr;
    if (selected && selected->style != BS_NULL) brush = PixelFromColorRef(selected->color);
  }

  void Fill(int y, Span span, uint32_t pixel) const {
    if (!span.IsEmpty()) target.FillSpan(y, span.left, span.right, pixel, pen.rop2);
  }

  // The rows of [top, bottom) that the clip lets through.
  int FirstRow(int top) const { return std::max<int>(top, clipBounds.top); }
  int EndRow(int bottom) const { return std::min<int>(bottom, clipBounds.bottom); }
};

std::optional<ShapeDrawing> Prepare(HDC dc) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context || context->kind == DeviceContextKind::Information) return std::nullopt;
  return ShapeDrawing(std::move(context));
}

// A rectangle with elliptic corners (cornerWidth × cornerHeight device pixels).
void DrawRoundedRectangle(ShapeDrawing& drawing, const RECT& bounds, int cornerWidth, int cornerHeight) {
  // A dashed or dotted pen frames a plain rectangle with a closed line through its outermost
  // pixel centres; rounded shapes keep a solid outline.
  const bool plain = cornerWidth == 0 || cornerHeight == 0;
  const bool styledFrame = !drawing.pen.IsNull() && plain && drawing.pen.width == 1 && drawing.pen.style != PS_SOLID &&
                           drawing.pen.style != PS_INSIDEFRAME;
  const bool solidOutline = !drawing.pen.IsNull() && !styledFrame;
  for (int y = drawing.FirstRow(bounds.top); y < drawing.EndRow(bounds.bottom); y++) {
    const RingRow row = RoundedRectangleRingRow(bounds, cornerWidth, cornerHeight, drawing.pen.width, y);
    if (row.shape.IsEmpty()) continue;
    if (drawing.pen.IsNull()) {
      if (drawing.brush) drawing.Fill(y, row.shape, *drawing.brush);
      continue;
    }
    if (drawing.brush) drawing.Fill(y, row.interior, *drawing.brush);
    if (!solidOutline) continue;
    if (row.interior.IsEmpty()) {
      drawing.Fill(y, row.shape, drawing.pen.pixel);
    } else {
      drawing.Fill(y, {row.shape.left, row.interior.left}, drawing.pen.pixel);
      drawing.Fill(y, {row.interior.right, row.shape.right}, drawing.pen.pixel);
    }
  }
  if (styledFrame && bounds.right > bounds.left && bounds.bottom > bounds.top) {
    const POINT corners[] = {{bounds.left, bounds.top},
                             {bounds.right - 1, bounds.top},
                             {bounds.right - 1, bounds.bottom - 1},
                             {bounds.left, bounds.bottom - 1}};
    for (int i = 0; i < 4; i++) StrokeLine(drawing.target, drawing.pen, corners[i], corners[(i + 1) % 4]);
  }
}

BOOL RoundedShape(HDC dc, int left, int top, int right, int bottom, int cornerWidth, int cornerHeight, bool ellipse) {
  auto drawing = Prepare(dc);
  if (!drawing) return FALSE;
  const DeviceContextState& state = drawing->context->state;
  const RECT bounds = LogicalRectangleToDevice(state, left, top, right, bottom);
  if (ellipse) {
    cornerWidth = bounds.right - bounds.left;
    cornerHeight = bounds.bottom - bounds.top;
  } else {
    cornerWidth = DeviceWidth(state, cornerWidth);
    cornerHeight = DeviceHeight(state, cornerHeight);
  }
  DrawRoundedRectangle(*drawing, bounds, cornerWidth, cornerHeight);
  return TRUE;
}

std::vector<POINT> DevicePoints(const DeviceContextState& state, const POINT* points, int count) {
  std::vector<POINT> device(static_cast<size_t>(count));
  for (int i = 0; i < count; i++) device[static_cast<size_t>(i)] = LogicalToDevice(state, points[i]);
  return device;
}

}  // namespace

}  // namespace kwplatform

using namespace kwplatform;

extern "C" {

BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context) return FALSE;
  if (previous) *previous = context->state.position;
  context->state.position = {x, y};
  return TRUE;
}

BOOL WINAPI GetCurrentPositionEx(HDC dc, LPPOINT position) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context || !position) return FALSE;
  *position = context->state.position;
  return TRUE;
}

BOOL WINAPI LineTo(HDC dc, int x, int y) {
  auto drawing = Prepare(dc);
  if (!drawing) return FALSE;
  DeviceContextState& state = drawing->context->state;
  StrokeLine(drawing->target, drawing->pen, LogicalToDevice(state, state.position), LogicalToDevice(state, {x, y}));
  state.position = {x, y};
  return TRUE;
}

BOOL WINAPI Polyline(HDC dc, const POINT* points, int count) {
  auto drawing = Prepare(dc);
  if (!drawing || !points || count < 2) return FALSE;
  const std::vector<POINT> device = DevicePoints(drawing->context->state, points, count);
  for (size_t i = 0; i + 1 < device.size(); i++) StrokeLine(drawing->target, drawing->pen, device[i], device[i + 1]);
  return TRUE;
}

BOOL WINAPI Rectangle(HDC dc, int left, int top, int right, int bottom) {
  return RoundedShape(dc, left, top, right, bottom, 0, 0, false);
}

BOOL WINAPI Ellipse(HDC dc, int left, int top, int right, int bottom) {
  return RoundedShape(dc, left, top, right, bottom, 0, 0, true);
}

BOOL WINAPI RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height) {
  return RoundedShape(dc, left, top, right, bottom, width, height, false);
}

// The interior by the fill mode, then the closed outline through every vertex.
BOOL WINAPI Polygon(HDC dc, const POINT* points, int count) {
  auto drawing = Prepare(dc);
  if (!drawing || !points || count < 2) return FALSE;
  const std::vector<POINT> device = DevicePoints(drawing->context->state, points, count);
  if (drawing->brush) {
    const bool winding = drawing->context->state.polyFillMode == WINDING;
    auto [lowest, highest] =
        std::minmax_element(device.begin(), device.end(), [](const POINT& a, const POINT& b) { return a.y < b.y; });
    for (int y = drawing->FirstRow(lowest->y); y < drawing->EndRow(highest->y); y++)
      for (const Span& span : PolygonRow(device, winding, y)) drawing->Fill(y, span, *drawing->brush);
  }
  for (size_t i = 0; i < device.size(); i++)
    StrokeLine(drawing->target, drawing->pen, device[i], device[(i + 1) % device.size()]);
  return TRUE;
}

}  // extern "C"
