#include "render/layer_script.h"

#include "framework/class_registry.h"

ZELTO_IMPLEMENT_ELEMENT(TModelScript, TRectEntity, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TLayerScript, TRectEntity, [](auto& p) {
  using E = TLayerScript;
  p.String("Description", &E::Description, &E::Description);
  p.Boolean("GoIntoDirs", &E::GetGoIntoDirs, &E::SetGoIntoDirs);
  p.Object("PropertyList", TPropertyList::StaticClass(), &E::GetPropertyList);
  p.Object("AddToPropertyList", TElement::StaticClass(), nullptr, &E::AddToPropertyList);
})

void TLayerScript::SetGoIntoDirs(bool on) {
  if (on == GetGoIntoDirs()) return;
  if (on)
    Description.insert(Description.begin(), '+');
  else
    Description.erase(0, 1);
}

std::string TLayerScript::PlainDescription() const {
  return GetGoIntoDirs() ? Description.substr(1) : Description;
}

TPropertyList* TLayerScript::EnsurePropertyList() {
  if (!propertyList_) propertyList_ = FindElementByClass<TPropertyList>();
  if (!propertyList_) ReplaceChild(propertyList_, new TPropertyList);
  return propertyList_;
}

void TLayerScript::AddToPropertyList(TElement* entry) {
  if (entry) EnsurePropertyList()->Add(entry);
}

void TLayerScript::FreeAll() {
  TRectEntity::FreeAll();
  propertyList_ = nullptr;
  Description.clear();
}

void RegisterLayerScriptClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TModelScript::StaticClass());
  RegisterZeltoClass(TLayerScript::StaticClass());
}
