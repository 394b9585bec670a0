#pragma once
// Small dBase tables built in a test and read back as rows of texts.
#include <cstdint>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "platform/codepage.h"
#include "platform/dbase_table.h"

namespace test_support {

using DbfRows = std::vector<std::vector<std::string>>;

// A new table of `fields` holding `rows`, each row its texts in field order.
inline void WriteTable(const std::filesystem::path& file, const std::vector<platform::DbfField>& fields,
                       const DbfRows& rows) {
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
  platform::DbfTable::create(file, fields);
  platform::DbfTable t;
  t.open(file, false);
  for (const auto& row : rows) {
    t.append();
    for (std::size_t i = 0; i < row.size(); ++i) t.setText(static_cast<int>(i), row[i]);
    t.post();
  }
}

// Lowers the row count a table's header gives by `fewer`, the rows staying
// in the file: a header that lost count of them.
inline void UndercountRows(const std::filesystem::path& file, std::uint32_t fewer) {
  std::fstream f(file, std::ios::binary | std::ios::in | std::ios::out);
  unsigned char count[4] = {};
  f.seekg(4);
  f.read(reinterpret_cast<char*>(count), 4);
  std::uint32_t rows = count[0] | count[1] << 8 | count[2] << 16 | static_cast<std::uint32_t>(count[3]) << 24;
  rows = rows > fewer ? rows - fewer : 0;
  for (int i = 0; i < 4; ++i) count[i] = static_cast<unsigned char>(rows >> (8 * i));
  f.seekp(4);
  f.write(reinterpret_cast<const char*>(count), 4);
}

// The table as a DOS program writes it: its text fields recoded from
// Windows-1250 to code page 852 byte by byte, and its header marked so.
inline void RecodeAsDos(const std::filesystem::path& file) {
  std::vector<platform::DbfField> fields;
  {
    platform::DbfTable t;
    t.open(file, true);
    fields = t.fields();
  }
  std::fstream f(file, std::ios::binary | std::ios::in | std::ios::out);
  std::string bytes{std::istreambuf_iterator<char>(f), {}};
  auto word = [&](std::size_t at) {
    return static_cast<std::size_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8);
  };
  const std::size_t rows = word(4) | word(6) << 16, header = word(8), length = word(10);
  for (std::size_t r = 0; r < rows; ++r)
    for (const platform::DbfField& field : fields) {
      if (field.type != 'C') continue;
      const std::size_t at = header + r * length + 1 + field.offset;
      const std::string text = platform::toUtf8(bytes.substr(at, field.width), platform::CodePage::Windows1250);
      bytes.replace(at, field.width, platform::fromUtf8(text, platform::CodePage::Latin2));
    }
  bytes[29] = static_cast<char>(0x64);
  f.seekp(0);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Renames a field in the table's header, as a spreadsheet's edit leaves
// it; the rows stay as they are.
inline void RenameField(const std::filesystem::path& file, const std::string& from, const std::string& to) {
  std::fstream f(file, std::ios::binary | std::ios::in | std::ios::out);
  for (std::streamoff at = 32;; at += 32) {
    char name[11] = {};
    f.seekg(at);
    if (!f.read(name, sizeof name) || name[0] == '\r') return;
    if (std::string(name, strnlen(name, sizeof name)) != from) continue;
    std::string renamed = to;
    renamed.resize(sizeof name, '\0');
    f.seekp(at);
    f.write(renamed.data(), static_cast<std::streamsize>(renamed.size()));
    return;
  }
}

// The bytes of a field of row `recNo` (from 1) := the text as it stands,
// right-aligned in a number field: what a foreign program may leave where
// this program would have written a number.
inline void SetRawField(const std::filesystem::path& file, std::uint32_t recNo, const std::string& name,
                        const std::string& text) {
  platform::DbfField field;
  std::size_t header = 0, length = 0;
  {
    platform::DbfTable t;
    t.open(file, true);
    field = t.fields().at(static_cast<std::size_t>(t.fieldIndex(name)));
  }
  std::fstream f(file, std::ios::binary | std::ios::in | std::ios::out);
  unsigned char words[4] = {};
  f.seekg(8);
  f.read(reinterpret_cast<char*>(words), 4);
  header = words[0] | words[1] << 8;
  length = words[2] | words[3] << 8;
  std::string bytes = text;
  if ((field.type == 'N' || field.type == 'F') && field.width > text.size())
    bytes.insert(0, field.width - text.size(), ' ');
  bytes.resize(field.width, ' ');
  f.seekp(static_cast<std::streamoff>(header + (recNo - 1) * length + 1 + field.offset));
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The fields of a table and the texts of its live rows.
inline DbfRows LiveRows(const std::filesystem::path& file, std::vector<platform::DbfField>& fields) {
  platform::DbfTable t;
  t.open(file, true);
  fields = t.fields();
  DbfRows rows;
  for (bool r = t.first(); r; r = t.next()) {
    rows.emplace_back();
    for (std::size_t i = 0; i < fields.size(); ++i) rows.back().push_back(t.text(static_cast<int>(i)));
  }
  return rows;
}

// The table written anew with one field of another width, its live rows
// as they were: a table made by another program's definition.
inline void ResizeField(const std::filesystem::path& file, const std::string& name, std::uint16_t width) {
  std::vector<platform::DbfField> fields;
  DbfRows rows = LiveRows(file, fields);
  for (platform::DbfField& field : fields)
    if (field.name == name) field.width = width;
  WriteTable(file, fields, rows);
}

// Appends a copy of row `recNo` with the named fields set to other texts:
// a row copied in a spreadsheet and changed.
inline void AppendChangedCopy(const std::filesystem::path& file, std::uint32_t recNo,
                              const std::vector<std::pair<std::string, std::string>>& changes) {
  platform::DbfTable t;
  t.open(file, false);
  t.moveTo(recNo);
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < t.fields().size(); ++i) texts.push_back(t.text(static_cast<int>(i)));
  t.append();
  for (std::size_t i = 0; i < texts.size(); ++i) t.setText(static_cast<int>(i), texts[i]);
  for (const auto& [name, text] : changes) t.setText(name, text);
  t.post();
}

// The table as another program leaves it after an edit: written anew (in
// place, or beside it and renamed over it, as some programs save) with its
// live rows as `edit` leaves them, deleted rows packed away. Its time is a
// second past the old one's, as that of an edit made after the last read:
// a file system's clock may not tell two writes of one instant apart. With
// `keepTime` it keeps the old time, as a copy with preserved times, a sync
// tool or a share with coarse times leaves it.
inline void RewriteRows(const std::filesystem::path& file, const std::function<void(DbfRows&)>& edit,
                        bool renamedOver = false, bool keepTime = false) {
  std::vector<platform::DbfField> fields;
  DbfRows rows = LiveRows(file, fields);
  const auto before = std::filesystem::last_write_time(file);
  edit(rows);
  std::filesystem::path written = file;
  if (renamedOver) written += ".new";
  WriteTable(written, fields, rows);
  if (renamedOver) std::filesystem::rename(written, file);
  std::filesystem::last_write_time(file, keepTime ? before : before + std::chrono::seconds(1));
}

// The texts of `columns` of every row not deleted.
inline DbfRows LiveRows(const std::filesystem::path& file, const std::vector<std::string>& columns) {
  platform::DbfTable t;
  t.open(file, true);
  DbfRows rows;
  for (bool r = t.first(); r; r = t.next()) {
    rows.emplace_back();
    for (const auto& c : columns) rows.back().push_back(t.text(c));
  }
  return rows;
}

}  // namespace test_support
