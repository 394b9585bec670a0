#include "render/tile_device.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/message_dispatch.h"
#include "framework/zelto_message.h"
#include "geometry/area_element.h"
#include "platform/message_queue.h"
#include "render/memory_raster.h"

namespace {
constexpr TColor kGreen = RGBColor(0, 255, 0);

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

// Clipping a slanted edge at a strip's border rounds the new corner to a
// pixel, so the strips are compared on a shape of straight edges.
std::unique_ptr<TAreaElement> block() {
  auto area = std::make_unique<TAreaElement>();
  for (auto [x, y] : {std::pair{485.2, 160.1}, {485.2, 235.3}, {509.7, 235.3}, {509.7, 160.1}})
    area->AddVertex(x, y);
  return area;
}

void draw(TDevice& device, TAreaElement& area) {
  device.SetPen({kGreen, 1, psSolid});
  device.SetBrush({kGreen, bsSolid});
  device.DrawArea(&area);
}

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

TEST(TileDevice, StripsAddUpToTheWholePage) {
  Target direct(40, 100), tiled(40, 100);
  std::unique_ptr<TAreaElement> area = block();
  draw(direct.device, *area);

  TTileDevice tiles;
  tiles.SetBudgetOverride(TTileDevice::kDefaultBudget);
  tiles.SetTarget(&tiled.device);
  int strips = 0;
  while (!tiles.GetDone()) {
    tiles.BeginDraw();
    draw(tiles, *area);
    tiles.EndDraw();
    tiles.NextTile();
    ++strips;
    if (strips == 7) {
      EXPECT_EQ(tiles.GetBitmap()->GetHeight(), 9);  // the last one, shortened
    }
  }
  EXPECT_EQ(strips, 8);
  EXPECT_EQ(tiles.GetBitmap(), nullptr);
  EXPECT_EQ(tiled.raster.Pixels(), direct.raster.Pixels());
  EXPECT_EQ(direct.raster.GetPixel(20, 50), kGreen);
  discardMessages();
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
