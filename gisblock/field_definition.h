#pragma once
// One field of a table to be created, as a .CRT line or a dBase header
// describes it.
#include <cstdint>
#include <string>

namespace gisblock {

struct FieldDefinition {
  std::string name;
  char fieldType = 'C';
  std::uint16_t width = 0;
  std::uint16_t decimals = 0;

  void SetDefinition(std::string fieldName, char type, std::uint16_t fieldWidth, std::uint16_t fieldDecimals) {
    name = std::move(fieldName);
    fieldType = type;
    width = fieldWidth;
    decimals = fieldDecimals;
  }

  // The column type of the create statement: char(w), date, boolean,
  // decimal(w,d); empty for other types. A numeric width above 14 is cut to
  // 14, in the definition too.
  std::string GetSQLType();
};

}  // namespace gisblock
