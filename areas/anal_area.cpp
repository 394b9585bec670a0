#include "areas/anal_area.h"

#include <vector>

ZELTO_IMPLEMENT_ELEMENT(TAnalArea, TPlosnaZnacka, ZELTO_NO_PROPERTIES)

bool TAnalArea::WidestSpanMiddle(std::span<const TDevicePoint> points,
                                 std::span<const std::int32_t> ringCounts, TDevicePoint& middle) {
  EdgeTable.Build(points, ringCounts, false);
  if (EdgeTable.Empty()) return false;
  const std::int32_t high = EdgeTable.HighRow(), low = EdgeTable.MinRow();
  const std::int32_t row = low + (high - low) / 2;
  // One pass to the middle row instead of stepping every row down to it:
  // the positions are the same integers, and the cost stays linear.
  std::vector<std::int64_t> xs;
  EdgeTable.CrossingsAtRow(row, xs);
  bool found = false;
  std::int64_t bestIn = 0, bestWidth = -1;
  for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
    const std::int64_t in = xs[i] / 1000, out = xs[i + 1] / 1000;
    if (out - in > bestWidth) {
      bestWidth = out - in;
      bestIn = in;
      found = true;
    }
  }
  EdgeTable = TEdgeTable();
  if (!found) return false;
  middle = {static_cast<std::int32_t>(bestIn + bestWidth / 2), row};
  return true;
}
