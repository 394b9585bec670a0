#pragma once
// Crossings of a horizontal ray with a ring of vertices: the point-in-area
// test of area elements and the label-point placement use them. A ring's
// edges are (0,1), (1,2), ..., (n-2,n-1) and the closing edge (n-1,0), whether
// or not the last vertex repeats the first; fewer than 3 vertices make no
// edges.
#include <cstdint>
#include <span>

#include "geometry/plane_geometry.h"

namespace geometry {
// Marks a crossing not found on that side.
inline constexpr double kNoCrossing = 1e20;
}  // namespace geometry

// Crossings of the ray towards +x (right) and, for edges that miss it, of the
// ray towards -x (left), with the nearest crossing x on either side.
void PolygonCrossingsAroundPoint(std::span<const geometry::PointD> ring, double& left,
                                 double& right, double px, double py, std::int32_t& count);

// Crossings of the ray towards +x only, a run of vertices lying on the ray's
// line counting once and only where the ring passes through the line; with
// the two crossing x values nearest to px. For a point off the ring the count
// is odd exactly when the point lies inside.
void PolygonCrossingsNearPoint(std::span<const geometry::PointD> ring, double& nearest,
                               double& second, double px, double py, std::int32_t& count);

bool PointInRing(std::span<const geometry::PointD> ring, geometry::PointD point);
