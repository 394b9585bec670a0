#pragma once
// Small dBase tables built in a test and read back as rows of texts.
#include <filesystem>
#include <string>
#include <vector>

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
