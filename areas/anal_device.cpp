#include "areas/anal_device.h"

ZELTO_IMPLEMENT_ELEMENT(TAnalDevice, TCanvasDevice, ZELTO_NO_PROPERTIES)

void TAnalDevice::SetupPage() {
  T_Page* page = EnsurePage();
  const TDeviceRect raster{0, 0, kRasterSize, kRasterSize};
  page->SetPageRect(raster);
  page->SetInnerRect(raster);
  page->SetResolution(kResolution, kResolution);
  TPageProjection* projection = GetProjection();
  projection->Setup({projection->GetCenterX(), projection->GetCenterY()}, page,
                    projection->GetScale());
}

TMemoryRaster* TAnalDevice::GetRaster() {
  if (!raster_) {
    raster_ = std::make_unique<TMemoryRaster>(kRasterSize, kRasterSize);
    SetCanvas(raster_.get());
  }
  return raster_.get();
}
