#pragma once
// TN.CRD: one vertex of a line in stored coordinates.
#include <array>
#include <cstdint>

namespace gisblock {

struct CrdRecord {
  static constexpr int kSize = 12;
  double x = 0, y = 0;

  static CrdRecord decode(const std::uint8_t* record);
  std::array<std::uint8_t, kSize> encode() const;
};

}  // namespace gisblock
