#include "areas/anal_device.h"

ZELTO_IMPLEMENT_ELEMENT(TAnalDevice, TOwnerEntity, ZELTO_NO_PROPERTIES)

TAnalDevice::TAnalDevice() {
  projection_ = new TPageProjection;
  Add(projection_);
}

void TAnalDevice::SetupPage() {
  if (!page_) {
    page_ = new T_Page;
    Add(page_);
  }
  const TDeviceRect raster{0, 0, kRasterSize, kRasterSize};
  page_->SetPageRect(raster);
  page_->SetInnerRect(raster);
  page_->SetResolution(kResolution, kResolution);
  projection_->Setup({projection_->GetCenterX(), projection_->GetCenterY()}, page_,
                     projection_->GetScale());
}
