#include "framework/rect_entity.h"

#include "framework/class_registry.h"
#include "framework/draw_items.h"
#include "framework/name_compare.h"
#include "framework/value_stream.h"

ZELTO_IMPLEMENT_ELEMENT(TRectEntity, TOwnerEntity, [](auto& p) {
  using E = TRectEntity;
  p.Integer("Index", &E::Index, &E::Index);
  p.Float("MinX", &E::GetMinX, &E::SetMinX);
  p.Float("MinY", &E::GetMinY, &E::SetMinY);
  p.Float("MaxX", &E::GetMaxX, &E::SetMaxX);
  p.Float("MaxY", &E::GetMaxY, &E::SetMaxY);
  p.Boolean("IsValid", &E::GetIsValid);
  p.Float("Width", &E::GetWidth, &E::SetWidth);
  p.Float("Height", &E::GetHeight, &E::SetHeight);
  p.Float("CenterX", &E::GetCenterX);
  p.Float("CenterY", &E::GetCenterY);
  p.Float("X", &E::GetAbsRefX, &E::SetX);
  p.Float("Y", &E::GetAbsRefY, &E::SetY);
  p.Float("RelRefX", &E::GetRelRefX, &E::SetRelRefX);
  p.Float("RelRefY", &E::GetRelRefY, &E::SetRelRefY);
  p.Float("DeltaRefX", &E::GetDeltaRefX, &E::SetDeltaRefX);
  p.Float("DeltaRefY", &E::GetDeltaRefY, &E::SetDeltaRefY);
  p.Float("AbsRefX", &E::GetAbsRefX, &E::SetAbsRefX);
  p.Float("AbsRefY", &E::GetAbsRefY, &E::SetAbsRefY);
  p.String("HorizAllign", &E::GetHorizAllign, &E::SetHorizAllign);
  p.String("VertAllign", &E::GetVertAllign, &E::SetVertAllign);
  p.Integer("RefPosition", &E::GetRefPosition,
            [](E& e, std::int64_t v) { e.SetRefPosition(static_cast<TRefPosition>(v)); });
  p.Float("DeltaX", nullptr, [](E& e, double v) { e.MoveBy(v, 0); });
  p.Float("DeltaY", nullptr, [](E& e, double v) { e.MoveBy(0, v); });
  p.Boolean("UpdateNoReset", nullptr, &E::SetUpdateNoReset);
})

namespace {

// Extents this small count as none when the anchor is made relative.
constexpr double kTinyExtent = 1e-20;

const TRectangle& emptyRectangle() {
  static const TRectangle empty;
  return empty;
}

}  // namespace

TRectEntity::TRectEntity() = default;
TRectEntity::~TRectEntity() = default;

TRectangle* TRectEntity::GetRectangle() {
  if (!rectangle_) rectangle_ = std::make_unique<TRectangle>();
  return rectangle_.get();
}

const TRectangle& TRectEntity::Rect() const { return rectangle_ ? *rectangle_ : emptyRectangle(); }

void TRectEntity::SetRectangle(TRectangle* rectangle) { rectangle_.reset(rectangle); }


double TRectEntity::GetCenterX() const {
  double x = 0, y = 0;
  Rect().GetCenter(x, y);
  return x;
}

double TRectEntity::GetCenterY() const {
  double x = 0, y = 0;
  Rect().GetCenter(x, y);
  return y;
}

void TRectEntity::SetWidth(double value) {
  const double anchor = GetAbsRefX();
  GetRectangle()->SetMaxX(GetMinX() + value);
  SetAbsRefX(anchor);
}

void TRectEntity::SetHeight(double value) {
  const double anchor = GetAbsRefY();
  GetRectangle()->SetMaxY(GetMinY() + value);
  SetAbsRefY(anchor);
}

void TRectEntity::SetRelRefX(double value) {
  if (value == GetRelRefX()) return;
  const double d0 = GetDeltaRefX();
  relRefX_ = value;
  MoveBy(d0 - GetDeltaRefX(), 0);
}

void TRectEntity::SetRelRefY(double value) {
  if (value == GetRelRefY()) return;
  const double d0 = GetDeltaRefY();
  relRefY_ = value;
  MoveBy(0, d0 - GetDeltaRefY());
}

void TRectEntity::SetRelRefPoint(double x, double y) {
  if (x == GetRelRefX() && y == GetRelRefY()) return;
  const double d0x = GetDeltaRefX();
  const double d0y = GetDeltaRefY();
  relRefX_ = x;
  relRefY_ = y;
  MoveBy(d0x - GetDeltaRefX(), d0y - GetDeltaRefY());
}

void TRectEntity::SetDeltaRefX(double value) {
  const double width = GetWidth();
  SetRelRefX(value == 0 || width < kTinyExtent ? 0 : value / width);
}

void TRectEntity::SetDeltaRefY(double value) {
  const double height = GetHeight();
  SetRelRefY(value == 0 || height < kTinyExtent ? 0 : value / height);
}

void TRectEntity::SetAbsRefX(double value) {
  const double width = GetWidth();
  relRefX_ = width < kTinyExtent ? 0 : (value - GetMinX()) / width;
}

void TRectEntity::SetAbsRefY(double value) {
  const double height = GetHeight();
  relRefY_ = height < kTinyExtent ? 0 : (value - GetMinY()) / height;
}

void TRectEntity::SetX(double value) {
  if (!GetIsValid()) {
    SetMinX(value);
    SetMaxX(value);
    return;
  }
  MoveBy(value - GetAbsRefX(), 0);
}

void TRectEntity::SetY(double value) {
  if (!GetIsValid()) {
    SetMinY(value);
    SetMaxY(value);
    return;
  }
  MoveBy(0, value - GetAbsRefY());
}

std::string TRectEntity::GetHorizAllign() const {
  const double r = GetRelRefX();
  if (r == 0) return "LEFT";
  if (r == 0.5) return "CENTER";
  if (r == 1) return "RIGHT";
  return "OTHER";
}

std::string TRectEntity::GetVertAllign() const {
  const double r = GetRelRefY();
  if (r == 0) return "DOWN";
  if (r == 0.5) return "CENTER";
  if (r == 1) return "TOP";
  return "OTHER";
}

void TRectEntity::SetHorizAllign(const std::string& text) {
  const std::string t = zelto::UpperAZ(text);
  if (t == "LEFT") SetRelRefX(0);
  else if (t == "CENTER") SetRelRefX(0.5);
  else if (t == "RIGHT") SetRelRefX(1);
}

void TRectEntity::SetVertAllign(const std::string& text) {
  const std::string t = zelto::UpperAZ(text);
  if (t == "DOWN") SetRelRefY(0);
  else if (t == "CENTER") SetRelRefY(0.5);
  else if (t == "TOP") SetRelRefY(1);
}

TRefPosition TRectEntity::GetRefPosition() const {
  const auto step = [](double r) { return r == 0 ? 0 : r == 0.5 ? 1 : r == 1 ? 2 : -1; };
  const int column = step(GetRelRefX());
  const int row = step(GetRelRefY());
  if (column < 0 || row < 0) return 0;
  return static_cast<TRefPosition>(1 + 3 * column + row);
}

void TRectEntity::SetRefPosition(TRefPosition position) {
  if (position < 1 || position > 9) return;
  const int column = (position - 1) / 3;
  const int row = (position - 1) % 3;
  SetRelRefPoint(column * 0.5, row * 0.5);
}

void TRectEntity::ExtendBy(TElement* element) {
  // Once per vertex read: the class chain answers faster than a dynamic_cast.
  if (!element) return;
  if (element->Is<TCoordinate>()) {
    GetRectangle()->ExtendToCoordinate(*static_cast<TCoordinate*>(element));
  } else if (element->Is<TRectEntity>()) {
    GetRectangle()->ExtendByRect(static_cast<TRectEntity*>(element)->Rect());
  }
}

void TRectEntity::AddAndExtend(TElement* element) {
  ExtendBy(element);
  Add(element);
}

void TRectEntity::ExtendByChildren() {
  for (TElement* child : Items()) ExtendBy(child);
}

void TRectEntity::RecalcEnvelope() {
  GetRectangle()->Reset();
  ExtendByChildren();
}

double TRectEntity::GetLongerSide() const {
  const double w = GetMaxX() - GetMinX();
  const double h = GetMaxY() - GetMinY();
  return h > w ? h : w;
}

void TRectEntity::SetUpdateNoReset(bool extend) {
  if (extend) ExtendByChildren();
  else GetRectangle()->Reset();
}

bool TRectEntity::IsInsideRect(double minX, double minY, double maxX, double maxY) const {
  return GetMinX() >= minX && GetMaxX() <= maxX && GetMinY() >= minY && GetMaxY() <= maxY;
}

bool TRectEntity::ContainsRect(double minX, double minY, double maxX, double maxY) const {
  return GetMinX() <= minX && GetMaxX() >= maxX && GetMinY() <= minY && GetMaxY() >= maxY;
}

bool TRectEntity::IntersectsRect(double minX, double minY, double maxX, double maxY) const {
  return !(GetMaxX() < minX || GetMinX() > maxX || GetMaxY() < minY || GetMinY() > maxY);
}

bool TRectEntity::ContainsPoint(double x, double y) const {
  return GetMinX() <= x && x <= GetMaxX() && GetMinY() <= y && y <= GetMaxY();
}

TBoundsRecord TRectEntity::IntersectionWith(const TBoundsRecord& other) const {
  TBoundsRecord out;
  out.MinX = std::max(GetMinX(), other.MinX);
  out.MaxX = std::min(GetMaxX(), other.MaxX);
  if (out.MinX >= out.MaxX) return {};
  out.MinY = std::max(GetMinY(), other.MinY);
  out.MaxY = std::min(GetMaxY(), other.MaxY);
  if (out.MinY >= out.MaxY) return {};
  return out;
}

void TRectEntity::Assign(const TElement* source) {
  const auto* other = dynamic_cast<const TRectEntity*>(source);
  if (!other) return;
  Index = other->Index;
  SetRectangle(other->Rect().Clone());
}

int TRectEntity::GetSize() const {
  int size = TOwnerEntity::GetSize();
  if (rectangle_) size += rectangle_->GetSize();
  return size;
}

void TRectEntity::ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) {
  TOwnerEntity::ReadData(reader, loaded);
  const double minX = reader.ReadFloat();
  const double minY = reader.ReadFloat();
  const double maxX = reader.ReadFloat();
  const double maxY = reader.ReadFloat();
  SetMinX(minX);
  SetMinY(minY);
  SetMaxX(maxX);
  SetMaxY(maxY);
}

void TRectEntity::WriteData(zelto::ValueWriter& writer) {
  TOwnerEntity::WriteData(writer);
  writer.WriteFloat(GetMinX());
  writer.WriteFloat(GetMinY());
  writer.WriteFloat(GetMaxX());
  writer.WriteFloat(GetMaxY());
}

TElement* TRectEntity::CreateEnvelope() {
  TElement* envelope = TOwnerEntity::CreateEnvelope();
  if (auto* r = dynamic_cast<TRectEntity*>(envelope)) r->GetRectangle()->Assign(&Rect());
  return envelope;
}

void RegisterRectEntityClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(T2DCoordinate::StaticClass());
  RegisterZeltoClass(T3DCoordinate::StaticClass());
  RegisterZeltoClass(TRectangle::StaticClass());
  RegisterZeltoClass(TRectEntity::StaticClass());
  RegisterZeltoClass(TSelectedElement::StaticClass());
  RegisterZeltoClass(TDrawRectangle::StaticClass());
  RegisterZeltoClass(TText::StaticClass());
}
