#pragma once
// The writer of one attribute table of a block being exported: one row per
// object of one kind, the table made from the kind's control files the first
// time it is missing and kept open from row to row.
#include <cstdint>
#include <set>
#include <string>

#include "framework/tool.h"

class TDynamicProperties;
class TGelixDBFTable;
class TSpaceEntity;
namespace gisblock {
class StagedBlock;
}

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
  // The rows carry keys copied from their source rows (a merge): a source
  // table that is missing or a source row that is not found fails the
  // staged block instead of leaving the row without them.
  bool SourceRowsRequired = false;
  // The block being written, when the table lies in its staging directory:
  // a table that cannot be made or written, or a row it cannot take whole,
  // is its failure (reported once, by whoever commits it) instead of a box
  // per object, and paths are shown in the block as the user named it.
  gisblock::StagedBlock* Staged = nullptr;
  // Rows posted so far.
  std::int32_t RowsWritten = 0;

  // "<block>\" + kind letter + Druh in four digits + extension.
  std::string GetDBFName() const;
  std::string ControlFileName(const std::string& extension) const;

  // Writes the row of the input object. In a staged block the rows wait
  // and reach the table together: Finish writes them.
  void DoIt() override;
  // The row of `object`, as DoIt writes that of the input.
  void WriteRow(TElement* object);
  // Writes the rows still waiting; false, and the staged block failed, when
  // the table refuses them.
  bool Finish();
  virtual void WriteStandardFields(TSpaceEntity* object);

  TGelixDBFTable* Table() const { return table_; }

 private:
  bool ensureTable(TSpaceEntity* object);
  bool createTable(TSpaceEntity* object);
  // False when the source row could not be read (noted in the staged block).
  bool copyFromSource(TSpaceEntity* object);
  // A table made like a source table whose rows must give their keys (a
  // merge made like its first district's table) must have every field its
  // kind's control file defines: a field renamed or dropped there would
  // otherwise be missing from the merged table, and from every row the
  // other districts give it. False, as sourceUnread says, when one is
  // missing.
  bool definesItsKind(const std::string& definition);
  // A source that cannot be read, or lacks a field it must give: true (the
  // copy skipped) unless its rows are required, when the staged block fails
  // and the answer is false.
  bool sourceUnread(const std::string& table, const std::string& cause);
  // Runs a step that writes a row; a failure of the table goes to the
  // staged block. False after such a failure or when the step gave up.
  template <class Step>
  bool writeStep(Step step);

  // The positions of the standard fields in the open table (-1: none),
  // found once per opening of it.
  enum StandardField { kCislo, kDruh, kBarva, kZnacka, kX, kY, kDelka, kPlocha, kStandardFields };
  int standard_[kStandardFields] = {};
  std::uint64_t standardOf_ = 0;

  bool reportedMissing_ = false;
  std::set<std::string> missingDefinitions_;  // control files not found
  std::string tableErrors_;  // of the table being made

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
