#include "framework/inheritance_model.h"

#include <memory>
#include <vector>

#include "framework/class_registry.h"

ZELTO_IMPLEMENT_ELEMENT(TModelItems, TEnvelopeEntity, ZELTO_NO_PROPERTIES)

ZELTO_IMPLEMENT_ELEMENT(TInheritanceModel, TOwnerEntity, [](auto& p) {
  using E = TInheritanceModel;
  p.Object("Items", TModelItems::StaticClass(), &E::GetItems);
  p.Boolean("NoItems", &E::GetNoItems);
  p.Object("NextItem", TInheritanceModel::StaticClass(), nullptr, &E::SetNextItem);
  p.String("ElementClassName", &E::GetElementClassName, &E::SetElementClassName);
})

ZELTO_IMPLEMENT_ELEMENT(TInheritanceModelEntity, TInheritanceModel, [](auto& p) {
  using E = TInheritanceModelEntity;
  p.String("ItemClassName", &E::GetItemClassName, &E::SetItemClassName);
  p.Object("ActualItem", TInheritanceModel::StaticClass(), &E::ActualItem);
  p.String("NewClassName", nullptr, &E::SetNewClassName);
  p.String("FindClassName", nullptr, &E::SetFindClassName);
  p.String("ActualClassName", &E::GetActualClassName, &E::SetActualClassName);
  p.Boolean("DeleteActualItem", nullptr, &E::SetDeleteActualItem);
  p.Boolean("IsError", &E::GetIsError);
  p.Integer("Error", &E::Error, &E::Error).Stored(false);
})

// --- TInheritanceModel -------------------------------------------------------

TModelItems* TInheritanceModel::GetItems() {
  if (!items_) items_ = FindElementByClass<TModelItems>();
  if (!items_) {
    items_ = new TModelItems();
    Add(items_);
  }
  return items_;
}

bool TInheritanceModel::GetNoItems() {
  if (!items_) items_ = FindElementByClass<TModelItems>();
  return !items_ || items_->GetCount() == 0;
}

void TInheritanceModel::SetNextItem(TInheritanceModel* model) {
  if (!model || model == this) return;
  const TElementClass* cls = model->ElementClass();
  if (cls) {
    TModelItems* items = GetItems();
    const std::vector<TElement*> snapshot = items->Items();
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
      auto* item = dynamic_cast<TInheritanceModel*>(*it);
      if (!item || item == model || !item->ElementClass()) continue;
      if (item->ElementClass()->InheritsFrom(*cls)) {
        items->Remove(item);
        model->AddItem(item);
      } else if (cls->InheritsFrom(*item->ElementClass())) {
        item->SetNextItem(model);
      }
    }
  }
  if (model->IsOrphan()) AddItem(model);
}

void TInheritanceModel::SetElementClass(const TElementClass* cls) {
  elementClass_ = cls;
  if (cls) SetName(cls->ClassName());
}

void TInheritanceModel::SetElementClassName(const std::string& name) {
  SetElementClass(FindZeltoClass(name));
}

std::string TInheritanceModel::GetElementClassName() const {
  return elementClass_ ? elementClass_->ClassName() : std::string();
}

bool TInheritanceModel::IsModelFor(const TElementClass* cls) const {
  if (!elementClass_) return true;
  return cls && cls->InheritsFrom(*elementClass_);
}

TInheritanceModel* TInheritanceModel::FindModel(const TElementClass* cls) {
  TInheritanceModel* candidate = elementClass_ ? this : nullptr;
  if ((cls && elementClass_ == cls) || GetNoItems()) return candidate;
  for (TElement* child : GetItems()->Items()) {
    auto* item = dynamic_cast<TInheritanceModel*>(child);
    // A model without a class stands for nothing and must not capture the
    // search.
    if (!item || !item->ElementClass()) continue;
    if (item->IsModelFor(cls)) return item->FindModel(cls);
  }
  return candidate;
}

TInheritanceModel* TInheritanceModel::FindModelByClassName(const std::string& name) {
  const TElementClass* cls = FindZeltoClass(name);
  return cls ? FindModel(cls) : nullptr;
}

// --- TInheritanceModelEntity -------------------------------------------------

TInheritanceModelEntity::TInheritanceModelEntity() = default;

TInheritanceModel* TInheritanceModelEntity::ActualItem() const {
  return static_cast<TInheritanceModel*>(actualItem_.Get());
}

void TInheritanceModelEntity::SetActualItem(TInheritanceModel* item) { actualItem_.Set(item); }

const TElementClass& TInheritanceModelEntity::GetDefaultItemClass() const {
  return TInheritanceModel::StaticClass();
}

std::string TInheritanceModelEntity::GetItemClassName() const {
  return itemClass_ ? itemClass_->ClassName() : GetDefaultItemClass().ClassName();
}

void TInheritanceModelEntity::SetItemClassName(const std::string& name) {
  const TElementClass* cls = FindZeltoClass(name);
  itemClass_ = cls && cls->InheritsFrom(TInheritanceModel::StaticClass()) ? cls
                                                                          : &TInheritanceModel::StaticClass();
}

std::string TInheritanceModelEntity::GetActualClassName() {
  TInheritanceModel* item = ActualItem();
  if (!item) {
    Error = 3;
    return "NIL";
  }
  return item->GetElementClassName();
}

void TInheritanceModelEntity::SetNewClassName(const std::string& name) {
  SetActualItem(nullptr);
  Error = 0;
  if (name.empty()) return;
  const TElementClass* cls = FindZeltoClass(name);
  if (!cls) {
    Error = 2;
    return;
  }
  const TElementClass& itemClass = itemClass_ ? *itemClass_ : GetDefaultItemClass();
  auto* model = dynamic_cast<TInheritanceModel*>(itemClass.Create());
  if (!model) return;
  model->SetElementClass(cls);
  SetNextItem(model);
  SetActualItem(model);
}

void TInheritanceModelEntity::SetActualClassName(const std::string& name) {
  Error = 0;
  TInheritanceModel* item = ActualItem();
  if (!item) {
    Error = 3;
    return;
  }
  std::vector<TInheritanceModel*> subModels;
  if (!item->GetNoItems()) {
    TModelItems* items = item->GetItems();
    for (TElement* child : std::vector<TElement*>(items->Items()))
      if (auto* sub = dynamic_cast<TInheritanceModel*>(child)) {
        items->Remove(sub);
        subModels.push_back(sub);
      }
  }
  delete item;
  SetNewClassName(name);
  const std::int32_t error = Error;
  TInheritanceModel* replacement = ActualItem();
  for (TInheritanceModel* sub : subModels) SetNextItem(sub);
  SetActualItem(replacement);
  Error = error;
}

void TInheritanceModelEntity::SetFindClassName(const std::string& name) {
  Error = 0;
  const TElementClass* cls = FindZeltoClass(name);
  if (!cls) {
    Error = 2;
    SetActualItem(nullptr);
    return;
  }
  TInheritanceModel* found = FindModel(cls);
  SetActualItem(found);
  if (!found) Error = 1;
}

void TInheritanceModelEntity::SetDeleteActualItem(bool) {
  TInheritanceModel* item = ActualItem();
  if (!item) return;
  delete item;
  SetActualItem(nullptr);
  Error = 3;
}
