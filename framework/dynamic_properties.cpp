#include "framework/dynamic_properties.h"

#include "framework/class_registry.h"
#include "framework/name_compare.h"
#include "framework/property_access.h"
#include "framework/type_elements.h"

ZELTO_IMPLEMENT_ELEMENT(TProperties, TOwnerEntity, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TDynamicProperties, TProperties, ZELTO_NO_PROPERTIES)

ZELTO_IMPLEMENT_ELEMENT(TProperty, TNameElement, [](auto& p) {
  using E = TProperty;
  p.Object("Instance", TElement::StaticClass(), nullptr, &E::SetInstance);
  p.Integer("PropIndex", &E::PropIndex, &E::PropIndex);
  p.Boolean("IsStored", &E::GetIsStored);
  p.Integer("TypeKind", &E::GetTypeKind);
  p.Int64("PropLongInt", &E::GetPropLongInt);
  p.String("PropString", &E::GetPropString, &E::SetPropString);
})

ZELTO_IMPLEMENT_ELEMENT(TInstanceProperties, TPropertyList, [](auto& p) {
  using E = TInstanceProperties;
  p.Object("Instance", TElement::StaticClass(), &E::Instance, &E::SetInstance);
  p.Integer("PropCount", &E::PropCount);
  p.Object("ActualProperty", TProperty::StaticClass(), &E::ActualProperty);
  p.String("InstClassName", &E::GetInstClassName);
  p.String("PropName", &E::GetPropName, &E::SetPropName);
  p.Integer("PropIndex", &E::GetPropIndex, &E::SetPropIndex);
  p.String("PropString", &E::GetPropString, &E::SetPropString);
  p.Integer("PropKind", &E::GetPropKind);
  p.Boolean("IsList", nullptr, &E::SetIsList);
})

// --- TDynamicProperties --------------------------------------------------------

TTypeElement* TDynamicProperties::FindAttribute(const std::string& name) const {
  return dynamic_cast<TTypeElement*>(FindElementByName(name));
}

bool TDynamicProperties::HasProperty(const std::string& name) { return FindElementByName(name) != nullptr; }

void TDynamicProperties::GetPropertyText(const std::string& name, std::string& text) {
  TTypeElement* a = FindAttribute(name);
  text = a ? a->GetAsString() : std::string();
}

void TDynamicProperties::SetPropertyText(const std::string& name, const std::string& text) {
  if (TTypeElement* a = FindAttribute(name)) {
    a->SetAsString(text);
    return;
  }
  Adopt(TStringElement::CreateNamed(name, text));
}

std::int32_t TDynamicProperties::GetPropertyInt(const std::string& name) {
  TTypeElement* a = FindAttribute(name);
  return a ? a->GetAsInteger() : 0;
}

void TDynamicProperties::SetPropertyInt(const std::string& name, std::int32_t value) {
  if (TTypeElement* a = FindAttribute(name)) {
    a->SetAsInteger(value);
    return;
  }
  auto* e = new TIntegerElement(value);
  e->SetName(name);
  Add(e);
}

bool TDynamicProperties::GetPropertyBool(const std::string& name) {
  TTypeElement* a = FindAttribute(name);
  return a ? a->GetAsBoolean() : false;
}

void TDynamicProperties::SetPropertyBool(const std::string& name, bool value) {
  if (TTypeElement* a = FindAttribute(name)) {
    a->SetAsBoolean(value);
    return;
  }
  auto* e = new TBooleanElement(value);
  e->SetName(name);
  Add(e);
}

// --- TProperty -----------------------------------------------------------------

void TProperty::SetInfo(const TPropInfo* info) {
  info_ = info;
  if (info) SetName(info->Name);
}

bool TProperty::GetIsStored() const {
  TElement* instance = Instance();
  return instance && info_ ? info_->IsStored(*instance) : false;
}

std::int32_t TProperty::GetTypeKind() const {
  return info_ ? static_cast<std::int32_t>(info_->Kind) : 0;
}

std::int64_t TProperty::GetPropLongInt() const {
  TElement* instance = Instance();
  if (!instance || !info_) return 0;
  if (info_->GetOrd) return info_->GetOrd(*instance);
  if (info_->GetObj) {
    TElement* object = info_->GetObj(*instance);
    return object ? static_cast<std::int64_t>(object->GetHandle()) : 0;
  }
  return 0;
}

std::string TProperty::GetPropString() const {
  TElement* instance = Instance();
  std::string text;
  if (instance && info_) GetPropTextByIndex(instance, PropIndex, text);
  return text;
}

void TProperty::SetPropString(const std::string& text) {
  TElement* instance = Instance();
  if (instance && info_) SetPropTextByIndex(instance, PropIndex, text);
}

// --- TInstanceProperties -------------------------------------------------------

TInstanceProperties::~TInstanceProperties() { freeActual(); }

void TInstanceProperties::freeActual() {
  delete actual_;
  actual_ = nullptr;
}

void TInstanceProperties::SetInstance(TElement* instance) {
  table_.clear();
  tableFilled_ = false;
  if (!instance) return;
  instance_.Set(instance);
  instanceClass_ = &instance->ClassType();
  SetName(instance->ClassName() + "_Instance");
  table_ = instanceClass_->Properties();
  propCount_ = static_cast<std::int32_t>(table_.size());
  tableFilled_ = propCount_ > 0;
}

void TInstanceProperties::SetPropIndex(std::int32_t index) {
  if (index < 0 || index >= propCount_ || !hasTable()) return;
  freeActual();
  actual_ = new TProperty();
  actual_->SetInstance(Instance());
  actual_->SetInfo(table_[static_cast<std::size_t>(index)]);
  actual_->PropIndex = index;
}

std::int32_t TInstanceProperties::GetPropIndex() const { return actual_ ? actual_->PropIndex : -1; }

void TInstanceProperties::SetPropName(const std::string& name) {
  if (!hasTable()) return;
  const std::string upper = zelto::UpperAZ(name);
  for (std::size_t i = 0; i < table_.size(); ++i) {
    if (zelto::UpperAZ(table_[i]->Name) == upper) {
      SetPropIndex(static_cast<std::int32_t>(i));
      return;
    }
  }
}

std::string TInstanceProperties::GetPropName() const {
  return actual_ && actual_->Info() ? actual_->Info()->Name : std::string();
}

std::string TInstanceProperties::GetPropString() const {
  return actual_ ? actual_->GetPropString() : std::string();
}

void TInstanceProperties::SetPropString(const std::string& text) {
  if (actual_) actual_->SetPropString(text);
}

std::int32_t TInstanceProperties::GetPropKind() const { return actual_ ? actual_->GetTypeKind() : 0; }

std::string TInstanceProperties::GetInstClassName() const {
  TElement* instance = Instance();
  return instance ? instance->ClassName() : "Unknown class";
}

void TInstanceProperties::SetIsList(bool value) {
  FreeAll();
  if (!value || !hasTable()) return;
  for (std::int32_t i = 0; i < propCount_; ++i) {
    SetPropIndex(i);
    AddNamed(GetPropName(), GetPropString());
  }
}

void TInstanceProperties::GetPropertyText(const std::string& name, std::string& text) {
  if (IndexOfProp(this, name) != -1) {
    TElement::GetPropertyText(name, text);
    return;
  }
  SetPropName(name);
  const bool found = actual_ && GetPropIndex() != -1 && zelto::UpperAZ(GetPropName()) == zelto::UpperAZ(name);
  text = found ? GetPropString() : std::string();
}

void TInstanceProperties::SetPropertyText(const std::string& name, const std::string& text) {
  if (IndexOfProp(this, name) != -1) {
    TElement::SetPropertyText(name, text);
    return;
  }
  SetPropName(name);
  if (actual_ && zelto::UpperAZ(GetPropName()) == zelto::UpperAZ(name)) SetPropString(text);
}

void RegisterDynamicPropertiesClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TDynamicProperties::StaticClass());
}
