#include "framework/wcs.h"

#include <gtest/gtest.h>

#include "framework/service_classes.h"
#include "tests/framework/test_support.h"

namespace {

class Wcs : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterFrameworkServiceClasses();
  }
};

}  // namespace

TEST_F(Wcs, TheWorldKeepsOneSjtskAndNothingElse) {
  TWCSWorld world;
  TWCS* first = world.GetWCS(1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(world.GetWCS(1), first);
  EXPECT_EQ(world.GetWCSLibrary()->GetCount(), 1);
  EXPECT_EQ(world.GetWCS(2), nullptr);
  EXPECT_EQ(world.GetWCSLibrary()->GetCount(), 1);
}

TEST_F(Wcs, SjtskNegatesEveryAxis) {
  TJTSK jtsk;
  double x, y, z;
  jtsk.ToWorld(12.5, 34.25, 3, x, y, z);
  EXPECT_EQ(x, -12.5);
  EXPECT_EQ(y, -34.25);
  EXPECT_EQ(z, -3);
  double bx, by, bz;
  jtsk.FromWorld(x, y, z, bx, by, bz);
  EXPECT_EQ(bx, 12.5);
  EXPECT_EQ(by, 34.25);
  EXPECT_EQ(bz, 3);

  T2DCoordinate c(5, 6);
  EXPECT_EQ(jtsk.CoordToWorld(&c), &c);
  EXPECT_EQ(c.X, -5);
  EXPECT_EQ(c.Y, -6);
  EXPECT_EQ(c.GetZ(), -1.0);

  jtsk.SetAxisName1("Easting");
  EXPECT_EQ(jtsk.GetAxisName1(), "Y");
  EXPECT_EQ(jtsk.GetAxisName2(), "X");
  EXPECT_EQ(jtsk.GetAxisName3(), "Vyska");
  EXPECT_EQ(jtsk.GetFlag(), 1);
}
