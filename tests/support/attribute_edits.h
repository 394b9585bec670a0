#pragma once
// The ways a value given for a field of an object's row fails to reach its
// attribute table, each with a block built for it: the area table
// P1600.DBF (CISLO, NAZEV, PLOCHA) holding areas 1 to 3, and one area of
// kind 1600 whose row was read once, as a user who saw the record first.
// For test programs that link the block format.
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dbf_rows.h"
#include "files.h"
#include "framework/entity.h"
#include "geometry/area_element.h"
#include "gisblock/gelix_classes.h"
#include "gisblock/gelix_props.h"
#include "gisblock/gelix_registers.h"
#include "platform/dbase_table.h"
#include "read_only.h"

namespace test_support {

class AttributeBlock {
 public:
  // `filed`: the area is filed in the block's registers, which gives it
  // its table; else it has none.
  AttributeBlock(const std::filesystem::path& directory, std::int32_t cislo, bool filed) : dir(directory) {
    RegisterGelixClasses();
    WriteRows({"1", "2", "3"});
    auto area = std::make_unique<TAreaElement>();
    auto* props = new TGelixAreaProps;
    props->Cislo = cislo;
    props->Druh = 1600;
    area->SetProperties(props);
    this->area = area.get();
    if (filed)
      gisblock::gelixBlockRegister(model, dir.string())->Register(area.release());
    else
      unfiled_ = std::move(area);
    this->area->PropertyText("NAZEV");
  }

  std::filesystem::path Table() const { return dir / "P1600.DBF"; }
  // The table anew, with the rows of these numbers only.
  void WriteRows(const std::vector<std::string>& cisla) const {
    DbfRows rows;
    for (const std::string& cislo : cisla) rows.push_back({cislo, "row" + cislo, cislo + "2.5"});
    WriteTable(Table(), {{"CISLO", 'N', 8, 0}, {"NAZEV", 'C', 10, 0}, {"PLOCHA", 'N', 10, 2}}, rows);
  }
  void DeleteRow(std::uint32_t recNo) const {
    platform::DbfTable table;
    table.open(Table(), false);
    table.moveTo(recNo);
    table.deleteRecord();
  }

  const std::filesystem::path dir;
  TEntity model;
  TAreaElement* area = nullptr;

 private:
  std::unique_ptr<TAreaElement> unfiled_;
};

struct FailedEdit {
  const char* way;
  std::int32_t cislo;  // of the area edited
  bool filed;
  std::function<void(AttributeBlock&)> prepare;  // after the row was read
  bool readOnly;                                 // the block cannot be written while the value is given
  const char* field;
  const char* value;
  const char* why;   // a part of the text that says why
  const char* held;  // what the object reads afterwards; nil where it reads nothing
};

inline const std::vector<FailedEdit>& FailedEdits() {
  static const auto none = [](AttributeBlock&) {};
  static const std::vector<FailedEdit> edits = {
      {"tabulka_chybi", 2, true, [](AttributeBlock& b) { std::filesystem::remove(b.Table()); }, false, "NAZEV",
       "novy", "tabulka neexistuje", nullptr},
      {"bez_registru", 2, false, none, false, "NAZEV", "novy", "objekt nemá tabulku atributů", nullptr},
      {"bez_radku", 7, true, none, false, "NAZEV", "novy", "objekt v tabulce nemá řádek", nullptr},
      {"smazany_radek", 2, true, [](AttributeBlock& b) { b.DeleteRow(2); }, false, "NAZEV", "novy",
       "objekt v tabulce nemá řádek", nullptr},
      // The index read before points at the row of area 3 now.
      {"index_jinam", 2, true, [](AttributeBlock& b) { b.WriteRows({"1", "3"}); }, false, "NAZEV", "novy",
       "objekt v tabulce nemá řádek", nullptr},
      {"jen_pro_cteni", 2, true, none, true, "NAZEV", "novy", "přístup odepřen", "row2"},
      {"bez_polozky", 2, true, none, false, "NEMA", "novy", "tabulka nemá položku NEMA", nullptr},
      {"neni_cislo", 2, true, none, false, "PLOCHA", "abc", "není to číslo", "22.5"},
      {"cislo_nevejde", 2, true, none, false, "PLOCHA", "123456789", "číslo se do položky nevejde", "22.5"},
      {"zaokrouhleni", 2, true, none, false, "PLOCHA", "22,125", "má více desetinných míst", "22.5"},
      {"zkraceni", 2, true, none, false, "NAZEV", "Pod Vysokou", "text je delší", "row2"},
      {"cizi_znaky", 2, true, none, false, "NAZEV", "řeka→", "znaky, které tabulka neumí uložit", "row2"},
  };
  return edits;
}

// Gives the value the way the case says, through `give`.
inline void GiveValue(const FailedEdit& edit, AttributeBlock& block, const std::function<void()>& give) {
  std::optional<ReadOnlyTree> readOnly;
  if (edit.readOnly) readOnly.emplace(block.dir);
  give();
}

}  // namespace test_support
