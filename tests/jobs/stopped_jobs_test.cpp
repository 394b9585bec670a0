// A stop pressed on the progress form of any step of a job, also of a step
// that cannot stop half way, is the job's: its next point that can stop
// asks. OK writes nothing more and leaves the old blocks as they were;
// Cancel lets the job write as if nobody had pressed.
#include <functional>

#include "app/jobs/lhc_merge.h"
#include "app/jobs/line_jobs.h"
#include "files.h"
#include "jobs_fixture.h"

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

// A district large enough that the steps of the level exports and of the
// nodings put up their progress forms.
class StoppedJobTest : public LhcJobTest<jobs::LineJobContext> {
 protected:
  const fs::path& Tree() const override { return test_support::GeneratedTree("--seed 1 --size 80x70"); }

  // The job run once more with the user closing the form of `step` and
  // answering the question `ok`; the questions put.
  std::vector<std::string> RunPressed(const std::function<bool()>& job, const std::string& step, bool ok,
                                      bool& wrote) {
    platform::ScopedScriptedProgressForms pressed;
    pressed->closeCaptioned(step);
    pressed->queueBreakAnswer(ok);
    ui->clear();
    wrote = job();
    return pressed->breakQuestions();
  }
  bool ToldBrokenOff() {
    for (const std::string& text : ui->shownTexts())
      if (text.find("přerušen") != std::string::npos) return true;
    return false;
  }
};

struct WritingJob {
  const char* name;
  std::function<bool()> run;  // true when it wrote
  std::vector<fs::path> blocks;
  std::string question;  // of its first point that can stop after the steps
  std::vector<std::string> steps;
};

TEST_F(StoppedJobTest, AStopPressedInAnyStepIsAskedAndOkLeavesTheOldBlocks) {
  // The inputs of the nodings and of the merges.
  ASSERT_TRUE(jobs::ReadLhcLines(state, District().string()));
  jobs::ExportAllLineKinds(context);
  ExportDistrictLevels({99, 116});
  jobs::LoadedModel district;
  ASSERT_TRUE(jobs::ReadDistrict(district, District().string()));

  const jobs::ForestLevel& psk = *jobs::FindForestLevel(95);
  jobs::LhcMergeContext merge;
  merge.Model = &state;
  merge.LhcDirectory = lhc.string();
  merge.GisRoot = context.GisRoot;
  std::vector<fs::path> levelBlocks;
  for (const jobs::ForestLevel& level : jobs::ForestLevels())
    levelBlocks.push_back(District() / ("01_" + level.Prefix + ".BLK"));
  const std::string pipeline = " pro 16PSK";
  // The nodings and the merge replace the object model: the levels go first.
  const WritingJob writingJobs[] = {
      {"stand groups",
       [&] { return jobs::ExportForestLevel(LevelContext(district, District()), psk) == jobs::ExportResult::Written; },
       {District() / "01_16PSK.BLK"},
       "Přerušit přenos atributů ?",
       {"Načítání linií do QTREE" + pipeline, "Vytváření uzlů v QTREE" + pipeline,
        "Rušení QTree vazeb na linie" + pipeline, "Zapojování uzlů v QTree" + pipeline,
        "Tvorba ploch v QTree" + pipeline, "Přiřazení ostrovů k plochám"}},
      {"whole district",
       [&] {
         jobs::ExportWholeDistrict(LevelContext(district, District()));
         return fs::exists(levelBlocks.back() / "TN.ARE") && !fs::exists(levelBlocks.back() / "STARY.TXT");
       },
       levelBlocks,
       "Přerušit přenos atributů ?",
       {"Tvorba ploch v QTree" + pipeline}},
      {"water network",
       [&] { return jobs::NodeWaterLines(context) == jobs::LineJobResult::Written; },
       {lhc / "_30VOD.BLK"},
       "Přerušit export linií ?",
       {"Načítání linií do QTREE"}},
      {"LHC areas",
       [&] { return jobs::MergeLhcLayer(merge, jobs::LhcLayer()) == jobs::MergeResult::Written; },
       {lhc / "_11LHC.BLK"},
       "Přerušit přenos atributů ?",
       {"Načítání linií do QTREE"}},
  };
  for (const WritingJob& job : writingJobs) {
    SCOPED_TRACE(job.name);
    ASSERT_TRUE(job.run());
    const Files written = Snapshot(lhc);
    for (const std::string& step : job.steps) {
      SCOPED_TRACE(step);
      // Old blocks that differ from what the job writes.
      for (const fs::path& block : job.blocks) test_support::WriteFile(block / "STARY.TXT", "starý blok");
      const Files old = Snapshot(lhc);
      bool wrote = true;
      EXPECT_EQ(RunPressed(job.run, step, true, wrote), std::vector<std::string>{job.question});
      EXPECT_FALSE(wrote);
      EXPECT_EQ(Changed(old, Snapshot(lhc)), std::vector<std::string>{});
      EXPECT_TRUE(ToldBrokenOff());
      // Asked once for the press, the job goes on.
      EXPECT_EQ(RunPressed(job.run, step, false, wrote), std::vector<std::string>{job.question});
      EXPECT_TRUE(wrote);
      EXPECT_EQ(Changed(written, Snapshot(lhc)), std::vector<std::string>{});
      EXPECT_FALSE(ToldBrokenOff());
    }
  }
}

// The read's steps cannot stop half way; once they are done the read is
// broken off, and nothing of the district stays loaded.
TEST_F(StoppedJobTest, AReadStoppedInItsStepsLoadsNothing) {
  for (const char* step : {"Vytváření lesnické hierarchie", "Výběr linií do hierarchie"}) {
    SCOPED_TRACE(step);
    bool loaded = true;
    const auto read = [this] { return jobs::ReadDistrict(state, District().string()); };
    EXPECT_EQ(RunPressed(read, step, true, loaded), std::vector<std::string>{"Přerušit čtení revíru ?"});
    EXPECT_FALSE(loaded);
    EXPECT_EQ(state.GetSubject(), nullptr);
    EXPECT_EQ(state.GetHierarchyRoot(), nullptr);
    EXPECT_TRUE(state.DistrictDirectory.empty());
    ASSERT_EQ(ui->shownTexts().size(), 1u);
    EXPECT_EQ(ui->shownTexts()[0],
              "Revír " + District().string() + " nebyl načten: čtení přerušeno uživatelem; nic není načteno");

    EXPECT_EQ(RunPressed(read, step, false, loaded), std::vector<std::string>{"Přerušit čtení revíru ?"});
    EXPECT_TRUE(loaded);
    EXPECT_NE(state.GetSubject(), nullptr);
    EXPECT_NE(state.GetHierarchyRoot(), nullptr);
    EXPECT_EQ(state.DistrictDirectory, District().string());
  }
}

}  // namespace
}  // namespace jobs_test
