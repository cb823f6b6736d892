// Integer arithmetic throughout (coordinates doubled so that pixel centres are integers), so
// every build draws the same pixels.
#include "platform/gdi/shape_spans.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kwplatform {

namespace {

// The largest d >= 0 with d² × b² <= a² × s (all non-negative), exact while a and b are below
// 2^16; beyond that (shapes far larger than any surface) a floating-point answer.
long long LargestInside(long long a, long long b, long long s) {
  if (a < 65536 && b < 65536 && s < (1LL << 32)) {
    const uint64_t limit = static_cast<uint64_t>(a * a) * static_cast<uint64_t>(s);
    const uint64_t bb = static_cast<uint64_t>(b * b);
    long long d = static_cast<long long>(std::sqrt(static_cast<double>(limit) / static_cast<double>(bb)));
    while (d > 0 && static_cast<uint64_t>(d * d) * bb > limit) d--;
    while (static_cast<uint64_t>((d + 1) * (d + 1)) * bb <= limit) d++;
    return d;
  }
  return static_cast<long long>(std::floor(static_cast<double>(a) * std::sqrt(static_cast<double>(s)) / b));
}

long long FloorDivide(long long numerator, long long denominator) {
  long long quotient = numerator / denominator;
  if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0))) quotient--;
  return quotient;
}

Span Intersect(Span a, Span b) {
  Span result = {std::max(a.left, b.left), std::min(a.right, b.right)};
  return result.IsEmpty() ? Span{} : result;
}

}  // namespace

Span RoundedRectangleRow(const RECT& bounds, int cornerWidth, int cornerHeight, int y) {
  if (y < bounds.top || y >= bounds.bottom || bounds.left >= bounds.right) return {};
  const long long width = static_cast<long long>(bounds.right) - bounds.left;
  const long long height = static_cast<long long>(bounds.bottom) - bounds.top;
  const long long a = std::min<long long>(std::max(cornerWidth, 0), width);  // doubled radii
  const long long b = std::min<long long>(std::max(cornerHeight, 0), height);
  if (a == 0 || b == 0) return {static_cast<int>(bounds.left), static_cast<int>(bounds.right)};

  // Vertical distance (doubled) of the row's centre from the band of straight sides.
  const long long centreY = 2LL * y + 1;
  const long long topCentre = 2LL * bounds.top + b, bottomCentre = 2LL * bounds.bottom - b;
  long long dy = 0;
  if (centreY < topCentre) dy = topCentre - centreY;
  if (centreY > bottomCentre) dy = centreY - bottomCentre;
  if (dy == 0) return {static_cast<int>(bounds.left), static_cast<int>(bounds.right)};
  if (dy > b) return {};

  // Pixel centres are odd when doubled, and the corner centres have the parity of the corner
  // width, so the reach d from a corner centre to a pixel centre has parity 1 + a.
  long long d = LargestInside(a, b, b * b - dy * dy);
  const long long parity = (1 + a) & 1;
  if ((d & 1) != parity) d--;
  if (d < 0) return {};
  const long long leftCentre = 2LL * bounds.left + a, rightCentre = 2LL * bounds.right - a;
  // Pixel x has its centre at 2x + 1 (doubled): the first inside from the left corner centre
  // and the last inside from the right one.
  const long long left = FloorDivide(leftCentre - d - 1, 2);
  const long long right = FloorDivide(rightCentre + d - 1, 2) + 1;
  return {static_cast<int>(left), static_cast<int>(right)};
}

RingRow RoundedRectangleRingRow(const RECT& bounds, int cornerWidth, int cornerHeight, int pen, int y) {
  RingRow row;
  row.shape = RoundedRectangleRow(bounds, cornerWidth, cornerHeight, y);
  if (row.shape.IsEmpty()) return row;
  const RECT inner = {bounds.left + pen, bounds.top + pen, bounds.right - pen, bounds.bottom - pen};
  Span interior = {row.shape.left + 1, row.shape.right - 1};
  interior = Intersect(interior, RoundedRectangleRow(bounds, cornerWidth, cornerHeight, y - 1));
  interior = Intersect(interior, RoundedRectangleRow(bounds, cornerWidth, cornerHeight, y + 1));
  if (inner.left < inner.right && inner.top < inner.bottom)
    interior = Intersect(interior, RoundedRectangleRow(inner, cornerWidth - 2 * pen, cornerHeight - 2 * pen, y));
  else
    interior = {};
  row.interior = interior;
  return row;
}

std::vector<Span> PolygonRow(const std::vector<POINT>& points, bool winding, int y) {
  // Crossings of the row's centre line (doubled: 2y + 1) with each edge, as the first pixel
  // whose centre lies right of the crossing, with the edge's direction.
  struct Crossing {
    long long firstPixel;
    int direction;
  };
  std::vector<Crossing> crossings;
  const long long centreY = 2LL * y + 1;
  const size_t count = points.size();
  for (size_t i = 0; i < count; i++) {
    const POINT& p = points[i];
    const POINT& q = points[(i + 1) % count];
    if (p.y == q.y) continue;
    const long long y0 = 2LL * p.y, y1 = 2LL * q.y;
    if (centreY < std::min(y0, y1) || centreY >= std::max(y0, y1)) continue;
    // Crossing x (doubled) = 2 p.x + (centreY − y0) (q.x − p.x) ÷ (q.y − p.y); the first pixel x
    // with 2x + 1 >= that is ceil((crossing − 1) ÷ 2).
    const long long numerator = 2LL * p.x * (y1 - y0) + (centreY - y0) * 2LL * (static_cast<long long>(q.x) - p.x);
    const long long denominator = y1 - y0;  // crossing = numerator ÷ denominator
    // ceil((n/d − 1) / 2) = −floor((d − n) / (2d)) with the signs handled by FloorDivide.
    const long long firstPixel = -FloorDivide(denominator - numerator, 2 * denominator);
    crossings.push_back({firstPixel, q.y > p.y ? 1 : -1});
  }
  std::sort(crossings.begin(), crossings.end(),
            [](const Crossing& a, const Crossing& b) { return a.firstPixel < b.firstPixel; });
  std::vector<Span> spans;
  int inside = 0;
  for (size_t i = 0; i + 1 < crossings.size(); i++) {
    inside += winding ? crossings[i].direction : 1;
    const bool filled = winding ? inside != 0 : (inside & 1) != 0;
    if (filled && crossings[i].firstPixel < crossings[i + 1].firstPixel)
      spans.push_back({static_cast<int>(crossings[i].firstPixel), static_cast<int>(crossings[i + 1].firstPixel)});
  }
  return spans;
}

}  // namespace kwplatform
