// The rectangle the drawing port takes: four signed 16-bit fields, top, left, bottom, right, in
// window coordinates.
#pragma once

#include <cstdint>
#include <utility>

struct PortRect {
  int16_t top;
  int16_t left;
  int16_t bottom;
  int16_t right;
};

#if defined(__i386__)
static_assert(sizeof(PortRect) == 8);
#endif

// The same rectangle with left <= right and top <= bottom.
inline PortRect NormalisedPortRect(PortRect rect) {
  if (rect.right < rect.left) std::swap(rect.left, rect.right);
  if (rect.bottom < rect.top) std::swap(rect.top, rect.bottom);
  return rect;
}

inline bool operator==(const PortRect& a, const PortRect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}
