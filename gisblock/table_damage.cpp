#include "gisblock/table_damage.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

#include "framework/czech_count.h"
#include "geometry/space_entity.h"
#include "gisblock/cislo_index.h"
#include "gisblock/gelix_props.h"
#include "gisblock/table_file_name.h"
#include "gisblock/table_messages.h"
#include "platform/dbase_table.h"
#include "platform/directory_entries.h"
#include "platform/path_resolver.h"

namespace gisblock {

namespace {

// The Druh of a table of kind `letter` named as GelixTableFileName names
// one ("P0110.DBF", "L-0005.DBF"), whatever the letter case; none for any
// other name.
std::optional<std::int32_t> TableDruh(const std::string& name, char letter) {
  std::string upper = name;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper.size() < 6 || upper[0] != letter || !upper.ends_with(".DBF")) return std::nullopt;
  const std::string number = upper.substr(1, upper.size() - 5);
  const bool negative = number.starts_with("-");
  const std::string digits = number.substr(negative ? 1 : 0);
  if (digits.empty() || digits.size() > 9 ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  const std::int32_t druh = (negative ? -1 : 1) * std::stoi(digits);
  if (extractFileName(GelixTableFileName("", letter, druh)) != upper) return std::nullopt;
  return druh;
}

// The look at a live row of the open table that finds its CISLO naming an
// element beyond the file, read as the index reads it (CisloIndex::build);
// none where the table has no CISLO.
platform::DbfTable::RowCheck RowBeyondFile(const platform::DbfTable& rows, const TableElements& elements) {
  const int field = rows.fieldIndex("CISLO");
  if (field < 0) return {};
  return [&rows, &elements, &f = rows.fields()[static_cast<std::size_t>(field)]](std::uint32_t recNo,
                                                                                  std::string_view row) {
    const std::int32_t cislo = cisloFromField(f, row.substr(1 + f.offset, f.width), rows.codePage());
    if (cislo < 1 || cislo < elements.records) return std::string();
    return "řádek " + std::to_string(recNo) + " má CISLO " + std::to_string(cislo) + " mimo soubor " + elements.file +
           " (" + framework::CzechCount(elements.records, "záznam", "záznamy", "záznamů") + ")";
  };
}

}  // namespace

BlockDamage TableDamage(const TEntity* string, const std::string& block, const TableElements& elements,
                        const std::function<void(const std::string&)>& warn) {
  std::set<std::pair<char, std::int32_t>> kinds;
  if (string) {
    for (TElement* element : string->Items()) {
      if (!element->Is<TSpaceEntity>()) continue;
      TElement* props = static_cast<TSpaceEntity*>(element)->GetProperties();
      if (props && props->Is<TGelixProps>()) {
        const auto* gelix = static_cast<const TGelixProps*>(props);
        kinds.emplace(gelix->GetObjectType(), gelix->Druh);
      }
    }
  }
  platform::PathResolver& paths = platform::pathResolver();
  // Every table of the elements' kind the block holds; a name in two letter
  // cases is one table, the one a locate finds.
  std::set<std::pair<char, std::int32_t>> tables = kinds;
  std::error_code listing;
  for (const std::string& name : platform::directoryEntries(paths.existing(block), listing))
    if (const std::optional<std::int32_t> druh = TableDruh(name, elements.letter))
      tables.emplace(elements.letter, *druh);
  BlockDamage damage;
  for (const auto& [letter, druh] : tables) {
    // A table of no object's kind is looked at only for the elements its
    // rows name: what else is wrong with it no read of it shows.
    const bool ofObjects = kinds.count({letter, druh}) > 0;
    const std::string table = GelixTableFileName(block, letter, druh);
    // Looked up once: on a shared drive every look is a request.
    const std::filesystem::path file = paths.existing(table);
    std::error_code missing;
    if (file.empty() || !std::filesystem::exists(file, missing)) continue;
    std::string fault, shown;
    bool told = false, unopened = false;
    try {
      platform::DbfTable rows;
      rows.open(file, true);
      // Each table is read once, its rows judged as they come.
      const platform::DbfTable::RowCheck beyond =
          letter == elements.letter ? RowBeyondFile(rows, elements) : platform::DbfTable::RowCheck();
      if (ofObjects) fault = rows.rowDamage(beyond);
      else if (beyond) fault = rows.liveRowFault(beyond);
      if (fault.empty()) continue;
      shown = paths.userSpelling(table) + ": " + fault;
    } catch (const platform::DbfOpenError& e) {
      if (!ofObjects) continue;
      shown = e.what();  // names the table already
      fault = e.fault();
      std::set<std::string> own;
      told = !TableMessages{}.isFirst(unopenedTableNotice(table, fault), own);
      unopened = true;
    } catch (const platform::DbfError& e) {
      if (!ofObjects) continue;
      fault = shown = e.what();  // a row that cannot be read
    }
    if (!told) warn("Čtení bloku: " + shown);
    // Named as the faults of the block files are, file first.
    if (unopened) damage.NoteUnopened(extractFileName(table) + ": " + fault);
    else damage.Note(extractFileName(table) + ": " + fault);
  }
  return damage;
}

}  // namespace gisblock
