#pragma once
// The writer of one attribute table of a block being exported: one row per
// object of one kind, the table made from the kind's control files the first
// time it is missing and kept open from row to row.
#include <cstdint>
#include <string>

#include "framework/tool.h"

class TDynamicProperties;
class TGelixDBFTable;
class TSpaceEntity;

class TExportDBFClass : public TTool {
  ZELTO_ELEMENT(TExportDBFClass)
 public:
  ~TExportDBFClass() override;

  std::string ExpBlockName;
  std::string ControlDir;
  char ObjectType = 'P';
  std::int16_t Druh = 0;
  TDynamicProperties* DynamicProps = nullptr;  // the exporter's, not owned
  bool CreateFromSource = false;
  bool PlochyVHa = false;
  bool BothSources = false;

  // "<block>\" + kind letter + Druh in four digits + extension.
  std::string GetDBFName() const;
  std::string ControlFileName(const std::string& extension) const;

  // Writes the row of the input object.
  void DoIt() override;
  virtual void WriteStandardFields(TSpaceEntity* object);

  TGelixDBFTable* Table() const { return table_; }

 private:
  bool ensureTable(TSpaceEntity* object);
  bool createTable(TSpaceEntity* object);
  void copyFromSource(TSpaceEntity* object);

  TGelixDBFTable* table_ = nullptr;  // owned
  // The source table last found on disk: the rows of one export come from a
  // few tables, and looking a name up costs a directory search.
  std::string foundSource_;
};

namespace areas {
// Kind letter + the kind in four digits with leading zeros ("P1600").
std::string KindTableName(char letter, std::int32_t druh);
// A number as a field text: the shortest text that reads back the same.
std::string FieldNumberText(double value);
}  // namespace areas
