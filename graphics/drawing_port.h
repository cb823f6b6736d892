// The drawing port: pen, colour, text font and style, clip and origin offset, turned into calls
// on the device context that its device lends while the port is the current port. Every
// coordinate is in window coordinates of the device's window; the origin offset is subtracted
// before it reaches the context.
#pragma once

#include <cstdint>

#include "core/runtime_layout.h"
#include "graphics/color16.h"
#include "graphics/drawing_device.h"
#include "graphics/port_rect.h"
#include "platform/win32.h"

struct DrawingPort {
  // Fields in this order; their defaults are those a new port starts with.
  TEXTMETRICA metrics;  // of the selected font, valid while metricsValid
  bool metricsValid;
  HDC dc;  // borrowed from the device while the port is current and has drawn
  uint32_t dcToken;
  HFONT font;  // from the font cache; null until the first text operation
  bool ownsDevice;
  DrawingDevice* device;
  RuntimeString* fontName;  // "System"
  int32_t textSize;         // points, 12
  int32_t textStyle;        // bold 1, italic 2, underline 4; low 8 bits kept
  int32_t penWidth;
  int32_t penHeight;  // stored and reported, not used in drawing
  int32_t penX;
  int32_t penY;
  RGBColor16 foreColor;  // black
  bool fontValid;        // the font handle matches name, size and style
  int32_t originX;
  int32_t originY;
  HRGN clip;  // in device-context coordinates, or none
};

DrawingPort* NewDrawingPort(DrawingDevice* device, bool ownsDevice = false);
void DestroyDrawingPort(DrawingPort* port);

// The current-port protocol. MakePortCurrent retires the previous port and begins drawing on
// the port's device; RetireCurrentPort gives the context back with its clip restored.
void MakePortCurrent(DrawingPort* port);
DrawingPort* CurrentPort();
void RetireCurrentPort();
// Makes the port current and returns the context it borrows (for code that draws on it directly).
HDC PortDC(DrawingPort* port);

// Settings.
void PortSetFont(DrawingPort* port, RuntimeString* name, int32_t size, int32_t style);
void PortSetFontName(DrawingPort* port, RuntimeString* name);
void PortSetTextSize(DrawingPort* port, int32_t size);
void PortSetTextStyle(DrawingPort* port, int32_t style);
void PortSetForeColor(DrawingPort* port, RGBColor16 color);
void PortSetPenSize(DrawingPort* port, int32_t width, int32_t height);
void PortResetPenSize(DrawingPort* port);
void PortSetOrigin(DrawingPort* port, int32_t x, int32_t y);
void PortSetClipRect(DrawingPort* port, PortRect rect);
void PortSetClipRegion(DrawingPort* port, HRGN region);  // null removes the clip

// Lines and shapes.
void PortMoveTo(DrawingPort* port, int32_t x, int32_t y);
void PortLineTo(DrawingPort* port, int32_t x, int32_t y);
void PortFrameRect(DrawingPort* port, PortRect rect);
void PortFillRect(DrawingPort* port, PortRect rect);
void PortFrameOval(DrawingPort* port, PortRect rect);
void PortFillOval(DrawingPort* port, PortRect rect);
void PortFrameRoundRect(DrawingPort* port, PortRect rect, int32_t cornerWidth, int32_t cornerHeight);
void PortFillRoundRect(DrawingPort* port, PortRect rect, int32_t cornerWidth, int32_t cornerHeight);
void PortFillPolygon(DrawingPort* port, const POINT* points, int32_t count);
void PortInvertRect(DrawingPort* port, PortRect rect);
RGBColor16 PortGetPixel(DrawingPort* port, int32_t x, int32_t y);
void PortSetPixel(DrawingPort* port, int32_t x, int32_t y, RGBColor16 color);

// Text.
enum TextBoxAlignment : int32_t { TextBoxLeft = 0, TextBoxCentre = 1, TextBoxRight = 2 };
void PortDrawText(DrawingPort* port, const char* text, int32_t length, int32_t x, int32_t y);
void PortDrawTextBox(DrawingPort* port, const char* text, int32_t length, PortRect rect, int32_t alignment);
void PortDrawTextTruncated(DrawingPort* port, const char* text, int32_t length, int32_t x, int32_t y,
                           int32_t maximumWidth);
int32_t PortTextWidth(DrawingPort* port, const char* text, int32_t length);
int32_t PortTextAscent(DrawingPort* port);
int32_t PortTextHeight(DrawingPort* port);
int32_t PortTextLeading(DrawingPort* port);

// Internal to the port's files: selects the port's font into its context (the port current).
void PortSelectFont(DrawingPort* port);
