// A region: a set of pixels kept as disjoint rectangles (left/top inclusive, right/bottom
// exclusive). Update regions of windows and clip regions of device contexts are regions.
#pragma once

#include <vector>

#include "platform/win32.h"

namespace kwplatform {

class Region {
 public:
  Region() = default;
  explicit Region(const RECT& rectangle) { Add(rectangle); }

  bool IsEmpty() const { return rectangles_.empty(); }
  const std::vector<RECT>& Rectangles() const { return rectangles_; }
  RECT Bounds() const;  // all zero when empty
  bool Contains(int x, int y) const;
  bool Intersects(const RECT& rectangle) const;

  void Clear() { rectangles_.clear(); }
  void Add(const RECT& rectangle);       // union
  void Add(const Region& other);
  void Subtract(const RECT& rectangle);
  void Subtract(const Region& other);
  void IntersectWith(const RECT& rectangle);
  void IntersectWith(const Region& other);
  void Offset(int dx, int dy);

  // Same pixel set, whatever the rectangles.
  bool SameAs(const Region& other) const;

 private:
  void Coalesce();
  std::vector<RECT> rectangles_;
};

bool RectangleIsEmpty(const RECT& rectangle);
RECT IntersectRectangles(const RECT& a, const RECT& b);  // empty (all zero) when disjoint

}  // namespace kwplatform
