// A stop pressed on the progress form of any step of a job, also of a step
// that cannot stop half way, is the job's: its next point that can stop
// asks. OK ends the job there: no later step runs, nothing more is said of
// its areas, the user is told once that it was broken off, and the old
// blocks stay as they were. Cancel lets the job write as if nobody had
// pressed.
#include <algorithm>
#include <functional>

#include "app/jobs/lhc_merge.h"
#include "app/jobs/line_jobs.h"
#include "areas/export_gauge.h"
#include "files.h"
#include "gisblock/are_record.h"
#include "jobs_fixture.h"
#include "log_probe.h"

namespace jobs_test {
namespace {

using test_support::Snapshot;
using Files = std::map<std::string, std::string>;

// The files that differ between two snapshots of a tree, by name.
std::vector<std::string> Changed(const Files& before, const Files& after) {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : before)
    if (!after.contains(name) || after.at(name) != bytes) names.push_back(name);
  for (const auto& [name, bytes] : after)
    if (!before.contains(name)) names.push_back(name);
  return names;
}

// What the jobs log of a single area that they export as an empty one.
constexpr const char* kAreaLine = "exportována jako druh";

std::size_t CountHolding(const std::vector<std::string>& texts, const std::string& part) {
  return static_cast<std::size_t>(
      std::count_if(texts.begin(), texts.end(), [&](const std::string& t) { return t.find(part) != std::string::npos; }));
}

// A run of a job with the user closing the form of one step.
struct PressedRun {
  std::vector<std::string> questions;
  bool wrote = false;
  std::vector<std::string> logged;  // the job's log and the posted log texts
  std::vector<std::string> formsAfterBreak;
};

// A district large enough that the steps of the level exports and of the
// nodings put up their progress forms.
class StoppedJobTest : public LhcJobTest<jobs::LineJobContext> {
 protected:
  const fs::path& Tree() const override { return test_support::GeneratedTree("--seed 1 --size 80x70"); }

  // The job run once more with the user closing the form of `step` and
  // answering the question `ok`.
  PressedRun RunPressed(const std::function<bool()>& job, const std::string& step, bool ok) {
    platform::ScopedScriptedProgressForms pressed;
    pressed->closeCaptioned(step);
    pressed->queueBreakAnswer(ok);
    ui->clear();
    log.clear();
    // What an earlier run left posted is not this one's.
    platform::messageQueue().discardAll();
    PressedRun run;
    {
      test_support::LogProbe posted;
      run.wrote = job();
      posted.saw("");
      run.logged = posted.texts;
    }
    run.logged.insert(run.logged.end(), log.begin(), log.end());
    run.questions = pressed->breakQuestions();
    for (const auto& shown : pressed->showings())
      if (shown.afterBreak) run.formsAfterBreak.push_back(shown.caption);
    return run;
  }
  std::size_t TimesToldBrokenOff() { return CountHolding(ui->shownTexts(), "přerušen"); }

  // Islands taken out of the district's TN.ARE leave holes that no area
  // of the district fills: each level exports them as empty areas and logs
  // a line for each.
  void DeleteIslands(int count) {
    const fs::path are = District() / "DET.BLK" / "TN.ARE";
    std::string bytes = FileBytes(are);
    for (std::size_t n = 1; n < bytes.size() / gisblock::AreRecord::kSize && count > 0; ++n) {
      const auto r = gisblock::AreRecord::decode(reinterpret_cast<const std::uint8_t*>(bytes.data()) +
                                                 n * gisblock::AreRecord::kSize);
      if (!r.paterNo || r.hasChildren || r.area < 100) continue;
      bytes[n * gisblock::AreRecord::kSize + 6] = 1;  // deleted
      --count;
    }
    ASSERT_EQ(count, 0);
    std::ofstream(are, std::ios::binary) << bytes;
  }
};

// The form the user closes, and the question of the job's first point
// that can stop after it.
struct PressedStep {
  std::string caption;
  std::string question;
  // Its own form, which after Cancel stays closed and asks at every item.
  bool asksAgain = false;
  // The areas were classified, and their lines logged, before the step.
  bool afterAreas = false;
};

struct WritingJob {
  const char* name;
  std::function<bool()> run;  // true when it wrote
  std::vector<fs::path> blocks;
  std::vector<PressedStep> steps;
  // Its areas without a row of the district are logged when it writes.
  bool logsAreas = false;
};

TEST_F(StoppedJobTest, AStopPressedInAnyStepIsAskedAndOkLeavesTheOldBlocks) {
  ASSERT_NO_FATAL_FAILURE(DeleteIslands(3));
  // The inputs of the nodings and of the merges.
  ASSERT_TRUE(jobs::ReadLhcLines(state, District().string()));
  jobs::ExportAllLineKinds(context);
  ExportDistrictLevels({99, 116});
  jobs::LoadedModel district;
  ASSERT_TRUE(jobs::ReadDistrict(district, District().string()));

  const jobs::ForestLevel& psk = *jobs::FindForestLevel(95);
  const jobs::LhcMergeContext merge = MergeContext();
  std::vector<fs::path> levelBlocks;
  for (const jobs::ForestLevel& level : jobs::ForestLevels())
    levelBlocks.push_back(District() / ("01_" + level.Prefix + ".BLK"));
  std::vector<fs::path> lineBlocks;
  for (const jobs::LineKind& kind : jobs::LineKinds()) lineBlocks.push_back(lhc / kind.Block);
  const auto allWritten = [](const std::vector<fs::path>& blocks) {
    return std::all_of(blocks.begin(), blocks.end(), [](const fs::path& block) {
      return fs::exists(block / "TN.ARE") && !fs::exists(block / "STARY.TXT");
    });
  };
  const std::string pipeline = " pro 16PSK";
  const std::string carrying = "Carry props area-area", carried = "Přerušit přenos atributů ?";
  // The joining of lines names its form after the line it is at.
  const std::string joining = "L ", joined = "Přerušit zpracování linií ?";
  const std::string lineExport = "Přerušit export linií ?";
  // The nodings and the merges replace the object model: the levels go first.
  const WritingJob writingJobs[] = {
      {"stand groups",
       [&] { return jobs::ExportForestLevel(LevelContext(district, District()), psk) == jobs::ExportResult::Written; },
       {District() / "01_16PSK.BLK"},
       {{"Načítání linií do QTREE" + pipeline, carried},
        {"Vytváření uzlů v QTREE" + pipeline, carried},
        {"Rušení QTree vazeb na linie" + pipeline, carried},
        {"Zapojování uzlů v QTree" + pipeline, carried},
        {"Tvorba ploch v QTree" + pipeline, carried},
        {"Přiřazení ostrovů k plochám", carried},
        {carrying, carried, true},
        {"Příprava ploch k exportu", "Přerušit export ploch ?", false, true}},
       true},
      {"whole district",
       [&] {
         jobs::ExportWholeDistrict(LevelContext(district, District()));
         return allWritten({levelBlocks.back()});
       },
       levelBlocks,
       {{"Tvorba ploch v QTree" + pipeline, carried}, {carrying, carried, true}},
       true},
      // Its window's stop, pressed while the first level is built.
      {"whole district from its window",
       [&] {
         platform::BreakableJob job;
         jobs::LevelExportContext levels = LevelContext(district, District());
         areas::ExportGauge gauge("Export všech vrstev revíru", static_cast<int>(jobs::ForestLevels().size()),
                                  "Přerušit export vrstev revíru ?");
         levels.NextLevel = [&gauge](int level) { return gauge.step(level); };
         jobs::ExportWholeDistrict(levels);
         return allWritten({levelBlocks.back()});
       },
       levelBlocks,
       {{"Export všech vrstev revíru", carried}},
       true},
      {"line extractions",
       [&] {
         if (!jobs::ReadLhcLines(state, District().string())) return false;
         jobs::ExportAllLineKinds(context);
         return allWritten(lineBlocks);
       },
       lineBlocks,
       {{"Příprava linií k exportu", lineExport}}},
      {"water network",
       [&] { return jobs::NodeWaterLines(context) == jobs::LineJobResult::Written; },
       {lhc / "_30VOD.BLK"},
       {{"Načítání linií do QTREE", lineExport}, {joining, joined, true}}},
      {"LHC areas",
       [&] { return jobs::MergeLhcLayer(merge, jobs::LhcLayer()) == jobs::MergeResult::Written; },
       {lhc / "_11LHC.BLK"},
       {{"Načítání linií do QTREE", carried}, {joining, joined, true}, {carrying, carried, true}}},
      {"ZRO areas",
       [&] { return jobs::MergeLhcLayer(merge, jobs::LhcZroLayer()) == jobs::MergeResult::Written; },
       {lhc / "_91ZRO.BLK"},
       {{"Načítání linií do QTREE", carried}, {joining, joined, true}, {carrying, carried, true}}},
  };
  for (const WritingJob& job : writingJobs) {
    SCOPED_TRACE(job.name);
    ASSERT_TRUE(job.run());
    const Files written = Snapshot(lhc);
    for (const PressedStep& step : job.steps) {
      SCOPED_TRACE(step.caption);
      // Old blocks that differ from what the job writes.
      for (const fs::path& block : job.blocks) test_support::WriteFile(block / "STARY.TXT", "starý blok");
      const Files old = Snapshot(lhc);
      PressedRun run = RunPressed(job.run, step.caption, true);
      EXPECT_EQ(run.questions, std::vector<std::string>{step.question});
      EXPECT_FALSE(run.wrote);
      EXPECT_EQ(Changed(old, Snapshot(lhc)), std::vector<std::string>{});
      // Ended where it was stopped: no later step, no line of an area, one box.
      EXPECT_EQ(run.formsAfterBreak, std::vector<std::string>{});
      const std::size_t areaLines = CountHolding(run.logged, kAreaLine);
      if (!step.afterAreas) {
        EXPECT_EQ(areaLines, 0u);
      }
      EXPECT_EQ(ui->shownTexts().size(), 1u);
      EXPECT_EQ(TimesToldBrokenOff(), 1u);
      EXPECT_EQ(CountHolding(run.logged, jobs::kBrokenOff), 1u);
      // Asked once for the press, the job goes on.
      run = RunPressed(job.run, step.caption, false);
      if (step.asksAgain) {
        EXPECT_FALSE(run.questions.empty());
        EXPECT_EQ(CountHolding(run.questions, step.question), run.questions.size());
      } else {
        EXPECT_EQ(run.questions, std::vector<std::string>{step.question});
      }
      EXPECT_TRUE(run.wrote);
      EXPECT_EQ(Changed(written, Snapshot(lhc)), std::vector<std::string>{});
      EXPECT_EQ(TimesToldBrokenOff(), 0u);
      // Every area line of a step after the areas was logged before the stop.
      if (job.logsAreas) {
        EXPECT_GT(CountHolding(run.logged, kAreaLine), 0u);
      }
      if (step.afterAreas) {
        EXPECT_EQ(areaLines, CountHolding(run.logged, kAreaLine));
      }
    }
  }
}

// The read's steps cannot stop half way; once they are done the read is
// broken off, and nothing of the district stays loaded.
TEST_F(StoppedJobTest, AReadStoppedInItsStepsLoadsNothing) {
  for (const char* step : {"Vytváření lesnické hierarchie", "Výběr linií do hierarchie"}) {
    SCOPED_TRACE(step);
    const auto read = [this] { return jobs::ReadDistrict(state, District().string()); };
    PressedRun run = RunPressed(read, step, true);
    EXPECT_EQ(run.questions, std::vector<std::string>{"Přerušit čtení revíru ?"});
    EXPECT_FALSE(run.wrote);
    EXPECT_EQ(state.GetSubject(), nullptr);
    EXPECT_EQ(state.GetHierarchyRoot(), nullptr);
    EXPECT_TRUE(state.DistrictDirectory.empty());
    ASSERT_EQ(ui->shownTexts().size(), 1u);
    EXPECT_EQ(ui->shownTexts()[0],
              "Revír " + District().string() + " nebyl načten: čtení přerušeno uživatelem; nic není načteno");

    run = RunPressed(read, step, false);
    EXPECT_EQ(run.questions, std::vector<std::string>{"Přerušit čtení revíru ?"});
    EXPECT_TRUE(run.wrote);
    EXPECT_NE(state.GetSubject(), nullptr);
    EXPECT_NE(state.GetHierarchyRoot(), nullptr);
    EXPECT_EQ(state.DistrictDirectory, District().string());
  }
}

}  // namespace
}  // namespace jobs_test
