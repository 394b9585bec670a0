#include "geometry/grid_squares.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(GridHelpers, ShiftedFloorAndCeil) {
  EXPECT_EQ(FloorInt(-2.0), -3);
  EXPECT_EQ(FloorInt(-0.5), -1);
  EXPECT_EQ(FloorInt(2.7), 2);
  EXPECT_EQ(CeilInt(2.0), 3);
  EXPECT_EQ(CeilInt(0.0), 0);
  EXPECT_EQ(CeilInt(-1.5), -1);
  EXPECT_THROW(FloorInt(3e9), std::range_error);
}

TEST(GridHelpers, PowersAndSnapping) {
  EXPECT_EQ(PowerOfTwoAbove(-7), 1);
  EXPECT_EQ(PowerOfTwoAbove(0), 1);
  EXPECT_EQ(PowerOfTwoAbove(1), 2);
  EXPECT_EQ(PowerOfTwoAbove(4), 8);
  EXPECT_EQ(PowerOfTwoAbove(5), 8);
  EXPECT_THROW(PowerOfTwoAbove(1 << 30), std::overflow_error);
  EXPECT_EQ(SnapDownToGrid(4, 9.9), 8);
  EXPECT_EQ(SnapDownToGrid(4, 0), -4);
  EXPECT_EQ(SnapDownToGrid(4, -3), -8);
}

TEST(GridHelpers, SpansAndSquares) {
  std::int32_t origin, size;
  GridSpan(origin, size, 10.3, 12.1);
  EXPECT_EQ(origin, 8);
  EXPECT_EQ(size, 8);
  GridSpan(origin, size, 0, 0);
  EXPECT_EQ(origin, -1);
  EXPECT_EQ(size, 1);
  std::int32_t ox, oy;
  GridSquare(ox, oy, size, 100, 300, -100.5, -200.2);
  EXPECT_EQ(ox, -256);
  EXPECT_EQ(oy, -512);
  EXPECT_EQ(size, 1024);
}

TEST(GridHelpers, GrowingKeepsOldIntervalAsOneCell) {
  std::int32_t origin, size;
  GrowGridInterval(8, 8, origin, -1, 10, size);
  EXPECT_EQ(origin, -8);
  EXPECT_EQ(size, 64);
  GrowGridInterval(0, 4, origin, -1, 3, size);
  EXPECT_EQ(origin, -4);
  EXPECT_EQ(size, 16);
  GrowGridInterval(0, 4, origin, 1, 3, size);
  EXPECT_EQ(origin, 0);
  EXPECT_EQ(size, 4);
  GrowGridInterval(0, 4, origin, 1, 100, size);
  EXPECT_EQ(origin, 0);
  EXPECT_EQ(size, 128);
}
