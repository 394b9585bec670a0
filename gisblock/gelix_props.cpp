#include "gisblock/gelix_props.h"

#include <exception>
#include <new>
#include <stdexcept>

#include "framework/problem_report.h"
#include "geometry/area_element.h"
#include "geometry/space_registers.h"
#include "gisblock/are_record.h"
#include "gisblock/attribute_table.h"
#include "gisblock/gelix_registers.h"
#include "gisblock/table_file_name.h"
#include "platform/dbase_table.h"
#include "platform/path_resolver.h"

ZELTO_IMPLEMENT_ELEMENT(TGelixProps, TSpaceEntityProps, [](auto& p) {
  p.Char("PhysicalObjectType", &TGelixProps::GetPhysicalObjectType);
  p.Char("ObjectType", &TGelixProps::GetObjectType);
  p.Integer("Cislo", &TGelixProps::Cislo, &TGelixProps::Cislo);
  p.Integer("Druh", &TGelixProps::Druh, &TGelixProps::Druh);
  p.Integer("Barva", &TGelixProps::Barva, &TGelixProps::Barva);
  p.Integer("Znacka", &TGelixProps::Znacka, &TGelixProps::Znacka);
  p.Boolean("Vyber", &TGelixProps::Vyber, &TGelixProps::Vyber);
  p.Integer("Presnost", &TGelixProps::Presnost, &TGelixProps::Presnost);
  p.Integer("Symbol", &TGelixProps::Symbol, &TGelixProps::Symbol);
  p.Boolean("IsDone", &TGelixProps::IsDone, &TGelixProps::IsDone);
  p.Object("DBFTable", TElement::StaticClass(), &TGelixProps::GetDBFTable);
})
ZELTO_IMPLEMENT_ELEMENT(TGelixPointProps, TGelixProps, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TGelixTextProps, TGelixProps, [](auto& p) {
  p.Set("TextAtrib", {"ZrusenT", "OkT", "txtZmena", "T30"}, &TGelixTextProps::TextAtrib,
        &TGelixTextProps::TextAtrib);
  p.Object("StartPoint", T2DCoordinate::StaticClass(), &TGelixTextProps::GetStartPoint,
           &TGelixTextProps::SetStartPoint);
  p.Enumeration("CodePage", {"cpIBM", "cpLatin2", "cpKamenickych", "cpWindows"},
                &TGelixTextProps::GetCodePage, &TGelixTextProps::SetCodePage);
  p.Integer("GelixFont", &TGelixTextProps::GelixFont, &TGelixTextProps::GelixFont);
  p.Integer("TextMode", &TGelixTextProps::TextMode, &TGelixTextProps::TextMode);
  p.Float("Height", &TGelixTextProps::Height, &TGelixTextProps::Height);
  p.Float("WidthCoef", &TGelixTextProps::WidthCoef, &TGelixTextProps::WidthCoef);
  p.Float("Direction", &TGelixTextProps::Direction, &TGelixTextProps::Direction);
  p.Float("Slope", &TGelixTextProps::Slope, &TGelixTextProps::Slope);
  p.Float("Distance", &TGelixTextProps::Distance, &TGelixTextProps::Distance);
})
ZELTO_IMPLEMENT_ELEMENT(TGelixLineProps, TGelixProps, [](auto& p) {
  p.Integer("LeftArea", &TGelixLineProps::LeftArea, &TGelixLineProps::LeftArea);
  p.Integer("RightArea", &TGelixLineProps::RightArea, &TGelixLineProps::RightArea);
})
ZELTO_IMPLEMENT_ELEMENT(TGelixAreaProps, TGelixProps, [](auto& p) {
  p.Float("Hektars", &TGelixAreaProps::GetHektars);
  p.Integer("LineNo", &TGelixAreaProps::LineNo, &TGelixAreaProps::LineNo);
  p.Integer("PaterNo", &TGelixAreaProps::PaterNo, &TGelixAreaProps::PaterNo);
  p.Boolean("HasChildren", &TGelixAreaProps::HasChildren, &TGelixAreaProps::HasChildren);
})

char TGelixProps::GetPhysicalObjectType() const {
  if (!SpaceEntity) return ' ';
  return TBlockRegister::KindLetter(SpaceEntity);
}

gisblock::AttributeTable* TGelixProps::AttributeTable() const {
  TObjectRegister* reg = GetObjectRegister();
  return reg && reg->Is<TGelixObjectRegister>() ? &static_cast<TGelixObjectRegister*>(reg)->Table()
                                                : nullptr;
}

TElement* TGelixProps::GetDBFTable() const {
  TObjectRegister* reg = GetObjectRegister();
  return reg ? reg->GetDBF() : nullptr;
}

std::string TGelixProps::GetDBFName() const {
  TSpaceEntityProps* master = GetMasterProps();
  if (!master) return {};
  if (!master->Is<TGelixProps>()) return master->GetDBFName();
  const std::string block = GetBlockName();
  if (block.empty()) return {};
  return GelixTableFileName(block, GetObjectType(), static_cast<TGelixProps*>(master)->Druh);
}

bool TGelixProps::HasExternalProperty(const std::string& name) {
  gisblock::AttributeTable* table = AttributeTable();
  if (!table) return false;
  const std::string file = GetDBFName();
  return !file.empty() && table->OpenFile(file) && table->HasField(name);
}

bool TGelixProps::LocateExternalRecord() {
  gisblock::AttributeTable* table = AttributeTable();
  if (!table) return false;
  const std::string file = GetDBFName();
  return !file.empty() && table->LocateInFile(file, GetOrigNo());
}

void TGelixProps::ReadExternalProperty(const std::string& name, std::string& text) {
  gisblock::AttributeTable* table = AttributeTable();
  text = table ? table->GetFieldText(name) : std::string();
}

void TGelixProps::WriteExternalProperty(const std::string& name, const std::string& text) {
  if (gisblock::AttributeTable* table = AttributeTable()) table->SetFieldText(name, text);
}

namespace {

// Why a value did not reach the object's row, in words that follow
// "nelze zapsat: ".
class EditRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// However an edit ends, the register's table is left read-only, as reads
// expect it, and closed, so that the next read sees the file as it is now.
class ReadOnlyAgain {
 public:
  explicit ReadOnlyAgain(gisblock::AttributeTable& table) : table_(table) {}
  ~ReadOnlyAgain() {
    table_.Close();
    table_.SetReadOnly(true);
  }
  ReadOnlyAgain(const ReadOnlyAgain&) = delete;
  ReadOnlyAgain& operator=(const ReadOnlyAgain&) = delete;

 private:
  gisblock::AttributeTable& table_;
};

}  // namespace

void TGelixProps::SetPropertyText(const std::string& name, const std::string& text) {
  if (ClassType().IndexOfProperty(name) >= 0) {
    TSpaceEntityProps::SetPropertyText(name, text);
    return;
  }
  const std::string file = GetDBFName();
  try {
    WriteRowField(file, name, text);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    // Whoever typed the value must learn that the table does not hold it:
    // the window or script that wrote it shows the problems it counted.
    const std::string table = file.empty() ? std::string() : " tabulky " + platform::pathResolver().userSpelling(file);
    const std::string why = std::string(" nelze zapsat: ") + e.what();
    const std::string number = std::to_string(GetObjectRegister() ? GetOrigNo() : Cislo);
    zelto::ReportProblem("Položku " + name + " objektu CISLO " + number + table + why, "Položku " + name + table + why);
  }
}

// The row of the object as it was read (OrigNo), as the read path finds it:
// exporters renumber Cislo, and a write by Cislo would land on the row of
// another object.
void TGelixProps::WriteRowField(const std::string& file, const std::string& name, const std::string& text) {
  gisblock::AttributeTable* table = AttributeTable();
  if (!table || file.empty()) throw EditRefused("objekt nemá tabulku atributů");
  const ReadOnlyAgain restore(*table);
  if (!platform::pathResolver().exists(file)) throw EditRefused("tabulka neexistuje");
  if (table->TableName() != file) table->SetTableName(file);
  table->Close();
  table->SetReadOnly(false);
  try {
    table->Open();
  } catch (const platform::DbfOpenError& e) {
    throw EditRefused(e.fault());  // a read-only file or share among them
  }
  if (!table->HasField(name)) throw EditRefused("tabulka nemá položku " + name);
  if (!table->LocateCislo(GetOrigNo()))
    throw EditRefused(table->LocateError().empty() ? "objekt v tabulce nemá řádek" : table->LocateError());
  table->Edit();
  // A value kept rounded or cut would differ from what was typed without a
  // word: it is refused like one the field cannot hold.
  table->SetExactFieldText(name, text);
  table->Post();
}

TGelixTextProps::~TGelixTextProps() { delete startPoint_; }

T2DCoordinate* TGelixTextProps::GetStartPoint() {
  if (!startPoint_) startPoint_ = new T2DCoordinate;
  return startPoint_;
}

void TGelixTextProps::SetStartPoint(T2DCoordinate* point) {
  if (point == startPoint_) return;
  delete startPoint_;
  startPoint_ = point;
}

bool TGelixTextProps::OwnsObjectProperty(const TPropInfo& info) const { return info.Name == "StartPoint"; }

TGelixLineProps::TGelixLineProps() {
  for (int i = 0; i < 4; ++i) {
    for (int b = 0; b < 4; ++b) Links[static_cast<std::size_t>(i * 5 + b)] = 0xFF;
    Links[static_cast<std::size_t>(i * 5 + 4)] = 0;
  }
}

TSpaceEntityProps* TGelixLineProps::Clone() {
  TSpaceEntityProps* clone = TSpaceEntityProps::Clone();
  if (clone && clone->Is<TGelixLineProps>()) static_cast<TGelixLineProps*>(clone)->Links = Links;
  return clone;
}

double TGelixAreaProps::GetHektars() const {
  if (!SpaceEntity || !SpaceEntity->Is<TAreaElement>()) return 0.0;
  return static_cast<TAreaElement*>(SpaceEntity)->GetArea1() / 10000.0;
}

bool IsLiveAreaRecord(const std::uint8_t* areRecord) {
  return gisblock::AreRecord::decode(areRecord).live();
}
