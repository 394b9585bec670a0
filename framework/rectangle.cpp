#include "framework/rectangle.h"

#include <cmath>
#include <utility>

#include "framework/value_stream.h"

ZELTO_IMPLEMENT_ELEMENT(TRectangle, TElement, [](auto& p) {
  p.Float("MinX", &TRectangle::MinX, &TRectangle::SetMinX);
  p.Float("MinY", &TRectangle::MinY, &TRectangle::SetMinY);
  p.Float("MaxX", &TRectangle::MaxX, &TRectangle::SetMaxX);
  p.Float("MaxY", &TRectangle::MaxY, &TRectangle::SetMaxY);
  p.Float("Width", &TRectangle::GetWidth, &TRectangle::SetWidth);
  p.Float("Height", &TRectangle::GetHeight, &TRectangle::SetHeight);
})

TRectangle::TRectangle() : minX_(kEmpty), minY_(kEmpty), maxX_(-kEmpty), maxY_(-kEmpty) {}

TRectangle::TRectangle(double minX, double minY, double maxX, double maxY)
    : minX_(minX), minY_(minY), maxX_(maxX), maxY_(maxY) {}

void TRectangle::Reset() {
  minX_ = kEmpty;
  minY_ = kEmpty;
  maxX_ = -kEmpty;
  maxY_ = -kEmpty;
}

bool TRectangle::IsValid() const {
  return MinX() <= MaxX() && MinY() <= MaxY() && std::fabs(MinX()) < kEmpty &&
         std::fabs(MinY()) < kEmpty && std::fabs(MaxX()) < kEmpty && std::fabs(MaxY()) < kEmpty;
}

void TRectangle::ExtendToPoint(double x, double y) {
  if (minX_ > x) minX_ = x;
  if (maxX_ < x) maxX_ = x;
  if (minY_ > y) minY_ = y;
  if (maxY_ < y) maxY_ = y;
}

void TRectangle::ExtendToCoordinate(const TCoordinate& coordinate) {
  ExtendToPoint(coordinate.GetX(), coordinate.GetY());
}

void TRectangle::ExtendByRect(const TRectangle& other) {
  if (!other.IsValid()) return;
  ExtendToPoint(other.MinX(), other.MinY());
  ExtendToPoint(other.MaxX(), other.MaxY());
}

void TRectangle::Normalize() {
  if (minX_ > maxX_) std::swap(minX_, maxX_);
  if (minY_ > maxY_) std::swap(minY_, maxY_);
}

void TRectangle::MoveBy(double dx, double dy) {
  minX_ += dx;
  maxX_ += dx;
  minY_ += dy;
  maxY_ += dy;
}

bool TRectangle::Intersects(const TRectangle& other) const {
  return !(MinX() > other.MaxX() || MaxX() < other.MinX() || MinY() > other.MaxY() ||
           MaxY() < other.MinY());
}

void TRectangle::GetCenter(double& x, double& y) const {
  x = MinX() + (MaxX() - MinX()) / 2;
  y = MinY() + (MaxY() - MinY()) / 2;
}

TBoundsRecord TRectangle::GetPaddedBounds() const {
  return {MinX() - 10, MinY() - 10, MaxX() + 10, MaxY() + 10};
}

TRectangle* TRectangle::Clone() const {
  auto* copy = static_cast<TRectangle*>(ClassType().Create());
  copy->SetMinX(MinX());
  copy->SetMinY(MinY());
  copy->SetMaxX(MaxX());
  copy->SetMaxY(MaxY());
  return copy;
}

void TRectangle::Assign(const TElement* source) {
  const auto* other = dynamic_cast<const TRectangle*>(source);
  if (!other) return;
  SetMinX(other->MinX());
  SetMinY(other->MinY());
  SetMaxX(other->MaxX());
  SetMaxY(other->MaxY());
}

void TRectangle::ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) {
  TElement::ReadData(reader, loaded);
  const double minX = reader.ReadFloat();
  const double minY = reader.ReadFloat();
  const double maxX = reader.ReadFloat();
  const double maxY = reader.ReadFloat();
  SetMinX(minX);
  SetMinY(minY);
  SetMaxX(maxX);
  SetMaxY(maxY);
}

void TRectangle::WriteData(zelto::ValueWriter& writer) {
  TElement::WriteData(writer);
  writer.WriteFloat(MinX());
  writer.WriteFloat(MinY());
  writer.WriteFloat(MaxX());
  writer.WriteFloat(MaxY());
}
