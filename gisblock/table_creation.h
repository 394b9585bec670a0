#pragma once
// Attribute tables made for a block being written: from a field-definition
// file (.CRT), from the structure of another dBase table, or from a list of
// definitions. Each saves its create statement as "Create.sql" in the
// current directory, the record of the table made last.
#include "gisblock/field_definition.h"
#include "gisblock/table_messages.h"
#include "platform/dbase_structure.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gisblock {

// The lines of the create statement (without line ends).
std::vector<std::string> createTableStatement(std::string_view tableFile, std::vector<FieldDefinition>& definitions);

// Replaces the table file with an empty table of these fields (GROUP fields
// left out), its text in the code page the language driver names. A
// refused definition or a failed write is shown as "Nemohu vytvořit
// tabulku ..." with its cause, and leaves no table file. True when the
// table was made.
bool CreateTableBySQL(std::string_view tableFile, std::vector<FieldDefinition> definitions,
                      const TableMessages& messages,
                      std::uint8_t languageDriver = platform::dbf::kLanguageCp1250);

// The definitions of a .CRT file; a CISLO N 6 0 is appended when the file
// defines no CISLO. Errors of single lines are shown with their line number
// and the line is skipped. Nothing when the file cannot be read or defines
// no field, and when it defines a width out of range (which is shown).
std::optional<std::vector<FieldDefinition>> FieldsOfCRT(std::string_view crtFile, const TableMessages& messages);

// A table of the fields of FieldsOfCRT. True only when a table was made.
bool CreateTableFromCRT(std::string_view crtFile, std::string_view tableFile, const TableMessages& messages);

// The field structure of the source table, copied with the code page its
// header names. A source that is no table, or whose header contradicts
// itself, is shown as "Problém s vytvořením DBF dle ..." with what is wrong,
// as a refused .CRT is. True only when a table was made.
bool CreateTableFromDBF(std::string_view sourceFile, std::string_view tableFile, const TableMessages& messages);

}  // namespace gisblock
