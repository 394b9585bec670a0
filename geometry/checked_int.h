#pragma once
// Conversions and arithmetic that raise instead of wrapping: a double outside
// the 32-bit range is undefined behaviour when cast, so every conversion of a
// coordinate to an integer goes through here.
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace geometry {

inline bool FitsInt32(double v) {
  return v >= -2147483648.0 && v <= 2147483647.0;  // false for NaN
}

inline std::int32_t TruncToInt32(double v) {
  const double t = std::trunc(v);
  if (!FitsInt32(t)) throw std::range_error("hodnota mimo rozsah celého čísla");
  return static_cast<std::int32_t>(t);
}

// Nearest integer, ties to even.
inline std::int32_t RoundToInt32(double v) {
  const double r = std::nearbyint(v);
  if (!FitsInt32(r)) throw std::range_error("hodnota mimo rozsah celého čísla");
  return static_cast<std::int32_t>(r);
}

inline std::int32_t CheckedInt32(std::int64_t v) {
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    throw std::overflow_error("přetečení celého čísla");
  return static_cast<std::int32_t>(v);
}

inline std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) {
  return CheckedInt32(static_cast<std::int64_t>(a) + b);
}
inline std::int32_t CheckedSub(std::int32_t a, std::int32_t b) {
  return CheckedInt32(static_cast<std::int64_t>(a) - b);
}
inline std::int32_t CheckedMul(std::int32_t a, std::int32_t b) {
  return CheckedInt32(static_cast<std::int64_t>(a) * b);
}

}  // namespace geometry
