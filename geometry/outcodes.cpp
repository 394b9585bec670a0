#include "geometry/outcodes.h"

#include <utility>

#include "geometry/checked_int.h"

using namespace geometry;

void ComputeOutcode(const TDeviceRect& rect, std::int32_t x, std::int32_t y, std::uint8_t& code) {
  code = 0;
  if (x < rect.Left) code = kOutLeft;
  else if (x > rect.Right) code = kOutRight;
  if (y > rect.Bottom) code |= kOutBelow;
  else if (y < rect.Top) code |= kOutAbove;
}

void SegmentTrivialTest(const TDeviceRect& rect, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                        std::int32_t y2, bool& inside, bool& needsClip) {
  std::uint8_t c1, c2;
  ComputeOutcode(rect, x1, y1, c1);
  ComputeOutcode(rect, x2, y2, c2);
  inside = c1 == 0 && c2 == 0;
  needsClip = !inside && (c1 & c2) == 0;
}

void ClipSegmentToRect(const TDeviceRect& rect, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                       std::int32_t y2, std::int32_t& cx1, std::int32_t& cy1, std::int32_t& cx2,
                       std::int32_t& cy2, bool& visible) {
  double X1 = x1, Y1 = y1, X2 = x2, Y2 = y2;
  visible = false;
  // Every step moves an outside end onto an edge line and clears its flag,
  // so the loop ends after a handful of rounds.
  for (int round = 0; round < 16; ++round) {
    std::uint8_t c1, c2;
    ComputeOutcode(rect, RoundToInt32(X1), RoundToInt32(Y1), c1);
    ComputeOutcode(rect, RoundToInt32(X2), RoundToInt32(Y2), c2);
    if (c1 == 0 && c2 == 0) {
      visible = true;
      break;
    }
    if ((c1 & c2) != 0) break;
    if (c1 == 0) {
      std::swap(X1, X2);
      std::swap(Y1, Y2);
      std::swap(c1, c2);
    }
    if (X2 == X1) {
      if (c1 & kOutBelow) Y1 = rect.Bottom;
      else if (c1 & kOutAbove) Y1 = rect.Top;
    } else {
      const double m = (Y2 - Y1) / (X2 - X1);
      if (c1 & kOutLeft) {
        Y1 = (rect.Left - X1) * m + Y1;
        X1 = rect.Left;
      } else if (c1 & kOutRight) {
        Y1 = (rect.Right - X1) * m + Y1;
        X1 = rect.Right;
      } else if (c1 & kOutBelow) {
        X1 = (rect.Bottom - Y1) / m + X1;
        Y1 = rect.Bottom;
      } else if (c1 & kOutAbove) {
        X1 = (rect.Top - Y1) / m + X1;
        Y1 = rect.Top;
      }
    }
  }
  cx1 = RoundToInt32(X1);
  cy1 = RoundToInt32(Y1);
  cx2 = RoundToInt32(X2);
  cy2 = RoundToInt32(Y2);
}
