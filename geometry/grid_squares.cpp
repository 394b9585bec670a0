#include "geometry/grid_squares.h"

#include <cmath>
#include <stdexcept>

#include "geometry/checked_int.h"
#include "geometry/plane_geometry.h"

using namespace geometry;

std::int32_t FloorInt(double x) {
  const std::int32_t t = TruncToInt32(x);
  return x < 0 ? CheckedSub(t, 1) : t;
}

std::int32_t CeilInt(double x) {
  const std::int32_t t = TruncToInt32(x);
  return x > 0 ? CheckedAdd(t, 1) : t;
}

std::int32_t PowerOfTwoAbove(std::int32_t n) {
  int k = 0;
  while (n > 0) {
    n >>= 1;
    ++k;
  }
  if (k >= 31) throw std::overflow_error("přetečení celého čísla");
  return std::int32_t{1} << k;
}

std::int32_t PowerOfTwoSpan(double w) { return PowerOfTwoAbove(CeilInt(w)); }

std::int32_t SnapDownToGrid(std::int32_t step, double x) {
  if (step < 1) throw std::invalid_argument("SnapDownToGrid: step < 1");
  if (x > 0) return CheckedMul(TruncToInt32(x) / step, step);
  return CheckedMul(CheckedSub(FloorInt(x) / step, 1), step);
}

void GridSpan(std::int32_t& origin, std::int32_t& size, double a, double b) {
  size = PowerOfTwoSpan(std::fabs(b - a));
  origin = SnapDownToGrid(size, a);
  if (static_cast<double>(origin) + size < b) size = CheckedMul(size, 2);
}

void GridSquare(std::int32_t& originX, std::int32_t& originY, std::int32_t& size, double x1,
                double y1, double x2, double y2) {
  OrderPair(x1, x2);
  OrderPair(y1, y2);
  std::int32_t sizeX, sizeY;
  GridSpan(originX, sizeX, x1, x2);
  GridSpan(originY, sizeY, y1, y2);
  size = sizeX >= sizeY ? sizeX : sizeY;
}

void GrowGridInterval(std::int32_t origin, std::int32_t step, std::int32_t& newOrigin, double lo,
                      double hi, std::int32_t& newSize) {
  if (step < 1) throw std::invalid_argument("GrowGridInterval: step < 1");
  newOrigin = origin;
  newSize = step;
  const double end = static_cast<double>(origin) + step;
  if (origin <= lo && end >= hi) return;
  if (origin > lo) {
    const std::int32_t below = CheckedSub(origin, FloorInt(lo)) / step + 1;
    newOrigin = CheckedSub(origin, CheckedMul(below, step));
  }
  if (end > hi) hi = end;
  const std::int32_t cells = CheckedSub(CeilInt(hi), newOrigin) / step + 1;
  newSize = CheckedMul(PowerOfTwoAbove(cells), step);
}
