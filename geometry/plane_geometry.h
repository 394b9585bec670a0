#pragma once
// Plane geometry on doubles shared by the spatial model, the nodes, the
// segments and the renderers. World coordinates: x to the right, y upwards;
// angles in radians counter-clockwise from +x.
#include <cmath>

namespace geometry {

struct PointD {
  double X = 0.0;
  double Y = 0.0;
};

inline constexpr long double kPiExt = 3.14159265358979323846264338327950288L;
inline constexpr long double kTwoPiExt = 2.0L * kPiExt;
inline constexpr long double kHalfPiExt = kPiExt / 2.0L;

// Round to the nearest integer, ties to even (the runtime's rounding).
inline double RoundHalfEven(double v) { return std::nearbyint(v); }

}  // namespace geometry

// Direction of (dx, dy) in (0, 2*pi]: +x and the zero vector give 2*pi, so a
// branch leaving along +x sorts last among the branches of a node.
double DirectionAngle(double dx, double dy);

// These three hold their values in the 6-byte real of the block files.
double NormalizeAngle(double a);
double DegToRad(double degrees);
double ArcCos(double x);

bool IsPointRightOfLine(geometry::PointD a, geometry::PointD b, geometry::PointD c);
double VertexAngle(geometry::PointD a, geometry::PointD v, geometry::PointD b);
void PolarPoint(geometry::PointD origin, geometry::PointD& p, double angle, double length);
void OrderPair(double& a, double& b);
bool SegmentBoxesOverlap(double x1, double y1, double x2, double y2, double x3, double y3,
                         double x4, double y4, double tolerance);
double Distance(double x1, double y1, double x2, double y2);
bool PointsNear(double x1, double y1, double x2, double y2, double tolerance);
void PointAlongSegment(double& x, double& y, double x1, double y1, double x2, double y2,
                       double distance, double step);

// Lines x = k*y + q. The plain forms hold the slope difference in the 6-byte
// real (the line joiners depend on that coarseness), the Precise forms in a
// double.
void IntersectSlopeLines(double& x, double& y, bool& noPoint, double k1, double q1, double k2,
                         double q2);
void IntersectSegments(double& x, double& y, bool& noPoint, double x1, double y1, double x2,
                       double y2, double x3, double y3, double x4, double y4, bool& onFirst,
                       bool& onSecond);
void IntersectSlopeLinesPrecise(double& x, double& y, bool& noPoint, double k1, double q1,
                                double k2, double q2);
void IntersectSegmentsPrecise(double& x, double& y, bool& noPoint, double x1, double y1,
                              double x2, double y2, double x3, double y3, double x4, double y4,
                              bool& onFirst, bool& onSecond);

bool PointInSegmentBox(double px, double py, double x1, double y1, double x2, double y2);
void PerpendicularFoot(double& fx, double& fy, double x1, double y1, double x2, double y2,
                       double px, double py);
void PointToSegment(bool& onSegment, double& fx, double& fy, double px, double py, double x1,
                    double y1, double x2, double y2, double& distance);
bool PointsEqual(double x1, double y1, double x2, double y2);
