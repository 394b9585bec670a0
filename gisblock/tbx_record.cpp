#include "gisblock/tbx_record.h"

#include "gisblock/record_bytes.h"

namespace gisblock {
using namespace bytes;

TbxRecord TbxRecord::decode(const std::uint8_t* r) {
  TbxRecord t;
  t.cislo = getU32(r, 0);
  t.druh = getI16(r, 4);
  t.textAtrib = getU8(r, kTextAtribAt);
  t.textMode = getU8(r, 12);
  t.gelixFont = getU8(r, 13);
  t.x = getReal(r, 14);
  t.y = getReal(r, 20);
  t.height = getReal(r, 26);
  t.widthCoef = getReal(r, 32);
  t.direction = getReal(r, 38);
  t.slope = getReal(r, 45);
  t.distance = getReal(r, 51);
  t.barva = getI16(r, 57);
  t.znacka = getI16(r, 59);
  return t;
}

std::array<std::uint8_t, TbxRecord::kSize> TbxRecord::encode() const {
  std::array<std::uint8_t, kSize> bytes{};
  std::uint8_t* r = bytes.data();
  putU32(r, 0, cislo);
  putI16(r, 4, druh);
  putU8(r, kTextAtribAt, textAtrib);
  putU8(r, 12, textMode);
  putU8(r, 13, gelixFont);
  putReal(r, 14, x, "X");
  putReal(r, 20, y, "Y");
  putReal(r, 26, height, "Height");
  putReal(r, 32, widthCoef, "WidthCoef");
  putReal(r, 38, direction, "Direction");
  putReal(r, 45, slope, "Slope");
  putReal(r, 51, distance, "Distance");
  putI16(r, 57, barva);
  putI16(r, 59, znacka);
  return bytes;
}

}  // namespace gisblock
