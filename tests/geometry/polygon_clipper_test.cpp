#include "geometry/outcodes.h"
#include "geometry/polygon_clipper.h"

#include <gtest/gtest.h>

#include <vector>

using Points = std::vector<TDevicePoint>;

namespace {
Points clip(const TDeviceRect& rect, Points ring) {
  const std::size_t n = ring.size();
  TOrezavacPloch clipper(rect, std::move(ring), n);
  clipper.Execute();
  Points out;
  std::size_t count;
  clipper.GetResult(out, count);
  EXPECT_EQ(count, out.size());
  return out;
}
const Points kSquare{{0, 0}, {100, 0}, {100, 100}, {0, 100}};
}  // namespace

TEST(PolygonClipper, InsideRingComesBackUnchanged) {
  EXPECT_EQ(clip({-10, -10, 200, 200}, kSquare), kSquare);
}

TEST(PolygonClipper, OnlyTheSidesCrossedArePassedAndEachPassCloses) {
  EXPECT_EQ(clip({50, -10, 200, 200}, kSquare),
            (Points{{50, 0}, {100, 0}, {100, 100}, {50, 100}, {50, 0}}));
  // The bottom crossing is placed one pixel below the rectangle.
  EXPECT_EQ(clip({-10, -10, 200, 50}, kSquare),
            (Points{{0, 51}, {0, 0}, {100, 0}, {100, 51}, {0, 51}}));
  // Order left, top, right, bottom: a ring crossing every side.
  EXPECT_EQ(clip({10, 10, 90, 90}, kSquare),
            (Points{{10, 91}, {10, 10}, {90, 10}, {90, 91}, {10, 91}}));
  EXPECT_TRUE(clip({200, 0, 300, 100}, kSquare).empty());
}

TEST(PolygonClipper, HugeCoordinatesNeitherOverflowNorWrap) {
  const int32_t big = 2'000'000'000;
  const Points ring{{-big, -big}, {big, -big}, {big, big}, {-big, big}};
  EXPECT_EQ(clip({0, 0, 1000, 1000}, ring),
            (Points{{0, 1001}, {0, 0}, {1000, 0}, {1000, 1001}, {0, 1001}}));
  EXPECT_EQ(ClampToInt32(3e9), 2147483647);
  EXPECT_EQ(ClampToInt32(-3e9), -2147483647);
  EXPECT_EQ(ClampToInt32(2.5), 2);
}

TEST(SegmentClipping, TrivialTestsAndCohenSutherland) {
  const TDeviceRect r{0, 0, 100, 50};
  bool inside, needsClip;
  SegmentTrivialTest(r, 1, 1, 99, 49, inside, needsClip);
  EXPECT_TRUE(inside);
  SegmentTrivialTest(r, -5, -10, -1, 60, inside, needsClip);
  EXPECT_FALSE(inside || needsClip);
  SegmentTrivialTest(r, 50, 25, 150, 25, inside, needsClip);
  EXPECT_TRUE(needsClip);
  int32_t x1, y1, x2, y2;
  bool visible;
  ClipSegmentToRect(r, 50, 25, 150, 25, x1, y1, x2, y2, visible);
  EXPECT_TRUE(visible);
  EXPECT_EQ(x1, 100);  // the outside end comes first
  EXPECT_EQ(x2, 50);
  // Crossing the corner region without entering.
  ClipSegmentToRect(r, 90, -20, 130, 20, x1, y1, x2, y2, visible);
  EXPECT_FALSE(visible);
  std::uint8_t code;
  ComputeOutcode(r, -1, 60, code);
  EXPECT_EQ(code, geometry::kOutLeft | geometry::kOutBelow);
}
