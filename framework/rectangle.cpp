#include "framework/rectangle.h"

#include <cmath>

#include "framework/value_stream.h"

ZELTO_IMPLEMENT_ELEMENT(TRectangle, TElement, [](auto& p) {
  p.Float("MinX", &TRectangle::MinX, &TRectangle::SetMinX);
  p.Float("MinY", &TRectangle::MinY, &TRectangle::SetMinY);
  p.Float("MaxX", &TRectangle::MaxX, &TRectangle::SetMaxX);
  p.Float("MaxY", &TRectangle::MaxY, &TRectangle::SetMaxY);
  p.Float("Width", &TRectangle::GetWidth, &TRectangle::SetWidth);
  p.Float("Height", &TRectangle::GetHeight, &TRectangle::SetHeight);
})

TRectangle::TRectangle() : minCorner_(kEmpty, kEmpty), maxCorner_(-kEmpty, -kEmpty) {}

TRectangle::TRectangle(double minX, double minY, double maxX, double maxY)
    : minCorner_(minX, minY), maxCorner_(maxX, maxY) {}

void TRectangle::Reset() {
  GetMinCorner()->X = kEmpty;
  GetMinCorner()->Y = kEmpty;
  GetMaxCorner()->X = -kEmpty;
  GetMaxCorner()->Y = -kEmpty;
}

bool TRectangle::IsValid() const {
  return MinX() <= MaxX() && MinY() <= MaxY() && std::fabs(MinX()) < kEmpty &&
         std::fabs(MinY()) < kEmpty && std::fabs(MaxX()) < kEmpty && std::fabs(MaxY()) < kEmpty;
}

void TRectangle::ExtendToPoint(double x, double y) {
  T2DCoordinate* lo = GetMinCorner();
  T2DCoordinate* hi = GetMaxCorner();
  if (lo->X > x) lo->X = x;
  if (hi->X < x) hi->X = x;
  if (lo->Y > y) lo->Y = y;
  if (hi->Y < y) hi->Y = y;
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
  if (minCorner_.X > maxCorner_.X) std::swap(minCorner_.X, maxCorner_.X);
  if (minCorner_.Y > maxCorner_.Y) std::swap(minCorner_.Y, maxCorner_.Y);
}

void TRectangle::MoveBy(double dx, double dy) {
  GetMinCorner()->X += dx;
  GetMaxCorner()->X += dx;
  GetMinCorner()->Y += dy;
  GetMaxCorner()->Y += dy;
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

int TRectangle::GetSize() const {
  int size = TElement::GetSize();
  size += minCorner_.GetSize();
  size += maxCorner_.GetSize();
  return size;
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
