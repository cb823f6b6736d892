// Lines drawn with a pen, in device coordinates.
#pragma once

#include "platform/gdi/raster.h"

namespace kwplatform {

// A pen made ready for one drawing call: its device width and colours, and the state that
// decides how the gaps of a styled pen are filled.
struct PenStroke {
  int style = PS_SOLID;
  int width = 1;  // device pixels
  uint32_t pixel = 0;
  uint32_t gapPixel = 0;  // the background colour
  bool fillGaps = false;  // opaque background mode
  int rop2 = R2_COPYPEN;
  long long patternPosition = 0;  // carried from one segment to the next of a polyline

  bool IsNull() const { return style == PS_NULL; }
};

// The pen selected in a context as it draws there now.
PenStroke PreparePen(const DeviceContext& context);

// A line from one point to the other. One pixel wide, the end point is left out, so that
// joined segments touch each pixel once; wider, both ends get round caps.
void StrokeLine(const RasterTarget& target, PenStroke& pen, POINT from, POINT to);

}  // namespace kwplatform
