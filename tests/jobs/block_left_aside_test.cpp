// A block that a commit by two renames left only aside, whole, when its run
// was killed between them: every reader puts it back and reads all of it,
// as if the run had never started; where a live writer holds it or it cannot
// go back, the reader says so by name rather than take it for missing.
#include <functional>
#include <set>

#include "app/jobs/det_gis_check.h"
#include "app/jobs/lhc_merge.h"
#include "app/jobs/line_jobs.h"
#include "geometry/area_element.h"
#include "geometry/poly_element.h"
#include "gisblock/staged_block.h"
#include "platform/codepage.h"
#include "files.h"
#include "jobs_fixture.h"
#include "killed_run.h"
#include "read_only.h"

namespace jobs_test {
namespace {

// The files of a block, each by its name, size and the hash of its bytes.
std::set<std::string> BlockFiles(const fs::path& block) {
  std::set<std::string> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(block, ec)) {
    const std::string bytes = test_support::ComparableBytes(entry.path());
    files.insert(entry.path().filename().string() + " " + std::to_string(bytes.size()) + " #" +
                 std::to_string(std::hash<std::string>()(bytes)));
  }
  return files;
}

// Lines and areas under an element of the model.
void CountShapes(TElement* element, int& lines, int& areas) {
  if (!element) return;
  if (element->Is<TAreaElement>()) {
    ++areas;
  } else if (element->Is<TPolyLineElement>()) {
    ++lines;
  } else if (auto* entity = dynamic_cast<TEntity*>(element)) {
    for (TElement* item : entity->Items()) CountShapes(item, lines, areas);
  }
}

class BlockLeftAsideTest : public LhcJobTest<jobs::LineJobContext> {
 protected:
  // What a commit of a new block leaves where the file system cannot
  // exchange two directories and the run is killed between its two
  // renames: the old block aside, the new one under its staging name.
  static void LeaveAside(const fs::path& block) {
    const fs::path aside = gisblock::StagedBlock::backupFor(block);
    ASSERT_TRUE(test_support::KilledAfterRenameTo(aside, [&block] {
      gisblock::StagedBlock::setExchangeInOneStep(false);
      gisblock::StagedBlock staged(block.string());
      if (!staged.ok()) return;
      std::ofstream(staged.staging() / "TN.LIN", std::ios::binary) << "half a block";
      staged.commit();
    }));
    ASSERT_FALSE(fs::exists(block));
    ASSERT_TRUE(fs::is_directory(aside));
  }
  // What the read found: the loaded lines and areas, and what the user was told.
  std::string Loaded(bool read) {
    int lines = 0, areas = 0;
    CountShapes(state.GetSubject(), lines, areas);
    return std::string(read ? "read" : "not read") + ", " + std::to_string(lines) + " lines, " +
           std::to_string(areas) + " areas" + Told();
  }
  std::string Told() {
    std::string told;
    for (const std::string& text : ui->shownTexts()) told += "\n" + text;
    for (const std::string& text : log) told += "\n" + text;
    return told;
  }
  // A written block's line file, by its size and its bytes' hash.
  std::string Noded(jobs::LineJobResult result, const char* block) {
    const std::string lines = FileBytes(lhc / block / "TN.LIN");
    return std::to_string(static_cast<int>(result)) + ", " + std::to_string(lines.size()) + " bytes #" +
           std::to_string(std::hash<std::string>()(lines)) + Told();
  }
  std::string Checked(const std::string& button) {
    std::string opened;
    jobs::CheckExportedLayer(button, District().string(), District().string(), [&](const jobs::LayerComparison& c) {
      opened += c.LevelCode + " " + c.DetTable + " " + c.GisTable + "\n";
    });
    return opened + Told();
  }
  int CheckOpens(const std::string& button) {
    return jobs::CheckExportedLayer(button, District().string(), District().string(), [](const auto&) {});
  }
  void ExtractLines() {
    ASSERT_TRUE(jobs::ReadLhcLines(state, District().string()));
    jobs::ExportAllLineKinds(context);
  }
  void ExportLevel(int command) {
    ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
    ASSERT_EQ(jobs::ExportForestLevel(LevelContext(state, District()), *jobs::FindForestLevel(command)),
              jobs::ExportResult::Written);
  }
};

TEST_F(BlockLeftAsideTest, EveryReaderPutsTheBlockBackAndReadsItWhole) {
  struct Case {
    const char* reader;
    fs::path block;
    std::function<void()> prepare;
    std::function<std::string()> read;
  };
  const Case cases[] = {
      {"district read", District() / "DET.BLK", [] {},
       [&] { return Loaded(jobs::ReadDistrict(state, District().string())); }},
      {"LHC line read, a district's block", District("02") / "SLU.BLK", [] {},
       [&] { return Loaded(jobs::ReadLhcLines(state, District().string())); }},
      {"LHC line read, the LHC's roads", lhc / "CES.BLK", [] {},
       [&] { return Loaded(jobs::ReadLhcLines(state, District().string())); }},
      {"noding of the communications", lhc / "_20PRU.BLK", [&] { ExtractLines(); },
       [&] { return Noded(jobs::NodeCommunicationLines(context), "_20KOM.BLK"); }},
      {"noding of the waters", lhc / "_30POT.BLK", [&] { ExtractLines(); },
       [&] { return Noded(jobs::NodeWaterLines(context), "_30VOD.BLK"); }},
      // A district whose level was never exported keeps the LHC block.
      {"LHC merge, a district's DET block", District("02") / "DET.BLK",
       [&] {
         ExportDistrictLevels({99});
         fs::remove_all(District("02") / "02_94REG.BLK");
       },
       [&] { return std::to_string(static_cast<int>(jobs::MergeLhcLayer(MergeContext(), jobs::LhcLayer()))) + Told(); }},
      {"DET-GIS check, the level's block", District() / "01_16PSK.BLK", [&] { ExportLevel(95); },
       [&] { return Checked("btKPSk"); }},
      {"DET-GIS check, the district's DET block", District() / "DET.BLK", [&] { ExportLevel(95); },
       [&] { return Checked("btKPSk"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reader);
    c.prepare();
    ui->clear();
    log.clear();
    const std::string whole = c.read();
    const std::set<std::string> files = BlockFiles(c.block);
    ASSERT_FALSE(files.empty());
    LeaveAside(c.block);
    ui->clear();
    log.clear();
    EXPECT_EQ(c.read(), whole);
    EXPECT_EQ(BlockFiles(c.block), files);
    EXPECT_FALSE(fs::exists(gisblock::StagedBlock::backupFor(c.block)));
  }
}

// Names are looked up in any letter case: a block whose directory the disk
// spells otherwise than its readers and writers name it is put back, and
// what its writers left is cleared, all the same.
TEST_F(BlockLeftAsideTest, ABlockSpelledOtherwiseOnTheDiskIsPutBackAndClearedAlike) {
  const fs::path det = District() / "det.blk", level = District() / "01_16psk.blk";
  ExportLevel(95);
  fs::rename(District() / "DET.BLK", det);
  fs::rename(District() / "01_16PSK.BLK", level);
  struct Case {
    const char* job;
    fs::path block;
    std::function<void()> leave;
    std::function<void()> run;
  };
  const Case cases[] = {
      {"district read of a block left aside", det, [&] { LeaveAside(det); },
       [&] { ASSERT_TRUE(jobs::ReadDistrict(state, District().string())); }},
      {"level export over a block left aside", level, [&] { LeaveAside(level); }, [&] { ExportLevel(95); }},
      {"level export after one killed while the block lay nowhere", level,
       [&] { fs::create_directory(District() / ".01_16PSK.BLK~999999-1.new"); }, [&] { ExportLevel(95); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.job);
    // A table's header holds the day it was written: the sizes tell the blocks apart.
    const auto sizes = [](const fs::path& block) {
      std::set<std::string> files;
      for (const std::string& file : BlockFiles(block)) files.insert(file.substr(0, file.find(" #")));
      return files;
    };
    const std::set<std::string> files = sizes(c.block);
    c.leave();
    ui->clear();
    log.clear();
    c.run();
    EXPECT_EQ(sizes(c.block), files) << Told();
    // A reader puts the block back; the writer's half block is the next writer's to clear.
    std::set<std::string> beside;
    for (const auto& entry : fs::directory_iterator(District())) {
      const std::string name = entry.path().filename().string();
      if (name.ends_with(".old") || (c.block == level && platform::lowerUtf8(name).starts_with(".01_16"))) beside.insert(name);
    }
    EXPECT_EQ(beside, std::set<std::string>{});
    EXPECT_FALSE(fs::exists(District() / "DET.BLK") && !fs::equivalent(District() / "DET.BLK", det));
  }
}

// The block left aside stays there, whole, for the writer busy with it, or
// until it can go back.
TEST_F(BlockLeftAsideTest, AReaderRefusesABlockLeftAsideThatCannotGoBackByName) {
  const fs::path det = District() / "DET.BLK", reg = District("02") / "02_94REG.BLK";
  const std::string busy = " právě zapisuje jiná úloha; zkuste to znovu, až skončí";
  const std::string stuck = " a nelze jej vrátit na místo: přístup odepřen";
  const std::string detAside = (District() / ".DET.BLK.old").string();
  const std::string detTable = (det / "P0110.DBF").string();
  ExportDistrictLevels({99});
  struct Case {
    const char* reader;
    bool writerLive;  // else the directory cannot be written
    fs::path block;
    std::function<void()> read;
    std::string told;
  };
  const Case cases[] = {
      {"district read", true, det, [&] { EXPECT_FALSE(jobs::ReadDistrict(state, District().string())); },
       "Revír " + District().string() + " nebyl načten: do bloku " + det.string() + busy + "; nic není načteno"},
      {"district read", false, det, [&] { EXPECT_FALSE(jobs::ReadDistrict(state, District().string())); },
       "Revír " + District().string() + " nebyl načten: blok " + det.string() + " leží jen jako " + detAside + stuck +
           "; nic není načteno"},
      {"DET-GIS check", true, det, [&] { EXPECT_EQ(CheckOpens("btKPSk"), 0); },
       "Databázi " + detTable + " nelze otevřít: do bloku " + det.string() + busy},
      {"DET-GIS check", false, det, [&] { EXPECT_EQ(CheckOpens("btKPSk"), 0); },
       "Databázi " + detTable + " nelze otevřít: blok " + det.string() + " leží jen jako " + detAside + stuck},
      {"LHC merge", true, reg,
       [&] { EXPECT_EQ(jobs::MergeLhcLayer(MergeContext(), jobs::LhcLayer()), jobs::MergeResult::Failed); },
       "Blok " + (lhc / "_11LHC.BLK").string() + " nebyl zapsán: do bloku " + reg.string() + busy +
           ". Žádný blok nebyl zapsán."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.reader) + (c.writerLive ? ", a writer between its renames" : ", read-only"));
    const std::set<std::string> files = BlockFiles(c.block);
    const fs::path aside = gisblock::StagedBlock::backupFor(c.block);
    ui->clear();
    log.clear();
    if (c.writerLive) {
      gisblock::StagedBlock writer(c.block.string());
      ASSERT_TRUE(writer.ok()) << writer.error();
      fs::rename(c.block, aside);  // the first of its two renames
      c.read();
    } else {
      LeaveAside(c.block);
      test_support::ReadOnlyTree readOnly(c.block.parent_path());
      c.read();
    }
    ASSERT_FALSE(ui->shownTexts().empty());
    EXPECT_EQ(ui->shownTexts().back(), c.told);
    EXPECT_FALSE(fs::exists(c.block));
    EXPECT_EQ(BlockFiles(aside), files);
    fs::rename(aside, c.block);
  }
}

}  // namespace
}  // namespace jobs_test
