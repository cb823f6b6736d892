#include "platform/gdi/raster.h"

#include <algorithm>

namespace kwplatform {

uint32_t ApplyRop2(int rop2, uint32_t pen, uint32_t destination) {
  // R2 codes 1..16 are, less one, the truth table of (pen, destination): bit (pen × 2 +
  // destination) of the code gives the result bit.
  const unsigned table = static_cast<unsigned>(rop2 - 1) & 0xF;
  uint32_t result = 0;
  if (table & 1) result |= ~pen & ~destination;
  if (table & 2) result |= ~pen & destination;
  if (table & 4) result |= pen & ~destination;
  if (table & 8) result |= pen & destination;
  return result & 0x00FFFFFF;
}

RasterTarget::RasterTarget(const DeviceContext& context)
    : surface_(context.Target()), origin_(context.origin), clip_(&context.EffectiveClip()) {}

void RasterTarget::FillSpan(int y, int left, int right, uint32_t pixel, int rop2) const {
  if (!surface_ || left >= right) return;
  const int row = y + origin_.y;
  const int from = left + origin_.x;
  const int to = right + origin_.x;
  for (const RECT& piece : clip_->Rectangles()) {
    if (row < piece.top || row >= piece.bottom) continue;
    const int start = std::max<int>(from, piece.left);
    const int end = std::min<int>(to, piece.right);
    if (start >= end) continue;
    uint32_t* pixels = surface_->Row(row);
    if (rop2 == R2_COPYPEN) {
      std::fill(pixels + start, pixels + end, pixel);
    } else {
      for (int x = start; x < end; x++) pixels[x] = ApplyRop2(rop2, pixel, pixels[x]);
    }
  }
}

void RasterTarget::FillRectangle(const RECT& device, uint32_t pixel, int rop2) const {
  if (!surface_) return;
  const RECT moved = {device.left + origin_.x, device.top + origin_.y, device.right + origin_.x,
                      device.bottom + origin_.y};
  for (const RECT& piece : clip_->Rectangles()) {
    const RECT area = IntersectRectangles(piece, moved);
    if (RectangleIsEmpty(area)) continue;
    for (int row = area.top; row < area.bottom; row++) {
      uint32_t* pixels = surface_->Row(row);
      if (rop2 == R2_COPYPEN) {
        std::fill(pixels + area.left, pixels + area.right, pixel);
      } else {
        for (int x = area.left; x < area.right; x++) pixels[x] = ApplyRop2(rop2, pixel, pixels[x]);
      }
    }
  }
}

bool RasterTarget::Visible(int x, int y) const { return surface_ && clip_->Contains(x + origin_.x, y + origin_.y); }

uint32_t* RasterTarget::PixelAt(int x, int y) const {
  return Visible(x, y) ? surface_->Row(y + origin_.y) + x + origin_.x : nullptr;
}

RECT RasterTarget::ClipBounds() const {
  if (!surface_ || clip_->IsEmpty()) return {0, 0, 0, 0};
  RECT bounds = clip_->Bounds();
  return {bounds.left - origin_.x, bounds.top - origin_.y, bounds.right - origin_.x, bounds.bottom - origin_.y};
}

}  // namespace kwplatform
