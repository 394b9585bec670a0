#pragma once
// The 80-bit extended float of the model files' value streams: 64-bit
// significand with an explicit integer bit (bytes 0..7, least significant
// first), then 15 exponent bits with bias 16383 and the sign in bit 15 of the
// last two bytes.
#include <array>
#include <cstdint>

namespace framework {

using Extended80Bytes = std::array<std::uint8_t, 10>;

// The nearest double (exact whenever the value has at most 53 significant
// bits); infinities and NaNs stay what they are, values beyond the double
// range become infinities.
double decodeExtended80(const std::uint8_t* bytes);
inline double decodeExtended80(const Extended80Bytes& bytes) { return decodeExtended80(bytes.data()); }

// Every double is exactly an extended float.
Extended80Bytes encodeExtended80(double value);

}  // namespace framework
