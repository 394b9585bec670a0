// Hatch fills on a memory raster: stripe and gap rows, vertical stripes,
// several hatches in turn, dashes in phase with device position 0, diagonal
// stripes, holes and the background-only symbol.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "hatch_test_raster.h"
#include "render/area_symbol.h"
#include "render/gelix_color.h"

namespace {

using hatch_test::Raster;

std::unique_ptr<TSrafa> hatch(int sirka, int vzdalenost, int barva, int d1 = 0, int delka = 0, int d2 = 0) {
  auto h = std::make_unique<TSrafa>();
  h->Sirka = sirka;
  h->Vzdalenost = vzdalenost;
  h->Barva = barva;
  h->D1 = d1;
  h->DelkaVzoru = delka;
  h->D2 = d2;
  h->UpdatePattern();
  return h;
}

// A symbol of one layer with the hatches in the order they are read.
template <class... Hatches>
std::unique_ptr<TPlosnaZnacka> symbolOf(int angleClass, Hatches... hatches) {
  auto l = std::make_unique<TVrstvaSraf>();
  l->AngleClass = static_cast<std::uint8_t>(angleClass);
  (l->AddHatch(std::move(hatches)), ...);
  auto symbol = std::make_unique<TPlosnaZnacka>();
  symbol->AddLayer(std::move(l));
  return symbol;
}

const std::int32_t kBlack = GelixColorToRGB(13), kRed = GelixColorToRGB(11);

void drawSquare(TPlosnaZnacka& symbol, Raster& raster, int lo, int hi) {
  const std::vector<TDevicePoint> ring{{lo, lo}, {hi, lo}, {hi, hi}, {lo, hi}};
  symbol.Draw(raster, ring, std::vector<std::int32_t>{4});
}

TEST(AreaSymbol, HorizontalStripesStartAtTheTopRowWithTheHatchReadLast) {
  // Red is read first and drawn second; black, read last, gives the first stripe.
  auto symbol = symbolOf(0, hatch(1, 2, 11), hatch(2, 1, 13));
  Raster raster(40, 40);
  drawSquare(*symbol, raster, 10, 30);
  // Rows from 29 down (row 30 is the square's top side, drawn as a piece):
  // period 6 = black 2, gap 1, red 1, gap 2, starting at row 30.
  for (int y = 11; y < 30; ++y) {
    const int k = (30 - y) % 6;
    const int expected = k < 2 ? kBlack : k == 3 ? kRed : -1;
    EXPECT_EQ(raster.at(20, y), expected) << "row " << y;
    EXPECT_EQ(raster.at(10, y), raster.at(30, y)) << "both ends painted, row " << y;
  }
  EXPECT_EQ(raster.at(9, 15), -1);
  EXPECT_EQ(raster.at(31, 15), -1);
  EXPECT_TRUE(raster.fills.empty());
}

TEST(AreaSymbol, VerticalStripesRunAlongColumnsAndSpareTheHole) {
  auto symbol = symbolOf(2, hatch(1, 1, 13));
  Raster raster(40, 40);
  const std::vector<TDevicePoint> rings{{0, 0}, {30, 0}, {30, 30}, {0, 30}, {10, 10}, {10, 20}, {20, 20}, {20, 10}};
  symbol->Draw(raster, rings, std::vector<std::int32_t>{4, 4});
  for (int x = 1; x < 30; ++x) {
    const int expected = (30 - x) % 2 == 0 ? kBlack : -1;
    EXPECT_EQ(raster.at(x, 5), expected) << x;
    if (x > 10 && x < 20) {
      EXPECT_EQ(raster.at(x, 15), -1) << "inside the hole, column " << x;
    }
  }
}

TEST(AreaSymbol, DashesKeepThePhaseOfDevicePositionZero) {
  // Dashes at [10k + 2, 10k + 6]; a span that begins inside a dash paints
  // only the rest of that dash.
  auto symbol = symbolOf(0, hatch(40, 0, 13, 2, 4, 4));
  Raster raster(60, 60);
  const std::vector<TDevicePoint> ring{{3, 10}, {47, 10}, {47, 30}, {3, 30}};
  symbol->Draw(raster, ring, std::vector<std::int32_t>{4});
  for (int x = 3; x <= 47; ++x) {
    const int k = x % 10;
    EXPECT_EQ(raster.at(x, 20), k >= 2 && k <= 6 ? kBlack : -1) << x;
  }
}

TEST(AreaSymbol, DiagonalStripesShiftOnePixelPerRowHoweverTallTheArea) {
  for (int angleClass : {1, 3}) {
    auto symbol = symbolOf(angleClass, hatch(2, 4, 13));  // 3 pixels painted, 3 not: period 6
      Raster raster(60, 60);
    drawSquare(*symbol, raster, 5, 50);
    for (int y = 6; y < 50; ++y)
      for (int x = 6; x < 50; ++x) {
        const int offset = 15000 + (angleClass == 1 ? 50 - y : y - 50);
        const bool stripe = (x + offset) % 6 <= 2;
        ASSERT_EQ(raster.at(x, y), stripe ? kBlack : -1) << angleClass << " at " << x << "," << y;
      }
  }
  // Falling stripes lower the offset by one a row; past 15000 rows it turns
  // negative and the stripes must go on as before.
  auto symbol = symbolOf(3, hatch(2, 4, 13));
  const int top = 15100;
  Raster raster(12, top + 1);
  symbol->Draw(raster, std::vector<TDevicePoint>{{0, 0}, {10, 0}, {10, top}, {0, top}}, std::vector<std::int32_t>{4});
  for (int y = 1; y < top; ++y)
    for (int x = 1; x < 10; ++x) {
      const bool stripe = ((x + 15000 + y - top) % 6 + 6) % 6 <= 2;
      ASSERT_EQ(raster.at(x, y), stripe ? kBlack : -1) << x << "," << y;
    }
}

TEST(AreaSymbol, BackgroundOnlySymbolFillsAndDrawsNoStripe) {
  auto symbol = symbolOf(0, hatch(1, 1, 11));
  symbol->Color = 11;
  symbol->DrawMode = TPlosnaZnacka::kBackgroundOnly;
  Raster raster(40, 40);
  drawSquare(*symbol, raster, 10, 30);
  EXPECT_EQ(raster.fills, std::vector<std::int32_t>{kRed});
  EXPECT_EQ(raster.lines, 0);

  symbol->Color = 0x10000;  // only the low 16 bits count: no background
  symbol->ByTrueColor = true;
  symbol->TrueColor = 0x123456;
  raster.fills.clear();
  drawSquare(*symbol, raster, 10, 30);
  EXPECT_TRUE(raster.fills.empty());
  symbol->Color = 4;
  drawSquare(*symbol, raster, 10, 30);
  EXPECT_EQ(raster.fills, std::vector<std::int32_t>{0x123456});
}

}  // namespace
