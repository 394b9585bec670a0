#pragma once
// A scratch directory per test, and small tables built in it.
#include "gisblock/table_messages.h"
#include "platform/dbase_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>
#include "dbf_rows.h"
#include "files.h"
#include "temp_dir.h"

namespace gisblock_test {

namespace fs = std::filesystem;

class TableDir : public ::testing::Test {
 protected:
  void SetUp() override {
    messages.warning = [this](const std::string& t) { shown.push_back(t); };
    messages.error = [this](const std::string& t) { shown.push_back(t); };
    messages.log = [this](const std::string& t) { logged.push_back(t); };
  }

  std::string path(const std::string& name) const { return (dir / name).string(); }
  static std::string bytesOf(const fs::path& file) { return test_support::ReadFile(file); }
  static void write(const fs::path& file, const std::string& text) { test_support::WriteFile(file, text); }

  // A table of CISLO and NAZEV with one row per entry.
  std::string tableWithRows(const std::string& name, const std::vector<std::string>& cisla) {
    test_support::DbfRows rows;
    for (std::size_t i = 0; i < cisla.size(); ++i) rows.push_back({cisla[i], "row" + std::to_string(i + 1)});
    test_support::WriteTable(path(name), {{"CISLO", 'N', 8, 0}, {"NAZEV", 'C', 10, 0}}, rows);
    return path(name);
  }

  test_support::TempDir scratch{"tables"};
  fs::path dir = scratch.path();
  gisblock::TableMessages messages;
  std::vector<std::string> shown, logged;
};

}  // namespace gisblock_test
