#include "platform/gdi/pen_stroke.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <vector>

#include "platform/gdi/coordinate_mapping.h"

namespace kwplatform {

namespace {

constexpr int MaximumPenWidth = 1024;

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
bool InDash(const DashPattern& pattern, long long position) {
  int period = 0;
  for (int i = 0; i < pattern.count; i++) period += pattern.runs[i];
  int offset = static_cast<int>(position % period);
  for (int i = 0; i < pattern.count; i++) {
    if (offset < pattern.runs[i]) return i % 2 == 0;
    offset -= pattern.runs[i];
  }
  return true;
}

// The points of a line from one point towards the other (the end point only when asked for),
// that fall within box along the line's major axis. Point i of the line lies i steps along
// the major axis and round(i × minor ÷ major) along the minor one, so the walk can start and
// stop at the box instead of covering a line far longer than any surface. visit gets each
// point with its index from the start, which styled pens follow.
template <typename Visit>
void WalkLine(POINT from, POINT to, bool includeEnd, const RECT& box, Visit visit) {
  const long long dx = std::llabs(static_cast<long long>(to.x) - from.x);
  const long long dy = std::llabs(static_cast<long long>(to.y) - from.y);
  const int stepX = from.x < to.x ? 1 : -1, stepY = from.y < to.y ? 1 : -1;
  const bool xMajor = dx >= dy;
  const long long major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
  const long long count = major + (includeEnd ? 1 : 0);
  // The indexes whose major coordinate lies in the box.
  const long long start = xMajor ? from.x : from.y;
  const int step = xMajor ? stepX : stepY;
  const long long low = xMajor ? box.left : box.top, high = xMajor ? box.right : box.bottom;  // [low, high)
  long long first = step > 0 ? low - start : start - (high - 1);
  long long last = step > 0 ? high - 1 - start : start - low;
  first = std::max(first, 0LL);
  last = std::min(last, count - 1);
  for (long long i = first; i <= last; i++) {
    const long long along = major == 0 ? 0 : (2 * i * minor + major) / (2 * major);
    const long long x = xMajor ? from.x + stepX * i : from.x + stepX * along;
    const long long y = xMajor ? from.y + stepY * along : from.y + stepY * i;
    visit(static_cast<int>(x), static_cast<int>(y), i);
  }
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
  const RECT visible = target.ClipBounds();
  const RECT reach = {visible.left - pen.width, visible.top - pen.width, visible.right + pen.width,
                      visible.bottom + pen.width};
  std::map<int, std::pair<int, int>> rows;
  WalkLine(from, to, true, reach, [&](int x, int y, long long) {
    // Discs that miss the clip's rows or columns add nothing.
    if (y - half >= visible.bottom || y - half + pen.width <= visible.top || x - half >= visible.right ||
        x - half + pen.width <= visible.left)
      return;
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
  // Wider than any surface is no different on a surface; the bound keeps the work bounded.
  stroke.width = std::clamp(DeviceWidth(state, pen->width), 1, MaximumPenWidth);
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
  const long long patternStart = pen.patternPosition;
  WalkLine(from, to, false, target.ClipBounds(), [&](int x, int y, long long index) {
    if (!pattern || InDash(*pattern, patternStart + index))
      target.Plot(x, y, pen.pixel, pen.rop2);
    else if (pen.fillGaps)
      target.Plot(x, y, pen.gapPixel, pen.rop2);
  });
  // The pattern goes on along the next segment of a polyline.
  const long long length =
      std::max(std::llabs(static_cast<long long>(to.x) - from.x), std::llabs(static_cast<long long>(to.y) - from.y));
  pen.patternPosition = patternStart + length;
}

}  // namespace kwplatform
