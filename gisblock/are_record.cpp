#include "gisblock/are_record.h"

#include "gisblock/record_bytes.h"

namespace gisblock {
using namespace bytes;

AreRecord AreRecord::decode(const std::uint8_t* r) {
  AreRecord a;
  a.cislo = getU32(r, 0);
  a.druh = getI16(r, 4);
  a.flags = getU8(r, kFlagsAt);
  a.barva = getI16(r, 8);
  a.znacka = getI16(r, 10);
  a.lineNo = getI32(r, kLineNoAt);
  a.hasChildren = getU8(r, 24);
  a.paterNo = getU32(r, kPaterNoAt);
  a.refX = getReal(r, 29);
  a.refY = getReal(r, 35);
  a.box = {getReal(r, 41), getReal(r, 47), getReal(r, 53), getReal(r, 59)};
  a.area = getReal(r, kAreaAt);
  return a;
}

std::array<std::uint8_t, AreRecord::kSize> AreRecord::encode() const {
  std::array<std::uint8_t, kSize> bytes{};
  std::uint8_t* r = bytes.data();
  putU32(r, 0, cislo);
  putI16(r, 4, druh);
  putU8(r, kFlagsAt, flags);
  putI16(r, 8, barva);
  putI16(r, 10, znacka);
  putI32(r, kLineNoAt, lineNo);
  putU8(r, 24, hasChildren);
  putU32(r, kPaterNoAt, paterNo);
  putReal(r, 29, refX, "RefX");
  putReal(r, 35, refY, "RefY");
  putReal(r, 41, box.minX, "MinX");
  putReal(r, 47, box.minY, "MinY");
  putReal(r, 53, box.maxX, "MaxX");
  putReal(r, 59, box.maxY, "MaxY");
  putReal(r, kAreaAt, area, "Area");
  return bytes;
}

}  // namespace gisblock
