// A district on a read-only share, as an office reads a colleague's: its
// tables cannot take an index file, and their rows are found all the same.
#include "app/jobs/lhc_merge.h"
#include "dbf_rows.h"
#include "files.h"
#include "jobs_fixture.h"
#include "log_probe.h"
#include "read_only.h"

namespace jobs_test {
namespace {

using ReadOnlyDistrictTest = LhcJobTest<jobs::LhcMergeContext>;

// Reading builds the hierarchy with its attributes and without a box, a
// level exported elsewhere carries them, and the LHC merge keeps each
// district's REVIR; a district table that cannot be read fails the merge
// instead of leaving REVIR blank.
TEST_F(ReadOnlyDistrictTest, RowsAreFoundWithoutAnIndexFileAndNeverWrittenWithoutTheirKeys) {
  for (const char* code : {"01", "02"}) {
    ASSERT_TRUE(jobs::ReadDistrict(state, District(code).string()));
    ASSERT_EQ(jobs::ExportForestLevel(LevelContext(state, District(code)), *jobs::FindForestLevel(99)),
              jobs::ExportResult::Written);
  }
  ui->clear();
  fs::remove(District("01") / "DET.BLK" / "P0110.IND");  // as no one had read the district before
  const fs::path output = dir / "OUT" / "4107" / "01";
  fs::create_directories(output);
  const fs::path merged = lhc / "_11LHC.BLK" / "P1100.DBF";
  {
    test_support::ReadOnlyTree share(District("01"));
    test_support::LogProbe probe;
    ASSERT_TRUE(jobs::ReadDistrict(state, District("01").string()));
    ASSERT_EQ(jobs::ExportForestLevel(LevelContext(state, output), *jobs::FindForestLevel(98)),
              jobs::ExportResult::Written);
    ASSERT_EQ(jobs::MergeLhcLayer(context, jobs::LhcLayer()), jobs::MergeResult::Written);
    ASSERT_EQ(ui->shownTexts(), std::vector<std::string>{"Konec tvorby LHC"});
    zelto::RunMessagesUntilIdle();
    int told = 0;
    for (const std::string& text : probe.texts) told += text.find("P0110.IND nelze zapsat") != std::string::npos;
    EXPECT_EQ(told, 1) << probe.all();
  }
  const test_support::DbfRows compartments = test_support::LiveRows(output / "01_13ODD.BLK" / "P1300.DBF", {"ODD"});
  EXPECT_EQ(compartments.size(), std::stoul(Expected("d['levels']['ODD']['count']")));
  for (const auto& row : compartments) EXPECT_NE(row[0], "");
  test_support::DbfRows districts = test_support::LiveRows(merged, {"REVIR"});
  std::sort(districts.begin(), districts.end());
  EXPECT_EQ(districts, (test_support::DbfRows{{"01"}, {"02"}}));

  // A district table that cannot be read at all.
  ui->clear();
  const std::string before = test_support::ReadFile(merged);
  test_support::WriteFile(District("01") / "01_94REG.BLK" / "P9400.DBF", "damaged");
  EXPECT_EQ(jobs::MergeLhcLayer(context, jobs::LhcLayer()), jobs::MergeResult::Failed);
  EXPECT_EQ(test_support::ReadFile(merged), before);
  ASSERT_EQ(ui->shownTexts().size(), 1u);
  EXPECT_NE(ui->shownTexts()[0].find("P9400.DBF: "), std::string::npos) << ui->shownTexts()[0];
  EXPECT_EQ(ui->shownTexts()[0].find('\\'), std::string::npos) << "as chosen: " << ui->shownTexts()[0];
}

}  // namespace
}  // namespace jobs_test
