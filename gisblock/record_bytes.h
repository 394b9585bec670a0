#pragma once
// Little-endian fields of the fixed-size block records, read and written at
// their offsets.
#include "platform/real48.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace gisblock::bytes {

inline std::uint8_t getU8(const std::uint8_t* r, int at) { return r[at]; }
inline std::int16_t getI16(const std::uint8_t* r, int at) {
  return static_cast<std::int16_t>(r[at] | r[at + 1] << 8);
}
inline std::uint32_t getU32(const std::uint8_t* r, int at) {
  return r[at] | r[at + 1] << 8 | r[at + 2] << 16 | static_cast<std::uint32_t>(r[at + 3]) << 24;
}
inline std::int32_t getI32(const std::uint8_t* r, int at) { return static_cast<std::int32_t>(getU32(r, at)); }
inline double getReal(const std::uint8_t* r, int at) { return platform::decodeReal48(r + at); }

inline void putU8(std::uint8_t* r, int at, std::uint8_t v) { r[at] = v; }
inline void putI16(std::uint8_t* r, int at, std::int16_t v) {
  r[at] = static_cast<std::uint8_t>(v);
  r[at + 1] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8);
}
inline void putU32(std::uint8_t* r, int at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) r[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void putI32(std::uint8_t* r, int at, std::int32_t v) { putU32(r, at, static_cast<std::uint32_t>(v)); }

// Throws std::overflow_error naming the field when the value is beyond the
// 6-byte real.
inline void putReal(std::uint8_t* r, int at, double v, const char* field) {
  const auto encoded = platform::encodeReal48(v);
  if (!encoded) throw std::overflow_error(std::string("hodnota se nevejde do 6bajtového reálného čísla, položka ") + field);
  for (int i = 0; i < 6; ++i) r[at + i] = (*encoded)[i];
}

}  // namespace gisblock::bytes
