#include "areas/hierarchy_keys.h"

#include "framework/string_utils.h"
#include "gisblock/cislo_index.h"
#include "platform/path_resolver.h"
#include "platform/tables_read.h"

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

void HierarchyKeys::Note(const std::string& table, std::int32_t cislo, const std::optional<Keys>& keys,
                         std::uint32_t row, const platform::DbfFileStamp* opened) {
  auto [at, fresh] = tables_.try_emplace(table);
  // The file as the hierarchy first read it: a save after that is a change
  // of what it filed by (one during the read stops the read).
  if (fresh && opened) at->second.stamp = *opened;
  if (fresh && !opened) {
    const std::filesystem::path file = platform::pathResolver().existing(table);
    if (!file.empty()) at->second.stamp = platform::DbfTable::stampOf(file);
  }
  at->second.areas.insert_or_assign(cislo, Filed{keys, row});
}

std::optional<std::string> HierarchyKeys::FirstChange() {
  for (auto& [name, table] : tables_) {
    const std::filesystem::path file = TableFile(name);
    const std::optional<platform::DbfFileStamp> now =
        file.empty() ? std::nullopt : platform::DbfTable::stampOf(file);
    if (now == table.stamp) continue;
    if (std::optional<std::string> change = ChangeOf(name, file, table)) return change;
    table.stamp = now;
  }
  return std::nullopt;
}

void HierarchyKeys::HoldInJob() const {
  for (const auto& [name, table] : tables_) {
    const std::filesystem::path file = platform::pathResolver().existing(name);
    std::error_code ec;
    // Held to stay away, under whatever spelling of the name it would come.
    if (!table.stamp && !std::filesystem::exists(file, ec)) platform::holdTableAbsent(name);
    // There now without the stamp the check found (none, or none that
    // could be read), or gone since: held to that, it counts as changed.
    else platform::holdTableAsFound(file, table.stamp);
  }
}

std::filesystem::path HierarchyKeys::TableFile(const std::string& name) {
  std::filesystem::path file = platform::pathResolver().existing(name);
  std::error_code ec;
  if (!file.empty() && !std::filesystem::exists(file, ec)) file.clear();
  return file;
}

std::optional<std::string> HierarchyKeys::ChangeOf(const std::string& name, const std::filesystem::path& file,
                                                   const Table& table) {
  const std::string shown = "tabulka " + platform::pathResolver().userSpelling(name);
  // A table that is gone gives no area a row, as one that could not be
  // read at the hierarchy's building gave none.
  const auto firstFiled = [&]() -> const std::pair<const std::int32_t, Filed>* {
    for (const auto& area : table.areas)
      if (area.second.keys) return &area;
    return nullptr;
  };
  if (file.empty()) {
    if (const auto* area = firstFiled())
      return shown + " chybí (plocha " + std::to_string(area->first) + " byla zařazena podle jejího řádku " +
             std::to_string(area->second.row) + ")";
    return std::nullopt;
  }
  platform::DbfTable now;
  int fields[kNames.size()] = {};
  try {
    now.open(file, true);
    for (std::size_t key = 0; key < kNames.size(); ++key) {
      fields[key] = now.fieldIndex(kNames[key]);
      if (fields[key] < 0) return shown + " nemá položku " + kNames[key];
    }
    const gisblock::CisloIndex::Built built = gisblock::CisloIndex::build(now);
    return FirstDifference(shown, table, now, built.index, fields);
  } catch (const platform::DbfError& e) {
    return "tabulku " + platform::pathResolver().userSpelling(name) + " nelze přečíst: " + platform::faultOf(e);
  }
}

std::optional<std::string> HierarchyKeys::FirstDifference(const std::string& shown, const Table& table,
                                                          platform::DbfTable& now, const gisblock::CisloIndex& index,
                                                          const int* fields) {
  for (const auto& [cislo, filed] : table.areas) {
    const std::int32_t recNo = index.entry(cislo);
    if (recNo <= 0) {
      if (filed.keys)
        return shown + " nemá řádek plochy " + std::to_string(cislo) + " (při načtení řádek " +
               std::to_string(filed.row) + ")";
      continue;
    }
    const std::string row = ", řádek " + std::to_string(recNo);
    if (!filed.keys) return shown + row + ": plocha " + std::to_string(cislo) + " při načtení řádek neměla";
    now.moveTo(static_cast<std::uint32_t>(recNo));
    for (std::size_t key = 0; key < kNames.size(); ++key) {
      const std::string value = TrimBlanks(now.text(fields[key]));
      if (value != (*filed.keys)[key])
        return shown + row + ": položka " + kNames[key] + " měla při načtení hodnotu " + Quoted((*filed.keys)[key]) +
               " a nyní " + Quoted(value);
    }
  }
  return std::nullopt;
}
