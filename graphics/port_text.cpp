// Text of the drawing port: drawing at a baseline, word-wrapped boxes, text cut to a width,
// and the metrics of the selected font.
#include <string>

#include "graphics/drawing_port.h"

namespace {

// The port's context with its font selected, after making it current; null without one.
HDC TextContext(DrawingPort* port) {
  if (port->device == nullptr) return nullptr;
  MakePortCurrent(port);
  if (port->dc == nullptr) return nullptr;
  PortSelectFont(port);
  return port->dc;
}

int32_t Width(HDC dc, const char* text, int32_t length) {
  SIZE size = {0, 0};
  if (length > 0) GetTextExtentPointA(dc, text, length, &size);
  return size.cx;
}

const TEXTMETRICA* Metrics(DrawingPort* port) {
  HDC dc = TextContext(port);
  if (dc == nullptr) return nullptr;
  if (!port->metricsValid) {
    GetTextMetricsA(dc, &port->metrics);
    port->metricsValid = true;
  }
  return &port->metrics;
}

}  // namespace

void PortDrawText(DrawingPort* port, const char* text, int32_t length, int32_t x, int32_t y) {
  HDC dc = TextContext(port);
  if (dc == nullptr || length <= 0) return;
  COLORREF previous = SetTextColor(dc, ColorRefFromColor16(port->foreColor));
  TextOutA(dc, x - port->originX, y - port->originY, text, length);
  SetTextColor(dc, previous);
}

void PortDrawTextBox(DrawingPort* port, const char* text, int32_t length, PortRect rect, int32_t alignment) {
  HDC dc = TextContext(port);
  if (dc == nullptr || length <= 0) return;
  COLORREF previous = SetTextColor(dc, ColorRefFromColor16(port->foreColor));
  SetTextAlign(dc, TA_TOP | TA_LEFT);
  // The box grows downwards without limit: only its top, left and right matter.
  RECT box = {rect.left - port->originX, rect.top - port->originY, rect.right - port->originX, 32767};
  UINT format = DT_WORDBREAK | DT_NOPREFIX;
  if (alignment == TextBoxCentre) format |= DT_CENTER;
  if (alignment == TextBoxRight) format |= DT_RIGHT;
  DrawTextA(dc, text, length, &box, format);
  SetTextAlign(dc, TA_BASELINE);
  SetTextColor(dc, previous);
}

void PortDrawTextTruncated(DrawingPort* port, const char* text, int32_t length, int32_t x, int32_t y,
                           int32_t maximumWidth) {
  HDC dc = TextContext(port);
  if (dc == nullptr) return;
  if (length < 0) length = 0;
  if (Width(dc, text, length) <= maximumWidth) {
    PortDrawText(port, text, length, x, y);
    return;
  }
  // A long text is first halved while its first half is still too wide, so that cutting byte
  // by byte starts near the answer; the last version measured too wide is kept.
  if (length > 20) {
    int32_t half = length / 2;
    while (Width(dc, text, half) > maximumWidth && length > 20) {
      length = half;
      half = length / 2;
    }
  }
  const int32_t ellipsisWidth = Width(dc, "...", 3);
  while (length > 0 && Width(dc, text, length) + ellipsisWidth > maximumWidth) length--;
  std::string shortened(text, static_cast<size_t>(length));
  shortened += "...";
  while (!shortened.empty() && Width(dc, shortened.data(), static_cast<int32_t>(shortened.size())) > maximumWidth)
    shortened.pop_back();
  if (!shortened.empty()) PortDrawText(port, shortened.data(), static_cast<int32_t>(shortened.size()), x, y);
}

int32_t PortTextWidth(DrawingPort* port, const char* text, int32_t length) {
  HDC dc = TextContext(port);
  return dc ? Width(dc, text, length) : 0;
}

int32_t PortTextAscent(DrawingPort* port) {
  const TEXTMETRICA* metrics = Metrics(port);
  return metrics ? metrics->tmAscent : 0;
}

int32_t PortTextHeight(DrawingPort* port) {
  const TEXTMETRICA* metrics = Metrics(port);
  return metrics ? metrics->tmHeight : 0;
}

int32_t PortTextLeading(DrawingPort* port) {
  const TEXTMETRICA* metrics = Metrics(port);
  return metrics ? metrics->tmExternalLeading : 0;
}
