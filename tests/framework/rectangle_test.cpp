#include "framework/rectangle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "framework/entity.h"
#include "framework/property_access.h"
#include "framework/value_stream.h"

TEST(Rectangle, EmptyUntilExtendedAndOnlyValidRectanglesExtend) {
  TRectangle r;
  EXPECT_EQ(r.MinX(), 1e30);
  EXPECT_EQ(r.MaxX(), -1e30);
  EXPECT_EQ(r.GetWidth(), -2e30);
  EXPECT_FALSE(r.IsValid());
  r.ExtendToPoint(3, 4);
  EXPECT_TRUE(r.IsValid());
  EXPECT_EQ(r.Bounds().MinX, 3);
  EXPECT_EQ(r.Bounds().MaxY, 4);

  TRectangle empty;
  TRectangle target(0, 0, 1, 1);
  target.ExtendByRect(empty);
  EXPECT_EQ(target.MaxX(), 1);
  TRectangle fresh;
  fresh.ExtendByRect(TRectangle(-1, -2, 3, 4));
  EXPECT_EQ(fresh.MinX(), -1);
  EXPECT_EQ(fresh.MaxY(), 4);

  EXPECT_FALSE(TRectangle(0, 0, 1e30, 1).IsValid());
  EXPECT_FALSE(TRectangle(-1e30, 0, 1, 1).IsValid());
}

TEST(Rectangle, EdgesTouchingIntersectAndNormalizeSwapsCorners) {
  EXPECT_TRUE(TRectangle(0, 0, 1, 1).Intersects(TRectangle(1, 1, 2, 2)));
  EXPECT_FALSE(TRectangle(0, 0, 1, 1).Intersects(TRectangle(1.5, 0, 2, 1)));
  TRectangle r(5, 1, 2, 3);
  r.Normalize();
  EXPECT_EQ(r.MinX(), 2);
  EXPECT_EQ(r.MaxX(), 5);
  TRectangle w(1, 1, 2, 2);
  SetPropTextByName(&w, "Width", "7");
  EXPECT_EQ(w.MaxX(), 8);
  EXPECT_EQ(w.MinX(), 1);
  EXPECT_EQ(w.GetPaddedBounds().MinX, -9);
}

TEST(Coordinate, AccessorsCloneAndStreamBitIdentically) {
  T2DCoordinate flat(5, 6);
  EXPECT_EQ(flat.GetZ(), -1.0);
  flat.SetZ(9);
  EXPECT_EQ(flat.GetZ(), -1.0);

  T3DCoordinate deep;
  deep.X = 1;
  deep.Y = 2;
  deep.Z = 3;
  deep.CS = 7;
  std::unique_ptr<TCoordinate> copy(deep.Clone());
  EXPECT_EQ(copy->ClassName(), "T3DCoordinate");
  EXPECT_EQ(copy->GetZ(), 3);
  EXPECT_EQ(copy->CS, 7);

  T2DCoordinate odd(0.1 + 0.2, -1.0 / 3.0);
  odd.CS = 200;
  zelto::ValueWriter writer;
  odd.WriteData(writer);
  zelto::ValueReader reader(writer.Bytes());
  EXPECT_EQ(reader.ReadString(), "T2DCoordinate");
  T2DCoordinate back;
  TQuickEntity loaded;
  back.ReadData(reader, loaded);
  EXPECT_EQ(std::memcmp(&back.X, &odd.X, sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(&back.Y, &odd.Y, sizeof(double)), 0);
  EXPECT_EQ(back.CS, 200);
}

TEST(Rectangle, StreamsItsFourBounds) {
  TRectangle r(1.5, -2, 3, 4.25);
  zelto::ValueWriter writer;
  r.WriteData(writer);
  zelto::ValueReader reader(writer.Bytes());
  reader.ReadString();
  TRectangle back;
  TQuickEntity loaded;
  back.ReadData(reader, loaded);
  EXPECT_EQ(back.MinX(), 1.5);
  EXPECT_EQ(back.MaxY(), 4.25);
  std::unique_ptr<TRectangle> clone(r.Clone());
  EXPECT_EQ(clone->MinY(), -2);
}
