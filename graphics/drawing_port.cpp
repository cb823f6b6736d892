// Ports: creation, the current-port protocol, clipping, fonts and the settings.
#include "graphics/drawing_port.h"

#include <cstring>

#include "core/memory_manager.h"
#include "core/runtime_string.h"
#include "graphics/font_cache.h"

namespace {

DrawingPort* currentPort;
// The clip the current context had when its port became current, restored at retirement.
HRGN savedClip;
bool contextHadClip;
bool portChangedClip;

// Selects the intersection of the context's own clip and the port's clip.
void ApplyClip(DrawingPort* port) {
  if (port != currentPort || port->dc == nullptr) return;
  HRGN source = contextHadClip ? savedClip : port->clip;
  if (source == nullptr) {
    SelectClipRgn(port->dc, nullptr);
  } else {
    HRGN scratch = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(scratch, source, nullptr, RGN_COPY);
    if (contextHadClip && port->clip) CombineRgn(scratch, scratch, port->clip, RGN_AND);
    SelectClipRgn(port->dc, scratch);
    DeleteObject(scratch);
  }
  portChangedClip = true;
}

}  // namespace

DrawingPort* NewDrawingPort(DrawingDevice* device, bool ownsDevice) {
  auto* port = static_cast<DrawingPort*>(SmallAlloc(sizeof(DrawingPort)));
  memset(port, 0, sizeof(DrawingPort));
  port->ownsDevice = ownsDevice;
  port->device = device;
  port->fontName = StringFromCString("System");
  port->textSize = 12;
  port->penWidth = 1;
  port->penHeight = 1;
  return port;
}

void DestroyDrawingPort(DrawingPort* port) {
  if (port == nullptr) return;
  if (port == currentPort) RetireCurrentPort();
  ReleaseCachedFont(port->font);
  if (port->clip) DeleteObject(port->clip);
  if (port->dc && port->device) port->device->ReturnDC(port->dc, port->dcToken);
  if (port->ownsDevice && port->device) port->device->DestroyDevice();
  StringRelease(port->fontName);
  SmallFree(port, sizeof(DrawingPort));
}

DrawingPort* CurrentPort() { return currentPort; }

void MakePortCurrent(DrawingPort* port) {
  if (port == currentPort || port->device == nullptr) return;
  RetireCurrentPort();
  port->device->BeginDeviceDrawing();
  currentPort = port;
  port->dc = port->device->BorrowDC(&port->dcToken);
  if (port->dc == nullptr) return;
  if (savedClip == nullptr) savedClip = CreateRectRgn(0, 0, 0, 0);
  contextHadClip = GetClipRgn(port->dc, savedClip) == 1;
  SetBkMode(port->dc, TRANSPARENT);
  if (port->font) SelectObject(port->dc, port->font);
  if (port->clip) ApplyClip(port);
}

void RetireCurrentPort() {
  DrawingPort* port = currentPort;
  if (port == nullptr) return;
  currentPort = nullptr;
  if (port->dc == nullptr) return;
  if (portChangedClip) {
    SelectClipRgn(port->dc, contextHadClip ? savedClip : nullptr);
    portChangedClip = false;
  }
  // The port's font leaves the context so that the cache may delete it.
  if (port->font) SelectObject(port->dc, GetStockObject(SYSTEM_FONT));
  port->device->ReturnDC(port->dc, port->dcToken);
  port->dc = nullptr;
}

HDC PortDC(DrawingPort* port) {
  MakePortCurrent(port);
  return port->dc;
}

void PortSelectFont(DrawingPort* port) {
  if (port->fontValid || port->dc == nullptr) return;
  HFONT font = AcquireCachedFont(port->fontName, port->textSize, port->textStyle);
  SelectObject(port->dc, font);
  ReleaseCachedFont(port->font);
  port->font = font;
  port->fontValid = true;
  port->metricsValid = false;
}

void PortSetFont(DrawingPort* port, RuntimeString* name, int32_t size, int32_t style) {
  PortSetFontName(port, name);
  PortSetTextSize(port, size);
  PortSetTextStyle(port, style);
}

void PortSetFontName(DrawingPort* port, RuntimeString* name) {
  StringAssign(&port->fontName, &name);
  port->fontValid = false;
}

void PortSetTextSize(DrawingPort* port, int32_t size) {
  port->textSize = size;
  port->fontValid = false;
}

void PortSetTextStyle(DrawingPort* port, int32_t style) {
  port->textStyle = style & 0xFF;
  port->fontValid = false;
}

void PortSetForeColor(DrawingPort* port, RGBColor16 color) { port->foreColor = color; }

void PortSetPenSize(DrawingPort* port, int32_t width, int32_t height) {
  port->penWidth = width;
  port->penHeight = height;
}

void PortResetPenSize(DrawingPort* port) { PortSetPenSize(port, 1, 1); }

void PortSetOrigin(DrawingPort* port, int32_t x, int32_t y) {
  port->originX = x;
  port->originY = y;
}

void PortSetClipRect(DrawingPort* port, PortRect rect) {
  int32_t dx = port->originX + (port->device ? port->device->DeviceLeft() : 0);
  int32_t dy = port->originY + (port->device ? port->device->DeviceTop() : 0);
  if (port->clip) DeleteObject(port->clip);
  port->clip = CreateRectRgn(rect.left - dx, rect.top - dy, rect.right - dx, rect.bottom - dy);
  ApplyClip(port);
}

void PortSetClipRegion(DrawingPort* port, HRGN region) {
  if (region) {
    if (port->clip == nullptr) port->clip = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(port->clip, region, nullptr, RGN_COPY);
  } else if (port->clip) {
    DeleteObject(port->clip);
    port->clip = nullptr;
  }
  ApplyClip(port);
}
