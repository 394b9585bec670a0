#include "areas/export_dbf_class.h"

#include <charconv>
#include <optional>
#include <vector>
#include <system_error>
#include <cstdio>

#include "framework/dynamic_properties.h"
#include "framework/problem_report.h"
#include "framework/string_utils.h"
#include "geometry/area_element.h"
#include "gisblock/gelix_dbf_table.h"
#include "gisblock/gelix_props.h"
#include "gisblock/staged_block.h"
#include "gisblock/table_creation.h"
#include "platform/dbase_table.h"
#include "platform/path_resolver.h"
#include "platform/user_interaction.h"

ZELTO_IMPLEMENT_ELEMENT(TExportDBFClass, TTool, [](auto& p) {
  using E = TExportDBFClass;
  p.String("ExpBlockName", &E::ExpBlockName);
  p.String("ControlDir", &E::ControlDir);
  p.Integer("Druh", &E::Druh);
  p.String("DBFName", &E::GetDBFName);
  p.Boolean("CreateFromSource", &E::CreateFromSource);
  p.Boolean("PlochyVHa", &E::PlochyVHa);
  p.Boolean("BothSources", &E::BothSources);
})

namespace areas {

std::string KindTableName(char letter, std::int32_t druh) {
  if (druh >= 0 && druh <= 9999) {
    std::string name(5, letter);
    for (int i = 4; i > 0; --i, druh /= 10) name[static_cast<std::size_t>(i)] = static_cast<char>('0' + druh % 10);
    return name;
  }
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d", static_cast<int>(druh));
  return std::string(1, letter) + digits;
}

std::string FieldNumberText(double value) {
  // Room for every double in fixed notation (1e308 has 309 digits): a
  // coordinate of a damaged block must not leave the rest of the buffer in
  // the text.
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (result.ec != std::errc()) return "?";
  return std::string(buffer, result.ptr);
}

}  // namespace areas

namespace {

std::string withBackslash(const std::string& dir) {
  if (dir.empty() || dir.back() == '\\' || dir.back() == '/') return dir;
  return dir + "\\";
}

bool fileExists(const std::string& name) { return !name.empty() && platform::pathResolver().exists(name); }

}  // namespace

TExportDBFClass::~TExportDBFClass() { delete table_; }

std::string TExportDBFClass::GetDBFName() const {
  return withBackslash(ExpBlockName) + areas::KindTableName(ObjectType, Druh) + ".DBF";
}

std::string TExportDBFClass::ControlFileName(const std::string& extension) const {
  return withBackslash(ControlDir) + areas::KindTableName(ObjectType, Druh) + extension;
}

bool TExportDBFClass::createTable(TSpaceEntity* object) {
  std::string definition;
  if (CreateFromSource) {
    auto* props = static_cast<TGelixProps*>(object->GetProperties());
    definition = props->GetDBFName();
    // An object read from no table (an area built where no old area lay)
    // takes the fields the control file of its kind defines.
    if (definition.empty() && !ControlDir.empty()) definition = ControlFileName(".CRT");
  } else {
    definition = ControlFileName(".CRT");
  }
  if (!definesItsKind(definition)) return false;
  table_->SetCreateFileName(definition);
  if (!Staged) return table_->CreateTable(GetDBFName());
  // Lines that keep their own kinds alternate between tables; a kind
  // without a definition would otherwise search the directories per line.
  if (missingDefinitions_.count(definition)) return false;

  // The table layer's errors are gathered: a table that could not be made
  // from a definition that exists fails the block, with their text.
  gisblock::TableMessages messages;
  messages.error = [this](const std::string& text) { tableErrors_ += (tableErrors_.empty() ? "" : "; ") + text; };
  messages.shown = [staged = Staged](const std::string& path) { return staged->shown(path); };
  messages.firstNotice = [staged = Staged](const std::string& key) { return staged->firstNotice(key); };
  table_->Table().SetMessages(messages);
  tableErrors_.clear();
  const bool made = table_->CreateTable(GetDBFName());
  const std::string errors = std::move(tableErrors_);
  tableErrors_.clear();
  const bool defined = fileExists(definition);
  if (!made && !defined) missingDefinitions_.insert(definition);
  if (!made && !defined && CreateFromSource && SourceRowsRequired) {
    Staged->noteFailure(platform::pathResolver().userSpelling(definition), "tabulka neexistuje");
  } else if (!made && defined) {
    Staged->noteFailure(GetDBFName(), errors.empty() ? "tabulku nelze vytvořit" : errors);
  } else if (!made && !reportedMissing_) {
    reportedMissing_ = true;
    gisblock::TableMessages::logText("Tabulka " + Staged->shown(GetDBFName()) + " nevytvořena, chybí soubor " +
                                     definition);
  } else if (!errors.empty()) {
    gisblock::TableMessages::problem(errors);
  }
  return made;
}

template <class Step>
bool TExportDBFClass::writeStep(Step step) {
  try {
    if (step()) return true;
  } catch (const platform::DbfError& e) {
    // A half-filled row must not be posted by the next object's append.
    table_->Cancel();
    if (!Staged) throw;
    Staged->noteFailure(GetDBFName(), platform::faultOf(e));  // the failure names the table
    return false;
  } catch (...) {
    table_->Cancel();
    throw;
  }
  table_->Cancel();
  return false;
}

bool TExportDBFClass::ensureTable(TSpaceEntity* object) {
  const std::string name = GetDBFName();
  bool ready;
  if (!table_) {
    table_ = new TGelixDBFTable;
    ready = createTable(object);
  } else if (table_->GetTableName() != name) {
    Finish();
    table_->Close();
    ready = fileExists(name) || createTable(object);
  } else {
    return true;  // the open table of the row before
  }
  if (!ready) {
    delete table_;
    table_ = nullptr;
    return false;
  }
  table_->SetTableName(name);
  table_->SetReadOnly(false);
  // A block written whole fails as a whole: its rows need not each reach
  // the file at their post.
  table_->Table().Fields().bufferAppends(Staged != nullptr);
  return true;
}

bool TExportDBFClass::Finish() {
  if (!table_) return true;
  try {
    table_->Table().Fields().flush();
    return true;
  } catch (const platform::DbfError& e) {
    if (!Staged) throw;
    Staged->noteFailure(GetDBFName(), e.what());
    return false;
  }
}

bool TExportDBFClass::copyFromSource(TSpaceEntity* object) {
  auto* props = static_cast<TGelixProps*>(object->GetProperties());
  if (!CreateFromSource) {
    table_->SetTransferScript(ControlFileName(".TDS"));
    if (const std::string& refusal = table_->Table().TransferScriptRefusal(); !refusal.empty())
      throw platform::DbfError(refusal);
  }
  auto* source = props->GetDBFTable();
  // An object without a source table (a new area of the node building)
  // still gets its row: the copy is only skipped.
  if (!source) return true;
  const std::string sourceName = props->GetDBFName();
  if (sourceName != foundSource_) {
    if (!fileExists(sourceName)) {
      if (!SourceRowsRequired) table_->Table().TellMissingSource(sourceName);
      return sourceUnread(sourceName, "tabulka neexistuje");
    }
    foundSource_ = sourceName;
  }
  auto* sourceTable = source->Is<TGelixDBFTable>() ? static_cast<TGelixDBFTable*>(source) : nullptr;
  if (sourceTable && sourceTable->LocateInFile(sourceName, props->GetOrigNo())) {
    try {
      table_->CopyFieldsFrom(*sourceTable);
    } catch (const platform::DbfError& e) {
      // What the source row cannot give is mended there: the cause names
      // its table and row, and the block's failure its file.
      if (!Staged) throw;
      Staged->noteFailure(sourceName, e.what());
      return false;
    }
    return true;
  }
  const std::string error = sourceTable ? sourceTable->LocateError() : std::string();
  if (error.empty()) {
    const std::string table =
        platform::pathResolver().userSpelling(sourceTable ? sourceTable->GetTableName() : sourceName);
    if (SourceRowsRequired)
      return sourceUnread(sourceName, "není nalezen záznam c." + std::to_string(props->GetOrigNo()));
    zelto::ReportProblem("Není nalezen záznam c." + std::to_string(props->GetOrigNo()) + "\r\n" + table,
                         "Není nalezen záznam v tabulce " + table);
    return true;
  }
  // The source row may well be there: a row without its values would pass
  // for a row that has none.
  if (!Staged) throw platform::DbfError(error);
  Staged->noteFailure({}, error);  // the locate error names its table
  return false;
}

bool TExportDBFClass::definesItsKind(const std::string& definition) {
  const std::string control = ControlFileName(".CRT");
  if (!CreateFromSource || !SourceRowsRequired || ControlDir.empty() || definition == control || !fileExists(control) ||
      !fileExists(definition))
    return true;
  // What is wrong with the control file itself is told when a table is
  // made from it.
  gisblock::TableMessages quiet;
  quiet.warning = quiet.error = quiet.log = [](const std::string&) {};
  const std::optional<std::vector<gisblock::FieldDefinition>> fields = gisblock::FieldsOfCRT(control, quiet);
  if (!fields) return true;
  platform::DbfTable source;
  try {
    source.open(platform::pathResolver().existing(definition), true);
  } catch (const platform::DbfError&) {
    return true;  // the table's own creation says what is wrong with it
  }
  for (const gisblock::FieldDefinition& field : *fields)
    if (!source.hasField(field.name))
      return sourceUnread(definition, "tabulka nemá položku " + field.name + " (definice položek dle " +
                                          platform::pathResolver().userSpelling(control) + ")");
  return true;
}

bool TExportDBFClass::sourceUnread(const std::string& table, const std::string& cause) {
  if (!SourceRowsRequired) return true;
  const std::string shown = platform::pathResolver().userSpelling(table);
  if (!Staged) throw platform::DbfError(shown + ": " + cause);
  Staged->noteFailure(shown, cause);
  return false;
}

void TExportDBFClass::DoIt() {
  TTool::DoIt();
  WriteRow(Input());
}

void TExportDBFClass::WriteRow(TElement* input) {
  if (!input || !input->Is<TSpaceEntity>()) return;
  auto* object = static_cast<TSpaceEntity*>(input);
  if (!object->GetProperties() || !object->GetProperties()->Is<TGelixProps>()) return;
  if (Staged && Staged->failed()) return;
  if (!ensureTable(object)) return;
  // In a block written whole, a value the table cannot hold fails the
  // table instead of leaving the row without it.
  table_->Table().SetStrictValues(Staged != nullptr);
  table_->Table().SetSourceFieldsRequired(SourceRowsRequired);
  const bool posted = writeStep([this, object] {
    table_->Open();
    table_->Append();
    bool copySource = true;
    if (DynamicProps && DynamicProps->GetCount() > 0) {
      table_->SetFieldsFromList(object, DynamicProps);
      copySource = BothSources;
    }
    if (copySource && !copyFromSource(object)) return false;
    table_->CopyStarredFrom(object);
    WriteStandardFields(object);
    table_->Post();
    return true;
  });
  if (posted) ++RowsWritten;
}

void TExportDBFClass::WriteStandardFields(TSpaceEntity* object) {
  if (!table_ || !table_->Active() || !object || !object->GetProperties() ||
      !object->GetProperties()->Is<TGelixProps>())
    return;
  auto* props = static_cast<TGelixProps*>(object->GetProperties());
  platform::DbfTable& fields = table_->Fields();
  if (standardOf_ != fields.opening()) {
    static constexpr const char* kNames[kStandardFields] = {"CISLO", "DRUH", "DISP_BARVA", "DISP_ZNAC",
                                                           "X",     "Y",    "DELKA",      "PLOCHA"};
    for (int i = 0; i < kStandardFields; ++i) standard_[i] = table_->HasField(kNames[i]) ? fields.fieldIndex(kNames[i]) : -1;
    standardOf_ = fields.opening();
  }
  // Each value as its text would set it: a number field takes the value
  // itself, any other the text.
  auto set = [&](StandardField field, double value, bool whole) {
    const int index = standard_[field];
    if (index >= 0 && !fields.setNumber(index, value))
      fields.setText(index, whole ? std::to_string(static_cast<std::int32_t>(value)) : areas::FieldNumberText(value));
  };
  set(kCislo, object->ID, true);
  set(kDruh, props->Druh, true);
  set(kBarva, props->Barva, true);
  set(kZnacka, props->Znacka, true);
  set(kX, -object->GetAbsRefY(), false);
  set(kY, -object->GetAbsRefX(), false);
  if (standard_[kDelka] >= 0 && object->Is<TPolyElement>())
    set(kDelka, static_cast<TPolyElement*>(object)->GetLength(), false);
  if (standard_[kPlocha] >= 0 && object->Is<TAreaElement>()) {
    const double area = static_cast<TAreaElement*>(object)->GetArea1();
    set(kPlocha, PlochyVHa ? area / 10000.0 : area, false);
  }
}
