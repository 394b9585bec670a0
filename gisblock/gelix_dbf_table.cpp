#include "gisblock/gelix_dbf_table.h"

#include "framework/entity.h"
#include "framework/type_elements.h"
#include "geometry/space_entity.h"
#include "geometry/space_entity_props.h"

ZELTO_IMPLEMENT_ELEMENT(TGelixDBFTable, TNameElement, [](auto& p) {
  using T = TGelixDBFTable;
  p.String("TableName", &T::GetTableName, &T::SetTableName).Stored(false);
  p.String("CreateFileName", &T::GetCreateFileName, &T::SetCreateFileName);
  p.String("TransferScript", nullptr, &T::SetTransferScript);
  p.String("ShortTableName", &T::GetShortTableName).Stored(false);
  p.Integer("Cislo", nullptr, [](T& t, std::int64_t v) { t.SetCislo(static_cast<std::int32_t>(v)); });
})

bool TGelixDBFTable::LocateElement(TElement* element) {
  if (!element || !element->Is<TSpaceEntity>()) return false;
  TElement* properties = static_cast<TSpaceEntity*>(element)->GetProperties();
  if (!properties || !properties->Is<TSpaceEntityProps>()) return false;
  auto* record = static_cast<TSpaceEntityProps*>(properties);
  const std::string dbfName = record->GetDBFName();
  if (dbfName.empty() || record->ClassType().IndexOfProperty("Cislo") < 0) return false;
  return table_.LocateByTableName(dbfName, record->GetPropertyInt("Cislo"));
}

bool TGelixDBFTable::SplitQualifiedName(std::string_view name, std::string& fieldName) const {
  const auto field = table_.SplitQualifiedName(name);
  fieldName = field.value_or(std::string());
  return field.has_value();
}

void TGelixDBFTable::CopyStarredFrom(TElement* source) {
  if (!source) return;
  table_.CopyStarredFrom([source](const std::string& property) -> std::optional<std::string> {
    std::string text;
    source->GetPropertyText(property, text);
    return text;
  });
}

void TGelixDBFTable::SetFieldsFromList(TElement*, TEntity* list) {
  if (!list) return;
  std::vector<std::pair<std::string, std::string>> values;
  for (TElement* item : list->Items())
    if (item && item->Is<TTypeElement>()) {
      const auto* value = static_cast<TTypeElement*>(item);
      values.emplace_back(value->GetUpperName(), value->GetAsString());
    }
  table_.SetFieldsFromList(values);
}
