// A 32-bit true-colour pixel surface: the memory that windows, memory bitmaps and DIB sections
// draw into. A pixel is one 32-bit word 0x00RRGGBB (bytes B, G, R, 0 in memory, as a 32-bit DIB
// stores them), so a colour written reads back exactly.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace kwplatform {

struct Surface {
  int width = 0;
  int height = 0;
  // Row y starts at rowZero + y * rowStep (in pixels); a bottom-up DIB has a negative step.
  uint32_t* rowZero = nullptr;
  long rowStep = 0;
  std::vector<uint32_t> ownedPixels;  // empty when the pixels belong to someone else (a DIB section)

  uint32_t* Row(int y) const { return rowZero + y * rowStep; }

  // A top-down surface owning its pixels, filled with fill.
  static std::shared_ptr<Surface> Make(int width, int height, uint32_t fill = 0x00FFFFFF) {
    auto surface = std::make_shared<Surface>();
    surface->width = width > 0 ? width : 0;
    surface->height = height > 0 ? height : 0;
    surface->ownedPixels.assign(static_cast<size_t>(surface->width) * surface->height, fill);
    surface->rowZero = surface->ownedPixels.data();
    surface->rowStep = surface->width;
    return surface;
  }
};

// COLORREF (0x00BBGGRR) and pixel (0x00RRGGBB) conversions.
inline uint32_t PixelFromColorRef(uint32_t color) {
  return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}
inline uint32_t ColorRefFromPixel(uint32_t pixel) { return PixelFromColorRef(pixel); }

}  // namespace kwplatform
