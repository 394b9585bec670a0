#pragma once
// Lists of name=value text entries. Every entry is a TStringElement child
// (its name the entry's name); an entry reads and writes like a property of
// the list, so scripts and expressions reach settings by name. Model files
// and scripts build lists through the write-only Next... commands.
#include <string>
#include <vector>

#include "framework/entity.h"
#include "framework/type_elements.h"

class TStringListElement : public TOwnerEntity {
  ZELTO_ELEMENT(TStringListElement)
 public:
  TStringElement* GetItem(int index) const;
  // The entry's own name (empty for an unnamed entry).
  std::string GetItemName(int index) const;
  std::string GetItemUpperName(int index) const;
  std::string GetItemValue(int index) const;
  void SetItemValue(int index, const std::string& text);
  // The first entry of that name, a..z in either case; nullptr when none.
  TStringElement* FindByName(const std::string& name) const;
  std::string GetValueByName(const std::string& name) const;
  // The value's number, taken even from a failed parse; 0 without the entry.
  std::int32_t GetIntegerByName(const std::string& name) const;
  void SetValueByName(const std::string& name, const std::string& text);
  TStringElement* AddNamed(const std::string& name, const std::string& value);

  void SetNextValue(const std::string& text);
  void SetNextName(const std::string& text);
  void SetNextNameIsValue(const std::string& text);
  // Empty lines are skipped; a line without '=' is a name, one with '='
  // goes to NextNameIsValue.
  void SetNextStringList(const std::vector<std::string>& lines);
  // Reads name=value lines as SaveToFile writes them: "name=" is a named
  // entry with an empty value, "=value" an unnamed entry. A missing file
  // does nothing.
  void SetLoadFromFile(const std::string& fileName);
  // One "name=value" line per entry.
  void SetSaveToFile(const std::string& fileName);

  // A published property of the list, else (when that reads empty) the entry.
  void GetPropertyText(const std::string& name, std::string& text) override;
  void SetPropertyText(const std::string& name, const std::string& text) override;
};

// Entries named by properties of some other element, filled from it.
class TPropertyList : public TStringListElement {
  ZELTO_ELEMENT(TPropertyList)
 public:
  std::string Delimiter;

  // Every entry reads the element's property of its name; a name with a
  // leading '-' reads the negated value.
  void SetElement(TElement* element);
  std::string GetCatenation() const;
};
