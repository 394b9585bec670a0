#include "framework/system_register.h"

#include "framework/class_registry.h"
#include "framework/element_model.h"

ZELTO_IMPLEMENT_ELEMENT(TRegisterPropertyModel, TOwnerEntity, [](auto& p) {
  using E = TRegisterPropertyModel;
  p.String("Alias", &E::Alias, &E::Alias);
  p.Integer("ImageIndex", &E::ImageIndex, &E::ImageIndex);
  p.String("Editor", &E::Editor, &E::Editor);
})

ZELTO_IMPLEMENT_ELEMENT(TRegisterClassModel, TInheritanceModel, [](auto& p) {
  using E = TRegisterClassModel;
  p.String("Alias", &E::Alias, &E::Alias);
  p.Integer("ImageIndex", &E::ImageIndex, &E::ImageIndex);
  p.Integer("ImageSelectedIndex", &E::ImageSelectedIndex, &E::ImageSelectedIndex);
  p.String("Editor", &E::Editor, &E::Editor);
  p.String("Interpret", &E::Interpret, &E::Interpret);
  p.String("SubClass", &E::SubClass, &E::SubClass);
  p.Object("PropertyModels", TOwnerEntity::StaticClass(), &E::GetPropertyModels);
  p.Object("Shell", TOwnerEntity::StaticClass(), &E::GetShell);
})

ZELTO_IMPLEMENT_ELEMENT(TRegisterClassModels, TInheritanceModelEntity, [](auto& p) {
  p.Object("ActualClassModel", TRegisterClassModel::StaticClass(), &TRegisterClassModels::ActualClassModel);
})

ZELTO_IMPLEMENT_ELEMENT(TSystemRegister, TOwnerEntity, [](auto& p) {
  using E = TSystemRegister;
  p.Object("Images", TStringListElement::StaticClass(), &E::GetImages);
  p.Object("Cursors", TStringListElement::StaticClass(), &E::GetCursors);
  p.Object("ClassModels", TRegisterClassModels::StaticClass(), &E::GetClassModels);
  p.Object("Raster", TStringListElement::StaticClass(), &E::GetRaster);
})

TOwnerEntity* TRegisterClassModel::GetPropertyModels() {
  return dynamic_cast<TOwnerEntity*>(FindOrAddByName(TOwnerEntity::StaticClass(), "PROPERTY MODELS"));
}

TOwnerEntity* TRegisterClassModel::GetShell() {
  return dynamic_cast<TOwnerEntity*>(FindOrAddByName(TOwnerEntity::StaticClass(), "SHELL"));
}

const TElementClass& TRegisterClassModels::GetDefaultItemClass() const {
  return TRegisterClassModel::StaticClass();
}

TRegisterClassModel* TRegisterClassModels::ActualClassModel() const {
  return dynamic_cast<TRegisterClassModel*>(ActualItem());
}

namespace {

template <class T>
T* group(TEntity& owner, const char* name) {
  return dynamic_cast<T*>(owner.FindOrAddByName(T::StaticClass(), name));
}

}  // namespace

TStringListElement* TSystemRegister::GetImages() { return group<TStringListElement>(*this, "IMAGES"); }
TStringListElement* TSystemRegister::GetCursors() { return group<TStringListElement>(*this, "CURSORS"); }
TRegisterClassModels* TSystemRegister::GetClassModels() {
  return group<TRegisterClassModels>(*this, "CLASS MODELS");
}
TStringListElement* TSystemRegister::GetRaster() { return group<TStringListElement>(*this, "RASTER"); }

void RegisterModelClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TSystemRegister::StaticClass());
  RegisterZeltoClass(TRegisterClassModel::StaticClass());
  RegisterZeltoClass(TRegisterClassModels::StaticClass());
  RegisterZeltoClass(TRegisterPropertyModel::StaticClass());
  RegisterZeltoClass(TPropertyModel::StaticClass());
  RegisterZeltoClass(TElementModel::StaticClass());
  RegisterZeltoClass(TToolModel::StaticClass());
}
