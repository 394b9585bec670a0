#pragma once
// What the forest hierarchy filed its stands by: for each attribute table,
// the file as the hierarchy first found it and, for each stand, the key
// values of the row that counted (LS_KOD, ODDELENI, DILEC, SKUPINA), or no
// row. A later job that exports by the hierarchy holds this against the
// table as it is then: a hierarchy the table no longer gives must not be
// written as the district.
#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/dbase_table.h"

namespace gisblock {
class CisloIndex;
}

class HierarchyKeys {
 public:
  static constexpr std::array<const char*, 4> kNames = {"LS_KOD", "ODDELENI", "DILEC", "SKUPINA"};
  using Keys = std::array<std::string, kNames.size()>;  // trimmed, as read

  // The area of that CISLO was filed by these keys (none: its row was not
  // found); `table` as the area names it, `row` the record it was found in,
  // `opened` the file as the table read was opened (unknown: as it is now).
  void Note(const std::string& table, std::int32_t cislo, const std::optional<Keys>& keys, std::uint32_t row = 0,
            const platform::DbfFileStamp* opened = nullptr);
  bool Empty() const { return tables_.empty(); }

  // The first difference between what was filed and the tables as they are
  // now, in words ("tabulka …, řádek 3: položka ODDELENI měla při načtení
  // hodnotu "" a nyní "1""); none when every table gives the same keys. A
  // table whose file is as it was is not read; one read and found to give
  // the same keys is taken as it is now, so that it is not read again.
  std::optional<std::string> FirstChange();
  // The running job holds each table as FirstChange last found it, until
  // it puts its block in place: a save after the check is then seen also
  // where it comes before the job's own first read of the table.
  void HoldInJob() const;

 private:
  struct Filed {
    std::optional<Keys> keys;
    std::uint32_t row = 0;
  };
  struct Table {
    std::optional<platform::DbfFileStamp> stamp;  // none: no table could be read
    std::map<std::int32_t, Filed> areas;           // by CISLO
  };
  // The file the name leads to now; empty where there is none.
  static std::filesystem::path TableFile(const std::string& name);
  // `file`: the table as the name resolves now (empty: there is none).
  static std::optional<std::string> ChangeOf(const std::string& name, const std::filesystem::path& file,
                                             const Table& table);
  static std::optional<std::string> FirstDifference(const std::string& shown, const Table& table,
                                                    platform::DbfTable& now, const gisblock::CisloIndex& index,
                                                    const int* fields);
  std::map<std::string, Table> tables_;
};
