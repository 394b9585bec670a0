#pragma once
// Attribute tables made for a block being written: from a field-definition
// file (.CRT), from the structure of another dBase table, or from a list of
// definitions. Each logs its create statement as a record of what was
// made.
#include "gisblock/field_definition.h"
#include "gisblock/table_messages.h"

#include <string>
#include <string_view>
#include <vector>

namespace gisblock {

// The lines of the create statement (without line ends).
std::vector<std::string> createTableStatement(std::string_view tableFile, std::vector<FieldDefinition>& definitions);

// Replaces the table file with an empty table of these fields (GROUP fields
// left out). A refused definition is shown as "Nemohu vytvořit tabulku ...".
// True when the table file exists afterwards.
bool CreateTableBySQL(std::string_view tableFile, std::vector<FieldDefinition> definitions,
                      const TableMessages& messages);

// The definitions of a .CRT file; a CISLO N 6 0 is appended when the file
// defines no CISLO. Errors of single lines are shown with their line number
// and the line is skipped. True only when a table was made.
bool CreateTableFromCRT(std::string_view crtFile, std::string_view tableFile, const TableMessages& messages);

// The field structure of the source table, copied. True only when a table
// was made.
bool CreateTableFromDBF(std::string_view sourceFile, std::string_view tableFile, const TableMessages& messages);

}  // namespace gisblock
