#include "geometry/ring_crossings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using geometry::PointD;
using Ring = std::vector<PointD>;

namespace {

// Plain even-odd test, valid for points off the ring: a vertex on the ray's
// line counts as lying above it.
bool referenceInside(const Ring& ring, PointD p, int* crossings = nullptr) {
  int count = 0;
  const std::size_t n = ring.size();
  for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
    const PointD a = ring[j], b = ring[i];
    if ((a.Y >= p.Y) == (b.Y >= p.Y)) continue;
    const double x = a.X + (p.Y - a.Y) * (b.X - a.X) / (b.Y - a.Y);
    if (x > p.X) ++count;
  }
  if (crossings) *crossings = count;
  return count % 2 == 1;
}

bool onBoundary(const Ring& ring, PointD p) {
  const std::size_t n = ring.size();
  for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
    const PointD a = ring[j], b = ring[i];
    const double cross = (b.X - a.X) * (p.Y - a.Y) - (b.Y - a.Y) * (p.X - a.X);
    if (cross == 0 && std::min(a.X, b.X) <= p.X && p.X <= std::max(a.X, b.X) &&
        std::min(a.Y, b.Y) <= p.Y && p.Y <= std::max(a.Y, b.Y))
      return true;
  }
  return false;
}

const Ring kSquare{{0, 0}, {10, 0}, {10, 10}, {0, 10}};

}  // namespace

TEST(PointInRing, SquareAndTouchingVertices) {
  EXPECT_TRUE(PointInRing(kSquare, {5, 5}));
  EXPECT_FALSE(PointInRing(kSquare, {-5, 5}));
  EXPECT_FALSE(PointInRing(kSquare, {15, 5}));
  // A spike down to the ray's line touches it without crossing.
  const Ring spike{{0, 0}, {10, 0}, {10, 10}, {8, 5}, {6, 10}, {0, 10}};
  int32_t count;
  double a, b;
  PolygonCrossingsNearPoint(spike, a, b, 2, 5, count);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(a, 10);
  // A horizontal edge on the ray's line that the ring passes through counts once.
  const Ring step{{0, 0}, {10, 0}, {10, 5}, {7, 5}, {4, 5}, {4, 10}, {0, 10}};
  PolygonCrossingsNearPoint(step, a, b, 2, 5, count);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(a, 4);
  EXPECT_TRUE(PointInRing(step, {2, 5}));
}

TEST(PointInRing, FirstVertexBelowThePointAndStaleRunState) {
  // Vertex 0 straight below the point used to open a phantom run.
  EXPECT_FALSE(PointInRing(Ring{{5, 0}, {6, 0}, {0, 10}, {-1, 10}, {-1, 0}}, {5, 5}));
  // A vertex on the line left of the point used to leave a run open.
  EXPECT_TRUE(PointInRing(
      Ring{{0, 4}, {-10, 1}, {-7, -1}, {-1, -3}, {3, -9}, {5, -1}, {5, 0}, {2, 6}}, {-1.5, 1}));
}

TEST(PolygonCrossingsNearPoint, NearestTwoAndDegenerateRings) {
  const Ring comb{{0, 0}, {10, 0}, {10, 10}, {7, 10}, {7, 2}, {4, 2}, {4, 10}, {0, 10}};
  int32_t count;
  double nearest, second;
  PolygonCrossingsNearPoint(comb, nearest, second, 1, 5, count);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(nearest, 4);
  EXPECT_EQ(second, 7);
  PolygonCrossingsNearPoint(Ring{{0, 0}, {1, 1}}, nearest, second, 0, 0.5, count);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(nearest, geometry::kNoCrossing);
  PolygonCrossingsNearPoint(Ring{{0, 5}, {3, 5}, {9, 5}}, nearest, second, 1, 5, count);
  EXPECT_EQ(count, 0);
}

TEST(PointInRing, AgreesWithPlainEvenOddOnRandomRings) {
  std::mt19937 rng(20261206);
  std::uniform_int_distribution<int> coord(-6, 6), size(3, 12);
  int compared = 0;
  for (int iter = 0; iter < 20000; ++iter) {
    Ring ring(size(rng));
    for (PointD& v : ring) v = {double(coord(rng)), double(coord(rng))};
    // Half-integer x and integer y put many vertices and edges on the ray's line.
    const PointD p{coord(rng) + 0.5, double(coord(rng))};
    if (onBoundary(ring, p)) continue;
    int expected;
    const bool inside = referenceInside(ring, p, &expected);
    int32_t count;
    double nearest, second;
    PolygonCrossingsNearPoint(ring, nearest, second, p.X, p.Y, count);
    ASSERT_EQ(PointInRing(ring, p), inside) << "iteration " << iter;
    ASSERT_EQ(count % 2, expected % 2) << "iteration " << iter;
    // Touching vertices count differently in the two methods; without
    // vertices on the ray's line the counts must agree.
    const bool touches =
        std::any_of(ring.begin(), ring.end(), [&](PointD v) { return v.Y == p.Y; });
    if (!touches) {
      ASSERT_EQ(count, expected) << "iteration " << iter;
    }
    ++compared;
  }
  EXPECT_GT(compared, 10000);
}

TEST(PolygonCrossingsAroundPoint, NearestEdgesOnEachSide) {
  int32_t count;
  double left, right;
  PolygonCrossingsAroundPoint(kSquare, left, right, 3, 5, count);
  EXPECT_EQ(count, 2);
  EXPECT_NEAR(left, 0, 1e-9);
  EXPECT_NEAR(right, 10, 1e-9);
  PolygonCrossingsAroundPoint(kSquare, left, right, 15, 5, count);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(right, geometry::kNoCrossing);
  EXPECT_NEAR(left, 10, 1e-9);
}

#include "geometry/coord_geometry.h"

TEST(PointInRing, WalksTheCoordinateItemsOfAnEntity) {
  TEntity ring;
  for (auto [x, y] : {std::pair{0.0, 0.0}, {10.0, 0.0}, {10.0, 10.0}, {0.0, 10.0}})
    ring.Add(new T2DCoordinate(x, y));
  ring.Add(new TEntity);  // not a vertex: skipped
  EXPECT_TRUE(PointInRing(ring, T2DCoordinate(5, 5)));
  EXPECT_FALSE(PointInRing(ring, T2DCoordinate(-5, 5)));
}
