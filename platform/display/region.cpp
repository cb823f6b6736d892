#include "platform/display/region.h"

#include <algorithm>

namespace kwplatform {

bool RectangleIsEmpty(const RECT& rectangle) {
  return rectangle.right <= rectangle.left || rectangle.bottom <= rectangle.top;
}

RECT IntersectRectangles(const RECT& a, const RECT& b) {
  RECT result = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
  if (RectangleIsEmpty(result)) return RECT{0, 0, 0, 0};
  return result;
}

namespace {

// Appends the parts of piece outside hole (at most four) to out.
void AppendDifference(const RECT& piece, const RECT& hole, std::vector<RECT>* out) {
  const RECT overlap = IntersectRectangles(piece, hole);
  if (RectangleIsEmpty(overlap)) {
    out->push_back(piece);
    return;
  }
  if (piece.top < overlap.top) out->push_back({piece.left, piece.top, piece.right, overlap.top});
  if (overlap.bottom < piece.bottom) out->push_back({piece.left, overlap.bottom, piece.right, piece.bottom});
  if (piece.left < overlap.left) out->push_back({piece.left, overlap.top, overlap.left, overlap.bottom});
  if (overlap.right < piece.right) out->push_back({overlap.right, overlap.top, piece.right, overlap.bottom});
}

}  // namespace

RECT Region::Bounds() const {
  if (rectangles_.empty()) return RECT{0, 0, 0, 0};
  RECT bounds = rectangles_.front();
  for (const RECT& r : rectangles_) {
    bounds.left = std::min(bounds.left, r.left);
    bounds.top = std::min(bounds.top, r.top);
    bounds.right = std::max(bounds.right, r.right);
    bounds.bottom = std::max(bounds.bottom, r.bottom);
  }
  return bounds;
}

bool Region::Contains(int x, int y) const {
  for (const RECT& r : rectangles_)
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  return false;
}

bool Region::Intersects(const RECT& rectangle) const {
  for (const RECT& r : rectangles_)
    if (!RectangleIsEmpty(IntersectRectangles(r, rectangle))) return true;
  return false;
}

void Region::Add(const RECT& rectangle) {
  if (RectangleIsEmpty(rectangle)) return;
  // Only the parts not yet covered are added, so the rectangles stay disjoint.
  std::vector<RECT> pieces = {rectangle};
  for (const RECT& existing : rectangles_) {
    std::vector<RECT> remaining;
    for (const RECT& piece : pieces) AppendDifference(piece, existing, &remaining);
    pieces.swap(remaining);
    if (pieces.empty()) return;
  }
  rectangles_.insert(rectangles_.end(), pieces.begin(), pieces.end());
  Coalesce();
}

void Region::Add(const Region& other) {
  for (const RECT& r : other.rectangles_) Add(r);
}

void Region::Subtract(const RECT& rectangle) {
  if (RectangleIsEmpty(rectangle) || rectangles_.empty()) return;
  std::vector<RECT> remaining;
  for (const RECT& r : rectangles_) AppendDifference(r, rectangle, &remaining);
  rectangles_.swap(remaining);
  Coalesce();
}

void Region::Subtract(const Region& other) {
  for (const RECT& r : other.rectangles_) Subtract(r);
}

void Region::IntersectWith(const RECT& rectangle) {
  std::vector<RECT> kept;
  for (const RECT& r : rectangles_) {
    const RECT overlap = IntersectRectangles(r, rectangle);
    if (!RectangleIsEmpty(overlap)) kept.push_back(overlap);
  }
  rectangles_.swap(kept);
}

void Region::IntersectWith(const Region& other) {
  // Pieces of two disjoint sets intersected pairwise are disjoint too.
  std::vector<RECT> kept;
  for (const RECT& a : rectangles_)
    for (const RECT& b : other.rectangles_) {
      const RECT overlap = IntersectRectangles(a, b);
      if (!RectangleIsEmpty(overlap)) kept.push_back(overlap);
    }
  rectangles_.swap(kept);
  Coalesce();
}

void Region::Offset(int dx, int dy) {
  for (RECT& r : rectangles_) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
  }
}

bool Region::SameAs(const Region& other) const {
  Region left = *this;
  left.Subtract(other);
  if (!left.IsEmpty()) return false;
  Region right = other;
  right.Subtract(*this);
  return right.IsEmpty();
}

void Region::Coalesce() {
  // Joins rectangles that share a whole edge, which keeps repeated invalidation of neighbouring
  // areas from fragmenting the list.
  bool joined = true;
  while (joined && rectangles_.size() > 1) {
    joined = false;
    for (size_t i = 0; i < rectangles_.size() && !joined; ++i)
      for (size_t j = i + 1; j < rectangles_.size() && !joined; ++j) {
        RECT& a = rectangles_[i];
        const RECT& b = rectangles_[j];
        if (a.top == b.top && a.bottom == b.bottom && (a.right == b.left || b.right == a.left)) {
          a.left = std::min(a.left, b.left);
          a.right = std::max(a.right, b.right);
          joined = true;
        } else if (a.left == b.left && a.right == b.right && (a.bottom == b.top || b.bottom == a.top)) {
          a.top = std::min(a.top, b.top);
          a.bottom = std::max(a.bottom, b.bottom);
          joined = true;
        }
        if (joined) rectangles_.erase(rectangles_.begin() + static_cast<long>(j));
      }
  }
}

}  // namespace kwplatform
