#include "gisblock/are_record.h"
#include "gisblock/crd_record.h"
#include "gisblock/lin_record.h"
#include "gisblock/pnt_record.h"
#include "gisblock/tbx_record.h"
#include "platform/real48.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace gisblock;

namespace {

// Expects the 6-byte real of `value` at `offset`.
void expectReal(const std::uint8_t* r, int offset, double value) {
  EXPECT_EQ(platform::decodeReal48(r + offset), value) << "offset " << offset;
}
void expectBytes(const std::uint8_t* r, int offset, std::vector<std::uint8_t> bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) EXPECT_EQ(r[offset + i], bytes[i]) << "offset " << offset + i;
}

}  // namespace

TEST(BlockRecords, LineFieldsSitAtTheirOffsets) {
  LinRecord l;
  l.cislo = 0x01020304;
  l.druh = -2;
  l.presnost = 7;
  l.flags = 0;
  l.vyber = 1;
  l.barva = 0x0102;
  l.znacka = 0x0304;
  l.symbol = 1000;
  l.firstCoord = 5;
  l.lastCoord = 9;
  l.link1 = {11, 1};
  l.leftNext = {-1, 0};
  l.rightNext = {258, 1};
  l.link4 = {3, 0};
  l.leftArea = 4;
  l.rightArea = 6;
  l.length = 12.5;
  l.box = {1000, 2000, 1100, 2100};
  l.refX = 1050;
  l.refY = 2050;
  l.angle = 0.5;
  const auto bytes = l.encode();
  const std::uint8_t* r = bytes.data();
  expectBytes(r, 0, {4, 3, 2, 1, 0xFE, 0xFF, 7, 0, 1, 2, 1, 4, 3, 0xE8, 3, 0, 0, 0, 0, 5, 0, 0, 0, 9, 0, 0, 0});
  expectBytes(r, 27, {11, 0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0, 2, 1, 0, 0, 1, 3, 0, 0, 0, 0});
  expectBytes(r, 47, {4, 0, 0, 0, 6, 0, 0, 0});
  expectReal(r, 55, 12.5);
  expectReal(r, 61, 1000);
  expectReal(r, 67, 2000);
  expectReal(r, 73, 1100);
  expectReal(r, 79, 2100);
  expectReal(r, 85, 1050);
  expectReal(r, 91, 2050);
  expectReal(r, 97, 0.5);
  const LinRecord back = LinRecord::decode(r);
  EXPECT_EQ(back.encode(), bytes);
  EXPECT_EQ(back.rightNext, (BoundaryLink{258, 1}));
  EXPECT_TRUE(back.leftNext.empty());
}

TEST(BlockRecords, AreaFieldsSitAtTheirOffsets) {
  AreRecord a;
  a.cislo = 17;
  a.druh = 1600;
  a.flags = 0;
  a.barva = 3;
  a.znacka = -4;
  a.lineNo = 99;
  a.hasChildren = 1;
  a.paterNo = 12;
  a.refX = 5;
  a.refY = 6;
  a.box = {1, 2, 3, 4};
  a.area = 0.002;
  const auto bytes = a.encode();
  const std::uint8_t* r = bytes.data();
  expectBytes(r, 0, {17, 0, 0, 0, 0x40, 0x06, 0, 0, 3, 0, 0xFC, 0xFF, 0, 0, 0, 0, 99, 0, 0, 0, 0, 0, 0, 0, 1, 12, 0, 0, 0});
  for (auto [offset, value] : {std::pair{29, 5.0}, {35, 6.0}, {41, 1.0}, {47, 2.0}, {53, 3.0}, {59, 4.0}})
    expectReal(r, offset, value);
  EXPECT_EQ(platform::decodeReal48(r + 65), platform::roundReal48(0.002));
  EXPECT_TRUE(AreRecord::decode(r).live());
  a.area = 0.001;
  EXPECT_FALSE(AreRecord::decode(a.encode().data()).live());
  a.area = 5;
  a.flags = 8;  // only the low three bits kill an area
  EXPECT_TRUE(AreRecord::decode(a.encode().data()).live());
}

TEST(BlockRecords, PointAndTextFieldsSitAtTheirOffsets) {
  PntRecord p;
  p.cislo = 2;
  p.druh = 5;
  p.presnost = 3;
  p.flags = 1;
  p.barva = 7;
  p.znacka = 8;
  p.x = 2000000;
  p.y = 0;
  p.angle = -1.5;
  const auto pb = p.encode();
  expectBytes(pb.data(), 0, {2, 0, 0, 0, 5, 0, 3, 1, 0, 7, 0, 8, 0, 0, 0, 0, 0});
  expectReal(pb.data(), 17, 2000000);
  expectReal(pb.data(), 23, 0);
  expectReal(pb.data(), 29, -1.5);
  EXPECT_TRUE(PntRecord::decode(pb.data()).inRange());
  p.x = 2000000.5;
  EXPECT_FALSE(p.inRange());

  TbxRecord t;
  t.cislo = 4;
  t.druh = 9;
  t.textAtrib = TbxRecord::kOkT | TbxRecord::kT30;
  t.textMode = 2;
  t.gelixFont = 3;
  t.x = 10;
  t.y = 20;
  t.height = 2.5;
  t.widthCoef = 1;
  t.direction = 90;
  t.slope = 15;
  t.distance = 0.25;
  t.barva = 6;
  t.znacka = -1;
  const auto tb = t.encode();
  const std::uint8_t* r = tb.data();
  expectBytes(r, 0, {4, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0x0A, 2, 3});
  for (auto [offset, value] : {std::pair{14, 10.0}, {20, 20.0}, {26, 2.5}, {32, 1.0}, {38, 90.0}, {45, 15.0}, {51, 0.25}})
    expectReal(r, offset, value);
  EXPECT_EQ(r[44], 0);
  expectBytes(r, 57, {6, 0, 0xFF, 0xFF});
  EXPECT_EQ(TbxRecord::decode(r).encode(), tb);
  t.slope = 0.9;
  EXPECT_EQ(t.effectiveSlope(), 0.0);
}

TEST(BlockRecords, CoordinatesAndOverflow) {
  const auto c = CrdRecord{-744000.25, -1040000.5}.encode();
  expectReal(c.data(), 0, -744000.25);
  expectReal(c.data(), 6, -1040000.5);
  LinRecord l;
  l.length = 1e39;
  EXPECT_THROW(l.encode(), std::overflow_error);
}

TEST(BlockRecords, StoredBoxesAreWorldRectanglesTurnedRound) {
  const StoredBox stored{700000, 1000000, 701000, 1002000};
  const WorldRect world = stored.toWorld();
  EXPECT_EQ(world, (WorldRect{-701000, -1002000, -700000, -1000000}));
  EXPECT_LT(world.minX, world.maxX);
  EXPECT_EQ(StoredBox::fromWorld(world), stored);
}
