#include "geometry/ring_crossings.h"

#include <algorithm>
#include <cmath>

using geometry::kNoCrossing;
using geometry::PointD;

void PolygonCrossingsAroundPoint(std::span<const PointD> ring, double& left, double& right,
                                 double px, double py, std::int32_t& count) {
  left = right = kNoCrossing;
  count = 0;
  const std::size_t n = ring.size();
  if (n < 3) return;
  PointD prev = ring[n - 1];
  for (std::size_t i = 0; i < n; prev = ring[i], ++i) {
    const PointD cur = ring[i];
    if ((prev.Y > py && cur.Y > py) || (prev.Y < py && cur.Y < py)) continue;
    double x, y;
    bool noPoint, onRay, onEdge;
    IntersectSegmentsPrecise(x, y, noPoint, px, py, kNoCrossing, py, prev.X, prev.Y, cur.X, cur.Y,
                             onRay, onEdge);
    if (onRay && onEdge) {
      ++count;
      if (std::fabs(px - x) < std::fabs(px - right)) right = x;
      continue;
    }
    IntersectSegmentsPrecise(x, y, noPoint, px, py, -kNoCrossing, py, prev.X, prev.Y, cur.X,
                             cur.Y, onRay, onEdge);
    if (onRay && onEdge) {
      ++count;
      if (std::fabs(px - x) < std::fabs(px - left)) left = x;
    }
  }
}

namespace {

class NearestTwo {
 public:
  explicit NearestTwo(double px) : px_(px) {}
  void offer(double x) {
    const double d = std::fabs(px_ - x);
    if (d < std::fabs(px_ - nearest)) {
      second = nearest;
      nearest = x;
    } else if (d < std::fabs(px_ - second)) {
      second = x;
    }
  }
  double nearest = kNoCrossing;
  double second = kNoCrossing;

 private:
  double px_;
};

// The walk starts at a vertex off the ray's line, so that every run of
// vertices on the line is entered and left within the walk, and the run state
// is kept on every edge, also on edges that lie left of the point: a stale
// state would decide a later run from the wrong side.
std::int32_t countRayCrossings(std::span<const PointD> ring, double px, double py,
                               NearestTwo* nearest) {
  const std::size_t n = ring.size();
  if (n < 3) return 0;
  std::size_t start = 0;
  while (start < n && ring[start].Y == py) ++start;
  if (start == n) return 0;  // a ring lying wholly on the line encloses nothing

  std::int32_t count = 0;
  bool onLine = false;
  bool cameFromAbove = false;
  PointD prev = ring[start];
  for (std::size_t k = 1; k <= n; ++k) {
    const PointD cur = ring[(start + k) % n];
    if (cur.Y == py) {
      if (!onLine) {
        cameFromAbove = prev.Y > py;
        onLine = true;
      }
    } else if (onLine) {
      onLine = false;
      // The run leaves the line at prev; it is a crossing when the ring goes
      // on to the other side.
      const bool passes = cameFromAbove ? cur.Y < py : cur.Y > py;
      if (passes && prev.X >= px) {
        ++count;
        if (nearest) nearest->offer(prev.X);
      }
    } else if ((prev.Y < py) != (cur.Y < py)) {
      const double lo = std::min(prev.X, cur.X), hi = std::max(prev.X, cur.X);
      if (hi >= px) {
        double x = prev.X + (py - prev.Y) * (cur.X - prev.X) / (cur.Y - prev.Y);
        x = std::clamp(x, lo, hi);
        if (x >= px) {
          ++count;
          if (nearest) nearest->offer(x);
        }
      }
    }
    prev = cur;
  }
  return count;
}

}  // namespace

void PolygonCrossingsNearPoint(std::span<const PointD> ring, double& nearest, double& second,
                               double px, double py, std::int32_t& count) {
  NearestTwo two(px);
  count = countRayCrossings(ring, px, py, &two);
  nearest = two.nearest;
  second = two.second;
}

bool PointInRing(std::span<const PointD> ring, PointD point) {
  return countRayCrossings(ring, point.X, point.Y, nullptr) % 2 != 0;
}
