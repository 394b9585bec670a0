#pragma once
// World coordinates are the stored S-JTSK values with both signs changed, so
// a box stored as (smallest X, smallest Y, largest X, largest Y) is the world
// rectangle with its corners swapped.

#include <cmath>

namespace gisblock {

// How far apart two stored values may lie and still be one: boxes and
// vertices are rounded to 6-byte reals each on its own, from the same
// values when this system writes them; a millimetre more for writers that
// round otherwise.
inline double RoundingSlack(double value) { return 1e-3 + std::fabs(value) * 1e-9; }

struct WorldRect {
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  bool operator==(const WorldRect&) const = default;
};

struct StoredBox {
  double minX = 0, minY = 0, maxX = 0, maxY = 0;  // smallest and largest stored values
  bool operator==(const StoredBox&) const = default;

  WorldRect toWorld() const { return {-maxX, -maxY, -minX, -minY}; }
  // Whether `inner` lies within this box, up to the rounding of the values.
  bool encloses(const StoredBox& inner) const {
    return inner.minX >= minX - RoundingSlack(minX) && inner.minY >= minY - RoundingSlack(minY) &&
           inner.maxX <= maxX + RoundingSlack(maxX) && inner.maxY <= maxY + RoundingSlack(maxY);
  }
  static StoredBox fromWorld(const WorldRect& w) { return {-w.maxX, -w.maxY, -w.minX, -w.minY}; }
};

}  // namespace gisblock
