#include "geometry/plane_geometry.h"

#include <utility>

#include "platform/real48.h"

using geometry::PointD;
using geometry::kHalfPiExt;
using geometry::kPiExt;
using geometry::kTwoPiExt;

namespace {

double r48(long double v) { return platform::roundReal48(static_cast<double>(v)); }

// Shared body of both meeting-point routines; only the holding of the slope
// difference differs.
void intersectSlope(double& x, double& y, bool& noPoint, double k1, double q1, double k2,
                    double q2, bool roundDifference) {
  long double t = static_cast<long double>(k1) - k2;
  if (roundDifference) t = r48(t);
  else t = static_cast<double>(t);
  if (std::fabs(t) > 1e17L) {
    noPoint = true;
    x = y = 0.0;
    return;
  }
  const long double cross = static_cast<long double>(k1) * q2 - static_cast<long double>(k2) * q1;
  const long double tBig = std::fabs(t * 1e20L);
  if (tBig <= std::fabs(static_cast<long double>(q2) - q1) || tBig <= std::fabs(cross)) {
    noPoint = true;
    return;
  }
  x = static_cast<double>(cross / t);
  y = static_cast<double>((static_cast<long double>(q2) - q1) / t);
  noPoint = false;
}

bool within(double v, double a, double b) {
  if (a > b) std::swap(a, b);
  return a <= v && v <= b;
}

void intersectSegments(double& x, double& y, bool& noPoint, double x1, double y1, double x2,
                       double y2, double x3, double y3, double x4, double y4, bool& onFirst,
                       bool& onSecond, bool roundDifference) {
  onFirst = onSecond = false;
  const double ox = x1, oy = y1;
  x1 = 0.0; y1 = 0.0;
  x2 -= ox; y2 -= oy; x3 -= ox; y3 -= oy; x4 -= ox; y4 -= oy;
  const bool sloped1 = std::fabs(y1 - y2) > 1e-20;
  const bool sloped2 = std::fabs(y3 - y4) > 1e-20;
  double k1 = 0, q1 = 0, k2 = 0, q2 = 0;
  if (sloped1) {
    k1 = (x1 - x2) / (y1 - y2);
    q1 = (y1 * x2 - y2 * x1) / (y1 - y2);
  }
  if (sloped2) {
    k2 = (x3 - x4) / (y3 - y4);
    q2 = (y3 * x4 - y4 * x3) / (y3 - y4);
  }
  if (!sloped1 && !sloped2) {
    noPoint = true;
  } else if (!sloped1) {
    y = y1;
    x = k2 * y + q2;
    noPoint = false;
  } else if (!sloped2) {
    y = y3;
    x = k1 * y + q1;
    noPoint = false;
  } else {
    intersectSlope(x, y, noPoint, k1, q1, k2, q2, roundDifference);
  }
  if (noPoint) return;
  onFirst = sloped1 ? within(y, y1, y2) : within(x, x1, x2);
  onSecond = sloped2 ? within(y, y3, y4) : within(x, x3, x4);
  x += ox;
  y += oy;
}

}  // namespace

double DirectionAngle(double dx, double dy) {
  long double a;
  if (dx != 0.0) a = std::atan(static_cast<long double>(dy) / dx);
  else if (dy == 0.0) a = 0.0L;
  else a = (dy > 0 ? 1.0L : -1.0L) * kHalfPiExt;
  if (dx < 0) a += kPiExt;
  else a += kTwoPiExt;
  const double stored = static_cast<double>(a);
  if (stored > kTwoPiExt) return static_cast<double>(stored - kTwoPiExt);
  return stored;
}

double NormalizeAngle(double a) {
  const long double turns = std::trunc(static_cast<long double>(a) / kTwoPiExt);
  double r = r48(a - turns * kTwoPiExt);
  if (r < 0) r = r48(r + kTwoPiExt);
  return r;
}

double DegToRad(double degrees) {
  return NormalizeAngle(r48(static_cast<long double>(degrees) * kPiExt / 180.0L));
}

double ArcCos(double x) {
  if (x >= 1.0) return 0.0;
  if (x <= -1.0) return r48(kPiExt);
  const long double lx = x;
  return r48(kHalfPiExt - std::atan(lx / std::sqrt(1.0L - lx * lx)));
}

bool IsPointRightOfLine(PointD a, PointD b, PointD c) {
  const long double t = DirectionAngle(b.X - a.X, b.Y - a.Y);
  const long double v = std::sin(t) * (static_cast<long double>(a.X) - c.X) -
                        std::cos(t) * (static_cast<long double>(a.Y) - c.Y);
  return v < 0;
}

double VertexAngle(PointD a, PointD v, PointD b) {
  if (std::fabs(a.X - v.X) <= 1e-10 && std::fabs(a.Y - v.Y) <= 1e-10) return 0.0;
  if (std::fabs(b.X - v.X) <= 1e-10 && std::fabs(b.Y - v.Y) <= 1e-10) return 0.0;
  const long double ax = static_cast<long double>(a.X) - v.X, ay = static_cast<long double>(a.Y) - v.Y;
  const long double bx = static_cast<long double>(b.X) - v.X, by = static_cast<long double>(b.Y) - v.Y;
  long double c = ay * by + ax * bx;
  c = c / std::sqrt(ay * ay + ax * ax);
  c = c / std::sqrt(by * by + bx * bx);
  return ArcCos(r48(c));
}

void PolarPoint(PointD origin, PointD& p, double angle, double length) {
  if (!(length >= 1e-20)) {
    p = origin;
    return;
  }
  p.Y = static_cast<double>(std::sin(static_cast<long double>(angle)) * length + origin.Y);
  p.X = static_cast<double>(std::cos(static_cast<long double>(angle)) * length + origin.X);
}

void OrderPair(double& a, double& b) {
  if (a > b) std::swap(a, b);
}

bool SegmentBoxesOverlap(double x1, double y1, double x2, double y2, double x3, double y3,
                         double x4, double y4, double tolerance) {
  OrderPair(y2, y1);
  OrderPair(x2, x1);
  OrderPair(y4, y3);
  OrderPair(x4, x3);
  // After ordering, index 1/3 holds the maximum and 2/4 the minimum.
  if (!(y1 + tolerance >= y4)) return false;
  if (!(y3 + tolerance >= y2)) return false;
  if (!(x1 + tolerance >= x4)) return false;
  if (!(x3 + tolerance >= x2)) return false;
  return true;
}

double Distance(double x1, double y1, double x2, double y2) {
  const long double dx = static_cast<long double>(x2) - x1, dy = static_cast<long double>(y2) - y1;
  return static_cast<double>(std::sqrt(dx * dx + dy * dy));
}

bool PointsNear(double x1, double y1, double x2, double y2, double tolerance) {
  if (std::fabs(x1 - x2) > tolerance || std::fabs(y1 - y2) > tolerance) return false;
  return Distance(x1, y1, x2, y2) <= tolerance;
}

void PointAlongSegment(double& x, double& y, double x1, double y1, double x2, double y2,
                       double distance, double step) {
  const double length = Distance(x1, y1, x2, y2);
  if (length > 0 && distance < length) {
    x = static_cast<double>((static_cast<long double>(x2) - x1) * distance / length + x1);
    y = static_cast<double>((static_cast<long double>(y2) - y1) * distance / length + y1);
  } else {
    x = x2;
    y = y2;
  }
  if (step != 0.0) {
    x = geometry::RoundHalfEven(x / step) * step;
    y = geometry::RoundHalfEven(y / step) * step;
  }
}

void IntersectSlopeLines(double& x, double& y, bool& noPoint, double k1, double q1, double k2,
                         double q2) {
  intersectSlope(x, y, noPoint, k1, q1, k2, q2, true);
}

void IntersectSlopeLinesPrecise(double& x, double& y, bool& noPoint, double k1, double q1,
                                double k2, double q2) {
  intersectSlope(x, y, noPoint, k1, q1, k2, q2, false);
}

void IntersectSegments(double& x, double& y, bool& noPoint, double x1, double y1, double x2,
                       double y2, double x3, double y3, double x4, double y4, bool& onFirst,
                       bool& onSecond) {
  intersectSegments(x, y, noPoint, x1, y1, x2, y2, x3, y3, x4, y4, onFirst, onSecond, true);
}

void IntersectSegmentsPrecise(double& x, double& y, bool& noPoint, double x1, double y1,
                              double x2, double y2, double x3, double y3, double x4, double y4,
                              bool& onFirst, bool& onSecond) {
  intersectSegments(x, y, noPoint, x1, y1, x2, y2, x3, y3, x4, y4, onFirst, onSecond, false);
}

bool PointInSegmentBox(double px, double py, double x1, double y1, double x2, double y2) {
  OrderPair(x1, x2);
  OrderPair(y1, y2);
  return x1 - 0.0001 < px && px < x2 + 0.0001 && y1 - 0.0001 < py && py < y2 + 0.0001;
}

void PerpendicularFoot(double& fx, double& fy, double x1, double y1, double x2, double y2,
                       double px, double py) {
  if (std::fabs(x2 - x1) < 1e-9) {
    fx = x1;
    fy = py;
  } else if (std::fabs(y2 - y1) < 1e-9) {
    fx = px;
    fy = y1;
  } else {
    const long double m = (static_cast<long double>(y2) - y1) / (static_cast<long double>(x2) - x1);
    const long double n = -1.0L / m;
    fx = static_cast<double>(((static_cast<long double>(y1) - py) + n * px - m * x1) / (n - m));
    fy = static_cast<double>(((static_cast<long double>(x1) - px) - m * py + n * y1) / (n - m));
  }
}

void PointToSegment(bool& onSegment, double& fx, double& fy, double px, double py, double x1,
                    double y1, double x2, double y2, double& distance) {
  PerpendicularFoot(fx, fy, x1, y1, x2, y2, px, py);
  onSegment = PointInSegmentBox(fx, fy, x1, y1, x2, y2);
  distance = Distance(px, py, fx, fy);
}

bool PointsEqual(double x1, double y1, double x2, double y2) { return x1 == x2 && y1 == y2; }
