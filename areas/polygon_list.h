#pragma once
// The rings of one area in device pixels, as the label-point placer's raster
// sees them: the outer ring first, then each hole.
#include <cstdint>
#include <vector>

#include "framework/entity.h"
#include "geometry/device_types.h"

class TIntegerPolygon : public TElement {
  ZELTO_ELEMENT(TIntegerPolygon)
 public:
  std::vector<TDevicePoint> Points;
  std::int32_t GetPointCount() const { return static_cast<std::int32_t>(Points.size()); }
};

class TPolygonList : public TEntity {
  ZELTO_ELEMENT(TPolygonList)
 public:
  // Takes the ring; an empty ring is not kept.
  void AddRing(std::vector<TDevicePoint> points);
  // All rings one after another, with the size of each.
  void Flatten(std::vector<TDevicePoint>& points, std::vector<std::int32_t>& counts) const;
};
