// The pixels of filled shapes, row by row, in device coordinates. A pixel belongs to a shape
// when its centre lies inside, so a shape with bounds [left, right) × [top, bottom) covers
// exactly those rows and columns at its widest.
#pragma once

#include <vector>

#include "platform/win32.h"

namespace kwplatform {

struct Span {
  int left = 0;
  int right = 0;  // outside
  bool IsEmpty() const { return left >= right; }
};

// Row y of a rectangle whose corners are quarters of an ellipse cornerWidth × cornerHeight; an
// ellipse when the corner is the whole size, a plain rectangle when either is 0.
Span RoundedRectangleRow(const RECT& bounds, int cornerWidth, int cornerHeight, int y);

// The outline of such a shape, pen pixels thick inside its bounds, and the interior inside the
// outline. Row by row: the outline is the shape's row less the interior (at most two spans),
// and it always connects with the rows above and below.
struct RingRow {
  Span shape;
  Span interior;
};
RingRow RoundedRectangleRingRow(const RECT& bounds, int cornerWidth, int cornerHeight, int pen, int y);

// The spans of row y inside a polygon, by the alternate (even-odd) or winding rule.
std::vector<Span> PolygonRow(const std::vector<POINT>& points, bool winding, int y);

}  // namespace kwplatform
