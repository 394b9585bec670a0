// The files a read loaded from, changed before a later job writes from
// what was loaded (the GIS open beside the program): the job's block would
// mix the district as read with the district as it is. Where what the read
// filed or loaded by changed, no block is written, the user is told once
// which file and that it must be read again, and a new read then writes;
// where only what is copied at the export changed, the block is the one a
// fresh read gives.
#include <algorithm>
#include <chrono>
#include <functional>
#include <set>

#include "app/jobs/line_jobs.h"
#include "dbf_rows.h"
#include "files.h"
#include "jobs_fixture.h"
#include "log_probe.h"

namespace jobs_test {
namespace {

using Files = std::map<std::string, std::string>;
using Rows = test_support::DbfRows;

// Lays the files of one block over another's, as a GIS saving the block:
// its tables with its TN files, which name their rows' elements. What the
// source lacks goes.
void SaveBlockFrom(const fs::path& source, const fs::path& block) {
  std::vector<fs::path> gone;
  for (const fs::directory_entry& file : fs::directory_iterator(block))
    if (!fs::exists(source / file.path().filename())) gone.push_back(file.path());
  for (const fs::path& file : gone) fs::remove(file);
  for (const fs::directory_entry& file : fs::directory_iterator(source))
    fs::copy_file(file.path(), block / file.path().filename(), fs::copy_options::overwrite_existing);
}

// The blocks' files that differ between two snapshots, by name.
std::string Differing(const std::vector<Files>& a, const std::vector<Files>& b) {
  std::string names;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    std::set<std::string> all;
    for (const auto& f : a[i]) all.insert(f.first);
    for (const auto& f : b[i]) all.insert(f.first);
    for (const std::string& name : all) {
      const auto x = a[i].find(name), y = b[i].find(name);
      if (x == a[i].end() || y == b[i].end() || x->second != y->second) names += std::to_string(i) + ":" + name + " ";
    }
  }
  return names;
}

std::size_t TimesTold(const std::vector<std::string>& texts, const std::string& part) {
  return static_cast<std::size_t>(
      std::count_if(texts.begin(), texts.end(), [&](const std::string& t) { return t.find(part) != std::string::npos; }));
}

// The field of the row of area 3 (row 3, a stand of compartment 2) set;
// with `last`, that of the table's last row.
std::function<void(const fs::path&)> SetField(const std::string& field, const std::string& value, bool last = false) {
  return [=](const fs::path& det) {
    std::vector<platform::DbfField> fields;
    test_support::LiveRows(det / "P0110.DBF", fields);
    const auto at = std::find_if(fields.begin(), fields.end(), [&](const auto& f) { return f.name == field; });
    ASSERT_NE(at, fields.end());
    test_support::RewriteRows(
        det / "P0110.DBF", [&](Rows& rows) { (last ? rows.back() : rows[2])[at - fields.begin()] = value; }, true);
  };
}

// One byte of a block file changed and the file saved a second later, its
// size as it was: a vertex moved by a hair, a line given another colour.
std::function<void(const fs::path&)> SaveChangedByte(const char* name, std::size_t at) {
  return [=](const fs::path& block) {
    const fs::path file = block / name;
    const auto before = fs::last_write_time(file);
    std::string bytes = test_support::ReadFile(file);
    ASSERT_LT(at, bytes.size());
    bytes[at] = static_cast<char>(bytes[at] ^ 1);
    test_support::WriteFile(file, bytes);
    fs::last_write_time(file, before + std::chrono::seconds(1));
  };
}

class FilesChangedSinceReadTest : public JobsTest {};

TEST_F(FilesChangedSinceReadTest, AnExportFromAHierarchyTheFilesNoLongerGiveWritesNothingUntilReadAgain) {
  const fs::path det = District() / "DET.BLK";
  const fs::path pristine = dir / "DET.pristine";
  fs::copy(det, pristine, fs::copy_options::recursive);
  // Of two rows of one CISLO the later counts, at the read as at the check.
  const auto copyOfRow3 = [](const fs::path& d) {
    test_support::AppendChangedCopy(d / "P0110.DBF", 3, {{"ODDELENI", "77"}});
  };
  std::vector<platform::DbfField> fields;
  const std::string copyRow = std::to_string(test_support::LiveRows(det / "P0110.DBF", fields).size() + 1);
  const std::string table = (det / "P0110.DBF").string();
  struct LaterEdit {
    const char* name;
    std::function<void(const fs::path&)> atRead;  // the table as the read finds it
    std::function<void(const fs::path&)> edit;    // saved after the read
    std::vector<std::string> named;               // what the refusal names; none: no refusal
  };
  const LaterEdit edits[] = {
      {"compartment", {}, SetField("ODDELENI", "77"), {"P0110.DBF", "řádek 3", "ODDELENI", "a nyní \"77\""}},
      {"compartment blank at the read, then given", SetField("ODDELENI", ""), SetField("ODDELENI", "1"),
       {"P0110.DBF", "ODDELENI", "hodnotu \"\" a nyní \"1\""}},
      {"district", {}, SetField("LS_KOD", "99"), {"P0110.DBF", "LS_KOD", "\"99\""}},
      {"sub-compartment", {}, SetField("DILEC", "z"), {"P0110.DBF", "DILEC", "\"z\""}},
      {"group, to other land", {}, SetField("SKUPINA", "555"), {"P0110.DBF", "SKUPINA", "\"555\""}},
      {"row deleted", {},
       [](const fs::path& d) { test_support::RewriteRows(d / "P0110.DBF", [](Rows& rows) { rows.erase(rows.begin() + 2); }); },
       {"P0110.DBF", "nemá řádek plochy 3"}},
      {"second row added", {},
       [](const fs::path& d) { test_support::AppendChangedCopy(d / "P0110.DBF", 3, {{"ODDELENI", "77"}}); },
       {"P0110.DBF", "ODDELENI", "\"77\""}},
      {"boundaries saved", {}, [&](const fs::path& d) { SaveBlockFrom(District("02") / "DET.BLK", d); },
       {"DET.BLK", "TN.", "byl změněn"}},
      {"boundaries copied back as they were", {},
       [&](const fs::path& d) { SaveBlockFrom(pristine, d); }, {}},
      {"stand label", {}, SetField("POROST", "9"), {}},
      // TN.CRD: 12 bytes of the dummy record, then x and y of each vertex
      // as 6-byte reals, the lowest byte of the mantissa second.
      {"a vertex moved, the boundaries of the same size", {}, SaveChangedByte("TN.CRD", 12 + 1),
       {(det / "TN.CRD").string() + " byl změněn"}},
      // TN.LIN: 103 bytes a line, the first after the dummy; its colour at 9.
      {"a line's colour alone", {}, SaveChangedByte("TN.LIN", 103 + 9),
       {(det / "TN.LIN").string() + " byl změněn"}},
      {"points saved into a block that had none", [](const fs::path& d) { fs::remove(d / "TN.PNT"); },
       [&](const fs::path& d) { fs::copy_file(pristine / "TN.PNT", d / "TN.PNT"); },
       {(det / "TN.PNT").string() + " přibyl"}},
      {"the row of a stand told as not found given",
       [](const fs::path& d) {
         test_support::RewriteRows(d / "P0110.DBF", [](Rows& rows) { rows.erase(rows.begin() + 2); });
       },
       [&](const fs::path& d) {
         fs::copy_file(pristine / "P0110.DBF", d / "P0110.DBF", fs::copy_options::overwrite_existing);
       },
       {table + ", řádek 3: plocha 3 při načtení řádek neměla"}},
      {"table deleted", {}, [](const fs::path& d) { fs::remove(d / "P0110.DBF"); }, {table + " chybí (plocha "}},
      {"the earlier of two rows of a stand", copyOfRow3, SetField("ODDELENI", "5"), {}},
      {"the later of two rows of a stand", copyOfRow3, SetField("ODDELENI", "78", true),
       {table + ", řádek " + copyRow + ": položka ODDELENI měla při načtení hodnotu \"77\" a nyní \"78\""}},
  };
  const jobs::ForestLevel& psk = *jobs::FindForestLevel(95);
  std::vector<fs::path> levelBlocks;
  for (const jobs::ForestLevel& level : jobs::ForestLevels())
    levelBlocks.push_back(District() / ("01_" + level.Prefix + ".BLK"));
  for (const LaterEdit& edit : edits) {
    // Before any export (one level), and after a whole district was
    // exported from the read ("Vše v revíru" again).
    for (const bool afterExport : {false, true}) {
      SCOPED_TRACE(std::string(edit.name) + (afterExport ? ", after an export" : ", before any export"));
      fs::remove_all(det);
      fs::copy(pristine, det, fs::copy_options::recursive);
      if (edit.atRead) edit.atRead(det);
      jobs::LoadedModel model;
      ASSERT_TRUE(jobs::ReadDistrict(model, District().string()));
      int enabled = 0;
      jobs::LevelExportContext context = LevelContext(model, District());
      context.EnableReadButtons = [&] { ++enabled; };
      const auto run = [&] {
        if (afterExport) jobs::ExportWholeDistrict(context);
        return afterExport || jobs::ExportForestLevel(context, psk) == jobs::ExportResult::Written;
      };
      if (afterExport) run();
      const auto blocks = [&] {
        std::vector<Files> all;
        for (const fs::path& block : levelBlocks) all.push_back(fs::exists(block) ? test_support::Snapshot(block) : Files{});
        return all;
      };
      const std::vector<Files> old = blocks();
      edit.edit(det);
      ui->clear();
      test_support::LogProbe log;
      const bool written = run();
      const std::vector<std::string> shown = ui->shownTexts();
      if (edit.named.empty()) {
        EXPECT_TRUE(written);
        EXPECT_EQ(TimesTold(shown, "od načtení změněn"), 0u);
        // The block a fresh start writes from the files as they are now.
        const std::vector<Files> now = blocks();
        ASSERT_TRUE(jobs::ReadDistrict(model, District().string()));
        run();
        EXPECT_EQ(Differing(blocks(), now), "");
        continue;
      }
      EXPECT_EQ(Differing(blocks(), old), "");
      EXPECT_EQ(TimesTold(shown, "od načtení změněn"), 1u);
      const auto told = std::find_if(shown.begin(), shown.end(), [](const std::string& t) {
        return t.find("od načtení změněn") != std::string::npos;
      });
      if (told != shown.end()) {
        EXPECT_NE(told->find("revír načtěte znovu"), std::string::npos) << *told;
        for (const std::string& part : edit.named) EXPECT_NE(told->find(part), std::string::npos) << part << " in " << *told;
      }
      EXPECT_EQ(enabled, 1);
      if (afterExport) {
        EXPECT_TRUE(log.sawLine("; Export všech vrstev revíru ukončen, revír byl od načtení změněn; "
                                "neexportovány vrstvy 14DIL, 91ZRO, 13ODD, 17BZL, 18JP, 19OP, 94REG"))
            << log.all();
      }
      // Read again (a table deleted put back first), the district is
      // written as it is now.
      if (!fs::exists(det / "P0110.DBF")) fs::copy_file(pristine / "P0110.DBF", det / "P0110.DBF");
      ui->clear();
      ASSERT_TRUE(jobs::ReadDistrict(model, District().string()));
      EXPECT_TRUE(run());
      EXPECT_EQ(TimesTold(ui->shownTexts(), "od načtení změněn"), 0u);
      EXPECT_EQ(enabled, 1);
    }
  }
}

class LinesChangedSinceReadTest : public LhcJobTest<jobs::LineJobContext> {};

TEST_F(LinesChangedSinceReadTest, AnExtractionFromLinesOfBlocksSavedSinceWritesNothingUntilReadAgain) {
  const fs::path pristine = dir / "4107.pristine";
  fs::copy(lhc, pristine, fs::copy_options::recursive);
  const fs::path aside = dir / "aside";
  // A block or directory put away before the read and back after it: one
  // the read looked for and did not find.
  const auto away = [&](const fs::path& path) {
    return std::pair<std::function<void()>, std::function<void()>>{[=] { fs::rename(path, aside); },
                                                                  [=] { fs::rename(aside, path); }};
  };
  const auto save = [](const fs::path& block, const fs::path& from) {
    return std::pair<std::function<void()>, std::function<void()>>{{}, [=] { SaveBlockFrom(from, block); }};
  };
  struct LaterChange {
    const char* name;
    std::pair<std::function<void()>, std::function<void()>> change;  // before the read, after it
    std::string named;  // in the refusal; empty: written
    bool whole;         // afterwards the LHC is as it was at the start
  };
  const LaterChange changes[] = {
      {"a district's rides saved", save(District() / "SLU.BLK", District("02") / "SLU.BLK"),
       (District() / "SLU.BLK" / "TN.").string(), false},
      {"a district's boundaries saved", save(District() / "DET.BLK", District("02") / "DET.BLK"),
       (District() / "DET.BLK" / "TN.").string(), false},
      {"the LHC's roads saved", save(lhc / "CES.BLK", District() / "CES.BLK"), (lhc / "CES.BLK" / "TN.").string(),
       false},
      {"a district's rides copied back as they were", save(District() / "SLU.BLK", pristine / "01" / "SLU.BLK"), "",
       true},
      {"a district's rides put in", away(District("02") / "SLU.BLK"),
       "blok " + (District("02") / "SLU.BLK").string() + " přibyl", true},
      {"a district's roads put in", away(District("02") / "CES.BLK"),
       "blok " + (District("02") / "CES.BLK").string() + " přibyl", true},
      {"a district put in", away(District("02")), "blok " + (District("02") / "DET.BLK").string() + " přibyl", true},
  };
  const fs::path roads = lhc / "_20CES.BLK";
  ASSERT_TRUE(jobs::ReadLhcLines(state, District().string()));
  ASSERT_EQ(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(86)), jobs::LineJobResult::Written);
  const Files whole = test_support::Snapshot(roads);
  for (const LaterChange& change : changes) {
    SCOPED_TRACE(change.name);
    if (change.change.first) change.change.first();
    ASSERT_TRUE(jobs::ReadLhcLines(state, District().string()));
    jobs::ExportAllLineKinds(context);
    const Files old = test_support::Snapshot(roads);
    change.change.second();
    ui->clear();
    log.clear();
    const jobs::LineJobResult result = jobs::ExportLinesByDruh(context, *jobs::FindLineKind(86));
    const std::vector<std::string> shown = ui->shownTexts();
    if (change.named.empty()) {
      EXPECT_EQ(result, jobs::LineJobResult::Written);
      EXPECT_EQ(TimesTold(shown, "od načtení změněn"), 0u);
      continue;
    }
    EXPECT_EQ(result, jobs::LineJobResult::ReadOutdated);
    EXPECT_EQ(Differing({test_support::Snapshot(roads)}, {old}), "");
    ASSERT_EQ(TimesTold(shown, "od načtení změněn"), 1u);
    const std::string told = *std::find_if(shown.begin(), shown.end(), [](const std::string& t) {
      return t.find("od načtení změněn") != std::string::npos;
    });
    EXPECT_NE(told.find(change.named), std::string::npos) << told;
    EXPECT_NE(told.find("linie LHC načtěte znovu"), std::string::npos) << told;
    // Every kind: the first refused stops the run, told once.
    ui->clear();
    log.clear();
    jobs::ExportAllLineKinds(context);
    EXPECT_EQ(TimesTold(ui->shownTexts(), "od načtení změněn"), 1u);
    EXPECT_EQ(TimesTold(log, "neexportovány linie"), 1u);
    // Read again, the roads are written from the blocks as they are: every
    // district's, where the LHC is whole again.
    ui->clear();
    ASSERT_TRUE(jobs::ReadLhcLines(state, District().string()));
    EXPECT_EQ(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(86)), jobs::LineJobResult::Written);
    EXPECT_EQ(TimesTold(ui->shownTexts(), "od načtení změněn"), 0u);
    if (change.whole) {
      EXPECT_EQ(Differing({test_support::Snapshot(roads)}, {whole}), "");
    } else {
      for (const char* block : {"CES.BLK", "01/SLU.BLK", "01/DET.BLK"}) SaveBlockFrom(pristine / block, lhc / block);
    }
  }
}

// A noding or a merge replaces the lines the LHC's read loaded with its
// own network or areas: an extraction afterwards would find none of its
// kinds there and write nothing as if the LHC had no such line. It says
// that the lines must be read again, keeps the old block, and after a read
// writes.
TEST_F(LinesChangedSinceReadTest, AnExtractionAfterANodingOrMergeAsksForTheLinesToBeReadAgain) {
  ExportDistrictLevels({99});
  struct Replacing {
    const char* name;
    std::function<bool()> run;
  };
  const Replacing jobsThatReplace[] = {
      {"water noding", [&] { return jobs::NodeWaterLines(context) == jobs::LineJobResult::Written; }},
      {"communication noding", [&] { return jobs::NodeCommunicationLines(context) == jobs::LineJobResult::Written; }},
      {"LHC merge",
       [&] { return jobs::MergeLhcLayer(MergeContext(), jobs::LhcLayer()) == jobs::MergeResult::Written; }},
  };
  const fs::path roads = lhc / "_20CES.BLK";
  for (const Replacing& job : jobsThatReplace) {
    SCOPED_TRACE(job.name);
    ASSERT_TRUE(jobs::ReadLhcLines(state, District().string()));
    jobs::ExportAllLineKinds(context);
    ASSERT_TRUE(job.run());
    const Files old = test_support::Snapshot(roads);
    ui->clear();
    log.clear();
    EXPECT_EQ(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(86)), jobs::LineJobResult::NoSubject);
    jobs::ExportAllLineKinds(context);
    EXPECT_EQ(Differing({test_support::Snapshot(roads)}, {old}), "");
    EXPECT_EQ(TimesTold(log, "žádná linie"), 0u);
    // Once for the extraction, once for the whole run, each naming the job.
    EXPECT_EQ(TimesTold(ui->shownTexts(), "linie LHC načtěte znovu"), 2u);
    EXPECT_EQ(TimesTold(ui->shownTexts(), job.name == std::string("LHC merge") ? "Tvorba vrstvy LHC" : "Uzlování"), 2u);
    ASSERT_TRUE(jobs::ReadLhcLines(state, District().string()));
    EXPECT_EQ(jobs::ExportLinesByDruh(context, *jobs::FindLineKind(86)), jobs::LineJobResult::Written);
  }
}

}  // namespace
}  // namespace jobs_test
