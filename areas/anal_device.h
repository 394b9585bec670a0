#pragma once
// The raster on which the label-point placer lays an area out: a canvas
// device whose page is 500 x 500 pixels at 200 dots per inch. The placer
// only converts through its projection; a memory bitmap to draw on is made
// when asked for.
#include <memory>

#include "render/device.h"
#include "render/memory_raster.h"

class TAnalDevice : public TCanvasDevice {
  ZELTO_ELEMENT(TAnalDevice)
 public:
  static constexpr std::int32_t kRasterSize = 500;
  static constexpr double kResolution = 1000.0 * 200.0 / 25.4;  // pixels per metre

  // Sizes the page, whatever the canvas, and sets the projection up on it
  // with the projection's own centre and scale.
  void SetupPage() override;
  // The bitmap, made and set as the canvas on first use.
  TMemoryRaster* GetRaster();

 private:
  std::unique_ptr<TMemoryRaster> raster_;
};
