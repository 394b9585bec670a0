#include "geometry/space_entity_props.h"

#include <exception>
#include <new>

#include "framework/property_access.h"
#include "geometry/space_entity.h"
#include "geometry/space_registers.h"

ZELTO_IMPLEMENT_ELEMENT(TSpaceEntityProps, TOwnerEntity, [](auto& p) {
  p.Object("SpaceEntity", TSpaceEntity::StaticClass(), &TSpaceEntityProps::SpaceEntity, &TSpaceEntityProps::SpaceEntity);
  p.Integer("SpaceID", &TSpaceEntityProps::GetSpaceID);
  p.Integer("OrigNo", &TSpaceEntityProps::GetOrigNo);
  p.Boolean("IsDone", &TSpaceEntityProps::IsDone, &TSpaceEntityProps::IsDone);
  p.Object("ObjectRegister", TObjectRegister::StaticClass(),
           &TSpaceEntityProps::GetObjectRegister);
  p.Object("BlockRegister", TBlockRegister::StaticClass(), &TSpaceEntityProps::GetBlockRegister);
  p.String("BlockName", &TSpaceEntityProps::GetBlockName);
  p.String("DBFName", &TSpaceEntityProps::GetDBFName);
})

TObjectOwner* TSpaceEntityProps::Owner() const {
  if (!SpaceEntity) return nullptr;
  TElement* owner = SpaceEntity->FindOwnerByClass(TObjectOwner::StaticClass());
  return owner ? static_cast<TObjectOwner*>(owner) : nullptr;
}

TObjectRegister* TSpaceEntityProps::GetObjectRegister() const {
  TObjectOwner* owner = Owner();
  if (!owner) return nullptr;
  TElement* reg = owner->FindOwnerByClass(TObjectRegister::StaticClass());
  return reg ? static_cast<TObjectRegister*>(reg) : nullptr;
}

TBlockRegister* TSpaceEntityProps::GetBlockRegister() const {
  TObjectRegister* reg = GetObjectRegister();
  if (!reg) return nullptr;
  TElement* block = reg->FindOwnerByClass(TBlockRegister::StaticClass());
  return block ? static_cast<TBlockRegister*>(block) : nullptr;
}

TSpaceEntityProps* TSpaceEntityProps::GetMasterProps() const {
  TObjectOwner* owner = Owner();
  if (!owner) return nullptr;
  if (owner->GetCount() == 1) return const_cast<TSpaceEntityProps*>(this);
  TElement* first = owner->GetItem(0);
  if (!first || !first->Is<TSpaceEntity>()) return nullptr;
  TElement* props = static_cast<TSpaceEntity*>(first)->GetProperties();
  return props && props->Is<TSpaceEntityProps>() ? static_cast<TSpaceEntityProps*>(props)
                                                  : nullptr;
}

std::int32_t TSpaceEntityProps::GetOrigNo() const {
  TObjectOwner* owner = Owner();
  return owner && GetObjectRegister() ? owner->Number : -1;
}

std::string TSpaceEntityProps::GetBlockName() const {
  TObjectRegister* reg = GetObjectRegister();
  return reg ? reg->GetBlockName() : std::string();
}

bool TSpaceEntityProps::HasProperty(const std::string& name) {
  if (ClassType().IndexOfProperty(name) >= 0) return true;
  try {
    return GetObjectRegister() && HasExternalProperty(name);
  } catch (const std::bad_alloc&) {
    // A value missed for want of memory is no missing value.
    throw;
  } catch (const std::exception&) {
    return false;
  }
}

void TSpaceEntityProps::GetPropertyText(const std::string& name, std::string& text) {
  TOwnerEntity::GetPropertyText(name, text);
  if (!text.empty()) return;
  try {
    if (GetObjectRegister() && LocateExternalRecord()) ReadExternalProperty(name, text);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
    text.clear();
  }
}

void TSpaceEntityProps::SetPropertyText(const std::string& name, const std::string& text) {
  if (ClassType().IndexOfProperty(name) >= 0) {
    TOwnerEntity::SetPropertyText(name, text);
    return;
  }
  try {
    if (GetObjectRegister() && LocateExternalRecord()) WriteExternalProperty(name, text);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
  }
}

namespace {
// Writable published properties copied as text, the way records and the
// small objects they own are duplicated.
void copyWritableProperties(TElement* from, TElement* to, const TElementClass* declaredBelow) {
  const auto& props = from->ClassType().Properties();
  for (int i = 0; i < static_cast<int>(props.size()); ++i) {
    const TPropInfo* info = props[static_cast<std::size_t>(i)];
    if (declaredBelow && !info->DeclaringClass->InheritsFrom(*declaredBelow)) continue;
    if (!info->HasSetter() || !info->HasGetter() || info->Kind == TTypeKind::tkClass) continue;
    std::string text;
    GetPropTextByIndex(from, i, text);
    SetPropTextByIndex(to, i, text);
  }
}
}  // namespace

TSpaceEntityProps* TSpaceEntityProps::Clone() {
  auto* clone = static_cast<TSpaceEntityProps*>(ClassType().Create());
  if (!clone) return nullptr;
  copyWritableProperties(this, clone, &TSpaceEntityProps::StaticClass());
  for (const TPropInfo* info : ClassType().Properties()) {
    if (info->Kind != TTypeKind::tkClass || !info->GetObj || !info->SetObj) continue;
    if (!info->DeclaringClass->InheritsFrom(TSpaceEntityProps::StaticClass())) continue;
    TElement* value = info->GetObj(*this);
    if (value && OwnsObjectProperty(*info)) {
      TElement* copy = value->ClassType().Create();
      if (copy) copyWritableProperties(value, copy, nullptr);
      value = copy;
    }
    info->SetObj(*clone, value);
  }
  return clone;
}
