#include "render/tile_device.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/message_dispatch.h"
#include "framework/zelto_message.h"
#include "platform/message_queue.h"
#include "render/memory_raster.h"

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
