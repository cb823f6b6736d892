// Block transfers: BitBlt, StretchBlt and PatBlt with any ternary raster operation. Stretching
// picks source pixels by position; when it shrinks, the stretch mode decides how the source
// pixels that fall on one destination pixel combine (AND, OR, average or the first one).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/gdi/coordinate_mapping.h"
#include "platform/gdi/raster.h"

namespace kwplatform {

namespace {

// The ternary operation code (bits 16-23 of the raster operation) is the truth table of
// (pattern, source, destination): bit (pattern × 4 + source × 2 + destination) gives the result.
uint32_t ApplyRop3(unsigned code, uint32_t pattern, uint32_t source, uint32_t destination) {
  uint32_t result = 0;
  for (unsigned index = 0; index < 8; index++) {
    if (!(code >> index & 1)) continue;
    result |=
        (index & 4 ? pattern : ~pattern) & (index & 2 ? source : ~source) & (index & 1 ? destination : ~destination);
  }
  return result & 0x00FFFFFF;
}

bool UsesSource(unsigned code) { return ((code >> 2) & 0x33) != (code & 0x33); }
bool UsesPattern(unsigned code) { return ((code >> 4) & 0x0F) != (code & 0x0F); }

// A device rectangle given by its origin and signed extent; a negative extent mirrors.
struct BlitArea {
  long x, y, width, height;
};

BlitArea DeviceArea(const DeviceContextState& state, int x, int y, int width, int height) {
  // The far corner in 64 bits: x + width may not fit in an int.
  auto far = [](int start, int extent) {
    return static_cast<LONG>(std::clamp<long long>(static_cast<long long>(start) + extent, INT32_MIN, INT32_MAX));
  };
  const POINT a = LogicalToDevice(state, {x, y});
  const POINT b = LogicalToDevice(state, {far(x, width), far(y, height)});
  return {a.x, a.y, b.x - a.x, b.y - a.y};
}

// The pixel value at one source coordinate: the destination pixel's share of the source,
// combined by the stretch mode when several source pixels fall on it.
class SourceSampler {
 public:
  SourceSampler(const Surface& surface, POINT origin, const BlitArea& area, const BlitArea& destination, int mode)
      : surface_(surface), origin_(origin), area_(area), destination_(destination), mode_(mode) {}

  // The source pixel for destination pixel (column, row) of the destination area, counted from
  // its low corner; nothing when it falls outside the source surface.
  std::optional<uint32_t> Sample(long column, long row) const {
    const auto [x0, x1] = Range(column, area_.x, area_.width, destination_.width);
    const auto [y0, y1] = Range(row, area_.y, area_.height, destination_.height);
    if (x1 - x0 == 1 && y1 - y0 == 1) return Read(x0, y0);
    if (mode_ == COLORONCOLOR) return Read(x0, y0);
    uint32_t combined = mode_ == BLACKONWHITE ? 0x00FFFFFF : 0;
    unsigned long sums[3] = {0, 0, 0};
    long count = 0;
    for (long sy = y0; sy < y1; sy++)
      for (long sx = x0; sx < x1; sx++) {
        std::optional<uint32_t> pixel = Read(sx, sy);
        if (!pixel) continue;
        count++;
        if (mode_ == BLACKONWHITE) combined &= *pixel;
        if (mode_ == WHITEONBLACK) combined |= *pixel;
        for (int channel = 0; channel < 3; channel++) sums[channel] += *pixel >> (8 * channel) & 0xFF;
      }
    if (count == 0) return std::nullopt;
    if (mode_ != HALFTONE) return combined;
    uint32_t average = 0;
    for (int channel = 0; channel < 3; channel++)
      average |= static_cast<uint32_t>((sums[channel] + count / 2) / count) << (8 * channel);
    return average;
  }

 private:
  // The source coordinates [first, end) that destination index i of count covers, for a source
  // extent that may run the other way.
  static std::pair<long, long> Range(long i, long start, long extent, long destinationExtent) {
    const long long span = extent < 0 ? -static_cast<long long>(extent) : extent;
    const long long count = destinationExtent < 0 ? -static_cast<long long>(destinationExtent) : destinationExtent;
    long long first = i * span / count;
    long long end = std::max(first + 1, (i + 1) * span / count);
    // Mirrored when exactly one of the two extents is negative.
    if ((extent < 0) != (destinationExtent < 0)) {
      const long long mirroredFirst = span - end;
      end = span - first;
      first = mirroredFirst;
    }
    const long low = extent < 0 ? start + static_cast<long>(extent) + 1 : start;
    return {low + static_cast<long>(first), low + static_cast<long>(end)};
  }

  std::optional<uint32_t> Read(long x, long y) const {
    const long sx = x + origin_.x, sy = y + origin_.y;
    if (sx < 0 || sy < 0 || sx >= surface_.width || sy >= surface_.height) return std::nullopt;
    return surface_.Row(static_cast<int>(sy))[sx] & 0x00FFFFFF;
  }

  const Surface& surface_;
  POINT origin_;
  BlitArea area_, destination_;
  int mode_;
};

// A copy of a surface's pixels, when source and destination share it, so that overlapping
// areas read the pixels as they were before the call.
std::shared_ptr<Surface> Snapshot(const Surface& surface) {
  auto copy = Surface::Make(surface.width, surface.height, 0);
  for (int y = 0; y < surface.height; y++)
    memcpy(copy->Row(y), surface.Row(y), static_cast<size_t>(surface.width) * sizeof(uint32_t));
  return copy;
}

BOOL Blit(HDC destinationDc, int x, int y, int width, int height, HDC sourceDc, int sourceX, int sourceY,
          int sourceWidth, int sourceHeight, DWORD rop) {
  std::shared_ptr<DeviceContext> destination = FindDeviceContext(destinationDc);
  if (!destination || destination->kind == DeviceContextKind::Information) return FALSE;
  const unsigned code = rop >> 16 & 0xFF;
  const DeviceContextState& state = destination->state;

  std::shared_ptr<DeviceContext> source;
  std::shared_ptr<Surface> sourcePixels;
  if (UsesSource(code)) {
    source = FindDeviceContext(sourceDc);
    if (!source || !source->Target()) return FALSE;
    Surface* target = source->Target();
    sourcePixels = target == destination->Target() ? Snapshot(*target)
                                                   : std::shared_ptr<Surface>(std::shared_ptr<Surface>{}, target);
  }
  uint32_t pattern = 0;
  if (UsesPattern(code)) {
    const BrushObject* brush = state.brush.object ? std::get_if<BrushObject>(&state.brush.object->value) : nullptr;
    if (!brush || brush->style == BS_NULL) return TRUE;  // no pattern to draw with
    pattern = PixelFromColorRef(brush->color);
  }

  const BlitArea area = DeviceArea(state, x, y, width, height);
  if (area.width == 0 || area.height == 0) return TRUE;
  RasterTarget target(*destination);
  Surface* surface = destination->Target();
  if (!surface) return FALSE;

  std::optional<SourceSampler> sampler;
  if (source) {
    const BlitArea from = DeviceArea(source->state, sourceX, sourceY, sourceWidth, sourceHeight);
    if (from.width == 0 || from.height == 0) return TRUE;
    sampler.emplace(*sourcePixels, source->origin, from, area, state.stretchMode);
  }

  // Destination pixels in device coordinates [left, left + columns) × [top, top + rows). A
  // negative extent covers the pixels from its start backwards, the start included (so a
  // mirrored copy of a w-wide image starts at x + w − 1), as GDI does.
  const long left = area.width < 0 ? area.x + area.width + 1 : area.x;
  const long top = area.height < 0 ? area.y + area.height + 1 : area.y;
  const long columns = area.width < 0 ? -area.width : area.width;
  const long rows = area.height < 0 ? -area.height : area.height;
  for (const RECT& piece : destination->EffectiveClip().Rectangles()) {
    const RECT visible = IntersectRectangles(
        piece, {static_cast<LONG>(left + destination->origin.x), static_cast<LONG>(top + destination->origin.y),
                static_cast<LONG>(left + columns + destination->origin.x),
                static_cast<LONG>(top + rows + destination->origin.y)});
    for (long sy = visible.top; sy < visible.bottom; sy++) {
      uint32_t* pixels = surface->Row(static_cast<int>(sy));
      const long row = sy - destination->origin.y - top;
      for (long sx = visible.left; sx < visible.right; sx++) {
        const long column = sx - destination->origin.x - left;
        uint32_t sourcePixel = 0;
        if (sampler) {
          std::optional<uint32_t> sampled = sampler->Sample(column, row);
          if (!sampled) continue;  // outside the source: left alone
          sourcePixel = *sampled;
        }
        pixels[sx] = code == 0xCC ? sourcePixel : ApplyRop3(code, pattern, sourcePixel, pixels[sx]);
      }
    }
  }
  return TRUE;
}

}  // namespace

}  // namespace kwplatform

using namespace kwplatform;

extern "C" {

BOOL WINAPI BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop) {
  return Blit(dc, x, y, width, height, source, sourceX, sourceY, width, height, rop);
}

BOOL WINAPI StretchBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                       int sourceWidth, int sourceHeight, DWORD rop) {
  return Blit(dc, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, rop);
}

BOOL WINAPI PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
  // Only operations on the pattern and the destination.
  if (UsesSource(rop >> 16 & 0xFF)) return FALSE;
  return Blit(dc, x, y, width, height, nullptr, 0, 0, 0, 0, rop);
}

}  // extern "C"
