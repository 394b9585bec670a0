#include "gisblock/lin_record.h"

#include "gisblock/record_bytes.h"

namespace gisblock {
using namespace bytes;

namespace {

BoundaryLink getLink(const std::uint8_t* r, int at) { return {getI32(r, at), getU8(r, at + 4)}; }

void putLink(std::uint8_t* r, int at, const BoundaryLink& link) {
  putI32(r, at, link.line);
  putU8(r, at + 4, link.leftSide);
}

}  // namespace

LinRecord LinRecord::decode(const std::uint8_t* r) {
  LinRecord l;
  l.cislo = getU32(r, 0);
  l.druh = getI16(r, 4);
  l.presnost = getU8(r, 6);
  l.flags = getU8(r, kFlagsAt);
  l.vyber = getU8(r, 8);
  l.barva = getI16(r, 9);
  l.znacka = getI16(r, 11);
  l.symbol = getI16(r, 13);
  l.firstCoord = getI32(r, kFirstCoordAt);
  l.lastCoord = getI32(r, kLastCoordAt);
  l.link1 = getLink(r, 27);
  l.leftNext = getLink(r, kLeftNextAt);
  l.rightNext = getLink(r, kRightNextAt);
  l.link4 = getLink(r, 42);
  l.leftArea = getU32(r, kLeftAreaAt);
  l.rightArea = getU32(r, kRightAreaAt);
  l.length = getReal(r, 55);
  l.box = {getReal(r, 61), getReal(r, 67), getReal(r, 73), getReal(r, 79)};
  l.refX = getReal(r, 85);
  l.refY = getReal(r, 91);
  l.angle = getReal(r, 97);
  return l;
}

std::array<std::uint8_t, LinRecord::kSize> LinRecord::encode() const {
  std::array<std::uint8_t, kSize> a{};
  std::uint8_t* r = a.data();
  putU32(r, 0, cislo);
  putI16(r, 4, druh);
  putU8(r, 6, presnost);
  putU8(r, kFlagsAt, flags);
  putU8(r, 8, vyber);
  putI16(r, 9, barva);
  putI16(r, 11, znacka);
  putI16(r, 13, symbol);
  putI32(r, kFirstCoordAt, firstCoord);
  putI32(r, kLastCoordAt, lastCoord);
  putLink(r, 27, link1);
  putLink(r, kLeftNextAt, leftNext);
  putLink(r, kRightNextAt, rightNext);
  putLink(r, 42, link4);
  putU32(r, kLeftAreaAt, leftArea);
  putU32(r, kRightAreaAt, rightArea);
  putReal(r, 55, length, "Length");
  putReal(r, 61, box.minX, "MinX");
  putReal(r, 67, box.minY, "MinY");
  putReal(r, 73, box.maxX, "MaxX");
  putReal(r, 79, box.maxY, "MaxY");
  putReal(r, 85, refX, "RefX");
  putReal(r, 91, refY, "RefY");
  putReal(r, 97, angle, "Angle");
  return a;
}

}  // namespace gisblock
