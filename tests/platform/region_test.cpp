#include "platform/display/region.h"

#include <gtest/gtest.h>

namespace kwplatform {
namespace {

// Counts the pixels of a region inside a 32 x 32 grid, checking that no pixel is covered twice.
int CoveredPixels(const Region& region) {
  int covered = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      int hits = 0;
      for (const RECT& r : region.Rectangles())
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) ++hits;
      EXPECT_LE(hits, 1) << x << "," << y;
      covered += hits;
    }
  return covered;
}

TEST(Region, UnionSubtractAndIntersectKeepPixelSetsExact) {
  struct Case {
    const char* name;
    RECT a, b;
    int unionPixels, differencePixels, intersectionPixels;
  } cases[] = {
      {"disjoint", {0, 0, 4, 4}, {10, 10, 12, 12}, 20, 16, 0},
      {"overlapping", {0, 0, 10, 10}, {5, 5, 15, 15}, 175, 75, 25},
      {"contained", {0, 0, 10, 10}, {2, 2, 4, 4}, 100, 96, 4},
      {"containing", {2, 2, 4, 4}, {0, 0, 10, 10}, 100, 0, 4},
      {"touching edges", {0, 0, 5, 5}, {5, 0, 10, 5}, 50, 25, 0},
      {"empty operand", {0, 0, 5, 5}, {3, 3, 3, 9}, 25, 25, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Region united(c.a);
    united.Add(c.b);
    EXPECT_EQ(CoveredPixels(united), c.unionPixels);
    Region difference(c.a);
    difference.Subtract(c.b);
    EXPECT_EQ(CoveredPixels(difference), c.differencePixels);
    EXPECT_FALSE(difference.Intersects(c.b));
    Region intersection(c.a);
    intersection.IntersectWith(Region(c.b));
    EXPECT_EQ(CoveredPixels(intersection), c.intersectionPixels);
  }
}

TEST(Region, NeighbouringRectanglesCoalesceAndBoundsFollow) {
  Region region;
  for (int x = 0; x < 8; ++x) region.Add(RECT{x * 2, 0, x * 2 + 2, 3});
  EXPECT_EQ(region.Rectangles().size(), 1u);
  const RECT bounds = region.Bounds();
  EXPECT_EQ(bounds.left, 0);
  EXPECT_EQ(bounds.right, 16);
  EXPECT_EQ(bounds.bottom, 3);
  region.Offset(5, 7);
  EXPECT_TRUE(region.Contains(5, 7));
  EXPECT_FALSE(region.Contains(21, 7));
  EXPECT_TRUE(region.SameAs(Region(RECT{5, 7, 21, 10})));
  region.Subtract(RECT{0, 0, 100, 100});
  EXPECT_TRUE(region.IsEmpty());
  EXPECT_EQ(region.Bounds().right, 0);
}

}  // namespace
}  // namespace kwplatform
