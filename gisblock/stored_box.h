#pragma once
// World coordinates are the stored S-JTSK values with both signs changed, so
// a box stored as (smallest X, smallest Y, largest X, largest Y) is the world
// rectangle with its corners swapped.

namespace gisblock {

struct WorldRect {
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  bool operator==(const WorldRect&) const = default;
};

struct StoredBox {
  double minX = 0, minY = 0, maxX = 0, maxY = 0;  // smallest and largest stored values
  bool operator==(const StoredBox&) const = default;

  WorldRect toWorld() const { return {-maxX, -maxY, -minX, -minY}; }
  static StoredBox fromWorld(const WorldRect& w) { return {-w.maxX, -w.maxY, -w.minX, -w.minY}; }
};

}  // namespace gisblock
