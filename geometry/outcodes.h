#pragma once
// Cohen-Sutherland clipping of device segments against a device rectangle;
// the drawing devices clip every line to their page's inner rectangle.
#include <cstdint>

#include "geometry/device_types.h"

namespace geometry {
enum OutcodeFlag : std::uint8_t {
  kOutLeft = 1,   // x < left
  kOutRight = 2,  // x > right
  kOutBelow = 4,  // y > bottom
  kOutAbove = 8,  // y < top
};
}  // namespace geometry

void ComputeOutcode(const TDeviceRect& rect, std::int32_t x, std::int32_t y, std::uint8_t& code);
// Both false: the segment lies wholly beyond one edge.
void SegmentTrivialTest(const TDeviceRect& rect, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                        std::int32_t y2, bool& inside, bool& needsClip);
// The returned ends may come back exchanged.
void ClipSegmentToRect(const TDeviceRect& rect, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                       std::int32_t y2, std::int32_t& cx1, std::int32_t& cy1, std::int32_t& cx2,
                       std::int32_t& cy2, bool& visible);
