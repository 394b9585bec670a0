#pragma once
// The raster on which the label-point placer lays an area out: a page of
// 500 x 500 pixels at 200 dots per inch and its projection. The placer only
// converts through it; nothing is drawn.
#include "framework/entity.h"
#include "geometry/page_projection.h"

class TAnalDevice : public TOwnerEntity {
  ZELTO_ELEMENT(TAnalDevice)
 public:
  static constexpr std::int32_t kRasterSize = 500;
  static constexpr double kResolution = 1000.0 * 200.0 / 25.4;  // pixels per metre

  TAnalDevice();
  T_Page* GetPage() const { return page_; }
  TPageProjection* GetProjection() const { return projection_; }
  // Creates the page when missing, sizes it and sets the projection up on it
  // with the projection's own centre and scale.
  void SetupPage();

 private:
  T_Page* page_ = nullptr;              // a child
  TPageProjection* projection_ = nullptr;  // a child
};
