#include "gisblock/pnt_record.h"

#include "gisblock/record_bytes.h"

namespace gisblock {
using namespace bytes;

PntRecord PntRecord::decode(const std::uint8_t* r) {
  PntRecord p;
  p.cislo = getU32(r, 0);
  p.druh = getI16(r, 4);
  p.presnost = getU8(r, 6);
  p.flags = getU8(r, 7);
  p.barva = getI16(r, 9);
  p.znacka = getI16(r, 11);
  p.x = getReal(r, 17);
  p.y = getReal(r, 23);
  p.angle = getReal(r, 29);
  return p;
}

std::array<std::uint8_t, PntRecord::kSize> PntRecord::encode() const {
  std::array<std::uint8_t, kSize> bytes{};
  std::uint8_t* r = bytes.data();
  putU32(r, 0, cislo);
  putI16(r, 4, druh);
  putU8(r, 6, presnost);
  putU8(r, 7, flags);
  putI16(r, 9, barva);
  putI16(r, 11, znacka);
  putReal(r, 17, x, "X");
  putReal(r, 23, y, "Y");
  putReal(r, 29, angle, "Angle");
  return bytes;
}

}  // namespace gisblock
