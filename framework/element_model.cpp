#include "framework/element_model.h"

ZELTO_IMPLEMENT_ELEMENT(TPropertyModel, TOwnerElement, [](auto& p) {
  p.String("Alias", &TPropertyModel::Alias, &TPropertyModel::Alias);
  p.String("Value", &TPropertyModel::Value, &TPropertyModel::Value);
})

ZELTO_IMPLEMENT_ELEMENT(TElementModel, TOwnerEntity, [](auto& p) {
  using E = TElementModel;
  p.Integer("ImageIndex", &E::ImageIndex, &E::ImageIndex);
  p.String("ElementClassName", &E::ElementClassName, &E::ElementClassName);
  p.String("Comment", &E::Comment, &E::Comment);
  p.String("Alias", &E::Alias, &E::Alias);
  p.String("AttachToPropertyName", &E::AttachToPropertyName, &E::AttachToPropertyName);
  p.Object("ModelProperties", TOwnerEntity::StaticClass(), &E::GetModelProperties);
  p.Object("ModelElements", TOwnerEntity::StaticClass(), &E::GetModelElements);
  p.Object("Images", TStringListElement::StaticClass(), &E::GetImages);
  p.Boolean("NoModelProperties", &E::GetNoModelProperties);
  p.Boolean("NoModelElements", &E::GetNoModelElements);
  p.Boolean("NoImages", &E::GetNoImages);
  p.String("NewPropertyName", nullptr, &E::SetNewPropertyName);
  p.Object("LastPropertyModel", TPropertyModel::StaticClass(), &E::GetLastPropertyModel);
  p.String("NewElementName", nullptr, &E::SetNewElementName);
  p.String("NewImage", nullptr, &E::SetNewImage);
})

ZELTO_IMPLEMENT_ELEMENT(TToolModel, TElementModel, [](auto& p) {
  using E = TToolModel;
  p.Boolean("DynamicTool", &E::DynamicTool, &E::DynamicTool);
  p.Object("ModelTools", TOwnerEntity::StaticClass(), &E::GetModelTools);
  p.Boolean("NoModelTools", &E::GetNoModelTools);
  p.String("NewToolName", nullptr, &E::SetNewToolName);
  p.Object("LastToolModel", TToolModel::StaticClass(), &E::GetLastToolModel);
})

TOwnerEntity* TElementModel::GetModelProperties() {
  return static_cast<TOwnerEntity*>(FindOrAddByName(TOwnerEntity::StaticClass(), "PROPERTIES"));
}

TOwnerEntity* TElementModel::GetModelElements() {
  return static_cast<TOwnerEntity*>(FindOrAddByName(TOwnerEntity::StaticClass(), "ELEMENTS"));
}

TStringListElement* TElementModel::GetImages() {
  return dynamic_cast<TStringListElement*>(FindOrAddByName(TStringListElement::StaticClass(), "IMAGES"));
}

bool TElementModel::GroupIsEmpty(const std::string& name) const {
  auto* group = dynamic_cast<TEntity*>(FindElementByName(name));
  return !group || group->GetCount() == 0;
}

TElement* TElementModel::LastOfGroup(const std::string& name) const {
  auto* group = dynamic_cast<TEntity*>(FindElementByName(name));
  return group && group->GetCount() > 0 ? group->GetItem(group->GetLastIndex()) : nullptr;
}

void TElementModel::SetNewPropertyName(const std::string& name) {
  auto* model = new TPropertyModel();
  model->SetName(name);
  GetModelProperties()->Add(model);
}

TPropertyModel* TElementModel::GetLastPropertyModel() const {
  return dynamic_cast<TPropertyModel*>(LastOfGroup("PROPERTIES"));
}

void TElementModel::SetNewElementName(const std::string& name) {
  auto* model = new TElementModel();
  model->SetName(name);
  GetModelElements()->Add(model);
}

void TElementModel::SetNewImage(const std::string& text) {
  if (TStringListElement* images = GetImages()) images->SetNextValue(text);
}

TOwnerEntity* TToolModel::GetModelTools() {
  return static_cast<TOwnerEntity*>(FindOrAddByName(TOwnerEntity::StaticClass(), "TOOLS"));
}

void TToolModel::SetNewToolName(const std::string& name) {
  auto* model = new TToolModel();
  model->SetName(name);
  GetModelTools()->Add(model);
}

TToolModel* TToolModel::GetLastToolModel() const { return dynamic_cast<TToolModel*>(LastOfGroup("TOOLS")); }
