// Writing pixels for one drawing call: spans and rectangles in device coordinates, moved onto
// the surface, cut to the effective clip and combined with the binary raster operation.
#pragma once

#include <cstdint>

#include "platform/gdi/device_context.h"

namespace kwplatform {

// The result of a binary raster operation (R2_*) on a pen pixel and a destination pixel.
uint32_t ApplyRop2(int rop2, uint32_t pen, uint32_t destination);

class RasterTarget {
 public:
  explicit RasterTarget(const DeviceContext& context);

  // False for a context without pixels (an information context): nothing is drawn.
  bool Valid() const { return surface_ != nullptr; }

  // Pixels [left, right) of row y.
  void FillSpan(int y, int left, int right, uint32_t pixel, int rop2) const;
  void FillRectangle(const RECT& device, uint32_t pixel, int rop2) const;
  void Plot(int x, int y, uint32_t pixel, int rop2) const { FillSpan(y, x, x + 1, pixel, rop2); }

  // Whether drawing may touch the pixel, and its address when it may.
  bool Visible(int x, int y) const;
  uint32_t* PixelAt(int x, int y) const;

  // The device rectangle of the clip's bounds (empty when nothing can be drawn).
  RECT ClipBounds() const;

 private:
  Surface* surface_;
  POINT origin_;
  const Region* clip_;
};

}  // namespace kwplatform
