// The tables of a generated district, written by an independent generator,
// made and read through the table layer.
#include "gisblock/attribute_table.h"
#include "gisblock/cislo_index.h"
#include "gisblock/table_creation.h"
#include "gisblock/transfer_script.h"

#include "table_fixture.h"

#include "sample_tree.h"

using namespace gisblock;
using gisblock_test::TableDir;
namespace fs = std::filesystem;

namespace {

class SampleTreeTest : public TableDir {
 protected:
  void SetUp() override {
    TableDir::SetUp();
    if (test_support::GeneratedSample().empty()) GTEST_SKIP() << "python3 not installed";
    ASSERT_TRUE(test_support::CopySample(dir.string()));
  }
};

}  // namespace

TEST_F(SampleTreeTest, ControlFilesMakeTablesAndRowsAreFoundByNumber) {
  int tables = 0;
  for (const auto& entry : fs::recursive_directory_iterator(dir / "GIS")) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() == ".CRT") {
      EXPECT_TRUE(CreateTableFromCRT(entry.path().string(), path("made_" + name + ".DBF"), messages)) << name;
      ++tables;
    } else if (entry.path().extension() == ".TDS") {
      TransferScript script;
      EXPECT_TRUE(script.load(entry.path().string()));
      EXPECT_GT(script.Count(), 0) << name;
    }
  }
  EXPECT_GT(tables, 10);
  EXPECT_TRUE(shown.empty()) << shown.front();

  const std::string det = (dir / "GIS" / "4107" / "01" / "DET.BLK" / "P0110.DBF").string();
  platform::DbfTable rows;
  rows.open(det, true);
  AttributeTable table(messages);
  int found = 0;
  for (bool row = rows.first(); row; row = rows.next()) {
    const std::int32_t cislo = cisloFromText(rows.text("CISLO"));
    ASSERT_TRUE(table.LocateInFile(det, cislo)) << cislo;
    EXPECT_EQ(table.GetFieldText("SKUPINA"), rows.text("SKUPINA"));
    ++found;
  }
  EXPECT_GT(found, 20);
  EXPECT_FALSE(table.LocateInFile(det, 499999));
}
