#pragma once
// The attribute table of one object kind of a block, switched from table
// file to table file, positioned on the row of an object number through the
// table's own .IND index, read and written field by field by name, created
// from control files and filled by field transfer. The table element class
// of the object model wraps this class and forwards to it.
//
// Table names are texts of the GIS tree; two names denote the same file only
// when the texts are equal.
#include "gisblock/table_messages.h"
#include "gisblock/transfer_script.h"
#include "platform/dbase_table.h"

#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gisblock {

class AttributeTable {
 public:
  explicit AttributeTable(TableMessages messages = {});
  void SetMessages(TableMessages messages) { messages_ = std::move(messages); }

  // --- the data-set surface ---------------------------------------------
  const std::string& TableName() const { return tableName_; }
  void SetTableName(std::string name);  // closes the table and drops the index
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);      // takes effect at the next Open
  // Opening an open table does nothing. Throws platform::DbfError.
  void Open();
  void Close();
  bool Active() const { return table_.isOpen(); }
  void Append() { table_.append(); }
  void Edit() { table_.edit(); }
  void Post() { table_.post(); }
  void Cancel() { table_.cancel(); }
  // The fields and the current row; valid while Active.
  platform::DbfTable& Fields() { return table_; }
  const platform::DbfTable& Fields() const { return table_; }

  // --- choosing the table and locating rows -----------------------------
  bool OpenFile(const std::string& fileName);
  bool LocateInFile(const std::string& fileName, std::int32_t cislo);
  bool LocateObject(std::string_view blockDirectory, char kindLetter, std::int32_t druh, std::int32_t cislo);
  // For an object whose attribute record names its table: switches to that
  // table even when it is missing (then no fields and false).
  bool LocateByTableName(const std::string& dbfName, std::int32_t cislo);
  void SetCislo(std::int32_t cislo) { LocateCislo(cislo); }
  std::int32_t Cislo() const { return cislo_; }
  bool LocateCislo(std::int32_t cislo);
  bool OpenIndex();
  bool BuildIndex();

  // --- fields of the current row ----------------------------------------
  std::string GetShortTableName() const;
  // "P1600.PLOCHA" names PLOCHA of table P1600 only; "PLOCHA" of any table.
  std::optional<std::string> SplitQualifiedName(std::string_view name) const;
  bool HasField(std::string_view name) const;
  std::string GetFieldText(std::string_view name) const;              // empty on any failure
  // A value the field cannot hold is left out, and logged once per field.
  void SetFieldText(std::string_view name, std::string_view text);
  // The field's integer value through an integer format ("%d", "%4.4d",
  // "%-6d", literal text, "%%"); empty for any other format.
  std::string FormatField(std::string_view name, std::string_view format) const;
  std::int32_t GetCurrentCislo() const;

  // --- creation and field transfer --------------------------------------
  std::string CreateFileName;  // a .CRT, or a .DBF whose structure is copied
  bool CreateTable(const std::string& tableFile);
  void SetTransferScript(const std::string& fileName);
  const TransferScript* GetTransferScript() const { return script_.get(); }
  // The source's current row into this table's current row (in edit or
  // append state): by the script's pairs, or by equal names except CISLO.
  void CopyFieldsFrom(const platform::DbfTable& source);
  // The script's "*" pairs: the target field := the source object's named
  // property as text (nothing when the object has no such property).
  using PropertyText = std::function<std::optional<std::string>(const std::string& property)>;
  void CopyStarredFrom(const PropertyText& property);
  // Each named value into the field of its upper-cased name.
  void SetFieldsFromList(const std::vector<std::pair<std::string, std::string>>& values);

 private:
  void switchTo(const std::string& fileName);
  bool openQuietly();

  TableMessages messages_;
  platform::DbfTable table_;
  std::string tableName_;
  bool readOnly_ = true;
  std::int32_t cislo_ = 0;
  std::ifstream index_;
  std::set<std::string> rebuilt_;  // index files this object has rebuilt after finding them stale
  std::unique_ptr<TransferScript> script_;
  std::set<std::string> refused_;  // table|field whose values were refused
};

}  // namespace gisblock
