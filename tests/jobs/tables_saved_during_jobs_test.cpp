// A table another program saves while a job reads it (the GIS open beside
// the program): the job's output would hold rows of both versions, or rows
// looked up through an index of the old one. The job puts nothing in
// place: the old blocks stay, the user is told once which table changed
// and that the job can be run again, and the next run writes.
#include <algorithm>
#include <functional>
#include <tuple>

#include "app/jobs/lhc_merge.h"
#include "app/jobs/line_jobs.h"
#include "dbf_rows.h"
#include "files.h"
#include "jobs_fixture.h"
#include "log_probe.h"
#include "platform/tables_read.h"

namespace jobs_test {
namespace {

using Files = std::map<std::string, std::string>;
using Rows = test_support::DbfRows;

constexpr const char* kChanged = "byla během práce změněna jiným programem";

// How the other program saves the table: its rows in another order, the
// file written beside and renamed over it, or in place with the old time,
// size and row count, where only the system's change time tells.
struct Save {
  const char* name;
  bool renamedOver;
  bool keepsTime;
};
constexpr Save kSaves[] = {{"renamed over", true, false}, {"in place, old time", false, true}};

struct SavingJob {
  const char* name;
  std::function<bool()> run;  // true when it wrote or read
  fs::path table;             // the table saved while the job reads it
  std::string step;           // the progress form during which it is saved; none: as the job reads it
  std::vector<fs::path> kept;  // blocks that must stay as they were
};

class TableSavedDuringJobTest : public LhcJobTest<jobs::LineJobContext> {
 protected:
  // Large enough that every step puts up its progress form.
  const fs::path& Tree() const override { return test_support::GeneratedTree("--seed 1 --size 80x70"); }

  // Also within one text: a run of every level tells its levels' failures
  // in one box.
  std::size_t TimesToldChanged(const std::vector<std::string>& texts) const {
    std::size_t times = 0;
    for (const std::string& text : texts)
      for (std::size_t at = text.find(kChanged); at != std::string::npos; at = text.find(kChanged, at + 1)) ++times;
    return times;
  }
};

TEST_F(TableSavedDuringJobTest, AJobThatReadATableSavedMeanwhileKeepsItsOldBlocksAndSaysWhich) {
  ASSERT_TRUE(jobs::ReadLhcLines(state, District().string()));
  jobs::ExportAllLineKinds(context);
  ASSERT_EQ(jobs::NodeWaterLines(context), jobs::LineJobResult::Written);
  ExportDistrictLevels({99, 116});
  ASSERT_EQ(jobs::MergeLhcLayer(MergeContext(), jobs::LhcZroLayer()), jobs::MergeResult::Written);
  jobs::LoadedModel district;
  ASSERT_TRUE(jobs::ReadDistrict(district, District().string()));
  for (const jobs::ForestLevel& level : jobs::ForestLevels())
    ASSERT_NE(jobs::ExportForestLevel(LevelContext(district, District()), level), jobs::ExportResult::NotWritten);
  const jobs::ForestLevel& psk = *jobs::FindForestLevel(95);
  const fs::path det = District() / "DET.BLK";
  std::vector<fs::path> levelBlocks;
  for (const jobs::ForestLevel& level : jobs::ForestLevels())
    levelBlocks.push_back(District() / ("01_" + level.Prefix + ".BLK"));
  // The line jobs read the LHC's lines first, which replaces the object
  // model: the district's jobs go first.
  const auto lines = [&](const std::function<bool()>& job) {
    return [&, job] { return jobs::ReadLhcLines(state, District().string()) && job(); };
  };
  const SavingJob savingJobs[] = {
      {"district read",
       [&] { return jobs::ReadDistrict(district, District().string()); },
       det / "P0110.DBF",
       "Vytváření lesnické hierarchie",
       {}},
      {"stand groups",
       [&] {
         return jobs::ExportForestLevel(LevelContext(district, District()), psk) == jobs::ExportResult::Written;
       },
       det / "P0110.DBF",
       "Export ploch do",
       {District() / "01_16PSK.BLK"}},
      {"whole district",
       [&] {
         jobs::ExportWholeDistrict(LevelContext(district, District()));
         return !fs::exists(levelBlocks.back() / "STARY.TXT");
       },
       det / "P0110.DBF",
       "Export ploch do",
       levelBlocks},
      {"LHC lines read",
       [&] { return jobs::ReadLhcLines(state, District().string()); },
       det / "L0021.DBF",
       "",
       {}},
      {"roads",
       lines([&] { return jobs::ExportLinesByDruh(context, *jobs::FindLineKind(86)) == jobs::LineJobResult::Written; }),
       det / "L0021.DBF",
       "Export linií do",
       {lhc / "_20CES.BLK"}},
      {"every line kind",
       lines([&] {
         jobs::ExportAllLineKinds(context);
         return !fs::exists(lhc / "_30POT.BLK" / "STARY.TXT");
       }),
       det / "L0021.DBF",
       "Export linií do",
       {lhc / "_20CES.BLK", lhc / "_20PRU.BLK", lhc / "_30POT.BLK"}},
      {"water noding",
       lines([&] { return jobs::NodeWaterLines(context) == jobs::LineJobResult::Written; }),
       lhc / "_30POT.BLK" / "L3100.DBF",
       "Export linií do",
       {lhc / "_30VOD.BLK"}},
      {"ZRO merge",
       [&] { return jobs::MergeLhcLayer(MergeContext(), jobs::LhcZroLayer()) == jobs::MergeResult::Written; },
       District() / "01_91ZRO.BLK" / "P1400.DBF",
       "Export ploch do",
       {lhc / "_91ZRO.BLK"}},
  };
  for (const SavingJob& job : savingJobs) {
    for (const Save& save : kSaves) {
      SCOPED_TRACE(std::string(job.name) + ", " + save.name);
      // What the old blocks hold differs from what the job writes.
      for (const fs::path& block : job.kept) test_support::WriteFile(block / "STARY.TXT", "starý blok");
      std::vector<Files> old;
      for (const fs::path& block : job.kept) old.push_back(test_support::Snapshot(block));
      ui->clear();
      log.clear();
      platform::messageQueue().discardAll();
      bool saved = false;
      {
        platform::ScopedScriptedProgressForms forms;
        const auto saving = [&] {
          test_support::RewriteRows(
              job.table, [](Rows& rows) { std::rotate(rows.begin(), rows.begin() + 1, rows.end()); },
              save.renamedOver, save.keepsTime);
          saved = true;
        };
        if (job.step.empty())
          platform::atTableRead(job.table, saving);
        else
          forms->atStep(job.step, 40, saving);
        EXPECT_FALSE(job.run());
        platform::atTableRead({}, {});
      }
      ASSERT_TRUE(saved) << "no form " << job.step;
      for (std::size_t i = 0; i < job.kept.size(); ++i)
        EXPECT_EQ(test_support::Snapshot(job.kept[i]), old[i]) << job.kept[i];
      // Told once, naming the table.
      const std::vector<std::string> shown = ui->shownTexts();
      EXPECT_EQ(TimesToldChanged(shown), 1u);
      const auto told = std::find_if(shown.begin(), shown.end(),
                                     [](const std::string& t) { return t.find(kChanged) != std::string::npos; });
      if (told != shown.end()) {
        EXPECT_NE(told->find(job.table.string()), std::string::npos) << *told;
      }
      if (job.kept.empty()) {
        EXPECT_EQ(district.GetHierarchyRoot(), nullptr);
        // A read refused leaves nothing loaded, whichever model read.
        EXPECT_EQ(district.GetSubject(), nullptr);
        EXPECT_EQ(state.GetSubject(), nullptr);
      }
      // Run again, it writes.
      ui->clear();
      EXPECT_TRUE(job.run());
      EXPECT_EQ(TimesToldChanged(ui->shownTexts()), 0u);
      for (const fs::path& block : job.kept) EXPECT_FALSE(fs::exists(block / "STARY.TXT")) << block;
    }
  }
}

// A run of every level stops at the level that a table saved meanwhile
// kept from being written, also where that level would only remove its
// old block: the levels after it are never started, and the protocol
// names them as not exported.
TEST_F(TableSavedDuringJobTest, AWholeDistrictRunStopsAtTheFirstLevelItKeptAndLogsTheRest) {
  jobs::LoadedModel district;
  ASSERT_TRUE(jobs::ReadDistrict(district, District().string()));
  for (const jobs::ForestLevel& level : jobs::ForestLevels())
    ASSERT_EQ(jobs::ExportForestLevel(LevelContext(district, District()), level), jobs::ExportResult::Written);
  const std::vector<jobs::ForestLevel>& levels = jobs::ForestLevels();
  const fs::path table = District() / "DET.BLK" / "P0110.DBF";
  struct Case {
    const char* what;
    const char* kept;  // the first level not written
    bool noUnits;      // no group is an "other" one now: the level's old block would go
    const char* left;  // logged as not exported
  };
  const Case cases[] = {
      {"saved while the first level writes", "16PSK", false, "14DIL, 91ZRO, 13ODD, 17BZL, 18JP, 19OP, 94REG"},
      {"saved before a level that would remove its block", "19OP", true, "94REG"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetSetting("GLOBAL", "SpodniMezOstatni", c.noUnits ? "1000" : "900");
    ASSERT_TRUE(jobs::ReadDistrict(district, District().string()));
    ASSERT_EQ(district.UnfiledAreas, 0);
    const auto first = std::find_if(levels.begin(), levels.end(),
                                    [&](const jobs::ForestLevel& level) { return level.Prefix == c.kept; });
    ASSERT_NE(first, levels.end());
    std::vector<fs::path> kept;
    std::vector<Files> old;
    for (auto level = first; level != levels.end(); ++level) {
      kept.push_back(District() / ("01_" + level->Prefix + ".BLK"));
      test_support::WriteFile(kept.back() / "STARY.TXT", "starý blok");
      old.push_back(test_support::Snapshot(kept.back()));
    }
    ui->clear();
    test_support::LogProbe protocol;
    const auto save = [&] {
      test_support::RewriteRows(table, [](Rows& rows) { std::rotate(rows.begin(), rows.begin() + 1, rows.end()); });
    };
    jobs::LevelExportContext run = LevelContext(district, District());
    platform::ScopedScriptedProgressForms forms;
    if (c.noUnits) {
      run.NextLevel = [&](int level) {
        if (levels[static_cast<std::size_t>(level)].Prefix == c.kept) save();
        return true;
      };
    } else {
      forms->atStep("Export ploch do", 40, save);
    }
    jobs::ExportWholeDistrict(run);
    for (std::size_t i = 0; i < kept.size(); ++i) {
      ASSERT_TRUE(fs::exists(kept[i])) << kept[i];
      EXPECT_EQ(test_support::Snapshot(kept[i]), old[i]) << kept[i];
    }
    const auto later = std::find_if(forms->showings().begin(), forms->showings().end(), [&](const auto& shown) {
      return std::any_of(first + 1, levels.end(), [&](const jobs::ForestLevel& level) {
        return shown.caption.find(level.Prefix) != std::string::npos;
      });
    });
    EXPECT_TRUE(later == forms->showings().end()) << "started: " << later->caption;
    EXPECT_EQ(TimesToldChanged(ui->shownTexts()), 1u);
    ASSERT_FALSE(ui->shownTexts().empty());
    EXPECT_NE(ui->shownTexts().back().find(table.string()), std::string::npos) << ui->shownTexts().back();
    // A block that would have gone is told as not removed.
    const std::string told = std::string(c.kept) + ".BLK " + (c.noUnits ? "nebyl odstraněn" : "nebyl zapsán");
    EXPECT_NE(ui->shownTexts().back().find(told), std::string::npos) << ui->shownTexts().back();
    EXPECT_TRUE(protocol.saw("; Export všech vrstev revíru ukončen, tabulka " + table.string() + " " + kChanged +
                             "; neexportovány vrstvy " + std::string(c.left)))
        << protocol.all();
  }
}

// A save after a level held the read against the files and before it
// first reads the table (while it builds its areas) passes that check and
// would be read as the table the level exports: areas filed by the keys
// read, rows of the keys saved. The level goes on from the table as the
// check found it, so such a save is one during the job, whichever field it
// changed: the old blocks stay, the table is named once, and the run
// stops at its first level.
TEST_F(TableSavedDuringJobTest, ASaveBetweenTheCheckOfTheReadAndTheLevelsFirstReadKeepsTheOldBlocks) {
  const fs::path table = District() / "DET.BLK" / "P0110.DBF";
  const fs::path pristine = dir / "P0110.pristine";
  fs::copy_file(table, pristine);
  jobs::LoadedModel district;
  ASSERT_TRUE(jobs::ReadDistrict(district, District().string()));
  jobs::ExportWholeDistrict(LevelContext(district, District()));
  std::vector<fs::path> levelBlocks;
  for (const jobs::ForestLevel& level : jobs::ForestLevels())
    levelBlocks.push_back(District() / ("01_" + level.Prefix + ".BLK"));
  using Edit = std::vector<std::tuple<std::size_t, std::string, std::string>>;  // row from 0, field, text
  struct Saved {
    const char* what;
    Edit edit;
  };
  const Saved saves[] = {
      {"keys of five rows",
       {{0, "SKUPINA", "555"}, {2, "SKUPINA", "555"}, {3, "SKUPINA", "555"}, {4, "ODDELENI", "77"}, {1, "DILEC", "z"}}},
      {"a stand's label", {{2, "POROST", "9"}}},
  };
  const jobs::ForestLevel& psk = *jobs::FindForestLevel(95);
  struct Run {
    const char* what;
    std::function<void(jobs::LoadedModel&)> run;
    std::size_t blocks;  // the level blocks that must stay, from the first
  };
  const Run runs[] = {
      {"stand groups", [&](jobs::LoadedModel& m) { jobs::ExportForestLevel(LevelContext(m, District()), psk); }, 1},
      {"whole district", [&](jobs::LoadedModel& m) { jobs::ExportWholeDistrict(LevelContext(m, District())); },
       levelBlocks.size()},
  };
  for (const Run& run : runs) {
    for (const Saved& save : saves) {
      SCOPED_TRACE(std::string(run.what) + ", " + save.what);
      fs::copy_file(pristine, table, fs::copy_options::overwrite_existing);
      ASSERT_TRUE(jobs::ReadDistrict(district, District().string()));
      std::vector<Files> old;
      for (std::size_t i = 0; i < run.blocks; ++i) {
        test_support::WriteFile(levelBlocks[i] / "STARY.TXT", "starý blok");
        old.push_back(test_support::Snapshot(levelBlocks[i]));
      }
      ui->clear();
      // The saved table is made first: a read of it inside the job would
      // hold the table itself.
      const fs::path edited = dir / "P0110.edited";
      fs::copy_file(pristine, edited, fs::copy_options::overwrite_existing);
      std::vector<platform::DbfField> fields;
      test_support::LiveRows(edited, fields);
      test_support::RewriteRows(edited, [&](Rows& rows) {
        for (const auto& [row, name, text] : save.edit) {
          const auto field =
              std::find_if(fields.begin(), fields.end(), [&name = name](const auto& f) { return f.name == name; });
          ASSERT_NE(field, fields.end()) << name;
          rows.at(row)[static_cast<std::size_t>(field - fields.begin())] = text;
        }
      });
      bool saved = false;
      {
        platform::ScopedScriptedProgressForms forms;
        forms->atStep("Tvorba ploch v QTree pro 16PSK", 1, [&] {
          fs::copy_file(edited, table, fs::copy_options::overwrite_existing);
          saved = true;
        });
        run.run(district);
      }
      ASSERT_TRUE(saved);
      for (std::size_t i = 0; i < run.blocks; ++i)
        EXPECT_TRUE(test_support::Snapshot(levelBlocks[i]) == old[i]) << "written: " << levelBlocks[i];
      const std::vector<std::string> shown = ui->shownTexts();
      EXPECT_EQ(TimesToldChanged(shown), 1u);
      ASSERT_FALSE(shown.empty());
      EXPECT_NE(shown.back().find(table.string()), std::string::npos) << shown.back();
    }
  }
}

}  // namespace
}  // namespace jobs_test
