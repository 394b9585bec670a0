#pragma once
// TN.LIN: one line of a block. Coordinates are stored values (see
// stored_box.h for the world side).
#include "gisblock/stored_box.h"

#include <array>
#include <cstdint>

namespace gisblock {

// The next line of an area's ring: its number and whether the area lies on
// its left (then it is followed from its first vertex).
struct BoundaryLink {
  std::int32_t line = -1;
  std::uint8_t leftSide = 0;
  bool operator==(const BoundaryLink&) const = default;
  bool empty() const { return line == -1 && leftSide == 0; }
};

struct LinRecord {
  static constexpr int kSize = 103;
  static constexpr std::uint8_t kDeleted = 0x01;
  static constexpr std::uint8_t kSkipped = 0x0C;  // bit 2 or 3: the line is not read as a line
  // Where the fields that name other records lie in the record's bytes.
  static constexpr int kFlagsAt = 7, kFirstCoordAt = 19, kLastCoordAt = 23, kLeftNextAt = 32, kRightNextAt = 37,
                       kLeftAreaAt = 47, kRightAreaAt = 51;

  std::uint32_t cislo = 0;
  std::int16_t druh = 0;
  std::uint8_t presnost = 0;
  std::uint8_t flags = 0;
  std::uint8_t vyber = 0;
  std::int16_t barva = 0, znacka = 0, symbol = 0;
  std::int32_t firstCoord = 0, lastCoord = 0;
  BoundaryLink link1, leftNext, rightNext, link4;
  std::uint32_t leftArea = 0, rightArea = 0;
  double length = 0;
  StoredBox box;
  double refX = 0, refY = 0;
  double angle = 0;  // radians

  bool deleted() const { return flags & kDeleted; }

  static LinRecord decode(const std::uint8_t* record);
  std::array<std::uint8_t, kSize> encode() const;  // throws std::overflow_error
};

}  // namespace gisblock
