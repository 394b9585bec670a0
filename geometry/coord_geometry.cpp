#include "geometry/coord_geometry.h"

#include "geometry/ring_crossings.h"

using geometry::PointD;

namespace {
PointD pt(const T2DCoordinate& c) { return {c.X, c.Y}; }
}  // namespace

bool IsCoordRightOfLine(const T2DCoordinate& a, const T2DCoordinate& b, const T2DCoordinate& c) {
  return IsPointRightOfLine(pt(a), pt(b), pt(c));
}

double CoordVertexAngle(const T2DCoordinate& a, const T2DCoordinate& v, const T2DCoordinate& b) {
  return VertexAngle(pt(a), pt(v), pt(b));
}

bool CoordSegmentBoxesOverlap(const T2DCoordinate& a, const T2DCoordinate& b, PointD c, PointD d,
                              double tolerance) {
  return SegmentBoxesOverlap(a.X, a.Y, b.X, b.Y, c.X, c.Y, d.X, d.Y, tolerance);
}

std::vector<PointD> geometry::RingOf(const TEntity& ring) {
  std::vector<PointD> points;
  points.reserve(static_cast<std::size_t>(ring.GetCount()));
  for (const TElement* e : ring.Items())
    if (e && e->Is<T2DCoordinate>()) points.push_back(pt(*static_cast<const T2DCoordinate*>(e)));
  return points;
}

void PolygonCrossingsAroundPoint(const TEntity& ring, double& left, double& right, double px,
                                 double py, std::int32_t& count) {
  PolygonCrossingsAroundPoint(geometry::RingOf(ring), left, right, px, py, count);
}

void PolygonCrossingsNearPoint(const TEntity& ring, double& nearest, double& second, double px,
                               double py, std::int32_t& count) {
  PolygonCrossingsNearPoint(geometry::RingOf(ring), nearest, second, px, py, count);
}

bool PointInRing(const TEntity& ring, const T2DCoordinate& point) {
  return PointInRing(geometry::RingOf(ring), pt(point));
}
