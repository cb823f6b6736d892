#include "platform/gdi/pen_stroke.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <vector>

#include "platform/gdi/coordinate_mapping.h"

namespace kwplatform {

namespace {

// On-off runs of the styled pens, in pixels, starting with a dash.
struct DashPattern {
  int runs[6];
  int count;
};

const DashPattern* PatternOf(int style) {
  static const DashPattern dash = {{18, 6}, 2};
  static const DashPattern dot = {{3, 3}, 2};
  static const DashPattern dashDot = {{9, 6, 3, 6}, 4};
  static const DashPattern dashDotDot = {{9, 3, 3, 3, 3, 3}, 6};
  switch (style) {
    case PS_DASH:
      return &dash;
    case PS_DOT:
      return &dot;
    case PS_DASHDOT:
      return &dashDot;
    case PS_DASHDOTDOT:
      return &dashDotDot;
  }
  return nullptr;
}

// Whether position falls in a dash (true) or a gap of the pattern.
bool InDash(const DashPattern& pattern, int position) {
  int period = 0;
  for (int i = 0; i < pattern.count; i++) period += pattern.runs[i];
  int offset = position % period;
  for (int i = 0; i < pattern.count; i++) {
    if (offset < pattern.runs[i]) return i % 2 == 0;
    offset -= pattern.runs[i];
  }
  return true;
}

// The points of a Bresenham line from one point towards the other, the end point excluded.
template <typename Visit>
void WalkLine(POINT from, POINT to, bool includeEnd, Visit visit) {
  // 64-bit arithmetic: the difference of two 32-bit coordinates may not fit in 32 bits.
  const long long dx = std::llabs(static_cast<long long>(to.x) - from.x);
  const long long dy = std::llabs(static_cast<long long>(to.y) - from.y);
  const int stepX = from.x < to.x ? 1 : -1, stepY = from.y < to.y ? 1 : -1;
  long long x = from.x, y = from.y;
  long long error = dx - dy;
  while (x != to.x || y != to.y) {
    visit(static_cast<int>(x), static_cast<int>(y));
    const long long twice = 2 * error;
    if (twice > -dy) {
      error -= dy;
      x += stepX;
    }
    if (twice < dx) {
      error += dx;
      y += stepY;
    }
  }
  if (includeEnd) visit(static_cast<int>(x), static_cast<int>(y));
}

// The rows of a disc of a diameter, as [left, right) offsets from its top-left corner.
std::vector<std::pair<int, int>> DiscRows(int diameter) {
  std::vector<std::pair<int, int>> rows;
  const long long limit = static_cast<long long>(diameter) * diameter;
  for (int i = 0; i < diameter; i++) {
    const long long dy = 2 * i + 1 - diameter;
    int left = diameter, right = 0;
    for (int j = 0; j < diameter; j++) {
      const long long dx = 2 * j + 1 - diameter;
      if (dx * dx + dy * dy <= limit) {
        left = std::min(left, j);
        right = j + 1;
      }
    }
    rows.emplace_back(left, right);
  }
  return rows;
}

// A wide line: discs along it, gathered into one span per row (the shape is convex).
void StrokeWideLine(const RasterTarget& target, const PenStroke& pen, POINT from, POINT to) {
  const std::vector<std::pair<int, int>> disc = DiscRows(pen.width);
  const int half = pen.width / 2;
  std::map<int, std::pair<int, int>> rows;
  WalkLine(from, to, true, [&](int x, int y) {
    for (int i = 0; i < pen.width; i++) {
      const auto [left, right] = disc[static_cast<size_t>(i)];
      if (left >= right) continue;
      auto [entry, added] = rows.try_emplace(y - half + i, x - half + left, x - half + right);
      if (!added) {
        entry->second.first = std::min(entry->second.first, x - half + left);
        entry->second.second = std::max(entry->second.second, x - half + right);
      }
    }
  });
  for (const auto& [y, span] : rows) target.FillSpan(y, span.first, span.second, pen.pixel, pen.rop2);
}

}  // namespace

PenStroke PreparePen(const DeviceContext& context) {
  PenStroke stroke;
  const DeviceContextState& state = context.state;
  const PenObject* pen = state.pen.object ? std::get_if<PenObject>(&state.pen.object->value) : nullptr;
  if (!pen) {
    stroke.style = PS_NULL;
    return stroke;
  }
  stroke.style = pen->style;
  stroke.width = std::max(1, DeviceWidth(state, pen->width));
  stroke.pixel = PixelFromColorRef(pen->color);
  stroke.gapPixel = PixelFromColorRef(state.backgroundColor);
  stroke.fillGaps = state.backgroundMode == OPAQUE;
  stroke.rop2 = state.rop2;
  return stroke;
}

void StrokeLine(const RasterTarget& target, PenStroke& pen, POINT from, POINT to) {
  if (pen.IsNull() || !target.Valid()) return;
  if (pen.width > 1) {
    StrokeWideLine(target, pen, from, to);
    return;
  }
  const DashPattern* pattern = PatternOf(pen.style);
  WalkLine(from, to, false, [&](int x, int y) {
    if (!pattern || InDash(*pattern, pen.patternPosition))
      target.Plot(x, y, pen.pixel, pen.rop2);
    else if (pen.fillGaps)
      target.Plot(x, y, pen.gapPixel, pen.rop2);
    pen.patternPosition++;
  });
}

}  // namespace kwplatform
