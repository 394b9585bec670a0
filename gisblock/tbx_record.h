#pragma once
// TN.TBX: placement and style of one text of a block; the string itself is
// the line of the same number in TN.TTX.
#include <array>
#include <cstdint>

namespace gisblock {

struct TbxRecord {
  static constexpr int kSize = 85;
  // TextAtrib bits
  static constexpr std::uint8_t kZrusenT = 0x01;  // deleted
  static constexpr int kTextAtribAt = 11;          // where the flags lie in the record's bytes
  static constexpr std::uint8_t kOkT = 0x02;
  static constexpr std::uint8_t kTxtZmena = 0x04;
  static constexpr std::uint8_t kT30 = 0x08;

  std::uint32_t cislo = 0;
  std::int16_t druh = 0;
  std::uint8_t textAtrib = 0;
  std::uint8_t textMode = 0;
  std::uint8_t gelixFont = 0;
  double x = 0, y = 0;  // stored start point
  double height = 0, widthCoef = 0, direction = 0;
  double slope = 0;  // degrees
  double distance = 0;
  std::int16_t barva = 0, znacka = 0;

  bool deleted() const { return textAtrib & kZrusenT; }
  // Slopes of a degree or less are noise of the digitising and count as none.
  double effectiveSlope() const { return slope > 1.0 || slope < -1.0 ? slope : 0.0; }

  static TbxRecord decode(const std::uint8_t* record);
  std::array<std::uint8_t, kSize> encode() const;  // throws std::overflow_error
};

}  // namespace gisblock
