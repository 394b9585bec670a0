#pragma once
// The plane and ring routines on coordinate objects and on entities whose
// items are coordinates (an area's vertex children).
#include <cstdint>
#include <vector>

#include "framework/coordinate.h"
#include "framework/rect_entity.h"
#include "geometry/plane_geometry.h"

bool IsCoordRightOfLine(const T2DCoordinate& a, const T2DCoordinate& b, const T2DCoordinate& c);
double CoordVertexAngle(const T2DCoordinate& a, const T2DCoordinate& v, const T2DCoordinate& b);
bool CoordSegmentBoxesOverlap(const T2DCoordinate& a, const T2DCoordinate& b, geometry::PointD c,
                              geometry::PointD d, double tolerance);

namespace geometry {
// The coordinate items of an entity, in order; other items are skipped.
std::vector<PointD> RingOf(const TEntity& ring);
}  // namespace geometry

void PolygonCrossingsAroundPoint(const TEntity& ring, double& left, double& right, double px,
                                 double py, std::int32_t& count);
void PolygonCrossingsNearPoint(const TEntity& ring, double& nearest, double& second, double px,
                               double py, std::int32_t& count);
bool PointInRing(const TEntity& ring, const T2DCoordinate& point);
