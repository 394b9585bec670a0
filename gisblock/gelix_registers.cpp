#include "gisblock/gelix_registers.h"

#include <memory>

#include "framework/class_registry.h"
#include "gisblock/attribute_table.h"
#include "gisblock/gelix_dbf_table.h"
#include "gisblock/gelix_props.h"
#include "platform/path_resolver.h"

ZELTO_IMPLEMENT_ELEMENT(TGelixObjectOwner, TObjectOwner, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TGelixObjectRegister, TObjectRegister, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TGelixBlockRegister, TBlockRegister, ZELTO_NO_PROPERTIES)

void TGelixObjectOwner::Add(TElement* element) {
  TObjectOwner::Add(element);
  if (HasName() || !element || !element->Is<TSpaceEntity>()) return;
  TElement* props = static_cast<TSpaceEntity*>(element)->GetProperties();
  if (!props || !props->Is<TGelixProps>()) return;
  auto* gelix = static_cast<TGelixProps*>(props);
  SetName(std::string(1, gelix->GetObjectType()) + std::to_string(gelix->Cislo) + ":" +
          std::to_string(gelix->Druh));
}

TElement* TGelixObjectRegister::GetDBF() const { return GetTable(); }

TGelixDBFTable* TGelixObjectRegister::GetTable() const {
  if (!dbf_) {
    auto* table = new TGelixDBFTable;
    table->SetReadOnly(true);
    const_cast<TGelixObjectRegister*>(this)->dbf_ = table;
  }
  return static_cast<TGelixDBFTable*>(dbf_);
}

gisblock::AttributeTable& TGelixObjectRegister::Table() const { return GetTable()->Table(); }

TObjectRegister* TGelixBlockRegister::GetObjectRegister(char letter) {
  const std::string name(1, letter);
  for (TElement* e : Items())
    if (e->Is<TObjectRegister>() && e->GetName() == name) return static_cast<TObjectRegister*>(e);
  auto reg = std::make_unique<TGelixObjectRegister>();
  reg->SetName(name);
  Add(reg.get());
  return reg.release();
}

namespace gisblock {

std::string normalizeBlockPath(const std::string& directory) {
  std::string text = platform::pathResolver().normalized(directory);
  return text.empty() ? directory : text;
}

TGelixBlockRegister* gelixBlockRegister(TEntity& objectModel, const std::string& directory) {
  TElement* found = objectModel.FindElementByClass(TRegister::StaticClass());
  TRegister* reg = found ? static_cast<TRegister*>(found) : nullptr;
  if (!reg) {
    reg = new TRegister;
    objectModel.Add(reg);
  }
  TBlockRegister* block = reg->GetBlock(normalizeBlockPath(directory), "TGelixBlockRegister");
  return block && block->Is<TGelixBlockRegister>() ? static_cast<TGelixBlockRegister*>(block) : nullptr;
}

}  // namespace gisblock
