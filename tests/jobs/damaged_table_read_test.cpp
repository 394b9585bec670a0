// A district whose forest description table is damaged: its rows file the
// areas into the hierarchy, so a table cut short, holding rows that are no
// rows or rows its header does not count, or whose header puts its fields
// where they are not, damages the read as damaged block files do, and no
// export from it replaces a block. The same holds for the tables of the
// blocks the merges and the line jobs read.
#include "app/jobs/lhc_merge.h"
#include "app/jobs/line_jobs.h"
#include "files.h"
#include "framework/problem_report.h"
#include "jobs_fixture.h"
#include "log_probe.h"

namespace jobs_test {
namespace {

// Faults of a table, as they change its bytes and as the refusal names
// them after the table's name.
struct TableFault {
  const char* what;
  void (*apply)(std::string& bytes);
  const char* told;
};

void AddToWord(std::string& bytes, std::size_t at, int delta) {
  const int word = (static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8) + delta;
  bytes[at] = static_cast<char>(word & 0xFF);
  bytes[at + 1] = static_cast<char>(word >> 8);
}

// Each hands every field after it its neighbour's bytes.
constexpr std::size_t kSecondWidth = 32 + 32 + 16;  // the district table's LHC, 4 wide
const TableFault kHeaderFaults[] = {
    {"a width lowered", [](std::string& b) { --b[kSecondWidth]; },
     "Poškozená hlavička tabulky: položky se značkou řádku zabírají "},
    {"a width of 0", [](std::string& b) { b[kSecondWidth] = 0; }, "Poškozená hlavička tabulky: šířka položky "},
    {"a record length one byte long", [](std::string& b) { AddToWord(b, 10, 1); },
     "Poškozená hlavička tabulky: položky se značkou řádku zabírají "},
    {"a header length one byte long", [](std::string& b) { AddToWord(b, 8, 1); },
     "Poškozená hlavička tabulky: délka hlavičky "},
    {"a blank name", [](std::string& b) { b.replace(32 + 32, 11, 11, '\0'); },
     "Poškozená hlavička tabulky: 2. položka nemá jméno"},
};

class DamagedTableReadTest : public JobsTest {
 protected:
  jobs::LoadedModel state;
};

TEST_F(DamagedTableReadTest, NoLevelIsReplacedFromATableCutShortWithoutRowMarksOrWithAHeaderAtOdds) {
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
  struct Case {
    std::string what, bytes, told;
    bool header = false;
  };
  std::vector<Case> cases{
      {"cut short", sound.substr(0, sound.size() * 2 / 3), "P0110.DBF: soubor končí po "},
      {"a row without its mark", unmarked, " nezačíná značkou řádku"},
      {"rows the header does not count", undercounted, "P0110.DBF: soubor drží i řádky "},
  };
  for (const TableFault& fault : kHeaderFaults) {
    std::string bytes = sound;
    fault.apply(bytes);
    cases.push_back({fault.what, bytes, std::string("P0110.DBF: ") + fault.told, true});
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test_support::WriteFile(table, c.bytes);
    zelto::RunMessagesUntilIdle();  // what the export before posted is not this read's
    test_support::LogProbe log;
    {
      zelto::ProblemTally box;  // what the command shows when the read is done
      ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
      ASSERT_TRUE(state.Damage);
      EXPECT_TRUE(log.saw("Čtení bloku: " + table.string() + ": ")) << log.all();
      // A header at odds with itself is all that is said of the table: not
      // its index, nor the areas whose rows it holds. The read's box names
      // it, as it names any table the read cannot open.
      if (c.header) {
        std::vector<std::string> ofTable;
        for (const std::string& text : log.texts)
          if (text.find("P0110.") != std::string::npos) ofTable.push_back(text);
        ASSERT_EQ(ofTable.size(), 1u) << log.all();
        EXPECT_NE(ofTable[0].find(c.told), std::string::npos) << ofTable[0];
        EXPECT_EQ("Čtení bloku: " + box.Summary(), ofTable[0]);
      }
    }
    ui->clear();
    EXPECT_EQ(jobs::ExportForestLevel(LevelContext(state, District()), level), jobs::ExportResult::DamagedInput);
    EXPECT_EQ(test_support::ReadFile(block), written);
    ASSERT_EQ(ui->shownTexts().size(), 1u);
    const std::string text = ui->shownTexts()[0];
    EXPECT_EQ(text.rfind("Vstupní blok " + (District() / "DET.BLK").string() + " je poškozen (", 0), 0u) << text;
    EXPECT_NE(text.find(c.told), std::string::npos) << text;
    EXPECT_EQ(text.find(table.string()), std::string::npos) << text;  // named once, by the name before the fault
  }
}

// Rows after the counted ones, or fields read from their neighbours' bytes,
// would reach no block or the wrong one: the objects whose rows they are
// would be written with blank or shifted attributes, or make the merge miss
// its keys.
TEST_F(DamagedTableReadTest, MergesAndLineJobsKeepTheirBlocksWhenATableHeaderIsAtOddsWithItsRows) {
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
    std::function<void()> read;  // the read the job needs, a job of its own with its own box
  } cases[] = {
      {"LHC", District() / "01_94REG.BLK" / "P9400.DBF", lhc / "_11LHC.BLK" / "TN.ARE",
       [&] { return jobs::MergeLhcLayer(merge, jobs::LhcLayer()) == jobs::MergeResult::Written; }, [] {}},
      {"Uzlování", lhc / "_20CES.BLK" / "L2100.DBF", lhc / "_20KOM.BLK" / "TN.LIN",
       [&] { return jobs::NodeCommunicationLines(lines) == jobs::LineJobResult::Written; }, [] {}},
      {"Cesty", District() / "CES.BLK" / "L0350.DBF", lhc / "_20CES.BLK" / "TN.LIN",
       [&] { return jobs::ExportLinesByDruh(lines, *jobs::FindLineKind(86)) == jobs::LineJobResult::Written; },
       [&] { jobs::ReadLhcLines(state, District().string()); }},
  };
  std::vector<TableFault> faults{
      {"rows the header does not count", [](std::string& b) { AddToWord(b, 4, -1); }, "soubor drží i "}};
  faults.insert(faults.end(), std::begin(kHeaderFaults), std::end(kHeaderFaults));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.job);
    c.read();
    ASSERT_TRUE(c.run());
    const std::string written = test_support::ReadFile(c.written), sound = test_support::ReadFile(c.table);
    for (const TableFault& fault : faults) {
      SCOPED_TRACE(fault.what);
      std::string bytes = sound;
      fault.apply(bytes);
      test_support::WriteFile(c.table, bytes);
      c.read();
      ui->clear();
      {
        // As the main window runs it: what the job counted comes up in a
        // box of its own at its end, and says nothing the refusal does not.
        zelto::ProblemTally problems;
        EXPECT_FALSE(c.run());
        zelto::ShowProblems(problems);
      }
      EXPECT_EQ(test_support::ReadFile(c.written), written);
      ASSERT_EQ(ui->shownTexts().size(), 1u);
      const std::string told = c.table.filename().string() + ": " + fault.told;
      EXPECT_NE(ui->shownTexts()[0].find(told), std::string::npos) << ui->shownTexts()[0];
      EXPECT_EQ(ui->shownTexts()[0].find(c.table.string()), std::string::npos) << ui->shownTexts()[0];
      test_support::WriteFile(c.table, sound);
    }
  }
}

}  // namespace
}  // namespace jobs_test
