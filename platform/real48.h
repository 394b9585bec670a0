#pragma once
// The 6-byte real of the block files (a legacy 48-bit float): exponent byte
// with bias 129 (0 means zero), a 39-bit fraction in bytes 1..5 with byte 1
// least significant, and the sign in bit 7 of byte 5.
#include <array>
#include <cstdint>
#include <optional>

namespace platform {

using Real48Bytes = std::array<std::uint8_t, 6>;

// Every 6-byte real is exactly a double.
double decodeReal48(const std::uint8_t* bytes);
inline double decodeReal48(const Real48Bytes& bytes) { return decodeReal48(bytes.data()); }

// Rounds the mantissa to 39 bits, a half away from zero; magnitudes below the
// smallest 6-byte real become zero. Nothing when the value is too large for
// the type (or not finite).
std::optional<Real48Bytes> encodeReal48(double value);

// The value as the type holds it; throws std::overflow_error when it cannot.
double roundReal48(double value);

}  // namespace platform
