#include "framework/extended_float.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace framework {

namespace {

constexpr int kBias = 16383;

// The significand divided by 2^drop, rounded half to even. A drop of 64
// leaves only the question whether the value lies above half a unit.
std::uint64_t roundedShift(std::uint64_t m, int drop) {
  if (drop <= 0) return m;
  if (drop > 64) return 0;
  if (drop == 64) return m > (std::uint64_t{1} << 63) ? 1 : 0;
  const std::uint64_t kept = m >> drop;
  const std::uint64_t rest = m & ((std::uint64_t{1} << drop) - 1);
  const std::uint64_t halfway = std::uint64_t{1} << (drop - 1);
  return kept + ((rest > halfway || (rest == halfway && (kept & 1))) ? 1 : 0);
}

}  // namespace

double decodeExtended80(const std::uint8_t* bytes) {
  std::uint64_t mantissa = 0;
  for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | bytes[i];
  const unsigned se = bytes[8] | (unsigned{bytes[9]} << 8);
  const bool negative = (se & 0x8000) != 0;
  const int exponent = static_cast<int>(se & 0x7FFF);
  const double sign = negative ? -1.0 : 1.0;

  if (exponent == 0x7FFF) {
    if ((mantissa << 1) == 0) return sign * std::numeric_limits<double>::infinity();
    return std::numeric_limits<double>::quiet_NaN();
  }
  if (mantissa == 0) return sign * 0.0;

  // value = mantissa * 2^(e - bias - 63), e = 1 for denormals.
  int e = (exponent == 0 ? 1 : exponent) - kBias - 63;
  // Normalize so the top bit is set (unnormals and denormals).
  const int lead = std::countl_zero(mantissa);
  mantissa <<= lead;
  e -= lead;
  // Now value = mantissa * 2^e with 2^63 <= mantissa < 2^64, i.e. the binary
  // exponent of the value is e + 63.
  const int valueExp = e + 63;
  if (valueExp > 1023) return sign * std::numeric_limits<double>::infinity();
  // Significant bits the double can hold at this magnitude.
  int keep = 53;
  if (valueExp < -1022) keep = 53 - (-1022 - valueExp);
  const int drop = 64 - keep;
  const std::uint64_t rounded = roundedShift(mantissa, drop);
  // Exact: the rounded significand fits the double at this exponent (a carry
  // out of it is a power of two); past the largest double ldexp gives inf.
  return sign * std::ldexp(static_cast<double>(rounded), e + drop);
}

Extended80Bytes encodeExtended80(double value) {
  Extended80Bytes out{};
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const bool negative = (bits >> 63) != 0;
  const int exponent = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  std::uint64_t mantissa = 0;
  int e80 = 0;
  if (exponent == 0x7FF) {
    e80 = 0x7FFF;
    mantissa = (std::uint64_t{1} << 63) | (fraction << 11);
  } else if (exponent == 0) {
    if (fraction != 0) {
      // A double denormal is a normal extended float.
      const int lead = std::countl_zero(fraction);
      mantissa = fraction << lead;
      e80 = -1022 - (lead - 11) + kBias;
    }
  } else {
    mantissa = (std::uint64_t{1} << 63) | (fraction << 11);
    e80 = exponent - 1023 + kBias;
  }
  for (int i = 0; i < 8; ++i) out[i] = static_cast<std::uint8_t>(mantissa >> (8 * i));
  const unsigned se = static_cast<unsigned>(e80) | (negative ? 0x8000u : 0u);
  out[8] = static_cast<std::uint8_t>(se);
  out[9] = static_cast<std::uint8_t>(se >> 8);
  return out;
}

}  // namespace framework
