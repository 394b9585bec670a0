#include "gisblock/moved_item_container.h"

#include "gisblock/transfer_script.h"

ZELTO_IMPLEMENT_ELEMENT(TSourTarNames, TElement, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TMovedItemContainer, TEntity, [](auto& p) {
  p.String("FileName", &TMovedItemContainer::GetFileName, &TMovedItemContainer::SetFileName);
})

void TMovedItemContainer::SetFileName(const std::string& fileName) {
  gisblock::TransferScript script;
  if (!script.load(fileName)) return;
  FreeAll();
  for (const gisblock::TransferPair& pair : script.pairs()) {
    auto* names = new TSourTarNames;
    names->Source = pair.source;
    names->Target = pair.target;
    Add(names);
  }
  fileName_ = fileName;
}

const TSourTarNames* TMovedItemContainer::Pair(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  const TElement* item = Items()[static_cast<std::size_t>(index)];
  return item && item->Is<TSourTarNames>() ? static_cast<const TSourTarNames*>(item) : nullptr;
}

void TMovedItemContainer::GetSourceName(int index, std::string& text) const {
  const TSourTarNames* pair = Pair(index);
  text = pair ? pair->Source : std::string();
}

void TMovedItemContainer::GetTargetName(int index, std::string& text) const {
  const TSourTarNames* pair = Pair(index);
  text = pair ? pair->Target : std::string();
}
