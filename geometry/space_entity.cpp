#include "geometry/space_entity.h"

#include <cmath>

#include "framework/dynamic_properties.h"
#include "framework/zelto_message.h"
#include "geometry/plane_geometry.h"
#include "geometry/space_entity_props.h"

ZELTO_IMPLEMENT_ELEMENT(TSpaceEntity, TRectEntity, [](auto& p) {
  p.Integer("SpaceID", &TSpaceEntity::GetSpaceID, &TSpaceEntity::SetSpaceID);
  p.Integer("Group", &TSpaceEntity::GetGroup);
  p.Boolean("IsDone", &TSpaceEntity::GetIsDone, &TSpaceEntity::SetIsDone);
  p.Float("Angle", &TSpaceEntity::Angle, &TSpaceEntity::Angle);
  p.Object("Properties", TElement::StaticClass(), &TSpaceEntity::GetProperties,
           &TSpaceEntity::SetProperties);
})
ZELTO_IMPLEMENT_ELEMENT(TSpaceEntityString, TSpaceEntity, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TPointElement, TSpaceEntity, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TPointString, TSpaceEntityString, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TTextElement, TSpaceEntity, [](auto& p) {
  p.String("Text", &TTextElement::GetText, &TTextElement::SetText);
})
ZELTO_IMPLEMENT_ELEMENT(TTextString, TSpaceEntityString, ZELTO_NO_PROPERTIES)

TSpaceEntity::~TSpaceEntity() { delete properties_; }

void TSpaceEntity::SetProperties(TElement* properties) {
  if (properties == properties_) return;
  delete properties_;
  properties_ = properties;
  if (properties_ && properties_->Is<TSpaceEntityProps>())
    static_cast<TSpaceEntityProps*>(properties_)->SpaceEntity = this;
}

std::int32_t TSpaceEntity::GetSpaceID() {
  if (!properties_) return -1;
  if (properties_->Is<TSpaceEntityProps>())
    return static_cast<TSpaceEntityProps*>(properties_)->GetSpaceID();
  return properties_->GetPropertyInt("SPACEID");
}

void TSpaceEntity::SetSpaceID(std::int32_t value) {
  if (properties_) properties_->SetPropertyInt("SPACEID", value);
}

std::int32_t TSpaceEntity::GetGroup() {
  return properties_ ? properties_->GetPropertyInt("GROUP") : -1;
}

bool TSpaceEntity::IsPublished(const std::string& name) const {
  return ClassType().IndexOfProperty(name) >= 0;
}

bool TSpaceEntity::HasProperty(const std::string& name) {
  if (TRectEntity::HasProperty(name)) return true;
  return properties_ && properties_->HasProperty(name);
}

void TSpaceEntity::GetPropertyText(const std::string& name, std::string& text) {
  TRectEntity::GetPropertyText(name, text);
  if (text.empty() && properties_) properties_->GetPropertyText(name, text);
}

void TSpaceEntity::SetPropertyText(const std::string& name, const std::string& text) {
  if (IsPublished(name)) TRectEntity::SetPropertyText(name, text);
  else if (properties_) properties_->SetPropertyText(name, text);
}

void TSpaceEntity::AssignSpace(TSpaceEntity& source) {
  TRectEntity::Assign(&source);
  if (source.properties_ && source.properties_->Is<TSpaceEntityProps>())
    SetProperties(static_cast<TSpaceEntityProps*>(source.properties_)->Clone());
}

bool TSpaceEntity::HitTest(T2DCoordinate* point, double tolerance) {
  if (!point) return false;
  return std::fabs(tolerance) > Distance(point->X, point->Y, GetAbsRefX(), GetAbsRefY());
}

bool TSpaceEntity::NoChildHasOwner(const TElement* element) const {
  for (TElement* child : Items())
    if (child->Is<TSpaceEntity>() && child->HasOwner(element)) return false;
  return true;
}

void TSpaceEntityString::HandleMessage(TZeltoMessage*& message, bool& handled) {
  TSpaceEntity::HandleMessage(message, handled);
  if (handled || !message || message->Message != zelto::msg::LineSplit) return;
  if (TElement* piece = message->Data()) Add(piece);
}

void TSpaceEntityString::SetPropertyText(const std::string& name, const std::string& text) {
  if (!IsPublished(name) && !GetProperties()) SetProperties(new TDynamicProperties);
  TSpaceEntity::SetPropertyText(name, text);
}
