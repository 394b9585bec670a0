#pragma once
// TN.ARE: one area of a block, in stored coordinates.
#include "gisblock/stored_box.h"

#include <array>
#include <cstdint>

namespace gisblock {

struct AreRecord {
  static constexpr int kSize = 71;
  static constexpr double kMinLiveArea = 0.001;
  // Where the fields that make an area live and name other records lie in
  // the record's bytes.
  static constexpr int kFlagsAt = 6, kLineNoAt = 16, kPaterNoAt = 25, kAreaAt = 65;

  std::uint32_t cislo = 0;
  std::int16_t druh = 0;
  std::uint8_t flags = 0;
  std::int16_t barva = 0, znacka = 0;
  std::int32_t lineNo = 0;
  std::uint8_t hasChildren = 0;
  std::uint32_t paterNo = 0;
  double refX = 0, refY = 0;
  StoredBox box;
  double area = 0;

  bool live() const { return (flags & 7) == 0 && area > kMinLiveArea; }

  static AreRecord decode(const std::uint8_t* record);
  std::array<std::uint8_t, kSize> encode() const;  // throws std::overflow_error
};

}  // namespace gisblock
