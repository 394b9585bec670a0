#include "platform/dbase_group_sum.h"
#include "platform/dbase_table.h"

#include <gtest/gtest.h>

#include "temp_dir.h"
#include "dbf_rows.h"

using platform::DbfError;
using platform::DbfTable;
namespace fs = std::filesystem;

TEST(DbfGroupSum, OneRowPerKeyInKeyOrderWithTheSum) {
  const test_support::TempDir dir("sum");
  const fs::path det = dir / "DET.DBF", copy = dir / "COPYDET.DBF";
  test_support::WriteTable(det, {{"ODDELENI", 'N', 3, 0}, {"DILEC", 'C', 2, 0}, {"PLOCHA", 'N', 8, 2}},
                           {{"10", "b", "1.25"}, {"9", "a", "2"}, {"10", "b", "0.5"}, {"10", "a", "7"}, {"2", "", "1"},
                            {"9", "a", "100"}});
  {
    DbfTable t;
    t.open(det, false);
    t.moveTo(6);
    t.deleteRecord();  // deleted rows do not count
  }
  platform::writeGroupedSum(det, {"ODDELENI", "dilec"}, "PLOCHA", copy);
  DbfTable t;
  t.open(copy, true);
  ASSERT_EQ(t.fields().size(), 3u);
  EXPECT_EQ(t.fields()[2].name, "SUM_OF_PLO");
  std::vector<std::string> rows;
  for (bool row = t.first(); row; row = t.next())
    rows.push_back(t.text(0) + "/" + t.text(1) + "=" + t.text("SUM_OF_PLO"));
  EXPECT_EQ(rows, (std::vector<std::string>{"2/=1", "9/a=2", "10/a=7", "10/b=1.75"}));
  EXPECT_THROW(platform::writeGroupedSum(det, {"NEMA"}, "PLOCHA", copy), DbfError);
}

// A table cut short is refused, not summed over the rows it still holds.
TEST(DbfGroupSum, ATableCutShortIsRefused) {
  const test_support::TempDir dir("sum_cut");
  const fs::path det = dir / "DET.DBF", copy = dir / "COPYDET.DBF";
  test_support::WriteTable(det, {{"ODDELENI", 'N', 3, 0}, {"PLOCHA", 'N', 8, 2}}, {{"1", "2"}, {"1", "3"}, {"2", "4"}});
  fs::resize_file(det, fs::file_size(det) - 12);
  try {
    platform::writeGroupedSum(det, {"ODDELENI"}, "PLOCHA", copy);
    ADD_FAILURE() << "summed";
  } catch (const DbfError& e) {
    EXPECT_EQ(std::string(e.what()), "Tabulka " + det.string() + " je poškozena: soubor končí po 2. z 3 řádků, které uvádí hlavička");
  }
  EXPECT_FALSE(fs::exists(copy));
}

// Rows the header does not count would be left out of the sums, and the
// comparison would list differences that are none.
TEST(DbfGroupSum, ATableHoldingRowsItsHeaderDoesNotCountIsRefused) {
  const test_support::TempDir dir("sum_uncounted");
  const fs::path gis = dir / "P1400.DBF", copy = dir / "COPYGIS.DBF";
  test_support::WriteTable(gis, {{"ODD", 'N', 3, 0}, {"PLOCHA", 'N', 8, 2}}, {{"1", "2"}, {"1", "3"}, {"2", "4"}});
  test_support::UndercountRows(gis, 2);
  try {
    platform::writeGroupedSum(gis, {"ODD"}, "PLOCHA", copy);
    ADD_FAILURE() << "summed";
  } catch (const DbfError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Tabulka " + gis.string() + " je poškozena: soubor drží i řádky 2. až 3., které hlavička neuvádí");
  }
  EXPECT_FALSE(fs::exists(copy));
}
