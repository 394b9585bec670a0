// A named pipe in the place of a district's table, of a block file or of a
// control file: opening it would wait for a writer for ever, with nobody
// there to end the wait. It is refused by name as no file; the read is
// damaged, as one of a table that cannot be opened is, and a level export
// writes nothing and keeps the old block. A table the read cannot open, for
// whatever cause, is told once with its cause.
#include <functional>
#include <memory>

#include "files.h"
#include "framework/problem_report.h"
#include "jobs_fixture.h"
#include "log_probe.h"
#include "pipe_watch.h"
#include "read_only.h"

namespace jobs_test {
namespace {

class NonRegularFilesTest : public JobsTest {
 protected:
  // Reads the district as "Čti revír" does, into `box` what its box shows
  // and into `log` what its protocol gets.
  void ReadTelling(std::string& box, std::vector<std::string>& log) {
    zelto::RunMessagesUntilIdle();  // what a job before posted is not this read's
    test_support::LogProbe probe;
    {
      zelto::ProblemTally tally;
      EXPECT_TRUE(jobs::ReadDistrict(state, District().string()));
      box = tally.Summary();
    }
    zelto::RunMessagesUntilIdle();
    log = probe.texts;
  }
  // Of the texts, those that name the file.
  static std::vector<std::string> Naming(const std::vector<std::string>& texts, const fs::path& file) {
    std::vector<std::string> naming;
    for (const std::string& text : texts)
      if (text.find(file.string()) != std::string::npos) naming.push_back(text);
    return naming;
  }

  jobs::LoadedModel state;
};

TEST_F(NonRegularFilesTest, APipeForAnInputIsRefusedByNameAndNoBlockIsReplaced) {
  const jobs::ForestLevel& level = *jobs::FindForestLevel(95);
  const fs::path det = District() / "DET.BLK", table = det / "P0110.DBF", block = District() / "01_16PSK.BLK";
  const fs::path control = dir / "GIS" / "P1600.CRT", transfer = dir / "GIS" / "P1600.TDS";
  const std::string pipe = "není soubor, ale pojmenovaná roura";
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  ASSERT_EQ(jobs::ExportForestLevel(LevelContext(state, District()), level), jobs::ExportResult::Written);
  const std::map<std::string, std::string> written = test_support::Snapshot(block);
  const struct {
    const char* what;
    fs::path file;
    bool afterRead;      // put there after a sound read, before the export
    std::string damage;  // what the read finds damaged
    std::string told;    // in the export's refusal
  } rows[] = {
      {"the district table before the read", table, false, "P0110.DBF: " + pipe, "(P0110.DBF: " + pipe + ")"},
      {"the district table after the read", table, true, "", "tabulku " + table.string() + " nelze přečíst: " + pipe},
      {"a block file", det / "TN.LIN", false, "TN.LIN: " + pipe, "(TN.LIN: " + pipe + ")"},
      {"the level's control file", control, true, "", "Problém s vytvořením DBF dle " + control.string() + ": " + pipe},
      {"its transfer list", transfer, true, "", "Přenos položek dle " + transfer.string() + ": " + pipe},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string bytes = test_support::ReadFile(row.file);
    if (row.afterRead) {
      ASSERT_TRUE(jobs::ReadDistrict(state, District().string()) && !state.Damage);
    }
    {
      test_support::PipeWatch watch(row.file);
      ASSERT_TRUE(watch.made());
      if (!row.afterRead) {
        std::string box;
        std::vector<std::string> log;
        ReadTelling(box, log);
        EXPECT_EQ(state.Damage ? state.Damage->Damage.substr(0, row.damage.size()) : "", row.damage);
        // A table the read cannot open is told once, with its cause, in
        // the read's box too: not as its index, nor once for every area.
        if (row.file == table) {
          EXPECT_EQ(box, table.string() + " " + pipe);
          EXPECT_EQ(Naming(log, table).size(), 1u) << ::testing::PrintToString(Naming(log, table));
          EXPECT_EQ(Naming(log, det / "P0110.IND"), std::vector<std::string>{});
        }
      }
      ui->clear();
      EXPECT_NE(jobs::ExportForestLevel(LevelContext(state, District()), level), jobs::ExportResult::Written);
      EXPECT_FALSE(watch.waitedOn()) << "opened the pipe";
    }
    test_support::WriteFile(row.file, bytes);
    EXPECT_EQ(test_support::Snapshot(block), written);
    ASSERT_EQ(ui->shownTexts().size(), 1u);
    EXPECT_NE(ui->shownTexts()[0].find(row.told), std::string::npos) << ui->shownTexts()[0];
  }
}

// Any district table the read cannot open is told as the pipe is: once,
// with its cause, in the read's box, and not as its index or once for
// every area whose row it holds.
TEST_F(NonRegularFilesTest, ADistrictTableThatCannotBeOpenedIsToldOnceWithItsCause) {
  const fs::path table = District() / "DET.BLK" / "P0110.DBF";
  const std::string sound = test_support::ReadFile(table);
  const struct {
    const char* what;
    std::function<std::unique_ptr<test_support::UnreadableFile>()> make;
    std::string told;  // what the box says
  } rows[] = {
      {"no permission", [&] { return std::make_unique<test_support::UnreadableFile>(table); },
       "Tabulku " + table.string() + " nelze otevřít: "},
      {"too short for a table",
       [&] {
         test_support::WriteFile(table, sound.substr(0, 20));
         return nullptr;
       },
       table.string() + " není tabulka dBase"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    std::string box;
    std::vector<std::string> log;
    {
      const auto guard = row.make();
      ReadTelling(box, log);
    }
    test_support::WriteFile(table, sound);
    EXPECT_TRUE(state.Damage);
    EXPECT_EQ(box.rfind(row.told, 0), 0u) << box;
    EXPECT_EQ(box.find('\n'), std::string::npos) << box;
    const std::vector<std::string> told = Naming(log, table);
    ASSERT_EQ(told.size(), 1u) << ::testing::PrintToString(told);
    EXPECT_EQ(told[0], "Čtení bloku: " + box);
    EXPECT_EQ(Naming(log, table.parent_path() / "P0110.IND"), std::vector<std::string>{});
  }
}

// A transfer list that is there but cannot be read (another user's on a
// share): the block would be written with every field it names blank.
TEST_F(NonRegularFilesTest, ATransferListThatCannotBeReadKeepsTheOldBlock) {
  const jobs::ForestLevel& level = *jobs::FindForestLevel(95);
  const fs::path block = District() / "01_16PSK.BLK", transfer = dir / "GIS" / "P1600.TDS";
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  ASSERT_EQ(jobs::ExportForestLevel(LevelContext(state, District()), level), jobs::ExportResult::Written);
  const std::map<std::string, std::string> written = test_support::Snapshot(block);
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  ui->clear();
  {
    test_support::UnreadableFile unreadable(transfer);
    EXPECT_NE(jobs::ExportForestLevel(LevelContext(state, District()), level), jobs::ExportResult::Written);
  }
  EXPECT_EQ(test_support::Snapshot(block), written);
  ASSERT_EQ(ui->shownTexts().size(), 1u);
  EXPECT_NE(ui->shownTexts()[0].find("Přenos položek dle " + transfer.string() + ": "), std::string::npos)
      << ui->shownTexts()[0];
}

}  // namespace
}  // namespace jobs_test
