// Lines, shapes and pixels of the drawing port. Pens and brushes are made per operation and
// deleted before it returns, so no GDI object outlives the call that needed it.
#include <vector>

#include "graphics/drawing_port.h"

namespace {

// The port's context after making it current; null without a device or context.
HDC Context(DrawingPort* port) {
  if (port->device == nullptr) return nullptr;
  MakePortCurrent(port);
  return port->dc;
}

RECT DeviceRect(const DrawingPort* port, PortRect rect) {
  return {rect.left - port->originX, rect.top - port->originY, rect.right - port->originX,
          rect.bottom - port->originY};
}

COLORREF ForeColorRef(const DrawingPort* port) { return ColorRefFromColor16(port->foreColor); }

// Selects a pen and a brush for one shape and restores the context's own afterwards. A null
// pen or brush selects the stock hollow one.
class ShapeTools {
 public:
  ShapeTools(HDC dc, HPEN pen, HBRUSH brush) : dc_(dc), pen_(pen), brush_(brush) {
    oldPen_ = SelectObject(dc, pen ? static_cast<HGDIOBJ>(pen) : GetStockObject(NULL_PEN));
    oldBrush_ = SelectObject(dc, brush ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
  }
  ~ShapeTools() {
    SelectObject(dc_, oldPen_);
    SelectObject(dc_, oldBrush_);
    if (pen_) DeleteObject(pen_);
    if (brush_) DeleteObject(brush_);
  }
  ShapeTools(const ShapeTools&) = delete;
  ShapeTools& operator=(const ShapeTools&) = delete;

 private:
  HDC dc_;
  HPEN pen_;
  HBRUSH brush_;
  HGDIOBJ oldPen_;
  HGDIOBJ oldBrush_;
};

HPEN ForePen(const DrawingPort* port, int32_t width) { return CreatePen(PS_SOLID, width, ForeColorRef(port)); }
HBRUSH ForeBrush(const DrawingPort* port) { return CreateSolidBrush(ForeColorRef(port)); }

enum class ShapeKind { Oval, RoundRect };

void DrawShape(DrawingPort* port, PortRect rect, bool filled, ShapeKind kind, int32_t cornerWidth,
               int32_t cornerHeight) {
  HDC dc = Context(port);
  if (dc == nullptr) return;
  RECT r = DeviceRect(port, NormalisedPortRect(rect));
  // Outlines of ovals and round rectangles are always one pixel wide.
  ShapeTools tools(dc, filled ? nullptr : ForePen(port, 1), filled ? ForeBrush(port) : nullptr);
  if (kind == ShapeKind::Oval)
    Ellipse(dc, r.left, r.top, r.right, r.bottom);
  else
    RoundRect(dc, r.left, r.top, r.right, r.bottom, cornerWidth, cornerHeight);
}

}  // namespace

void PortMoveTo(DrawingPort* port, int32_t x, int32_t y) {
  port->penX = x;
  port->penY = y;
}

void PortLineTo(DrawingPort* port, int32_t x, int32_t y) {
  HDC dc = Context(port);
  if (dc == nullptr) return;
  {
    ShapeTools tools(dc, ForePen(port, port->penWidth), nullptr);
    MoveToEx(dc, port->penX - port->originX, port->penY - port->originY, nullptr);
    LineTo(dc, x - port->originX, y - port->originY);
  }
  PortMoveTo(port, x, y);
}

void PortFrameRect(DrawingPort* port, PortRect rect) {
  HDC dc = Context(port);
  if (dc == nullptr) return;
  RECT r = DeviceRect(port, rect);
  ShapeTools tools(dc, ForePen(port, port->penWidth), nullptr);
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

void PortFillRect(DrawingPort* port, PortRect rect) {
  HDC dc = Context(port);
  if (dc == nullptr) return;
  RECT r = DeviceRect(port, rect);
  HBRUSH brush = ForeBrush(port);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void PortFrameOval(DrawingPort* port, PortRect rect) { DrawShape(port, rect, false, ShapeKind::Oval, 0, 0); }
void PortFillOval(DrawingPort* port, PortRect rect) { DrawShape(port, rect, true, ShapeKind::Oval, 0, 0); }

void PortFrameRoundRect(DrawingPort* port, PortRect rect, int32_t cornerWidth, int32_t cornerHeight) {
  DrawShape(port, rect, false, ShapeKind::RoundRect, cornerWidth, cornerHeight);
}

void PortFillRoundRect(DrawingPort* port, PortRect rect, int32_t cornerWidth, int32_t cornerHeight) {
  DrawShape(port, rect, true, ShapeKind::RoundRect, cornerWidth, cornerHeight);
}

void PortFillPolygon(DrawingPort* port, const POINT* points, int32_t count) {
  HDC dc = Context(port);
  if (dc == nullptr || count <= 0) return;
  std::vector<POINT> shifted(points, points + count);
  for (POINT& point : shifted) {
    point.x -= port->originX;
    point.y -= port->originY;
  }
  ShapeTools tools(dc, ForePen(port, 1), ForeBrush(port));
  Polygon(dc, shifted.data(), count);
}

void PortInvertRect(DrawingPort* port, PortRect rect) {
  HDC dc = Context(port);
  if (dc == nullptr) return;
  RECT r = DeviceRect(port, rect);
  InvertRect(dc, &r);
}

RGBColor16 PortGetPixel(DrawingPort* port, int32_t x, int32_t y) {
  HDC dc = Context(port);
  if (dc == nullptr) return {0, 0, 0};
  return Color16FromColorRef(GetPixel(dc, x - port->originX, y - port->originY));
}

void PortSetPixel(DrawingPort* port, int32_t x, int32_t y, RGBColor16 color) {
  HDC dc = Context(port);
  if (dc == nullptr) return;
  SetPixel(dc, x - port->originX, y - port->originY, ColorRefFromColor16(color));
}
