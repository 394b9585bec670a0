#include "platform/real48.h"

#include <cmath>
#include <stdexcept>

namespace platform {

namespace {
constexpr std::uint64_t kFractionLimit = std::uint64_t{1} << 39;
}

double decodeReal48(const std::uint8_t* b) {
  const int exponent = b[0];
  if (exponent == 0) return 0.0;
  std::uint64_t fraction = b[5] & 0x7F;
  for (int i = 4; i >= 1; --i) fraction = (fraction << 8) | b[i];
  const double mantissa = 1.0 + static_cast<double>(fraction) / static_cast<double>(kFractionLimit);
  const double magnitude = std::ldexp(mantissa, exponent - 129);
  return (b[5] & 0x80) ? -magnitude : magnitude;
}

std::optional<Real48Bytes> encodeReal48(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  Real48Bytes out{};
  if (value == 0.0) return out;
  const bool negative = value < 0;
  int binaryExponent = 0;
  const double half = std::frexp(std::fabs(value), &binaryExponent);  // [0.5, 1)
  int exponent = binaryExponent + 128;
  // (2*half - 1) * 2^39 is exact in a double: at most 53 significant bits.
  const double scaled = (2.0 * half - 1.0) * static_cast<double>(kFractionLimit);
  auto fraction = static_cast<std::uint64_t>(std::floor(scaled + 0.5));
  if (fraction == kFractionLimit) {
    fraction = 0;
    ++exponent;
  }
  if (exponent < 1) return out;  // underflow: stored as zero
  if (exponent > 255) return std::nullopt;
  out[0] = static_cast<std::uint8_t>(exponent);
  for (int i = 1; i <= 4; ++i) {
    out[i] = static_cast<std::uint8_t>(fraction & 0xFF);
    fraction >>= 8;
  }
  out[5] = static_cast<std::uint8_t>((fraction & 0x7F) | (negative ? 0x80 : 0x00));
  return out;
}

double roundReal48(double value) {
  const auto bytes = encodeReal48(value);
  if (!bytes) throw std::overflow_error("hodnota se nevejde do 6bajtového reálného čísla");
  return decodeReal48(*bytes);
}

}  // namespace platform
