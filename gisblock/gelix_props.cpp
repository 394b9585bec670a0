#include "gisblock/gelix_props.h"

#include <exception>

#include "geometry/area_element.h"
#include "geometry/space_registers.h"
#include "gisblock/are_record.h"
#include "gisblock/attribute_table.h"
#include "gisblock/gelix_registers.h"
#include "gisblock/table_file_name.h"
#include "gisblock/table_messages.h"

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

void TGelixProps::SetPropertyText(const std::string& name, const std::string& text) {
  if (ClassType().IndexOfProperty(name) >= 0) {
    TSpaceEntityProps::SetPropertyText(name, text);
    return;
  }
  gisblock::AttributeTable* table = AttributeTable();
  if (!table) return;
  try {
    if (!HasExternalProperty(name)) return;
    table->Close();
    table->SetReadOnly(false);
    // The row of the object as it was read (OrigNo), as the read path finds
    // it: exporters renumber Cislo, and a write by Cislo would land on the
    // row of another object.
    if (table->LocateInFile(GetDBFName(), GetOrigNo())) {
      table->Edit();
      table->SetFieldText(name, text);
      table->Post();
    }
  } catch (const std::exception& e) {
    gisblock::TableMessages::logText("Položku " + name + " tabulky " + GetDBFName() + " nelze zapsat: " + e.what());
  }
  table->Close();
  table->SetReadOnly(true);
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
