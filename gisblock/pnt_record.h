#pragma once
// TN.PNT: one point of a block, in stored coordinates.
#include <array>
#include <cstdint>

namespace gisblock {

struct PntRecord {
  static constexpr int kSize = 35;
  static constexpr std::uint8_t kDeleted = 0x01;
  static constexpr double kMaxStored = 2000000.0;

  std::uint32_t cislo = 0;
  std::int16_t druh = 0;
  std::uint8_t presnost = 0;
  std::uint8_t flags = 0;
  std::int16_t barva = 0, znacka = 0;
  double x = 0, y = 0;
  double angle = 0;  // radians

  bool deleted() const { return flags & kDeleted; }
  bool inRange() const { return x >= 0 && x <= kMaxStored && y >= 0 && y <= kMaxStored; }

  static PntRecord decode(const std::uint8_t* record);
  std::array<std::uint8_t, kSize> encode() const;  // throws std::overflow_error
};

}  // namespace gisblock
