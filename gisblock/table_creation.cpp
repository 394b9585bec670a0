#include "gisblock/table_creation.h"

#include "framework/editor_text.h"
#include "framework/text_line_reader.h"
#include "gisblock/table_file_name.h"
#include "platform/codepage.h"
#include "platform/dbase_structure.h"
#include "platform/dbase_table.h"
#include "platform/path_resolver.h"
#include "platform/regular_file.h"
#include "platform/system_cause.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <iterator>
#include <set>

namespace gisblock {
namespace fs = std::filesystem;

namespace {

constexpr std::uint16_t kMaxDecimalWidth = 14;
constexpr const char* kStatementFile = "Create.sql";

bool isGroup(const FieldDefinition& d) { return platform::equalsIgnoringAsciiCase(d.name, "GROUP"); }

platform::DbfField toDbfField(FieldDefinition& d) {
  if (d.GetSQLType().empty()) throw platform::DbfError("Nepodporovaný typ položky " + d.name);
  return platform::DbfField{d.name, d.fieldType, d.width, d.decimals, 0};
}

// The statement of the table made last, kept in the current directory as
// the user's record of what was made (overwritten by the next creation).
// It is a by-product: a directory that does not take it is told once per
// export (TableMessages::isFirst), and the table stands all the same.
void saveStatement(const std::vector<std::string>& lines, const TableMessages& messages) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  text = platform::fromUtf8(text, platform::CodePage::Windows1250);
  errno = 0;
  platform::RegularFileStream out(kStatementFile, std::ios::out | std::ios::trunc);
  if (out) out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (out) out.close();
  const std::string cause = out.failureCause();
  std::set<std::string> toldHere;
  if (!out && messages.isFirst(kStatementFile, toldHere)) {
    messages.log(std::string("Soubor ") + kStatementFile + " nelze zapsat: " + cause);
  }
}

}  // namespace

std::string FieldDefinition::GetSQLType() {
  switch (fieldType) {
    case 'C': return "char(" + std::to_string(width) + ")";
    case 'D': return "date";
    case 'L': return "boolean";
    case 'N':
      if (width > kMaxDecimalWidth) width = kMaxDecimalWidth;
      return "decimal(" + std::to_string(width) + "," + std::to_string(decimals) + ")";
    default: return {};
  }
}

std::vector<std::string> createTableStatement(std::string_view tableFile, std::vector<FieldDefinition>& definitions) {
  std::vector<std::string> lines{"create table \"" + std::string(tableFile) + "\"", "("};
  for (FieldDefinition& d : definitions)
    if (!isGroup(d)) lines.push_back(d.name + " " + d.GetSQLType() + ",");
  if (lines.size() > 2) lines.back().back() = ')';
  return lines;
}

bool CreateTableBySQL(std::string_view tableFile, std::vector<FieldDefinition> definitions,
                      const TableMessages& messages, std::uint8_t languageDriver) {
  platform::PathResolver& paths = platform::pathResolver();
  std::error_code ec;
  if (paths.exists(tableFile)) fs::remove(paths.existing(tableFile), ec);
  saveStatement(createTableStatement(messages.shown(std::string(tableFile)), definitions), messages);
  try {
    std::vector<platform::DbfField> fields;
    for (FieldDefinition& d : definitions)
      if (!isGroup(d)) fields.push_back(toDbfField(d));
    const fs::path target = paths.forWriting(tableFile);
    if (target.empty()) throw platform::DbfError("Cesta " + std::string(tableFile) + " nevede na žádný disk");
    platform::DbfTable::create(target, std::move(fields), languageDriver);
    return true;
  } catch (const platform::DbfError& e) {
    messages.error("Nemohu vytvořit tabulku " + messages.shown(std::string(tableFile)) + "\nChybové hlášení: \n" +
                   e.what());
    return false;
  }
}

std::optional<std::vector<FieldDefinition>> FieldsOfCRT(std::string_view crtFile, const TableMessages& messages) {
  if (crtFile.empty()) return std::nullopt;
  std::string bytes;
  std::error_code error;
  if (!platform::readRegularFile(platform::pathResolver().existing(crtFile), bytes, error)) {
    // What lies there instead of the file (a named pipe, a directory) is
    // named; a file that is not there is the caller's to tell.
    if (platform::isNotRegularFile(error))
      messages.error("Problém s vytvořením DBF dle " + platform::pathResolver().userSpelling(fs::path(crtFile)) +
                     ": " + platform::systemCause(error));
    return std::nullopt;
  }
  const std::string crtName = extractFileName(crtFile);
  const std::vector<std::string> lines = framework::TextLines(bytes, platform::CodePage::Windows1250);

  std::vector<FieldDefinition> definitions;
  bool keyDefined = false;
  int lineNumber = 0;
  for (std::string line : lines) {
    ++lineNumber;
    if (line.empty() || line[0] == '(' || line[0] == ';' || line[0] == '{') continue;
    // Windows editors leave tabs between the columns.
    std::replace(line.begin(), line.end(), '\t', ' ');

    TCtiRadekClass cursor(line);
    cursor.SkipBlanks();
    std::string name;
    cursor.ReadUntilChar(' ', name);
    if (platform::equalsIgnoringAsciiCase(name, "CISLO")) keyDefined = true;
    if (name.empty()) {
      messages.error(crtName + ": Spatne jmeno polozky, radek c." + std::to_string(lineNumber));
      continue;
    }
    cursor.SkipBlanks();
    char type = cursor.ReadChar();
    if (type >= 'a' && type <= 'z') type = static_cast<char>(type - 32);
    if (type != 'C' && type != 'D' && type != 'L' && type != 'N') {
      messages.error(crtName + ": Spatny typ polozky, radek c." + std::to_string(lineNumber));
      continue;
    }
    const std::int32_t width = cursor.ReadLongInt();
    const std::int32_t decimals = cursor.ReadLongInt();
    if (width < 0 || width > 65535 || decimals < 0 || decimals > 65535) {
      messages.error("Problém s vytvořením DBF dle " + std::string(crtFile));
      return std::nullopt;
    }
    definitions.push_back({name, type, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(decimals)});
  }
  if (definitions.empty()) return std::nullopt;
  if (!keyDefined) definitions.push_back({"CISLO", 'N', 6, 0});
  return definitions;
}

bool CreateTableFromCRT(std::string_view crtFile, std::string_view tableFile, const TableMessages& messages) {
  if (tableFile.empty()) return false;
  std::optional<std::vector<FieldDefinition>> definitions = FieldsOfCRT(crtFile, messages);
  // One definition alone makes no table.
  if (!definitions || definitions->size() < 2) return false;
  return CreateTableBySQL(tableFile, std::move(*definitions), messages);
}

bool CreateTableFromDBF(std::string_view sourceFile, std::string_view tableFile, const TableMessages& messages) {
  platform::PathResolver& paths = platform::pathResolver();
  std::error_code ec;
  if (!tableFile.empty() && paths.exists(tableFile)) fs::remove(paths.existing(tableFile), ec);
  if (sourceFile.empty() || tableFile.empty()) return false;
  const fs::path source = paths.existing(sourceFile);
  if (!fs::exists(source, ec)) return false;
  // Its fields are read as every table's are: a structure whose header
  // contradicts itself would make a table of shifted or nameless fields.
  platform::DbfTable structure;
  auto refused = [&](const std::string& fault) {
    messages.error("Problém s vytvořením DBF dle " + paths.userSpelling(fs::path(sourceFile)) + ": " + fault);
    return false;
  };
  try {
    structure.open(source, true);
  } catch (const platform::DbfOpenError& e) {
    return refused(e.fault());
  } catch (const platform::DbfError& e) {
    return refused(e.what());  // its first row could not be read
  }
  std::vector<FieldDefinition> definitions;
  for (const platform::DbfField& f : structure.fields())
    // A float field reads and writes as a number does.
    definitions.push_back({f.name, f.type == 'F' ? 'N' : f.type, f.width, f.decimals});
  if (definitions.size() < 2) return false;
  return CreateTableBySQL(tableFile, std::move(definitions), messages, structure.languageDriver());
}

}  // namespace gisblock
