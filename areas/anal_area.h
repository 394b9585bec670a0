#pragma once
// The scan-line engine of the area symbols put to the label-point search:
// the widest inside span on the middle row of an area's pixel rings.
#include <cstdint>
#include <span>

#include "render/area_symbol.h"

class TAnalArea : public TPlosnaZnacka {
  ZELTO_ELEMENT(TAnalArea)
 public:
  // The middle of the widest span on the row halfway between the rings'
  // highest and lowest rows (the leftmost of equally wide spans); false when
  // that row has no span.
  bool WidestSpanMiddle(std::span<const TDevicePoint> points,
                        std::span<const std::int32_t> ringCounts, TDevicePoint& middle);
};
