#pragma once
// The attribute records of objects read from or written to a block: the
// header fields of the block records, the fields of each kind, and the
// object's row of the attribute table of its kind, reached through the
// object register so that any column reads and writes as a named property.
#include <array>
#include <cstdint>
#include <string>

#include "framework/coordinate.h"
#include "geometry/space_entity_props.h"
#include "gisblock/block_info.h"

namespace gisblock {
class AttributeTable;
}

class TGelixProps : public TSpaceEntityProps {
  ZELTO_ELEMENT(TGelixProps)
 public:
  // A name the record does not publish is a field of the object's row. The
  // row takes the value exactly as given or not at all; then the problem is
  // reported (zelto::ReportProblem), naming the field, the object's CISLO,
  // the table and why.
  void SetPropertyText(const std::string& name, const std::string& text) override;
  std::int32_t GetSpaceID() override { return Cislo; }
  std::string GetDBFName() const override;
  bool HasExternalProperty(const std::string& name) override;
  void ReadExternalProperty(const std::string& name, std::string& text) override;
  void WriteExternalProperty(const std::string& name, const std::string& text) override;
  bool LocateExternalRecord() override;

  // ' ' without an entity; else by the entity's class.
  char GetPhysicalObjectType() const;
  virtual char GetObjectType() const { return GetPhysicalObjectType(); }
  // The element form of the register's table; nil while the record is not
  // filed or no table element class is registered.
  virtual TElement* GetDBFTable() const;
  // The table the record's row lives in; nil while the record is not filed.
  gisblock::AttributeTable* AttributeTable() const;

  std::int32_t Cislo = 0;
  std::int16_t Druh = 0;
  std::int16_t Barva = 0;
  std::int16_t Znacka = 0;
  bool Vyber = false;
  std::uint8_t Presnost = 0;
  std::int16_t Symbol = 0;
  // The record's own work mark: the published IsDone of a Gelix record is
  // this one, not the mark of the generic record it hides.
  bool IsDone = false;

 private:
  // Field `name` of the object's row in `file` := `text`, exactly as given;
  // throws, saying why, where the row is not changed.
  void WriteRowField(const std::string& file, const std::string& name, const std::string& text);
};

class TGelixPointProps : public TGelixProps {
  ZELTO_ELEMENT(TGelixPointProps)
 public:
  char GetObjectType() const override { return 'B'; }
};

class TGelixTextProps : public TGelixProps {
  ZELTO_ELEMENT(TGelixTextProps)
 public:
  ~TGelixTextProps() override;
  char GetObjectType() const override { return 'T'; }
  T2DCoordinate* GetStartPoint();
  // The record owns the point from now on.
  void SetStartPoint(T2DCoordinate* point);
  TCodePage GetCodePage() const { return CodePage; }
  void SetCodePage(TCodePage codePage) { CodePage = codePage; }

  TCodePage CodePage = cpIBM;
  std::uint8_t GelixFont = 0;
  double Height = 0, WidthCoef = 0, Direction = 0, Slope = 0, Distance = 0;
  std::uint8_t TextAtrib = 0;  // ZrusenT, OkT, txtZmena, T30 as bits 0..3
  std::uint8_t TextMode = 0;

 protected:
  bool OwnsObjectProperty(const TPropInfo& info) const override;

 private:
  T2DCoordinate* startPoint_ = nullptr;
};

// The links to the neighbouring lines, as bytes 27 to 46 of a line record.
using GelixLinkBlock = std::array<std::uint8_t, 20>;

class TGelixLineProps : public TGelixProps {
  ZELTO_ELEMENT(TGelixLineProps)
 public:
  TGelixLineProps();
  char GetObjectType() const override { return 'L'; }
  std::int32_t GetSideArea(bool left) const { return left ? LeftArea : RightArea; }
  // A new record copies the link block too, though it is not published.
  TSpaceEntityProps* Clone() override;

  std::int32_t LeftArea = 0;
  std::int32_t RightArea = 0;
  GelixLinkBlock Links{};  // four empty links (line -1, flag 0) when made
};

class TGelixAreaProps : public TGelixProps {
  ZELTO_ELEMENT(TGelixAreaProps)
 public:
  char GetObjectType() const override { return 'P'; }
  double GetHektars() const;

  std::int32_t LineNo = 0;
  std::int32_t PaterNo = 0;
  bool HasChildren = false;
};

// An area record is live when none of flag bits 0 to 2 is set and its area
// exceeds 0.001.
bool IsLiveAreaRecord(const std::uint8_t* areRecord);
