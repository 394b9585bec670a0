#pragma once
// Whole-number, power-of-two grid squares: the quad-tree sizes its root with
// them and grows it so that the old root stays one cell of the new one.
// Results that do not fit in 32 bits raise std::range_error or
// std::overflow_error.
#include <cstdint>

// Note the shifted definitions: FloorInt(-2.0) = -3, CeilInt(2.0) = 3.
std::int32_t FloorInt(double x);
std::int32_t CeilInt(double x);
// The smallest power of two greater than n (1 for n <= 0).
std::int32_t PowerOfTwoAbove(std::int32_t n);
std::int32_t PowerOfTwoSpan(double w);
// A non-positive x always lands strictly below itself.
std::int32_t SnapDownToGrid(std::int32_t step, double x);
void GridSpan(std::int32_t& origin, std::int32_t& size, double a, double b);
void GridSquare(std::int32_t& originX, std::int32_t& originY, std::int32_t& size, double x1,
                double y1, double x2, double y2);
void GrowGridInterval(std::int32_t origin, std::int32_t step, std::int32_t& newOrigin, double lo,
                      double hi, std::int32_t& newSize);
