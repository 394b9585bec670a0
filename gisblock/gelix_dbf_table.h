#pragma once
// The attribute table of one object kind of a block as an element of the
// model: the object registers and the exporters hold one each, scripts and
// the property editor reach it by its published properties. The work is
// done by gisblock::AttributeTable.
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/element.h"
#include "gisblock/attribute_table.h"

class TEntity;

class TGelixDBFTable : public TNameElement {
  ZELTO_ELEMENT(TGelixDBFTable)
 public:
  TGelixDBFTable() = default;
  explicit TGelixDBFTable(gisblock::TableMessages messages) : table_(std::move(messages)) {}

  gisblock::AttributeTable& Table() { return table_; }
  const gisblock::AttributeTable& Table() const { return table_; }

  // The data set.
  const std::string& GetTableName() const { return table_.TableName(); }
  void SetTableName(const std::string& name) { table_.SetTableName(name); }
  bool GetReadOnly() const { return table_.ReadOnly(); }
  void SetReadOnly(bool readOnly) { table_.SetReadOnly(readOnly); }
  void Open() { table_.Open(); }
  void Close() { table_.Close(); }
  bool Active() const { return table_.Active(); }
  void Append() { table_.Append(); }
  void Edit() { table_.Edit(); }
  void Post() { table_.Post(); }
  void Cancel() { table_.Cancel(); }
  platform::DbfTable& Fields() { return table_.Fields(); }
  const platform::DbfTable& Fields() const { return table_.Fields(); }

  // Choosing the table file and locating rows.
  bool OpenFile(const std::string& fileName) { return table_.OpenFile(fileName); }
  bool LocateInFile(const std::string& fileName, std::int32_t cislo) { return table_.LocateInFile(fileName, cislo); }
  bool LocateObject(std::string_view blockDirectory, char kindLetter, std::int32_t druh, std::int32_t cislo) {
    return table_.LocateObject(blockDirectory, kindLetter, druh, cislo);
  }
  // The row of a spatial entity whose attribute record names a table and
  // publishes its Cislo; false for any other element.
  bool LocateElement(TElement* element);
  void SetCislo(std::int32_t cislo) { table_.SetCislo(cislo); }
  bool LocateCislo(std::int32_t cislo) { return table_.LocateCislo(cislo); }
  // Why the last locate failed, when it was not for want of the row.
  const std::string& LocateError() const { return table_.LocateError(); }
  const std::string& UnreadCause() const { return table_.UnreadCause(); }
  bool OpenIndex() { return table_.OpenIndex(); }
  bool BuildIndex() { return table_.BuildIndex(); }

  // Fields of the current row.
  std::string GetShortTableName() const { return table_.GetShortTableName(); }
  bool SplitQualifiedName(std::string_view name, std::string& fieldName) const;
  bool HasField(std::string_view name) const { return table_.HasField(name); }
  void GetFieldText(std::string_view name, std::string& text) const { text = table_.GetFieldText(name); }
  void SetFieldText(std::string_view name, std::string_view text) { table_.SetFieldText(name, text); }
  void FormatField(std::string_view name, std::string_view format, std::string& text) const {
    text = table_.FormatField(name, format);
  }
  std::int32_t GetCurrentCislo() const { return table_.GetCurrentCislo(); }

  // Creation and field transfer.
  const std::string& GetCreateFileName() const { return table_.CreateFileName; }
  void SetCreateFileName(const std::string& name) { table_.CreateFileName = name; }
  bool CreateTable(const std::string& tableFile) { return table_.CreateTable(tableFile); }
  void SetTransferScript(const std::string& fileName) { table_.SetTransferScript(fileName); }
  void CopyFieldsFrom(const TGelixDBFTable& source) { table_.CopyFieldsFrom(source.Fields()); }
  void CopyFieldsFrom(const platform::DbfTable& source) { table_.CopyFieldsFrom(source); }
  // Each "*" pair of the script takes the source element's named property.
  void CopyStarredFrom(TElement* source);
  // Each typed value child of the list sets the field of its upper-cased
  // name; the element is not used.
  void SetFieldsFromList(TElement* element, TEntity* list);

 private:
  gisblock::AttributeTable table_;
};
