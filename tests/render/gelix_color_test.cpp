#include "render/gelix_color.h"

#include <gtest/gtest.h>

#include "render/symbol_elements.h"

TEST(GelixColor, PaletteNumbers) {
  EXPECT_EQ(GelixColorToRGB(0), RGBColor(255, 255, 255));
  EXPECT_EQ(GelixColorToRGB(6), RGBColor(128, 64, 64));
  EXPECT_EQ(GelixColorToRGB(11), 0x0000FF);  // red in the lowest byte
  EXPECT_EQ(GelixColorToRGB(13), 0);
  EXPECT_EQ(GelixColorToRGB(15), RGBColor(192, 192, 192));
  EXPECT_EQ(GelixColorToRGB(16), 0);
  EXPECT_EQ(GelixColorToRGB(32767), 0);
}

TEST(GelixColor, NegativeNumbersHoldFifteenBitColours) {
  EXPECT_EQ(GelixColorToRGB(-31744), RGBColor(255, 0, 0));
  EXPECT_EQ(GelixColorToRGB(-1023), RGBColor(0, 255, 255));
  EXPECT_EQ(GelixColorToRGB(-32768), 0);
  EXPECT_EQ(GelixColorToRGB(-(1 << 10 | 2 << 5 | 3)), RGBColor(8, 16, 24));
}

TEST(SymbolElements, RectangleMeetsWindowsItTouches) {
  TRectBGIElement e;
  e.GetRectangle()->SetMinX(0);
  e.GetRectangle()->SetMinY(0);
  e.GetRectangle()->SetMaxX(10);
  e.GetRectangle()->SetMaxY(10);
  EXPECT_TRUE(e.MeetsWindow(10, 10, 20, 20));
  EXPECT_FALSE(e.MeetsWindow(10.5, 0, 20, 20));
  EXPECT_FALSE(e.MeetsWindow(-5, -5, 5, -0.1));
  const TBoundsRecord bounds = e.GetRect();
  EXPECT_EQ(bounds.MinX, -10);
  EXPECT_EQ(bounds.MaxY, 20);
}
