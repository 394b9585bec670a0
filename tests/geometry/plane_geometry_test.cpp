#include "geometry/plane_geometry.h"

#include <gtest/gtest.h>

#include <numbers>

using geometry::PointD;
constexpr double kPi = std::numbers::pi;

TEST(DirectionAngle, LiesInHalfOpenTurnWithPlusXAtTwoPi) {
  EXPECT_EQ(DirectionAngle(1, 0), 6.283185307179586);
  EXPECT_EQ(DirectionAngle(0, 0), 6.283185307179586);
  EXPECT_DOUBLE_EQ(DirectionAngle(0, 1), kPi / 2);
  EXPECT_DOUBLE_EQ(DirectionAngle(-1, 0), kPi);
  EXPECT_DOUBLE_EQ(DirectionAngle(0, -1), 3 * kPi / 2);
  EXPECT_DOUBLE_EQ(DirectionAngle(-1, -1), 5 * kPi / 4);
  // Just below +x stays just below 2*pi and never wraps to 0.
  const double a = DirectionAngle(1, -1e-12);
  EXPECT_GT(a, 6.28);
  EXPECT_LE(a, 6.283185307179586);
}

TEST(AngleRoutines, HoldSixByteRealPrecision) {
  EXPECT_NEAR(NormalizeAngle(-kPi / 2), 3 * kPi / 2, 1e-11);
  EXPECT_NEAR(NormalizeAngle(7 * kPi), kPi, 1e-10);
  EXPECT_NEAR(DegToRad(-90), 3 * kPi / 2, 1e-11);
  EXPECT_EQ(ArcCos(1.5), 0.0);
  EXPECT_NEAR(ArcCos(-3), kPi, 1e-11);
  EXPECT_NEAR(ArcCos(0.5), kPi / 3, 1e-11);
}

TEST(SideAndVertexAngle, RightSideAndDegenerateLegs) {
  EXPECT_TRUE(IsPointRightOfLine({0, 0}, {1, 0}, {0.5, -1}));
  EXPECT_FALSE(IsPointRightOfLine({0, 0}, {1, 0}, {0.5, 1}));
  EXPECT_TRUE(IsPointRightOfLine({0, 0}, {0, 0}, {0, -1}));  // a = b: "below a"
  EXPECT_EQ(VertexAngle({1e-11, 0}, {0, 0}, {1, 1}), 0.0);
  EXPECT_NEAR(VertexAngle({-1, 0}, {0, 0}, {1, 0}), kPi, 1e-11);
  EXPECT_NEAR(VertexAngle({1, 0}, {0, 0}, {0, 5}), kPi / 2, 1e-11);
}

TEST(PolarAndAlongSegment, EdgeCases) {
  PointD p{9, 9};
  PolarPoint({1, 2}, p, 1.0, -5);
  EXPECT_EQ(p.X, 1);
  EXPECT_EQ(p.Y, 2);
  PolarPoint({1, 2}, p, kPi / 2, 3);
  EXPECT_NEAR(p.X, 1, 1e-12);
  EXPECT_NEAR(p.Y, 5, 1e-12);

  double x, y;
  PointAlongSegment(x, y, 0, 0, 10, 0, 12, 0);
  EXPECT_EQ(x, 10);
  PointAlongSegment(x, y, 3, 3, 3, 3, 1, 0);
  EXPECT_EQ(x, 3);
  PointAlongSegment(x, y, 0, 0, 10, 0, -2, 0);
  EXPECT_EQ(x, -2);
  // Grid step rounds half to even: 0.25 / 0.5 = 0.5 -> 0, 0.75 / 0.5 = 1.5 -> 2.
  PointAlongSegment(x, y, 0, 0, 10, 0, 0.25, 0.5);
  EXPECT_EQ(x, 0.0);
  PointAlongSegment(x, y, 0, 0, 10, 0, 0.75, 0.5);
  EXPECT_EQ(x, 1.0);
}

TEST(IntersectSegments, FlatSlopedAndMissing) {
  double x, y;
  bool noPoint, on1, on2;
  IntersectSegments(x, y, noPoint, 0, 0, 10, 0, 0, 5, 10, 5, on1, on2);
  EXPECT_TRUE(noPoint);
  EXPECT_FALSE(on1 || on2);
  IntersectSegments(x, y, noPoint, 0, 0, 10, 0, 4, -3, 4, 3, on1, on2);
  EXPECT_FALSE(noPoint);
  EXPECT_NEAR(x, 4, 1e-12);
  EXPECT_NEAR(y, 0, 1e-12);
  EXPECT_TRUE(on1 && on2);
  IntersectSegments(x, y, noPoint, 0, 0, 10, 10, 20, 0, 20, 5, on1, on2);
  EXPECT_FALSE(noPoint);
  EXPECT_NEAR(x, 20, 1e-9);
  EXPECT_FALSE(on1);
  EXPECT_FALSE(on2);
  IntersectSegmentsPrecise(x, y, noPoint, 0, 0, 2, 2, 0, 2, 2, 0, on1, on2);
  EXPECT_NEAR(x, 1, 1e-12);
  EXPECT_NEAR(y, 1, 1e-12);
  EXPECT_TRUE(on1 && on2);
  IntersectSegments(x, y, noPoint, 0, 0, 1, 1, 2, 2, 3, 3, on1, on2);
  EXPECT_TRUE(noPoint);  // collinear
}

TEST(BoxesAndFeet, Tolerances) {
  EXPECT_TRUE(PointInSegmentBox(10.00005, 5, 0, 0, 10, 10));
  EXPECT_FALSE(PointInSegmentBox(10.0001, 5, 0, 0, 10, 10));
  EXPECT_TRUE(SegmentBoxesOverlap(0, 0, 1, 1, 1.05, 0, 2, 1, 0.1));
  EXPECT_FALSE(SegmentBoxesOverlap(1, 1, 0, 0, 2, 1, 1.2, 0, 0.1));
  double fx, fy;
  PerpendicularFoot(fx, fy, 3, 0, 3, 10, 7, 4);
  EXPECT_EQ(fx, 3);
  EXPECT_EQ(fy, 4);
  bool on;
  double d;
  PointToSegment(on, fx, fy, 0, 2, 0, 0, 2, 2, d);
  EXPECT_TRUE(on);
  EXPECT_NEAR(fx, 1, 1e-12);
  EXPECT_NEAR(d, std::sqrt(2.0), 1e-12);
  PointToSegment(on, fx, fy, 5, 7, 0, 0, 2, 2, d);
  EXPECT_FALSE(on);
  EXPECT_NEAR(d, std::sqrt(2.0), 1e-12);
  EXPECT_TRUE(PointsNear(0, 0, 0.6, 0.8, 1.0));
  EXPECT_FALSE(PointsNear(0, 0, 0.8, 0.8, 1.0));
}
