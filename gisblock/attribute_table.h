#pragma once
// The attribute table of one object kind of a block, switched from table
// file to table file, positioned on the row of an object number through the
// table's own .IND index, read and written field by field by name, created
// from control files and filled by field transfer. The table element class
// of the object model wraps this class and forwards to it.
//
// Table names are texts of the GIS tree; two names denote the same file when
// the path resolver takes them for one (PathResolver::sameFile), whatever
// their letter case.
#include "gisblock/cislo_index.h"
#include "gisblock/table_messages.h"
#include "gisblock/transfer_script.h"
#include "platform/dbase_table.h"

#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
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
  void Post();
  void Cancel() { table_.cancel(); }
  // The fields and the current row; valid while Active.
  platform::DbfTable& Fields() { return table_; }
  const platform::DbfTable& Fields() const { return table_; }

  // --- choosing the table and locating rows -----------------------------
  bool OpenFile(const std::string& fileName);
  bool LocateInFile(const std::string& fileName, std::int32_t cislo);
  bool LocateObject(std::string_view blockDirectory, char kindLetter, std::int32_t druh, std::int32_t cislo);
  // For an object whose attribute record names its table: switches to that
  // table even when it is missing (then no fields and false, the table told
  // missing once).
  bool LocateByTableName(const std::string& dbfName, std::int32_t cislo);
  void SetCislo(std::int32_t cislo) { LocateCislo(cislo); }
  std::int32_t Cislo() const { return cislo_; }
  bool LocateCislo(std::int32_t cislo);
  // Why the last locate failed when the table or its index could not be
  // read (logged as well, once in the work for the same table and cause);
  // empty when it found its row, when the table has
  // no row of that number, and when there is no such table. A missing table
  // that a locate stands on is told once, as "Databáze X neexistuje", and
  // not again as a table that cannot be read.
  const std::string& LocateError() const { return locateError_; }
  // The same in the words of the table's own refusal where it cannot be
  // opened ("X není soubor, ale pojmenovaná roura", "X: Poškozená hlavička
  // tabulky: ..."); else LocateError.
  const std::string& UnreadCause() const { return unopened_ && !locateError_.empty() ? refusal_ : locateError_; }
  // Rows are found through an index built from the table's rows the first
  // time this object locates in it, and kept while the table file stays as
  // it was: an .IND file written before rows were appended would find other
  // rows than the table holds. A table written since by another program
  // (its file, size, time or row count differ) is read afresh, index and
  // rows, before the next find: the file is looked at once per job
  // (platform::BreakableJob), and at every find outside one. A CISLO of
  // several rows finds the last (as in the .IND files
  // every program writes) and is told once per read with its rows. The
  // .IND file is written where it differs, and replaces the old one whole
  // (platform::replaceFileWhole): the GIS reads it too. One that cannot be
  // written (a read-only share, a full disk: the old file stays) is told
  // once per file and read
  // (TableMessages::firstNotice), in the log.
  bool OpenIndex();
  bool BuildIndex();

  // --- fields of the current row ----------------------------------------
  std::string GetShortTableName() const;
  // "P1600.PLOCHA" names PLOCHA of table P1600 only; "PLOCHA" of any table.
  std::optional<std::string> SplitQualifiedName(std::string_view name) const;
  bool HasField(std::string_view name) const;
  std::string GetFieldText(std::string_view name) const;              // empty on any failure
  // A value the field cannot hold is left out, and logged once per field;
  // with strict values it throws platform::DbfError instead, naming the
  // value and the field.
  void SetFieldText(std::string_view name, std::string_view text);
  // For a table being written whole: a value that cannot be written fails
  // the row rather than vanishing from it. A number is still rounded to the
  // field's decimals and a text cut to its width.
  void SetStrictValues(bool strict) { strictValues_ = strict; }
  // For a value the user gave one row: a field the table lacks, a value the
  // field refuses and one it would keep only rounded or cut (see
  // dbf::alterationOf) throw platform::DbfError, the row left as it was.
  void SetExactFieldText(std::string_view name, std::string_view text);
  // For rows whose keys come only from their source rows (a merge): a
  // field the copy takes that the source table lacks (a script's source
  // field, or without a script any field of this table but CISLO) fails the
  // copy instead of leaving the target empty in every row.
  void SetSourceFieldsRequired(bool required) { sourceFieldsRequired_ = required; }
  // The field's integer value through an integer format ("%d", "%4.4d",
  // "%-6d", literal text, "%%"); empty for any other format.
  std::string FormatField(std::string_view name, std::string_view format) const;
  std::int32_t GetCurrentCislo() const;

  // --- creation and field transfer --------------------------------------
  std::string CreateFileName;  // a .CRT, or a .DBF whose structure is copied
  bool CreateTable(const std::string& tableFile);
  void SetTransferScript(const std::string& fileName);
  // Where something that is no regular file lies under the name of the
  // script last set, why it was not read ("Přenos položek dle X: není
  // soubor, ale pojmenovaná roura"): a copy without it would copy the
  // fields otherwise than it says. Empty otherwise.
  const std::string& TransferScriptRefusal() const { return scriptRefusal_; }
  const TransferScript* GetTransferScript() const { return script_.get(); }
  // The source's current row into this table's current row (in edit or
  // append state): by the script's pairs, or by equal names except CISLO.
  // A pair whose source field the source lacks, or whose target field this
  // table lacks, and a script without pairs, are told as warnings, once
  // per export (isFirst). A value the target field cannot take, or would
  // keep only changed (a number rounded, a text cut or with letters the
  // table's code page lacks: dbf::alterationOf), is refused as SetFieldText
  // refuses one, the source table, row and field named; with strict values
  // it throws platform::DbfError.
  void CopyFieldsFrom(const platform::DbfTable& source);
  // The source table of a row is missing: the script's pairs that name its
  // fields leave their targets empty, which is told as above.
  void TellMissingSource(const std::string& sourceFile);
  // The script's "*" pairs: the target field := the source object's named
  // property as text (nothing when the object has no such property); a
  // target field this table lacks is told as above.
  using PropertyText = std::function<std::optional<std::string>(const std::string& property)>;
  void CopyStarredFrom(const PropertyText& property);
  // Each named value into the field of its upper-cased name, as given: one
  // the field would keep only cut or rounded is refused as SetFieldText
  // refuses a value (see SetStrictValues).
  void SetFieldsFromList(const std::vector<std::pair<std::string, std::string>>& values);

 private:
  void switchTo(const std::string& fileName);
  void dropIndex();
  // Lets go of the open table and of its index where the file is no longer
  // the one they were read from.
  void keepFresh();
  // LocateCislo on what is kept; a miss rebuilds the index at most once.
  bool locate(std::int32_t cislo, bool mayRebuild = true);
  // A value the field does not take: thrown on with strict values, else
  // left out and logged once per field.
  void refuseValue(int field, const platform::DbfError& e);
  // The same with the texts thrown and logged.
  void refuseValue(int field, const std::string& thrown, const std::string& logged);
  // The index of the open table's field of that (qualified) name; -1 when
  // the table is closed or has none.
  int fieldNamed(std::string_view name) const;
  // SetFieldText on a field found already.
  void setFieldAt(int field, std::string_view text);
  struct CopyStep;
  // A source field the copy needs and the source table lacks, where rows
  // take their keys only from their sources; with the script's line where
  // a pair of the script asked for it.
  platform::DbfError missingSourceField(const platform::DbfTable& source, const std::string& field,
                                        const TransferPair* pair) const;
  void copyValue(const platform::DbfTable& source, const CopyStep& step, const std::string& value);
  bool openQuietly();
  // A table that could not be read: false, with the error kept for
  // LocateError, unless the table is missing. The error is logged once in
  // the work for its cause (TableMessages::isFirst): a table that cannot be
  // opened only where nothing told it before (unopenedTableNotice), one
  // whose rows cannot be read once for its file and cause: not again for
  // every row looked for.
  bool unread(const std::string& error, const platform::DbfError& cause);
  // Whether the name is another spelling of the current table.
  bool isCurrent(const std::string& fileName) const;
  // Whether the current table file is missing; the user is told once.
  bool tableMissing();
  void keepIndexFile(const std::string& name, const CisloIndex& index);
  bool writeIndexFile(const std::string& name, const std::vector<std::uint8_t>& bytes, std::string& cause) const;
  void tellDuplicates(const std::vector<CisloIndex::Built::Duplicate>& duplicates);
  // A file of the table as a message names it: as the user spells it.
  std::string shownFile(const std::string& path) const;
  // A script, or a pair of it, that leaves its targets empty in every row.
  void tellIfNoTarget(const TransferPair& pair);
  void tellBadPair(const TransferPair& pair, const std::string& why);
  // `what` follows the script's name: ", řádek 3: ..." or ": ...".
  void tellOfScript(const std::string& what);

  TableMessages messages_;
  platform::DbfTable table_;
  std::string tableName_;
  std::string indexName_;  // of the current table: indexFileName(tableName_)
  bool readOnly_ = true;
  std::int32_t cislo_ = 0;
  // Index files this object has rebuilt after a miss, with the state of
  // the table file each was rebuilt from: a miss in that same state is a
  // row the table lacks.
  std::map<std::string, std::optional<platform::DbfFileStamp>> rebuilt_;
  struct KeptIndex {
    CisloIndex index;
    platform::DbfFileStamp stamp;  // of the table file it was built from
  };
  std::map<std::string, KeptIndex> indexes_;  // by index file name: of the tables located in
  const CisloIndex* index_ = nullptr;         // of the current table: one of them
  // By index file name: the job that last compared the table file with
  // what is kept of it; freshIn_ that of the current table.
  std::map<std::string, std::uint64_t> lookedAt_;
  std::uint64_t freshIn_ = 0;
  std::set<std::string> told_;                 // index warnings already shown
  std::string locateError_;
  bool unopened_ = false;  // the last read of the table failed as it could not be opened
  std::string refusal_;    // the opening's own text then
  bool strictValues_ = false;
  bool sourceFieldsRequired_ = false;
  std::unique_ptr<TransferScript> script_;
  std::string scriptAsked_;            // the file SetTransferScript was last given
  std::string scriptRefusal_;
  std::uint64_t scriptVersion_ = 0;    // counts the scripts taken
  // What CopyFieldsFrom copies, by field positions, for one opening of the
  // source and of this table and one script: the names are looked up once
  // for all rows.
  struct CopyStep {
    int from;
    int to;
    std::string target;  // as the pair names it
  };
  std::vector<CopyStep> copyPlan_;
  std::uint64_t planSource_ = 0, planTarget_ = 0, planScript_ = 0;
  std::set<std::string> refused_;  // table|field whose values were refused
};

}  // namespace gisblock
