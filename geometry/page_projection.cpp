#include "geometry/page_projection.h"

#include <cmath>
#include <string>

#include "framework/entity.h"
#include "framework/value_stream.h"

using geometry::kDeviceCoordLimit;
using geometry::PointD;
using geometry::WorldRect;

ZELTO_IMPLEMENT_ELEMENT(T_Page, TOwnerElement, [](auto& p) {
  p.Integer("Width", &T_Page::GetWidth);
  p.Integer("Height", &T_Page::GetHeight);
  p.Float("HRes", &T_Page::GetHRes);
  p.Float("VRes", &T_Page::GetVRes);
})
ZELTO_IMPLEMENT_ELEMENT(TProjection, TOwnerElement, [](auto& p) {
  p.Float("Scale", &TProjection::GetScale, &TProjection::SetScale);
  p.Float("Angle", &TProjection::GetAngle, &TProjection::SetAngle);
  p.Float("RotateCenter_X", &TProjection::GetRotateCenterX, &TProjection::SetRotateCenterX);
  p.Float("RotateCenter_Y", &TProjection::GetRotateCenterY, &TProjection::SetRotateCenterY);
  p.Float("VirtualScale", &TProjection::GetVirtualScale, &TProjection::SetVirtualScale);
  p.Float("Center_X", &TProjection::GetCenterX, &TProjection::SetCenterX);
  p.Float("Center_Y", &TProjection::GetCenterY, &TProjection::SetCenterY);
  p.Boolean("IsOK", &TProjection::GetIsOK);
})
ZELTO_IMPLEMENT_ELEMENT(TPageProjection, TProjection, ZELTO_NO_PROPERTIES)

namespace {
std::string rawInt32(std::int32_t v) {
  std::string raw(4, '\0');
  for (int i = 0; i < 4; ++i) raw[i] = static_cast<char>(static_cast<std::uint32_t>(v) >> (8 * i));
  return raw;
}
std::int32_t int32FromRaw(const std::string& raw) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= std::uint32_t{static_cast<unsigned char>(raw[i])} << (8 * i);
  return static_cast<std::int32_t>(v);
}
}  // namespace

void T_Page::ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) {
  TOwnerElement::ReadData(reader, loaded);
  const std::string raw = reader.ReadRaw(geometry::kPageBlockSize);
  block_ = geometry::decodePageBlock(reinterpret_cast<const std::uint8_t*>(raw.data()));
}

void T_Page::WriteData(zelto::ValueWriter& writer) {
  TOwnerElement::WriteData(writer);
  const auto bytes = geometry::encodePageBlock(block_);
  writer.WriteRaw({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

void TProjection::ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) {
  TOwnerElement::ReadData(reader, loaded);
  const std::string raw = reader.ReadRaw(geometry::kProjectionBlockSize);
  SetBlock(geometry::decodeProjectionBlock(reinterpret_cast<const std::uint8_t*>(raw.data())));
}

void TProjection::WriteData(zelto::ValueWriter& writer) {
  TOwnerElement::WriteData(writer);
  const auto bytes = geometry::encodeProjectionBlock(Block());
  writer.WriteRaw({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

void TPageProjection::ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) {
  TProjection::ReadData(reader, loaded);
  const std::int32_t index = int32FromRaw(reader.ReadRaw(4));
  if (index >= 0 && index < loaded.GetCount()) {
    TElement* e = loaded.GetItem(index);
    if (e && e->Is<T_Page>()) SetPage(static_cast<T_Page*>(e));
  }
}

void TPageProjection::WriteData(zelto::ValueWriter& writer) {
  TProjection::WriteData(writer);
  writer.WriteRaw(rawInt32(page_ ? page_->ID : -1));
}

std::int32_t RoundToDeviceCoord(double v) {
  if (std::isnan(v)) return 0;
  if (v > kDeviceCoordLimit) v = kDeviceCoordLimit;
  else if (v < -kDeviceCoordLimit) v = -kDeviceCoordLimit;
  return static_cast<std::int32_t>(std::nearbyint(v));
}

std::int32_t T_Page::GetWidth() const {
  return static_cast<std::int32_t>(std::int64_t{block_.PageRect.Right} - block_.PageRect.Left);
}

std::int32_t T_Page::GetHeight() const {
  return static_cast<std::int32_t>(std::int64_t{block_.PageRect.Bottom} - block_.PageRect.Top);
}

void T_Page::Assign(const TElement* element) {
  if (!element || !element->Is<T_Page>()) return;
  const T_Page& source = *static_cast<const T_Page*>(element);
  block_.PaperColor = source.block_.PaperColor;
  block_.InnerRect = source.block_.InnerRect;
  useInnerRect_ = source.useInnerRect_;
  centreOnInnerRect_ = source.centreOnInnerRect_;
  block_.PageRect = source.block_.PageRect;
  block_.HRes = source.block_.HRes;
  block_.VRes = source.block_.VRes;
}

void TProjection::SetAngle(double a) {
  angle_ = a;
  if (rotateCenterX_ == 0.0 && rotateCenterY_ == 0.0) {
    rotateCenterX_ = centerX_;
    rotateCenterY_ = centerY_;
  }
}

double TProjection::GetVirtualScale() {
  if (virtualScale_ == 0.0) virtualScale_ = 5000.0;
  return virtualScale_;
}

bool TProjection::GetIsOK() const {
  if (centerX_ == 0.0 && centerY_ == 0.0) return false;
  return scale_ > 0.0 && scale_ < 1e30;
}

void TProjection::Assign(TElement* element) {
  if (!element || !element->Is<TProjection>()) return;
  TProjection& source = *static_cast<TProjection*>(element);
  SetCenter({source.centerX_, source.centerY_});
  SetScale(source.scale_);
  virtualScale_ = source.GetVirtualScale();
  units_ = source.units_;
  xUnits_ = source.xUnits_;
  yUnits_ = source.yUnits_;
  originX_ = source.originX_;
  originY_ = source.originY_;
}

geometry::ProjectionBlock TProjection::Block() const {
  return {centerX_, centerY_, scale_, virtualScale_, xUnits_, yUnits_, units_, originX_};
}

void TProjection::SetBlock(const geometry::ProjectionBlock& b) {
  centerX_ = b.Center_X;
  centerY_ = b.Center_Y;
  scale_ = b.Scale;
  virtualScale_ = b.VirtualScale;
  xUnits_ = b.XUnitsPerPixel;
  yUnits_ = b.YUnitsPerPixel;
  units_ = b.UnitsPerPixel;
  originX_ = b.OriginX;
}

void TPageProjection::Setup(PointD centre, T_Page* page, double scale) {
  centerX_ = centre.X;
  centerY_ = centre.Y;
  scale_ = scale;
  page_ = page;
  if (!page) return;
  std::int64_t cx, cy;
  if (page->GetUseInnerRect() && page->GetCentreOnInnerRect()) {
    const TDeviceRect& r = page->GetInnerRect();
    cx = (std::int64_t{r.Right} - r.Left) / 2 + r.Left;
    cy = (std::int64_t{r.Bottom} - r.Top) / 2 + r.Top;
  } else {
    const TDeviceRect& r = page->GetPageRect();
    cx = (std::int64_t{r.Right} - r.Left) / 2;
    cy = (std::int64_t{r.Bottom} - r.Top) / 2;
  }
  xUnits_ = scale / page->GetHRes();
  yUnits_ = scale / page->GetVRes();
  units_ = yUnits_ > xUnits_ ? yUnits_ : xUnits_;
  originX_ = centerX_ - static_cast<double>(cx) * xUnits_;
  originY_ = centerY_ + static_cast<double>(cy) * yUnits_;
}

void TPageProjection::SetPage(T_Page* page) {
  page_ = page;
  Recompute();
}

void TPageProjection::SetCenter(PointD centre) {
  centerX_ = centre.X;
  centerY_ = centre.Y;
  Recompute();
}

void TPageProjection::SetCenterX(double x) {
  centerX_ = x;
  Recompute();
}

void TPageProjection::SetCenterY(double y) {
  centerY_ = y;
  Recompute();
}

void TPageProjection::SetScale(double s) {
  scale_ = s;
  Recompute();
}

void TPageProjection::GetWorldRect(WorldRect& rect) const {
  if (!page_) return;
  const TDeviceRect& r = page_->GetPageRect();
  DeviceToWorldRect(r.Left, r.Top, r.Right, r.Bottom, rect);
}

void TPageProjection::GetInnerWorldRect(WorldRect& rect) const {
  if (!page_) return;
  if (!page_->GetUseInnerRect()) {
    GetWorldRect(rect);
    return;
  }
  const TDeviceRect& r = page_->GetInnerRect();
  DeviceToWorldRect(r.Left, r.Top, r.Right, r.Bottom, rect);
}

void TPageProjection::FitWorldRect(const WorldRect& rect) {
  if (!page_) return;
  const double w = rect.MaxX - rect.MinX;
  const double h = rect.MaxY - rect.MinY;
  const double paperW = page_->GetPageRect().Right / page_->GetHRes();
  const double paperH = page_->GetPageRect().Bottom / page_->GetVRes();
  const double sx = w / paperW;
  const double sy = h / paperH;
  const double scale = sx > sy ? sx : sy;
  // A page without extent or resolution leaves the projection as it was.
  if (!std::isfinite(paperW) || !std::isfinite(paperH) || paperW == 0.0 || paperH == 0.0 ||
      !std::isfinite(scale))
    return;
  Setup({w / 2 + rect.MinX, h / 2 + rect.MinY}, page_, scale);
}

void TPageProjection::ShowWorldRect(const WorldRect& rect, T_Page* page) {
  page_ = page;
  FitWorldRect(rect);
}

void TPageProjection::ShowRectangle(TRectangle& rectangle, T_Page* page) {
  ShowWorldRect({rectangle.MinX(), rectangle.MinY(), rectangle.MaxX(), rectangle.MaxY()}, page);
}

void TPageProjection::SetInnerWorldRect(const WorldRect& rect) {
  if (!page_) return;
  TDeviceRect r;
  WorldToDeviceRect(r, rect.MinX, rect.MinY, rect.MaxX, rect.MaxY);
  page_->SetInnerRect(r);
}

void TPageProjection::DeviceToWorldPoint(std::int32_t x, std::int32_t y, PointD& point) const {
  point.X = DeviceToWorldX(x);
  point.Y = DeviceToWorldY(y);
}

void TPageProjection::DeviceToWorldRect(std::int32_t left, std::int32_t top, std::int32_t right,
                                        std::int32_t bottom, WorldRect& rect) const {
  rect.MinX = DeviceToWorldX(left);
  rect.MinY = DeviceToWorldY(bottom);
  rect.MaxX = DeviceToWorldX(right);
  rect.MaxY = DeviceToWorldY(top);
}

std::int32_t TPageProjection::WorldToDeviceX(double x) const {
  if (xUnits_ == 0.0) return 0;
  return RoundToDeviceCoord((x - originX_) / xUnits_);
}

std::int32_t TPageProjection::WorldToDeviceY(double y) const {
  if (yUnits_ == 0.0) return 0;
  return RoundToDeviceCoord((originY_ - y) / yUnits_);
}

void TPageProjection::WorldToDevicePoint(TDevicePoint& point, double x, double y) const {
  point = {};
  if (xUnits_ == 0.0 || yUnits_ == 0.0) return;
  point.X = RoundToDeviceCoord((x - originX_) / xUnits_);
  point.Y = RoundToDeviceCoord((originY_ - y) / yUnits_);
}

void TPageProjection::WorldToDeviceRect(TDeviceRect& rect, double minX, double minY, double maxX,
                                        double maxY) const {
  TDevicePoint upperLeft, lowerRight;
  WorldToDevicePoint(upperLeft, minX, maxY);
  WorldToDevicePoint(lowerRight, maxX, minY);
  rect = {upperLeft.X, upperLeft.Y, lowerRight.X, lowerRight.Y};
}

std::int32_t TPageProjection::WorldToDeviceDX(double dx) const {
  return xUnits_ == 0.0 ? 0 : RoundToDeviceCoord(dx / xUnits_);
}

std::int32_t TPageProjection::WorldToDeviceDY(double dy) const {
  return yUnits_ == 0.0 ? 0 : RoundToDeviceCoord(dy / yUnits_);
}

std::int32_t TPageProjection::WorldToDeviceLength(double length) const {
  return WorldToDeviceDY(length);
}
