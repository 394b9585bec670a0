// The tables of a block read: each is read once, many rows at a time, its
// rows judged as they come, however many rows it holds. On a shared drive
// every read of the system is a request, and an LHC read takes hundreds of
// tables.
#include <fstream>
#include <memory>
#include <optional>

#include "geometry/poly_element.h"
#include "gisblock/gelix_props.h"
#include "gisblock/table_damage.h"
#include "table_fixture.h"

namespace {

using namespace gisblock_test;

// The read calls this process has made, as the kernel counts them; none
// where it does not.
std::optional<long> ReadCalls() {
  std::ifstream io("/proc/self/io");
  std::string name;
  long value = 0;
  while (io >> name >> value)
    if (name == "syscr:") return value;
  return std::nullopt;
}

class TableDamageTest : public TableDir {};

TEST_F(TableDamageTest, EachTableIsReadOnceWithItsRowsJudgedAsTheyCome) {
  if (!ReadCalls()) GTEST_SKIP() << "the kernel counts no read calls";
  constexpr int kRows = 3000;
  // Lines of Druh 1 read, and a table of another Druh beside theirs.
  TPolyLineString lines;
  auto line = std::make_unique<TPolyLineElement>();
  auto props = std::make_unique<TGelixLineProps>();
  props->Druh = 1;
  props->Cislo = 1;
  line->SetProperties(props.release());
  lines.Add(line.release());
  const struct {
    const char* what;
    const char* table;
    int beyond;  // the row whose CISLO names beyond TN.LIN; 0 for none
    std::string damage;
    char type = 'N';  // of CISLO: a character field holds its digits first
  } cases[] = {
      {"a sound table of the lines read", "L0001.DBF", 0, ""},
      {"a row of the lines read naming beyond", "L0001.DBF", 2500,
       "L0001.DBF: řádek 2500 má CISLO 3001 mimo soubor TN.LIN (3001 záznamů)"},
      {"a row of another kind naming beyond", "L0007.DBF", 2999,
       "L0007.DBF: řádek 2999 má CISLO 3001 mimo soubor TN.LIN (3001 záznamů)"},
      {"a character CISLO naming beyond", "L0001.DBF", 3000,
       "L0001.DBF: řádek 3000 má CISLO 3001 mimo soubor TN.LIN (3001 záznamů)", 'C'},
      {"a sound character CISLO", "L0001.DBF", 0, "", 'C'},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(path("L0001.DBF"));
    fs::remove(path("L0007.DBF"));
    test_support::DbfRows rows;
    for (int n = 1; n <= kRows; ++n) rows.push_back({std::to_string(n == c.beyond ? kRows + 1 : n)});
    test_support::WriteTable(path(c.table), {{"CISLO", c.type, 8, 0}}, rows);
    std::vector<std::string> warned;
    const long before = *ReadCalls();
    const gisblock::BlockDamage damage = gisblock::TableDamage(
        &lines, dir.string(), {'L', "TN.LIN", kRows + 1}, [&](const std::string& text) { warned.push_back(text); });
    const long reads = *ReadCalls() - before;
    EXPECT_EQ(damage.First, c.damage);
    EXPECT_EQ(warned.size(), c.damage.empty() ? 0u : 1u);
    // The header, the row the opening stands on, the rows, the end.
    EXPECT_LE(reads, 8) << "read calls for a table of " << kRows << " rows";
  }
}

}  // namespace
