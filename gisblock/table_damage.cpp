#include "gisblock/table_damage.h"

#include <set>
#include <utility>

#include "geometry/space_entity.h"
#include "gisblock/gelix_props.h"
#include "gisblock/table_file_name.h"
#include "gisblock/table_messages.h"
#include "platform/dbase_table.h"
#include "platform/path_resolver.h"

namespace gisblock {

BlockDamage TableDamage(const TEntity& string, const std::string& block,
                        const std::function<void(const std::string&)>& warn) {
  std::set<std::pair<char, std::int32_t>> kinds;
  for (TElement* element : string.Items()) {
    if (!element->Is<TSpaceEntity>()) continue;
    TElement* props = static_cast<TSpaceEntity*>(element)->GetProperties();
    if (props && props->Is<TGelixProps>()) {
      const auto* gelix = static_cast<const TGelixProps*>(props);
      kinds.emplace(gelix->GetObjectType(), gelix->Druh);
    }
  }
  BlockDamage damage;
  platform::PathResolver& paths = platform::pathResolver();
  for (const auto& [letter, druh] : kinds) {
    const std::string table = GelixTableFileName(block, letter, druh);
    if (!paths.exists(table)) continue;
    std::string fault, shown;
    bool told = false;
    try {
      platform::DbfTable rows;
      rows.open(paths.existing(table), true);
      fault = rows.rowDamage();
      if (fault.empty()) continue;
      shown = paths.userSpelling(table) + ": " + fault;
    } catch (const platform::DbfOpenError& e) {
      shown = e.what();  // names the table already
      fault = e.fault();
      std::set<std::string> own;
      told = !TableMessages{}.isFirst(unopenedTableNotice(table, fault), own);
    } catch (const platform::DbfError& e) {
      fault = shown = e.what();  // a first row that cannot be read
    }
    if (!told) warn("Čtení bloku: " + shown);
    // Named as the faults of the block files are, file first.
    damage.Note(extractFileName(table) + ": " + fault);
  }
  return damage;
}

}  // namespace gisblock
