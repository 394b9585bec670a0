// A district whose forest description table is damaged: its rows file the
// areas into the hierarchy, so a table cut short, holding rows that are no
// rows or rows its header does not count damages the read as damaged block
// files do, and no export from it replaces a block. The same holds for the
// tables of the blocks the merges and the line jobs read.
#include "app/jobs/lhc_merge.h"
#include "app/jobs/line_jobs.h"
#include "dbf_rows.h"
#include "files.h"
#include "jobs_fixture.h"
#include "log_probe.h"

namespace jobs_test {
namespace {

class DamagedTableReadTest : public JobsTest {
 protected:
  jobs::LoadedModel state;
};

TEST_F(DamagedTableReadTest, NoLevelIsReplacedFromATableCutShortOrWithoutRowMarks) {
  const jobs::ForestLevel& level = *jobs::FindForestLevel(95);
  const fs::path table = District() / "DET.BLK" / "P0110.DBF";
  const fs::path block = District() / "01_16PSK.BLK" / "TN.ARE";
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  ASSERT_FALSE(state.Damage);
  ASSERT_EQ(jobs::ExportForestLevel(LevelContext(state, District()), level), jobs::ExportResult::Written);
  const std::string written = test_support::ReadFile(block);
  const std::string sound = test_support::ReadFile(table);
  std::string unmarked = sound;
  auto word = [&](std::size_t at) { return static_cast<unsigned char>(sound[at]) | static_cast<unsigned char>(sound[at + 1]) << 8; };
  unmarked[word(8) + 3 * word(10)] = '\x7F';  // the fourth row's mark
  std::string undercounted = sound;
  undercounted[4] = static_cast<char>(sound[4] - 3);  // the generator's table holds a few dozen rows
  const struct {
    const char* what;
    std::string bytes;
    const char* told;
  } cases[] = {
      {"cut short", sound.substr(0, sound.size() * 2 / 3), "P0110.DBF: soubor končí po "},
      {"a row without its mark", unmarked, " nezačíná značkou řádku"},
      {"rows the header does not count", undercounted, "P0110.DBF: soubor drží i řádky "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test_support::WriteFile(table, c.bytes);
    test_support::LogProbe log;
    ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
    ASSERT_TRUE(state.Damage);
    EXPECT_TRUE(log.saw("Čtení bloku: " + table.string() + ": ")) << log.all();
    ui->clear();
    EXPECT_EQ(jobs::ExportForestLevel(LevelContext(state, District()), level), jobs::ExportResult::DamagedInput);
    EXPECT_EQ(test_support::ReadFile(block), written);
    ASSERT_EQ(ui->shownTexts().size(), 1u);
    const std::string text = ui->shownTexts()[0];
    EXPECT_EQ(text.rfind("Vstupní blok " + (District() / "DET.BLK").string() + " je poškozen (", 0), 0u) << text;
    EXPECT_NE(text.find(c.told), std::string::npos) << text;
  }
}

// Rows after the counted ones would reach no block: the objects whose rows
// they are would be written with blank attributes or make the merge miss
// its keys.
TEST_F(DamagedTableReadTest, MergesAndLineJobsKeepTheirBlocksWhenATableHoldsRowsItsHeaderDoesNotCount) {
  const fs::path lhc = District().parent_path();
  std::vector<std::string> log;
  jobs::LhcMergeContext merge;
  jobs::LineJobContext lines;
  merge.Model = lines.Model = &state;
  merge.LhcDirectory = lines.LhcDirectory = lhc.string();
  merge.GisRoot = lines.GisRoot = (dir / "GIS").string();
  merge.Log = lines.Log = [&](const std::string& text) { log.push_back(text); };
  for (const char* code : {"01", "02"}) {
    ASSERT_TRUE(jobs::ReadDistrict(state, District(code).string()));
    ASSERT_EQ(jobs::ExportForestLevel(LevelContext(state, District(code)), *jobs::FindForestLevel(99)),
              jobs::ExportResult::Written);
  }
  ASSERT_TRUE(jobs::ReadLhcLines(state, District().string()));
  jobs::ExportAllLineKinds(lines);
  const struct {
    const char* job;
    fs::path table, written;
    std::function<bool()> run;  // true when the block was written
  } cases[] = {
      {"LHC", District() / "01_94REG.BLK" / "P9400.DBF", lhc / "_11LHC.BLK" / "TN.ARE",
       [&] { return jobs::MergeLhcLayer(merge, jobs::LhcLayer()) == jobs::MergeResult::Written; }},
      {"Uzlování", lhc / "_20CES.BLK" / "L2100.DBF", lhc / "_20KOM.BLK" / "TN.LIN",
       [&] { return jobs::NodeCommunicationLines(lines) == jobs::LineJobResult::Written; }},
      {"Cesty", District() / "CES.BLK" / "L0350.DBF", lhc / "_20CES.BLK" / "TN.LIN",
       [&] {
         return jobs::ReadLhcLines(state, District().string()) &&
                jobs::ExportLinesByDruh(lines, *jobs::FindLineKind(86)) == jobs::LineJobResult::Written;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.job);
    ASSERT_TRUE(c.run());
    const std::string written = test_support::ReadFile(c.written), sound = test_support::ReadFile(c.table);
    test_support::UndercountRows(c.table, 1);
    ui->clear();
    EXPECT_FALSE(c.run());
    EXPECT_EQ(test_support::ReadFile(c.written), written);
    ASSERT_EQ(ui->shownTexts().size(), 1u);
    const std::string fault = c.table.filename().string() + ": soubor drží i ";
    EXPECT_NE(ui->shownTexts()[0].find(fault), std::string::npos) << ui->shownTexts()[0];
    test_support::WriteFile(c.table, sound);
  }
}

}  // namespace
}  // namespace jobs_test
