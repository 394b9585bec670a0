#include "render/print_pages.h"

#include <gtest/gtest.h>

#include "render/memory_raster.h"

namespace {

// Paper 0.02 x 0.03 m (200 x 300 pixels at 10000 pixels a metre).
struct Printer : ::testing::Test {
  TMemoryRaster raster{200, 300};
  TCanvasDevice device;
  TDesktop desktop;
  TPrintPages pages;
  void SetUp() override {
    raster.SetLogPixels(254, 254);
    device.SetCanvas(&raster);
    pages.Device = &device;
    SizeDesktop(0.04, 0.03);
  }
  void SizeDesktop(double w, double h) {
    desktop.SetMinX(1);
    desktop.SetMinY(2);
    desktop.SetMaxX(1 + w);
    desktop.SetMaxY(2 + h);
  }
};

}  // namespace

TEST_F(Printer, ColumnsCountWholeStepsAndRemaindersAboveAThousandth) {
  pages.SetDesktop(&desktop);
  EXPECT_EQ(pages.Cols, 2);
  EXPECT_EQ(pages.Rows, 1);
  SizeDesktop(0.04 + 0.02 * 0.0005, 0.03);
  pages.SetDesktop(&desktop);
  EXPECT_EQ(pages.Cols, 2);
  SizeDesktop(0.04 + 0.02 * 0.002, 0.03);
  pages.SetDesktop(&desktop);
  EXPECT_EQ(pages.Cols, 3);
  EXPECT_EQ(pages.GetPageCount(), 3);

  // With an overlap the sheets reach back by it; page 0 is bottom-left.
  pages.SetOverlap(0.005);
  const double step = 0.015;
  ASSERT_EQ(pages.GetPageCount(), pages.Cols * pages.Rows);
  TDrawRectangle* first = pages.GetPage(0);
  EXPECT_NEAR(first->GetMinX(), 1 - 0.005, 1e-12);
  EXPECT_NEAR(first->GetWidth(), step + 0.005, 1e-12);
  EXPECT_NEAR(pages.GetPage(1)->GetMinX(), 1 + step - 0.005, 1e-12);
  EXPECT_EQ(first->BrushColor, 0xFFFFFF);
  EXPECT_DOUBLE_EQ(pages.GetMinX(), first->GetMinX());
}

TEST_F(Printer, SinglePageScaleAndCentring) {
  pages.SetSinglePage(true);
  pages.SetDesktop(&desktop);
  EXPECT_EQ(pages.GetPageCount(), 1);
  pages.SetScaleFactor(-2);
  EXPECT_DOUBLE_EQ(pages.GetScaleFactor(), 1.0);

  pages.SetSinglePage(false);
  pages.SetScaleFactor(0.5);  // sheets cover half as much desktop
  EXPECT_EQ(pages.Cols, 4);
  EXPECT_EQ(pages.Rows, 2);
  SizeDesktop(0.035, 0.01);
  pages.SetScaleFactor(1);
  pages.SetCentered(true);
  EXPECT_NEAR(pages.GetCenterX(), desktop.GetCenterX(), 1e-12);
  EXPECT_NEAR(pages.GetCenterY(), desktop.GetCenterY(), 1e-12);
  EXPECT_NEAR(pages.GetPage(0)->GetCenterY(), desktop.GetCenterY(), 1e-12);
}

TEST_F(Printer, NoDesktopNoDeviceOrOverlapBeyondThePaperGiveNoPages) {
  pages.SetDesktop(nullptr);
  EXPECT_EQ(pages.GetPageCount(), 0);
  EXPECT_FALSE(pages.GetIsValid());
  pages.Device = nullptr;
  pages.SetDesktop(&desktop);
  EXPECT_EQ(pages.GetPageCount(), 0);
  pages.Device = &device;
  pages.SetOverlap(0.05);
  EXPECT_EQ(pages.GetPageCount(), 0);
}
