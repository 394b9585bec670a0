#include "render/tile_device.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "framework/message_dispatch.h"
#include "framework/zelto_message.h"
#include "platform/message_queue.h"
#include "render/memory_raster.h"
#include "stroke_font_test_files.h"
#include "tiled_page.h"

namespace {
// A target page of the given size showing a metre a pixel.
struct Target {
  TMemoryRaster raster;
  TCanvasDevice device;
  Target(int width, int height) : raster(width, height) {
    raster.SetLogPixels(254, 254);
    device.SetCanvas(&raster);
    device.GetProjection()->Setup({500.3, 200.3}, device.GetPage(), 10000);
  }
};

void discardMessages() { platform::messageQueue().discardAll(); }
}  // namespace

TEST(TileDevice, PagesAreCutIntoEightStripsThatDoNotStartBelowThePage) {
  Target tall(40, 100), low(40, 7);
  TTileDevice tiles;
  tiles.SetBudgetOverride(TTileDevice::kDefaultBudget);
  tiles.SetTarget(&tall.device);
  EXPECT_EQ(tiles.GetTileCount(), 8);
  EXPECT_EQ(tiles.GetBitmap()->GetHeight(), 13);
  tiles.SetTarget(&low.device);
  EXPECT_EQ(tiles.GetTileCount(), 7);
  EXPECT_EQ(tiles.GetBitmap()->GetHeight(), 1);
  tiles.SetBudgetOverride(0);
  tiles.SetTarget(&tall.device);
  EXPECT_EQ(tiles.GetTileCount(), 1);
  EXPECT_EQ(tiles.GetBitmap()->GetHeight(), 100);
  discardMessages();
}

TEST(TileDevice, TheLastStripIsShortenedAndNextTileAfterItReleasesTheBitmap) {
  Target tall(40, 100);
  TTileDevice tiles;
  tiles.SetBudgetOverride(TTileDevice::kDefaultBudget);
  tiles.SetTarget(&tall.device);
  std::vector<std::pair<int, int>> strips;  // top and height
  while (!tiles.GetDone()) {
    ASSERT_NE(tiles.GetBitmap(), nullptr);
    strips.emplace_back(tiles.GetTileTop(), tiles.GetBitmap()->GetHeight());
    EXPECT_EQ(tiles.GetPage()->GetHeight(), strips.back().second);
    tiles.NextTile();
  }
  ASSERT_EQ(strips.size(), 8u);
  EXPECT_EQ(strips[6], std::pair(78, 13));
  EXPECT_EQ(strips[7], std::pair(91, 9));
  EXPECT_EQ(tiles.GetBitmap(), nullptr);
  EXPECT_EQ(tiles.GetCanvas(), nullptr);
  tiles.NextTile();
  EXPECT_TRUE(tiles.GetDone());
  discardMessages();
}

TEST(TileDevice, APageDrawnInStripsIsThePageDrawnDirectlyTextsIncluded) {
  // The program's stroked text font, as a data tree brings it.
  font_test::SymbolDrive drive("tiles");
  font_test::Write(drive.dir / "Simp.LVF", font_test::TextFontBytes());
  TMemoryRaster picture(3, 2, tiled_page::kBlue);
  picture.SetPixel(1, 1, tiled_page::kRed);
  TMemoryRaster direct(100, 100), tiled(100, 100);
  TCanvasDevice directDevice, tiledDevice;
  directDevice.SetCanvas(&direct);
  tiledDevice.SetCanvas(&tiled);
  tiled_page::Show(directDevice);
  tiled_page::Show(tiledDevice);
  directDevice.BeginDraw();
  tiled_page::Draw(directDevice, picture);
  EXPECT_EQ(tiled_page::DrawTiled(tiledDevice, picture), 8);
  EXPECT_GT(tiled_page::Reddish(direct), 150) << "the turned text is written";
  EXPECT_EQ(tiled_page::Differing(tiled, direct), 0);
  discardMessages();
}

TEST(MemoryRaster, WritesTextsInTheStrokedFontTurnedAndMeasuredAsDrawn) {
  TMemoryRaster raster(120, 120);
  raster.Font().Height = 20;
  raster.Font().Color = tiled_page::kRed;
  raster.Brush().Style = bsClear;
  const std::int32_t guessed = raster.TextWidth("AB");
  raster.TextOut(10, 10, "AB");
  int inked = 0;
  for (TColor c : raster.Pixels()) inked += c != clWhite;
  EXPECT_EQ(inked, 0) << "no font, no letters";

  font_test::SymbolDrive drive("raster_text");
  font_test::Write(drive.dir / "Simp.LVF", font_test::TextFontBytes());
  TMemoryRaster fresh(120, 120);
  fresh.Font() = raster.Font();
  fresh.Brush().Style = bsClear;
  // Two letters of advance 7 where the cap height 10 is 0.7 of 20 pixels.
  EXPECT_EQ(fresh.TextWidth("AB"), 20);
  EXPECT_NE(fresh.TextWidth("AB"), guessed);
  fresh.TextOut(10, 10, "AB");
  // Inside the box from the top-left corner, the baseline at 0.8 of the height.
  int left = 120, right = 0, top = 120, bottom = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 120; ++x)
      if (fresh.GetPixel(x, y) == tiled_page::kRed) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  EXPECT_NEAR(left, 11, 1);
  EXPECT_NEAR(right, 28, 1);
  EXPECT_NEAR(top, 12, 1);
  EXPECT_NEAR(bottom, 27, 1);
  // Turned a quarter counter-clockwise the text runs up from its corner.
  TMemoryRaster turned(120, 120);
  turned.Font() = fresh.Font();
  turned.Font().Escapement = 900;
  turned.Brush().Style = bsClear;
  turned.TextOut(40, 100, "AB");
  int above = 0, below = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 120; ++x)
      if (turned.GetPixel(x, y) == tiled_page::kRed) (y <= 101 ? above : below) += 1;
  EXPECT_GT(above, 20);
  EXPECT_EQ(below, 0);
}

namespace {
class TEndWatcher : public TOwnerEntity {
 public:
  int ends = 0;
  void HandleMessage(TZeltoMessage*& message, bool& handled) override {
    if (message && message->Message == zelto::msg::EndOfDrawing) ++ends;
  }
};
}  // namespace

TEST(ImageCanvasDevice, TellsItsOwnersWhenADrawingPassEnds) {
  TEndWatcher watcher;
  auto* device = new TImageCanvasDevice;
  device->SetOwnsBitmap(true);
  device->SetBitmap(new TMemoryRaster(10, 10));
  watcher.Add(device);
  device->BeginDraw();
  device->EndDraw();
  zelto::ProcessPendingMessages();
  EXPECT_EQ(watcher.ends, 1);
  watcher.Delete(device);
}
