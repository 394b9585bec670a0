#include "gisblock/attribute_table.h"

#include "framework/czech_count.h"
#include "gisblock/cislo_index.h"
#include "gisblock/integer_format.h"
#include "gisblock/table_creation.h"
#include "gisblock/table_file_name.h"
#include "platform/codepage.h"
#include "platform/dbase_value.h"
#include "platform/path_resolver.h"
#include "platform/progress_form.h"
#include "platform/regular_file.h"
#include "platform/system_cause.h"
#include "platform/tables_read.h"
#include "platform/whole_file.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace gisblock {
namespace fs = std::filesystem;

namespace {
constexpr std::size_t kMaxFieldName = 255;

// Whether the file holds exactly these bytes: an index that is right
// already is not written again (a share may refuse it).
bool fileHolds(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
  std::error_code ec;
  if (file.empty() || fs::file_size(file, ec) != bytes.size() || ec) return false;
  platform::RegularFileStream in(file, std::ios::in);
  std::vector<char> held(bytes.size());
  return in.read(held.data(), static_cast<std::streamsize>(held.size())) &&
         std::equal(held.begin(), held.end(), bytes.begin(), [](char a, std::uint8_t b) {
           return static_cast<std::uint8_t>(a) == b;
         });
}
}  // namespace

AttributeTable::AttributeTable(TableMessages messages) : messages_(std::move(messages)) {}

std::string AttributeTable::shownFile(const std::string& path) const {
  return platform::pathResolver().userSpelling(messages_.shown(path));
}

void AttributeTable::SetTableName(std::string name) {
  Close();
  dropIndex();
  freshIn_ = 0;
  tableName_ = std::move(name);
  indexName_ = indexFileName(tableName_);
}

void AttributeTable::dropIndex() { index_ = nullptr; }

void AttributeTable::keepFresh() {
  // A district export finds tens of thousands of rows: within a job the
  // file is looked at once. Outside one, finds come one by one from the
  // user.
  const std::uint64_t job = platform::BreakableJob::current();
  if (job != 0 && job == freshIn_) return;
  freshIn_ = job;
  if (job != 0) {
    std::uint64_t& looked = lookedAt_[indexName_];
    if (looked == job) return;
    looked = job;
  }
  const auto kept = indexes_.find(indexName_);
  if (!table_.isOpen() && kept == indexes_.end()) return;
  const fs::path file = table_.isOpen() ? table_.path() : platform::pathResolver().existing(tableName_);
  const std::optional<platform::DbfFileStamp> now = platform::DbfTable::stampOf(file);
  // Rows read whole, or through a handle on a file another was renamed
  // over, would be those of the table as it was.
  if (table_.isOpen() && now != table_.stamp()) Close();
  if (kept != indexes_.end() && now != kept->second.stamp) {
    if (index_ == &kept->second.index) index_ = nullptr;
    indexes_.erase(kept);
  }
  // What is kept is the file as the job finds it: the job reads it so from
  // here, though it opens nothing.
  if (job != 0 && now) platform::noteTableRead(file, *now);
}

void AttributeTable::SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

void AttributeTable::Open() {
  if (table_.isOpen()) return;
  const fs::path file = platform::pathResolver().existing(tableName_);
  if (file.empty())
    throw platform::DbfOpenError("Tabulku " + shownFile(tableName_) + " nelze otevřít", "tabulku nelze otevřít",
                                 false);
  table_.open(file, readOnly_);
}

void AttributeTable::Close() { table_.close(); }

void AttributeTable::Post() {
  const platform::DbfFileStamp before = table_.stamp();
  table_.post();
  // A row this object wrote leaves the index it keeps of the file as good
  // as it was: the file is not read again for it.
  if (indexes_.empty()) return;
  if (const auto kept = indexes_.find(indexName_); kept != indexes_.end() && kept->second.stamp == before)
    kept->second.stamp = table_.stamp();
}

bool AttributeTable::openQuietly() {
  try {
    Open();
    return true;
  } catch (const platform::DbfError& e) {
    return unread(e.what(), e);
  }
}

bool AttributeTable::unread(const std::string& error, const platform::DbfError& cause) {
  // A missing table is told as missing, once; a failure to read it would
  // say the same again.
  if (tableMissing()) return false;
  locateError_ = error;
  // A table that cannot be opened (no regular file, no permission, a header
  // at odds with itself) is the whole story of it: told once in the work,
  // whoever met it first, and its index is not blamed. Every row looked
  // for in it, or in a table whose rows cannot be read, would only say the
  // same again: the rows' failure is told once for its file and cause too,
  // under a notice of its own (the block read tells no such failure).
  const auto* opening = dynamic_cast<const platform::DbfOpenError*>(&cause);
  unopened_ = opening != nullptr;
  refusal_ = opening ? opening->what() : "";
  const std::string notice = unopenedTableNotice(tableName_, platform::faultOf(cause));
  if (messages_.isFirst(unopened_ ? notice : "řádky|" + notice, told_)) messages_.log(error);
  return false;
}

bool AttributeTable::isCurrent(const std::string& fileName) const {
  return platform::pathResolver().sameFile(fileName, tableName_);
}

void AttributeTable::switchTo(const std::string& fileName) {
  SetTableName(fileName);
  readOnly_ = true;
}

bool AttributeTable::OpenFile(const std::string& fileName) {
  // Another spelling of the table keeps it as it is: opened for writing,
  // with its index, and named as it was first.
  if (!isCurrent(fileName)) {
    if (!platform::pathResolver().exists(fileName)) return false;
    switchTo(fileName);
  }
  keepFresh();
  return openQuietly();
}

bool AttributeTable::LocateInFile(const std::string& fileName, std::int32_t cislo) {
  locateError_.clear();
  return OpenFile(fileName) && locate(cislo);
}

bool AttributeTable::LocateObject(std::string_view blockDirectory, char kindLetter, std::int32_t druh,
                                  std::int32_t cislo) {
  return LocateInFile(GelixTableFileName(blockDirectory, kindLetter, druh), cislo);
}

bool AttributeTable::LocateByTableName(const std::string& dbfName, std::int32_t cislo) {
  locateError_.clear();
  if (!isCurrent(dbfName)) {
    switchTo(dbfName);
    if (tableMissing()) return false;
  }
  return LocateCislo(cislo);
}

bool AttributeTable::LocateCislo(std::int32_t cislo) {
  keepFresh();
  return locate(cislo);
}

bool AttributeTable::locate(std::int32_t cislo, bool mayRebuild) {
  cislo_ = cislo;
  locateError_.clear();
  if (cislo < 0 || cislo > CisloIndex::kMaxCislo) return false;
  if (!OpenIndex()) return false;
  // An index kept from a table deleted since: the table is told missing.
  if (!openQuietly()) return false;
  const std::int32_t recNo = index_->entry(cislo);
  // Record numbers start at 1; an entry of 0, one beyond the table, one of a
  // row deleted since or of a row with another CISLO is stale.
  if (recNo > 0 && static_cast<std::uint32_t>(recNo) <= table_.recordCount()) {
    table_.moveTo(static_cast<std::uint32_t>(recNo));
    if (!table_.isDeleted() && GetCurrentCislo() == cislo) return true;
  }
  // A miss is looked up again in the table as the file holds it now where
  // another program saved it since the index was built (the job that reads
  // it then puts nothing in place: see platform::tableChangedDuringJob).
  // Otherwise one rebuild per state of the file is enough: what is still
  // missing afterwards has no row.
  const std::optional<platform::DbfFileStamp> now = platform::DbfTable::stampOf(table_.path());
  const auto kept = indexes_.find(indexName_);
  const bool saved = kept == indexes_.end() || now != kept->second.stamp;
  const auto rebuilt = rebuilt_.find(indexName_);
  if (!mayRebuild || (!saved && rebuilt != rebuilt_.end() && rebuilt->second == now)) return false;
  if (!BuildIndex()) return false;
  rebuilt_[indexName_] = indexes_.at(indexName_).stamp;
  // A file saved again meanwhile waits for the next miss.
  return openQuietly() && locate(cislo, false);
}

bool AttributeTable::OpenIndex() {
  if (index_) return true;
  const std::string& name = indexName_;
  if (const auto kept = indexes_.find(name); kept != indexes_.end()) {
    index_ = &kept->second.index;
    return true;
  }
  if (BuildIndex()) return true;
  if (!tableMissing() && !unopened_ && told_.insert(name).second)
    messages_.warning("Index " + shownFile(name) + " je nepřístupný");
  return false;
}

bool AttributeTable::tableMissing() {
  if (platform::pathResolver().exists(tableName_)) return false;
  // Without its table there is no index to speak of: the user must learn
  // that the table is missing.
  if (told_.insert(tableName_).second) messages_.warning("Databáze " + shownFile(tableName_) + " neexistuje");
  return true;
}

bool AttributeTable::writeIndexFile(const std::string& name, const std::vector<std::uint8_t>& bytes,
                                    std::string& cause) const {
  platform::PathResolver& paths = platform::pathResolver();
  // The index of another letter case is the one replaced: the GIS and the
  // next read would otherwise meet two.
  const fs::path target = paths.exists(name) ? paths.existing(name) : paths.forWriting(name);
  if (target.empty()) {
    cause = "cesta nevede na žádný disk";
    return false;
  }
  // A pipe or a device under the index's name is no index to replace.
  if (const std::error_code refusal = platform::notRegularFileAt(target)) {
    cause = platform::systemCause(refusal);
    return false;
  }
  // The GIS reads the file too, and a run may be killed or the disk fill
  // while it is written: whoever reads it meets the old index whole or the
  // new one.
  std::error_code error;
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (platform::replaceFileWhole(target, text, error)) return true;
  cause = platform::systemCause(error);
  return false;
}

bool AttributeTable::BuildIndex() {
  dropIndex();
  const std::string& name = indexName_;
  indexes_.erase(name);
  CisloIndex::Built built;
  platform::DbfFileStamp stamp;
  try {
    // Opened anew: the rows as the file holds them now, not as an opening
    // that read them whole saw them.
    Close();
    Open();
    stamp = table_.stamp();
    built = CisloIndex::build(table_);
  } catch (const platform::DbfError& e) {
    Close();
    return unread("Chyba práce s DBF " + shownFile(tableName_) + " při čtení záznamu: " + platform::faultOf(e), e);
  }
  Close();
  for (const std::string& warning : built.warnings) messages_.log(warning);
  tellDuplicates(built.duplicates);
  keepIndexFile(name, built.index);
  index_ = &indexes_.emplace(name, KeptIndex{std::move(built.index), stamp}).first->second.index;
  return true;
}

void AttributeTable::keepIndexFile(const std::string& name, const CisloIndex& index) {
  const std::vector<std::uint8_t> bytes = index.encode();
  platform::PathResolver& paths = platform::pathResolver();
  if (paths.exists(name) && fileHolds(paths.existing(name), bytes)) return;
  std::string cause;
  if (writeIndexFile(name, bytes, cause)) return;
  // Told once per read, however many table objects read the file.
  if (messages_.isFirst("index|" + name, told_))
    messages_.log("Index " + shownFile(name) + " nelze zapsat: " + cause + "; řádky tabulky " +
                  shownFile(tableName_) + " se hledají podle indexu v paměti");
}

void AttributeTable::tellDuplicates(const std::vector<CisloIndex::Built::Duplicate>& duplicates) {
  if (duplicates.empty() || !messages_.isFirst("cislo|" + tableName_, told_)) return;
  const std::string table = shownFile(tableName_);
  auto rows = [](const CisloIndex::Built::Duplicate& d) {
    const std::string cislo = "CISLO " + std::to_string(d.cislo);
    if (d.rows == 2) return cislo + " je v řádcích " + std::to_string(d.first) + " a " + std::to_string(d.last);
    return cislo + " je ve " + std::to_string(d.rows) + " řádcích, v prvním " + std::to_string(d.first) +
           " a v posledním " + std::to_string(d.last);
  };
  // The row an object's number finds is the last, as in the index every
  // program writes; the user learns which rows to mend.
  std::string text = "Tabulka " + table + ": " + rows(duplicates.front());
  if (duplicates.size() > 1)
    text += " (a " + framework::CzechCount(static_cast<std::int64_t>(duplicates.size() - 1), "další číslo",
                                           "další čísla", "dalších čísel") +
            " ve více řádcích, viz protokol)";
  messages_.warning(text + "; platí poslední řádek");
  for (std::size_t i = 1; i < duplicates.size(); ++i) messages_.log("Tabulka " + table + ": " + rows(duplicates[i]));
}

std::string AttributeTable::GetShortTableName() const { return shortTableName(tableName_); }

std::optional<std::string> AttributeTable::SplitQualifiedName(std::string_view name) const {
  const auto dot = name.find('.');
  if (dot == std::string_view::npos) return std::string(name);
  if (!platform::equalsIgnoringAsciiCase(name.substr(0, dot), GetShortTableName())) return std::nullopt;
  return std::string(name.substr(dot + 1, kMaxFieldName));
}

bool AttributeTable::HasField(std::string_view name) const {
  const auto field = SplitQualifiedName(name);
  return field && table_.isOpen() && table_.hasField(*field);
}

std::string AttributeTable::GetFieldText(std::string_view name) const {
  try {
    if (HasField(name)) return table_.text(*SplitQualifiedName(name));
  } catch (const platform::DbfError&) {
  }
  return {};
}

int AttributeTable::fieldNamed(std::string_view name) const {
  const auto field = table_.isOpen() && !name.empty() ? SplitQualifiedName(name) : std::nullopt;
  return field ? table_.fieldIndex(*field) : -1;
}

void AttributeTable::SetFieldText(std::string_view name, std::string_view text) {
  if (const int index = fieldNamed(name); index >= 0) setFieldAt(index, text);
}

void AttributeTable::SetExactFieldText(std::string_view name, std::string_view text) {
  const int index = fieldNamed(name);
  if (index < 0) throw platform::DbfError("Tabulka " + shownFile(tableName_) + " nemá položku " + std::string(name));
  platform::dbf::requireExactValue(table_.fields()[static_cast<std::size_t>(index)], text, table_.codePage());
  table_.setText(index, text);
}

void AttributeTable::setFieldAt(int field, std::string_view text) {
  try {
    table_.setText(field, text);
  } catch (const platform::DbfError& e) {
    refuseValue(field, e);
  }
}

void AttributeTable::refuseValue(int field, const platform::DbfError& e) {
  refuseValue(field, e.what(), "Tabulka " + messages_.shown(tableName_) + ": " + e.what());
}

void AttributeTable::refuseValue(int field, const std::string& thrown, const std::string& logged) {
  if (strictValues_) throw platform::DbfError(thrown);
  // The row goes on without the value; the user learns of it once per
  // field, not once per row.
  if (refused_.insert(tableName_ + "|" + table_.fields()[static_cast<std::size_t>(field)].name).second)
    messages_.log(logged);
}

std::string AttributeTable::FormatField(std::string_view name, std::string_view format) const {
  if (!HasField(name)) return {};
  const std::string text = GetFieldText(name);
  const double value = text.empty() ? 0.0 : std::strtod(text.c_str(), nullptr);
  if (!std::isfinite(value) || std::fabs(value) > 9.2e18) return {};
  return formatInteger(format, std::llround(value)).value_or(std::string());
}

std::int32_t AttributeTable::GetCurrentCislo() const {
  try {
    return cisloFromText(table_.text("CISLO"));
  } catch (const platform::DbfError&) {
    return 0;
  }
}

bool AttributeTable::CreateTable(const std::string& tableFile) {
  Close();
  if (CreateFileName.empty() || !platform::pathResolver().exists(CreateFileName)) return false;
  const std::string name = extractFileName(CreateFileName);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && platform::equalsIgnoringAsciiCase(std::string_view(name).substr(dot), ".DBF"))
    return CreateTableFromDBF(CreateFileName, tableFile, messages_);
  return CreateTableFromCRT(CreateFileName, tableFile, messages_);
}

void AttributeTable::SetTransferScript(const std::string& fileName) {
  if (script_ && script_->fileName() == fileName) return;
  // A script that is not there is looked for once, not for every row.
  if (!script_ && fileName == scriptAsked_) return;
  scriptAsked_ = fileName;
  script_.reset();
  scriptRefusal_.clear();
  ++scriptVersion_;
  if (fileName.empty() || !platform::pathResolver().exists(fileName)) return;
  auto script = std::make_unique<TransferScript>();
  // One that is there and cannot be read would leave every field it names
  // blank in a block told as written.
  if (script->load(fileName))
    script_ = std::move(script);
  else
    scriptRefusal_ = "Přenos položek dle " + shownFile(fileName) + ": " + platform::systemCause(script->loadError());
}

void AttributeTable::CopyFieldsFrom(const platform::DbfTable& source) {
  if (!table_.isOpen() || !source.isOpen()) return;
  if (planSource_ != source.opening() || planTarget_ != table_.opening() || planScript_ != scriptVersion_) {
    copyPlan_.clear();
    auto plan = [&](const std::string& from, const std::string& to) {
      const int f = source.fieldIndex(from);
      const auto field = SplitQualifiedName(to);
      const int t = field ? table_.fieldIndex(*field) : -1;
      if (f >= 0 && t >= 0) copyPlan_.push_back({f, t, to});
    };
    if (script_) {
      // A source of this table's own kind (the districts' empty areas in
      // the LHC's block) was written through this script: it holds the
      // script's targets, and lacks its sources by design.
      const bool ownKind =
          platform::equalsIgnoringAsciiCase(shortTableName(source.path().string()), GetShortTableName());
      const auto& pairs = script_->pairs();
      if (std::all_of(pairs.begin(), pairs.end(), [](const TransferPair& pair) { return pair.source[0] == ';'; }))
        tellOfScript(": soubor neobsahuje žádnou dvojici položek");
      for (const TransferPair& pair : pairs) {
        if (pair.source.empty() || pair.source[0] == '*' || pair.source[0] == ';') continue;
        tellIfNoTarget(pair);
        if (source.hasField(pair.source)) {
          plan(pair.source, pair.target);
        } else if (ownKind) {
          // What the script wrote there stands under its target's name.
          const auto target = SplitQualifiedName(pair.target);
          if (!target) continue;
          if (sourceFieldsRequired_ && !source.hasField(*target) && table_.hasField(*target))
            throw missingSourceField(source, *target, &pair);
          plan(*target, pair.target);
        } else if (sourceFieldsRequired_) {
          throw missingSourceField(source, pair.source, &pair);
        } else {
          tellBadPair(pair, "zdrojová tabulka " + platform::pathResolver().userSpelling(source.path()) +
                                " nemá položku " + pair.source);
        }
      }
    } else {
      for (const platform::DbfField& field : table_.fields()) {
        if (field.name == "CISLO") continue;
        // This table was made like its sources (a merge of the districts'
        // tables): a field one of them lacks would stand empty in its rows.
        if (sourceFieldsRequired_ && !source.hasField(field.name))
          throw missingSourceField(source, field.name, nullptr);
        plan(field.name, field.name);
      }
    }
    planSource_ = source.opening();
    planTarget_ = table_.opening();
    planScript_ = scriptVersion_;
  }
  for (const CopyStep& step : copyPlan_) {
    std::string value;
    try {
      value = source.text(step.from);
    } catch (const platform::DbfError&) {
      continue;  // the source stands on no row: nothing to copy
    }
    copyValue(source, step, value);
  }
}

platform::DbfError AttributeTable::missingSourceField(const platform::DbfTable& source, const std::string& field,
                                                      const TransferPair* pair) const {
  std::string text = platform::pathResolver().userSpelling(source.path()) + ": tabulka nemá položku " + field;
  if (pair) text += " (přenos položek dle " + script_->fileName() + ", řádek " + std::to_string(pair->line) + ")";
  return platform::DbfError(text);
}

void AttributeTable::copyValue(const platform::DbfTable& source, const CopyStep& step, const std::string& value) {
  try {
    // A key rounded ("1,5" into a field without decimals) would name a unit
    // the source row does not, and a text cut short or with a letter turned
    // into '?' is lost for the block and for every block made from it.
    platform::dbf::requireExactValue(table_.fields()[static_cast<std::size_t>(step.to)], value, table_.codePage());
    table_.setText(step.to, value);
  } catch (const platform::DbfError& e) {
    // The value is mended in the source row: its table, row and field are
    // named.
    const std::string where = platform::pathResolver().userSpelling(source.path()) + ": řádek " +
                              std::to_string(source.recNo()) + ", položka " +
                              source.fields()[static_cast<std::size_t>(step.from)].name;
    const std::string text = where + ": " + e.what();
    refuseValue(step.to, text, text);
  }
}

void AttributeTable::CopyStarredFrom(const PropertyText& property) {
  if (!script_) return;
  for (const TransferPair& pair : script_->pairs()) {
    if (pair.source.empty() || pair.source[0] != '*') continue;
    if (!HasField(pair.target)) {
      if (table_.isOpen()) tellIfNoTarget(pair);
      continue;
    }
    if (const auto value = property(pair.source.substr(1))) SetFieldText(pair.target, *value);
  }
}

void AttributeTable::tellIfNoTarget(const TransferPair& pair) {
  // A name qualified by another table's is meant for that table.
  const auto field = SplitQualifiedName(pair.target);
  if (field && !table_.hasField(*field))
    tellBadPair(pair, "nová tabulka " + shownFile(tableName_) + " nemá položku " + *field);
}

void AttributeTable::TellMissingSource(const std::string& sourceFile) {
  if (!script_) return;
  std::string fields;
  for (const TransferPair& pair : script_->pairs())
    if (!pair.source.empty() && pair.source[0] != '*' && pair.source[0] != ';')
      fields += (fields.empty() ? "" : ", ") + pair.source;
  // Properties alone ("*Druh") need no table.
  if (fields.empty()) return;
  tellOfScript(": zdrojová tabulka " + platform::pathResolver().userSpelling(sourceFile) +
               " neexistuje, nepřenese se " + fields);
}

void AttributeTable::tellBadPair(const TransferPair& pair, const std::string& why) {
  tellOfScript(", řádek " + std::to_string(pair.line) + ": " + why);
}

void AttributeTable::tellOfScript(const std::string& what) {
  // Every row would leave the field empty: the user hears of it once per
  // export, not once per row.
  const std::string text = "Přenos položek dle " + script_->fileName() + what;
  if (messages_.isFirst("tds|" + text, told_)) messages_.warning(text);
}

void AttributeTable::SetFieldsFromList(const std::vector<std::pair<std::string, std::string>>& values) {
  for (const auto& [name, value] : values) {
    const int index = fieldNamed(platform::upperUtf8(name));
    if (index < 0) continue;
    // Values given by name (the LHC code of every row) are written as
    // given: one the field would keep only cut or rounded is refused, as a
    // copied one is, rather than stored changed in every row.
    try {
      platform::dbf::requireExactValue(table_.fields()[static_cast<std::size_t>(index)], value, table_.codePage());
      table_.setText(index, value);
    } catch (const platform::DbfError& e) {
      refuseValue(index, e);
    }
  }
}

}  // namespace gisblock
