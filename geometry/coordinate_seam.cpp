#include "geometry/coordinate_seam.h"

#include <cmath>

namespace geometry::seam {

ZELTO_IMPLEMENT_ELEMENT(Coordinate2D, TOwnerElement, [](auto& p) {
  p.Float("X", &Coordinate2D::X, &Coordinate2D::X);
  p.Float("Y", &Coordinate2D::Y, &Coordinate2D::Y);
})

ZELTO_IMPLEMENT_ELEMENT(RectEntity, TOwnerEntity, [](auto& p) {
  p.Integer("Index", &RectEntity::Index, &RectEntity::Index);
  p.Float("MinX", &RectEntity::GetMinX, &RectEntity::SetMinX);
  p.Float("MinY", &RectEntity::GetMinY, &RectEntity::SetMinY);
  p.Float("MaxX", &RectEntity::GetMaxX, &RectEntity::SetMaxX);
  p.Float("MaxY", &RectEntity::GetMaxY, &RectEntity::SetMaxY);
  p.Boolean("IsValid", &RectEntity::GetIsValid);
  p.Float("Width", &RectEntity::GetWidth);
  p.Float("Height", &RectEntity::GetHeight);
  p.Float("CenterX", &RectEntity::GetCenterX);
  p.Float("CenterY", &RectEntity::GetCenterY);
  p.Float("AbsRefX", &RectEntity::GetAbsRefX, &RectEntity::SetAbsRefX);
  p.Float("AbsRefY", &RectEntity::GetAbsRefY, &RectEntity::SetAbsRefY);
})

Coordinate2D* Coordinate2D::Clone() const { return new Coordinate2D(X, Y); }

bool RectEntity::GetIsValid() const {
  return minX_ <= maxX_ && minY_ <= maxY_ && std::fabs(minX_) < 1e30 && std::fabs(minY_) < 1e30 &&
         std::fabs(maxX_) < 1e30 && std::fabs(maxY_) < 1e30;
}

void RectEntity::ResetRectangle() {
  minX_ = minY_ = 1e30;
  maxX_ = maxY_ = -1e30;
}

void RectEntity::ExtendToPoint(double x, double y) {
  if (minX_ > x) minX_ = x;
  if (maxX_ < x) maxX_ = x;
  if (minY_ > y) minY_ = y;
  if (maxY_ < y) maxY_ = y;
}

void RectEntity::ExtendBy(TElement* element) {
  if (!element) return;
  if (element->Is<Coordinate2D>()) {
    auto* c = static_cast<Coordinate2D*>(element);
    ExtendToPoint(c->X, c->Y);
  } else if (element->Is<RectEntity>()) {
    auto* r = static_cast<RectEntity*>(element);
    if (!r->GetIsValid()) return;
    ExtendToPoint(r->minX_, r->minY_);
    ExtendToPoint(r->maxX_, r->maxY_);
  }
}

void RectEntity::AddAndExtend(TElement* element) {
  ExtendBy(element);
  Add(element);
}

void RectEntity::ExtendByChildren() {
  for (TElement* child : Items()) ExtendBy(child);
}

void RectEntity::RecalcEnvelope() {
  ResetRectangle();
  ExtendByChildren();
}

bool RectEntity::IntersectsRect(double minX, double minY, double maxX, double maxY) const {
  return !(maxX_ < minX || minX_ > maxX || maxY_ < minY || minY_ > maxY);
}

bool RectEntity::ContainsRect(double minX, double minY, double maxX, double maxY) const {
  return minX_ <= minX && maxX_ >= maxX && minY_ <= minY && maxY_ >= maxY;
}

bool RectEntity::ContainsPointInRect(double x, double y) const {
  return minX_ <= x && x <= maxX_ && minY_ <= y && y <= maxY_;
}

void RectEntity::SetAbsRefX(double v) {
  const double w = GetWidth();
  relRefX_ = w < 1e-20 ? 0.0 : (v - minX_) / w;
}

void RectEntity::SetAbsRefY(double v) {
  const double h = GetHeight();
  relRefY_ = h < 1e-20 ? 0.0 : (v - minY_) / h;
}

}  // namespace geometry::seam
