// Jobs killed at every step of their file work, then run again: no block
// is lost or left half old and half new, what the killed run left is
// cleared or put back by the next, and a job that reads the block reads it
// whole.
#include <functional>
#include <map>
#include <set>

#include "app/jobs/det_gis_check.h"
#include "app/jobs/lhc_merge.h"
#include "app/jobs/line_jobs.h"
#include "gisblock/staged_block.h"
#include "files.h"
#include "jobs_fixture.h"
#include "killed_run.h"
#include "read_only.h"
#include "temp_dir.h"

namespace jobs_test {
namespace {

using test_support::StepRun;

// A block by its files' bytes; a table's header holds the day it was
// written, which does not tell two blocks apart.
using BlockBytes = std::map<std::string, std::size_t>;

BlockBytes BytesOf(const fs::path& block) {
  BlockBytes files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(block, ec)) {
    files[entry.path().filename().string()] = std::hash<std::string>()(test_support::ComparableBytes(entry.path()));
  }
  return files;
}

// Whether a block a killed run left is the old one or the new one. The
// readers of a block write its index files one at a time, as they first
// locate in each table: each is judged by itself, old or new whole.
bool OldOrNew(const BlockBytes& now, const BlockBytes& old, const BlockBytes* fresh) {
  auto isIndex = [](const std::string& name) { return name.ends_with(".IND"); };
  auto withoutIndexes = [&](const BlockBytes& block) {
    BlockBytes files;
    for (const auto& [name, bytes] : block)
      if (!isIndex(name)) files.emplace(name, bytes);
    return files;
  };
  auto holds = [](const BlockBytes* block, const std::string& name, std::size_t bytes) {
    return block && block->contains(name) && block->at(name) == bytes;
  };
  const BlockBytes files = withoutIndexes(now);
  if (files != withoutIndexes(old) && (!fresh || files != withoutIndexes(*fresh))) return false;
  for (const auto& [name, bytes] : now)
    if (isIndex(name) && !holds(&old, name, bytes) && !holds(fresh, name, bytes)) return false;
  // An old index goes only with the old block.
  for (const auto& [name, bytes] : old)
    if (isIndex(name) && !now.contains(name) && (!fresh || fresh->contains(name))) return false;
  return true;
}

// Every block directory of the tree by its bytes, and every name beside
// the blocks that is no block (hidden ones: locks, staging, blocks aside).
struct TreeState {
  std::map<fs::path, BlockBytes> blocks;
  std::set<fs::path> hidden;
};

TreeState StateOf(const fs::path& root) {
  TreeState state;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(".")) state.hidden.insert(fs::relative(entry.path(), root));
    else if (entry.is_directory() && name.size() > 4 && name.ends_with(".BLK"))
      state.blocks[fs::relative(entry.path(), root)] = BytesOf(entry.path());
  }
  return state;
}

class KilledJobsTest : public LhcJobTest<jobs::LineJobContext> {
 protected:
  // The DET-GIS check of the stand groups, which reads their block.
  void CheckStandGroups() {
    EXPECT_GT(jobs::CheckExportedLayer("btKPSk", District().string(), District().string(), [](const auto&) {}), 0);
  }
  // The jobs write under the LHC directory alone.
  void Restore(const fs::path& from) {
    fs::remove_all(lhc);
    fs::copy(from, lhc, fs::copy_options::recursive);
  }

  struct Job {
    const char* name;
    std::function<void()> prepare;  // in this process, on the tree every run starts from
    std::function<void()> run;      // asserts that it wrote its blocks
    std::function<void()> read;     // a job that reads what it wrote
  };

  // Kills the job after each of its steps in turn; after each, every block
  // is the old one, the new one or the old one aside, and the job run again
  // and a reader of its blocks find the tree as a run never killed left it.
  void KillAtEveryStep(const Job& job) {
    job.prepare();
    // A file system that cannot exchange two directories in one step puts
    // the old block aside first.
    for (bool exchange : {true, false}) {
      gisblock::StagedBlock::setExchangeInOneStep(exchange);
      KillAtEveryStepOnce(job, exchange);
    }
    gisblock::StagedBlock::setExchangeInOneStep(true);
  }
  void KillAtEveryStepOnce(const Job& job, bool exchange) {
    SCOPED_TRACE(std::string(job.name) + (exchange ? "" : ", by two renames"));
    const test_support::TempDir copy("base");
    const fs::path base = copy / "4107";
    fs::copy(lhc, base, fs::copy_options::recursive);
    const TreeState before = StateOf(dir);
    ASSERT_TRUE(test_support::RunInChild(job.run));
    const TreeState after = StateOf(dir);
    ASSERT_NE(before.blocks, after.blocks);
    int steps = 1;
    for (;; ++steps) {
      SCOPED_TRACE("killed after step " + std::to_string(steps));
      Restore(base);
      const StepRun killed = test_support::RunKilledAfterSteps(steps, job.run);
      ASSERT_NE(killed, StepRun::Lost);
      if (killed == StepRun::Finished) break;
      const TreeState left = StateOf(dir);
      for (const auto& [block, bytes] : before.blocks) {
        if (left.blocks.contains(block)) {
          const BlockBytes& now = left.blocks.at(block);
          EXPECT_TRUE(OldOrNew(now, bytes, after.blocks.contains(block) ? &after.blocks.at(block) : nullptr)) << block;
        } else {
          // Aside, whole, for the next reader or writer to put back.
          const fs::path aside = gisblock::StagedBlock::backupFor(dir / block);
          EXPECT_EQ(BytesOf(aside), bytes) << block << " is lost";
        }
      }
      for (const auto& [block, bytes] : left.blocks) {
        if (!before.blocks.contains(block)) {
          EXPECT_EQ(bytes, after.blocks.at(block)) << block;
        }
      }
      EXPECT_TRUE(test_support::RunInChild(job.run));
      const TreeState again = StateOf(dir);
      EXPECT_EQ(again.blocks, after.blocks);
      EXPECT_EQ(again.hidden, after.hidden);
      EXPECT_TRUE(test_support::RunInChild(job.read));
      if (HasFailure()) break;
    }
    EXPECT_GT(steps, 2);
    Restore(base);
  }
};

TEST_F(KilledJobsTest, ALevelExportKilledAtAnyStep) {
  KillAtEveryStep({"Sku",
                   [&] {
                     ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
                     fs::copy(District("02") / "SLU.BLK", District() / "01_16PSK.BLK");
                   },
                   [&] {
                     EXPECT_EQ(jobs::ExportForestLevel(LevelContext(state, District()), *jobs::FindForestLevel(95)),
                               jobs::ExportResult::Written);
                   },
                   [&] { CheckStandGroups(); }});
}

TEST_F(KilledJobsTest, EveryLevelOfADistrictKilledAtAnyStep) {
  KillAtEveryStep({"Vše v revíru",
                   [&] {
                     ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
                     fs::copy(District("02") / "SLU.BLK", District() / "01_14DIL.BLK");
                   },
                   [&] {
                     ui->clear();
                     jobs::ExportWholeDistrict(LevelContext(state, District()));
                     EXPECT_TRUE(ui->shownTexts().empty()) << ui->shownTexts().front();
                   },
                   [&] { CheckStandGroups(); }});
}

TEST_F(KilledJobsTest, TheMergesKilledAtAnyStep) {
  for (const jobs::LhcLayerKind* layer : {&jobs::LhcLayer(), &jobs::LhcZroLayer()}) {
    KillAtEveryStep({layer->Block,
                     [&] {
                       if (!fs::exists(District() / "01_94REG.BLK")) ExportDistrictLevels({99, 116});
                       fs::remove_all(lhc / layer->Block);
                       fs::copy(District("02") / "SLU.BLK", lhc / layer->Block);
                     },
                     [&] { EXPECT_EQ(jobs::MergeLhcLayer(MergeContext(), *layer), jobs::MergeResult::Written); },
                     [&] { EXPECT_FALSE(ReadAreaRecords(lhc / layer->Block).empty()); }});
  }
}

TEST_F(KilledJobsTest, TheExtractionsAndNodingsKilledAtAnyStep) {
  const auto extract = [&](int command) {
    return [this, command] {
      EXPECT_EQ(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(command)), jobs::LineJobResult::Written);
    };
  };
  const auto nodeRoads = [&] { EXPECT_EQ(jobs::NodeCommunicationLines(context), jobs::LineJobResult::Written); };
  const auto nodeWaters = [&] { EXPECT_EQ(jobs::NodeWaterLines(context), jobs::LineJobResult::Written); };
  // An old block of another's bytes under the name.
  const auto old = [&](const char* block) {
    return [this, block] {
      fs::remove_all(lhc / block);
      fs::copy(District("02") / "SLU.BLK", lhc / block);
    };
  };
  const auto readNoded = [&] {
    std::unique_ptr<TGeliXBlokReader> reader(TGeliXBlokReader::CreateForBlock((lhc / "_20KOM.BLK").string()));
    ASSERT_TRUE(reader);
    TEntity model;
    reader->SetObjectModel(&model);
    std::unique_ptr<TPolyLineString> lines(reader->ReadLines());
    EXPECT_TRUE(lines && !lines->Items().empty());
  };
  ASSERT_TRUE(jobs::ReadLhcLines(state, District().string()));
  jobs::ExportAllLineKinds(context);
  // Roads, rides and streams are written alike: two stand for the three.
  KillAtEveryStep({"Cesty", old("_20CES.BLK"), extract(86), nodeRoads});
  KillAtEveryStep({"Vody", old("_30POT.BLK"), extract(88), nodeWaters});
  KillAtEveryStep({"Uzlování komunikací", old("_20KOM.BLK"), nodeRoads, readNoded});
}

// A tree on a read-only share: every reader reads it, needing no lock, no
// index file and no put-back; every writer refuses by the block's name and
// leaves every block as it was.
TEST_F(KilledJobsTest, OnAReadOnlyShareReadersReadAndWritersRefuseByName) {
  ExportDistrictLevels({99, 116, 95});
  ASSERT_TRUE(jobs::ReadLhcLines(state, District().string()));
  jobs::ExportAllLineKinds(context);
  ASSERT_EQ(jobs::NodeCommunicationLines(context), jobs::LineJobResult::Written);
  ASSERT_EQ(jobs::MergeLhcLayer(MergeContext(), jobs::LhcLayer()), jobs::MergeResult::Written);
  const TreeState before = StateOf(dir);
  const std::string refused = " nelze zapsat: přístup odepřen";
  struct Case {
    const char* job;
    std::function<void()> run;
    std::vector<std::string> told;  // the boxes
  };
  const Case cases[] = {
      {"district read", [&] { EXPECT_TRUE(jobs::ReadDistrict(state, District().string())); }, {}},
      {"DET-GIS check",
       [&] {
         EXPECT_EQ(jobs::CheckExportedLayer("btKPSk", District().string(), District().string(), [](const auto&) {}),
                   1);
       },
       {}},
      {"Sku",
       [&] {
         EXPECT_EQ(jobs::ExportForestLevel(LevelContext(state, District()), *jobs::FindForestLevel(95)),
                   jobs::ExportResult::NotWritten);
       },
       {"Blok " + (District() / "01_16PSK.BLK").string() + refused}},
      {"LHC merge",
       [&] { EXPECT_EQ(jobs::MergeLhcLayer(MergeContext(), jobs::LhcLayer()), jobs::MergeResult::Failed); },
       {"Blok " + (lhc / "_11LHC.BLK").string() + refused}},
      {"LHC line read", [&] { EXPECT_TRUE(jobs::ReadLhcLines(state, District().string())); }, {}},
      {"Cesty",
       [&] {
         EXPECT_EQ(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(86)), jobs::LineJobResult::NotWritten);
       },
       {"Blok " + (lhc / "_20CES.BLK").string() + refused}},
      {"Uzlování komunikací",
       [&] { EXPECT_EQ(jobs::NodeCommunicationLines(context), jobs::LineJobResult::NotWritten); },
       {"Blok " + (lhc / "_20KOM.BLK").string() + refused}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.job);
    ui->clear();
    {
      test_support::ReadOnlyTree readOnly(dir);
      c.run();
    }
    EXPECT_EQ(ui->shownTexts(), c.told);
    const TreeState now = StateOf(dir);
    EXPECT_EQ(now.blocks, before.blocks);
    EXPECT_EQ(now.hidden, before.hidden);
  }
}

}  // namespace
}  // namespace jobs_test
