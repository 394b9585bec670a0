// Level exports of a generated district: the blocks written must hold the
// generator's areas of each level, and a level that cannot be exported must
// leave the old block and the disk as they were.
#include "app/jobs/forest_level_export.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <fstream>
#include <thread>
#include <iterator>
#include <map>
#include <random>

#include "app/jobs/read_commands.h"
#include "areas/forest_space_unit.h"
#include "geometry/area_element.h"
#include "gisblock/gelix_blok_reader.h"
#include "gisblock/gelix_props.h"
#include "bench/level_fingerprints.h"
#include "framework/problem_report.h"
#include "gisblock/are_record.h"
#include "gisblock/staged_block.h"
#include "platform/path_resolver.h"
#include "platform/real48.h"
#include "dbf_rows.h"
#include "file_size_limit.h"
#include "files.h"
#include "jobs_fixture.h"
#include "log_probe.h"
#include "read_only.h"

namespace jobs_test {
namespace {

using test_support::LogProbe;

// The lines of the written block by kind.
std::map<int, int> LineKinds(const fs::path& block) {
  std::map<int, int> kinds;
  TEntity model;
  std::unique_ptr<TGeliXBlokReader> reader(TGeliXBlokReader::CreateForBlock(block.string()));
  reader->SetObjectModel(&model);
  std::unique_ptr<TPolyLineString> lines(reader->ReadLines());
  if (!lines) return kinds;
  for (TElement* e : lines->Items()) {
    auto* props = static_cast<TGelixLineProps*>(static_cast<TSpaceEntity*>(e)->GetProperties());
    ++kinds[props ? props->Druh : -1];
  }
  return kinds;
}

void SumExported(TForestSpaceUnit& unit, const TElementClass& cls, KindSums& sums) {
  if (unit.InheritsFrom(cls)) {
    sums.count += unit.PocetExpPloch;
    sums.net += unit.ExpPlocha;
    return;
  }
  for (TElement* child : unit.Items())
    if (child->Is<TForestSpaceUnit>()) SumExported(*static_cast<TForestSpaceUnit*>(child), cls, sums);
}

class LevelExportTest : public JobsTest {
 public:
  // The areas of the level's written block against the generator's, and
  // the ZRO layer's compartment boundaries; returns the block's areas.
  std::map<int, KindSums> ExpectGeneratorsAreas(const fs::path& output, const jobs::ForestLevel& found) {
    const std::string level = "d['levels']['" + (found.Zro ? std::string("ZRO") : found.KeyStem) + "']";
    const int kind = std::stoi(Expected(level + "['area_kind']"));
    const fs::path written = output / ("01_" + found.Prefix + ".BLK");
    std::map<int, KindSums> sums = ReadAreas(written);
    EXPECT_EQ(sums[kind].count, std::stoi(Expected(level + "['count']")));
    EXPECT_NEAR(sums[kind].net, std::stod(Expected(level + "['sum_net_m2']")), 0.05);
    EXPECT_EQ(sums[134].count, std::stoi(Expected(level + "['empty_count']")));
    EXPECT_NEAR(sums[134].net, std::stod(Expected(level + "['empty_sum_net_m2']")), 0.05);
    const std::map<int, int> lineKinds = LineKinds(written);
    if (found.Zro) {
      EXPECT_GT(lineKinds.count(1300), 0u);
      EXPECT_GT(lineKinds.count(1400), 0u);
    }
    return sums;
  }

 protected:
  jobs::LevelExportContext Context(const fs::path& output) {
    jobs::LevelExportContext ctx = LevelContext(state, output);
    ctx.DisableReadButtons = [this] { ++disabled; };
    ctx.ShowDistrictCode = [this](const std::string& code) { shownCode = code; };
    return ctx;
  }
  jobs::LoadedModel state;
  int disabled = 0;
  std::string shownCode;
};

TEST_F(LevelExportTest, LevelsOfTheReadDistrictHoldTheGeneratorsAreas) {
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  TForestSpaceUnit* root = state.GetHierarchyRoot();
  ASSERT_NE(root, nullptr);
  const fs::path output = dir / "OUT" / "4107" / "01";
  fs::create_directories(output);
  jobs::LevelExportContext ctx = Context(output);
  jobs::ExportWholeDistrict(ctx);

  for (const jobs::ForestLevel& found : jobs::ForestLevels()) {
    const std::string level = "d['levels']['" + (found.Zro ? std::string("ZRO") : found.KeyStem) + "']";
    SCOPED_TRACE(level);
    const fs::path written = output / ("01_" + found.Prefix + ".BLK");
    EXPECT_EQ(written.filename().string() + "\n", Expected(level + "['block']"));
    EXPECT_TRUE(fs::exists(written / Expected(level + "['table']").substr(0, 9)));
    std::map<int, KindSums> sums = ExpectGeneratorsAreas(output, found);
    const int kind = std::stoi(Expected(level + "['area_kind']"));
    // Other levels draw only their own line kind.
    const std::map<int, int> lineKinds = LineKinds(written);
    if (!found.Zro) {
      EXPECT_EQ(lineKinds.size(), 1u);
      EXPECT_EQ(lineKinds.begin()->first, found.LineKind);
    }

    // Every exported area of the level is counted by its unit (the
    // sub-compartments count both of their exports).
    KindSums exported;
    SumExported(*root, *found.UnitClass, exported);
    const int runs = found.UnitClass == &TDilec::StaticClass() ? 2 : 1;
    EXPECT_EQ(exported.count, runs * sums[kind].count);
    EXPECT_NEAR(exported.net, runs * sums[kind].net, 0.05);
  }
  EXPECT_EQ(shownCode, "01");
  EXPECT_EQ(disabled, 8);
  EXPECT_TRUE(ui->shownTexts().empty()) << ui->shownTexts().front();

  // Lines joined at pseudo-nodes give the same areas, on a hierarchy read
  // afresh.
  ctx.JoinLines = true;
  for (std::int32_t command : {95, 98}) {
    const jobs::ForestLevel& level = *jobs::FindForestLevel(command);
    SCOPED_TRACE(level.Prefix + " joined");
    const fs::path block = output / ("01_" + level.Prefix + ".BLK");
    const std::map<int, KindSums> kept = ReadAreas(block);
    ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
    ASSERT_EQ(jobs::ExportForestLevel(ctx, level), jobs::ExportResult::Written);
    const std::map<int, KindSums> joined = ReadAreas(block);
    for (int kind : {static_cast<int>(level.AreaKind), 134}) {
      EXPECT_EQ(joined.count(kind), kept.count(kind));
      if (!joined.count(kind) || !kept.count(kind)) continue;
      EXPECT_EQ(joined.at(kind).count, kept.at(kind).count) << kind;
      EXPECT_NEAR(joined.at(kind).net, kept.at(kind).net, 0.01) << kind;
    }
  }
}

// Joining lines at pseudo-nodes works on the level's own network: a point
// where two lines of one level meet can be a node of another, so every
// level of one read still comes out whole.
TEST_F(LevelExportTest, JoinedLevelsOfOneReadHoldTheGeneratorsAreas) {
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  const fs::path output = dir / "OUT" / "4107" / "01";
  fs::create_directories(output);
  jobs::LevelExportContext ctx = Context(output);
  ctx.JoinLines = true;
  // The ZRO layer joins too, and still finds its lines' units.
  SetExportSetting("RusitPseudouzly", "1");
  jobs::ExportWholeDistrict(ctx);
  for (const jobs::ForestLevel& found : jobs::ForestLevels()) {
    SCOPED_TRACE(found.Prefix);
    ExpectGeneratorsAreas(output, found);
  }
  EXPECT_TRUE(ui->shownTexts().empty()) << ui->shownTexts().front();
}

// A transfer script whose pair names a field no table has leaves that
// column empty in every row: the export tells it once, in the log and the
// command's box, with the script's line; a tab after a name is a blank.
TEST_F(LevelExportTest, ATransferPairThatCopiesNothingIsToldOnceWithItsLine) {
  const fs::path script = dir / "GIS" / "P1600.TDS";
  std::string text = FileBytes(script);
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"SKUPINA PSK", "NEEXISTUJE PSK"},
                                 {"POROST POR", "POROST\tPOR\t"}}) {
    ASSERT_NE(text.find(from), std::string::npos) << from;
    text.replace(text.find(from), from.size(), to);
  }
  std::ofstream(script, std::ios::binary) << text;
  const int line = static_cast<int>(std::count(text.begin(), text.begin() + text.find("NEEXISTUJE"), '\n')) + 1;
  // The files as the user chose them.
  struct Drive {
    explicit Drive(const fs::path& directory) { platform::pathResolver().setDrive('D', directory); }
    ~Drive() { platform::pathResolver().removeDrive('D'); }
  } drive(dir);
  ASSERT_TRUE(jobs::ReadDistrict(state, "D:\\GIS\\4107\\01"));
  const fs::path output = dir / "OUT" / "4107" / "01";
  fs::create_directories(output);
  jobs::LevelExportContext ctx = Context(output);
  ctx.OutputDirectory = "D:\\OUT\\4107\\01";
  ctx.GisRoot = "D:\\GIS";
  LogProbe probe;
  zelto::ProblemTally problems;
  ASSERT_EQ(jobs::ExportForestLevel(ctx, *jobs::FindForestLevel(95)), jobs::ExportResult::Written);
  zelto::RunMessagesUntilIdle();
  const std::string told = "Přenos položek dle D:\\GIS\\P1600.TDS, řádek " + std::to_string(line) +
                           ": zdrojová tabulka D:\\GIS\\4107\\01\\DET.BLK\\P0110.DBF nemá položku NEEXISTUJE";
  EXPECT_EQ(problems.Summary(), told);
  EXPECT_EQ(problems.total(), 1u);
  EXPECT_NE(probe.all().find(told), std::string::npos) << probe.all();
  const test_support::DbfRows rows = test_support::LiveRows(output / "01_16PSK.BLK" / "P1600.DBF", {"PSK", "POR"});
  ASSERT_FALSE(rows.empty());
  for (const std::vector<std::string>& row : rows) {
    EXPECT_EQ(row[0], "");
    EXPECT_NE(row[1], "");
  }
}

// The stand groups' kind and the empty areas' kind must differ: the level
// is refused naming both, before the old block goes.
TEST_F(LevelExportTest, EqualKindsOfStandGroupsAndEmptyAreasAreRefused) {
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  const fs::path output = dir / "OUT" / "4107" / "01";
  const fs::path old = output / "01_16PSK.BLK";
  fs::create_directories(old);
  std::ofstream(old / "KEEP") << "x";
  SetSetting("DET", "DruhPorostniSkupiny", "134");
  EXPECT_EQ(jobs::ExportForestLevel(Context(output), *jobs::FindForestLevel(95)), jobs::ExportResult::BadSetting);
  ASSERT_FALSE(ui->shownTexts().empty());
  EXPECT_EQ(ui->shownTexts().back(),
            "Chybné hodnoty DruhPorostniSkupiny = DruhPrazdnePlochy = 134 v sekci DET souboru TERGELIX.INI: druh "
            "porostních skupin a druh prázdných ploch se musí lišit");
  EXPECT_EQ(FileBytes(old / "KEEP"), "x");
  EXPECT_EQ(std::distance(fs::directory_iterator(old), fs::directory_iterator()), 1);
}

TEST_F(LevelExportTest, ALevelThatCannotBeExportedLeavesTheDiskAlone) {
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  const jobs::ForestLevel& psk = *jobs::FindForestLevel(95);

  // Bad district codes: nothing is written, not even the output directory.
  for (const char* component : {"0", "100", "ab"}) {
    const fs::path output = dir / "OUT" / component;
    EXPECT_EQ(jobs::ExportForestLevel(Context(output), psk), jobs::ExportResult::BadDistrictCode);
    EXPECT_EQ(ui->shownTexts().back(), std::string("Špatný kód revíru: ") + component);
    EXPECT_FALSE(fs::exists(output));
  }
  const int before = disabled;
  EXPECT_FALSE(jobs::RunLevelCommand(Context(dir / "OUT" / "4107" / "01"), 96));
  EXPECT_EQ(disabled, before);
  std::string code;
  EXPECT_TRUE(jobs::GetDistrictCode((dir / "OUT" / "7").string() + "/", code));
  EXPECT_EQ(code, "07");

  // A missing control file keeps the old block.
  const fs::path output = dir / "OUT" / "4107" / "01";
  const fs::path old = output / "01_16PSK.BLK";
  fs::create_directories(old);
  std::ofstream(old / "KEEP") << "x";
  fs::remove(dir / "GIS" / "P1600.CRT");
  EXPECT_EQ(jobs::ExportForestLevel(Context(output), psk), jobs::ExportResult::MissingControlFile);
  EXPECT_EQ(ui->shownTexts().back(), "Povinný soubor " + (dir / "GIS" / "P1600.CRT").string() + " neexistuje !");
  EXPECT_TRUE(fs::exists(old / "KEEP"));

  // A value that is no number, or none the key may hold, refuses the level
  // before the old block goes, naming section, key and value.
  const fs::path oldDil = output / "01_14DIL.BLK";
  fs::create_directories(oldDil);
  std::ofstream(oldDil / "KEEP") << "x";
  struct Wrong {
    const char *section, *key, *value, *good;
  };
  for (const Wrong& wrong : {Wrong{"EXPORT", "DILBP", "40000", "12"}, Wrong{"EXPORT", "DILBP", "abc", "12"},
                             Wrong{"EXPORT", "MaxPocetSouradnic", "0", "100"},
                             Wrong{"EXPORT", "MaxPocetSouradnic", "2e9", "100"},
                             Wrong{"EXPORT", "RusitPseudouzlyIProRuzneDruhy", "TRUE", "1"},
                             Wrong{"DET", "DruhPorostniSkupiny", "70000", "110"}}) {
    SCOPED_TRACE(std::string(wrong.key) + "=" + wrong.value);
    SetSetting(wrong.section, wrong.key, wrong.value);
    EXPECT_EQ(jobs::ExportForestLevel(Context(output), *jobs::FindForestLevel(97)), jobs::ExportResult::BadSetting);
    EXPECT_EQ(ui->shownTexts().back().rfind("Chybná hodnota " + std::string(wrong.key) + " = \"" + wrong.value +
                                                "\" v sekci " + wrong.section + " souboru TERGELIX.INI",
                                            0),
              0u)
        << ui->shownTexts().back();
    EXPECT_TRUE(fs::exists(oldDil / "KEEP"));
    SetSetting(wrong.section, wrong.key, wrong.good);
  }

  // An LHC code longer than the rows' LHC_KOD (C 4) would be stored cut in
  // every row: the level is refused, naming the field and the code.
  {
    jobs::LevelExportContext longCode = Context(output);
    longCode.LhcCode = "41071";
    EXPECT_EQ(jobs::ExportForestLevel(longCode, *jobs::FindForestLevel(97)), jobs::ExportResult::NotWritten);
    const std::string told = ui->shownTexts().back();
    EXPECT_NE(told.find("LHC_KOD"), std::string::npos) << told;
    EXPECT_NE(told.find("41071"), std::string::npos) << told;
    EXPECT_TRUE(fs::exists(oldDil / "KEEP"));
  }

  // A hierarchy ended with its object model is not used: the old block
  // stays and the user is told why nothing was written.
  ASSERT_TRUE(fs::exists(dir / "GIS" / "P1300.TDS"));
  const fs::path oldOdd = output / "01_13ODD.BLK";
  fs::create_directories(oldOdd);
  std::ofstream(oldOdd / "TN.ARE") << "old";
  GetWorld()->SetObjectModel(nullptr);
  EXPECT_EQ(state.GetHierarchyRoot(), nullptr);
  const std::size_t shown = ui->shownTexts().size();
  EXPECT_EQ(jobs::ExportForestLevel(Context(output), *jobs::FindForestLevel(98)),
            jobs::ExportResult::NothingToExport);
  ASSERT_EQ(ui->shownTexts().size(), shown + 1);
  EXPECT_NE(ui->shownTexts().back().find("není načten revír"), std::string::npos) << ui->shownTexts().back();
  EXPECT_NE(ui->shownTexts().back().find((oldOdd).string()), std::string::npos);
  EXPECT_EQ(FileBytes(oldOdd / "TN.ARE"), "old");
}

// An island taken out of TN.ARE leaves its ring in the lines of its
// father: a hole no island fills. The district level keeps it out, as an
// empty area, instead of growing by it.
TEST_F(LevelExportTest, AHoleThatNoIslandFillsStaysOutOfTheLevelsAbove) {
  const fs::path are = District() / "DET.BLK" / "TN.ARE";
  std::string bytes = FileBytes(are);
  std::size_t island = 0;
  double islandArea = 0;
  for (std::size_t n = 1; n < bytes.size() / gisblock::AreRecord::kSize; ++n) {
    const auto r = gisblock::AreRecord::decode(reinterpret_cast<const std::uint8_t*>(bytes.data()) +
                                               n * gisblock::AreRecord::kSize);
    if (r.paterNo && !r.hasChildren && r.area > islandArea) island = n, islandArea = r.area;
  }
  ASSERT_GT(islandArea, 100);
  bytes[island * gisblock::AreRecord::kSize + 6] = 1;  // deleted
  std::ofstream(are, std::ios::binary) << bytes;

  LogProbe log;
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  const fs::path output = dir / "OUT" / "4107" / "01";
  fs::create_directories(output);
  ASSERT_EQ(jobs::ExportForestLevel(Context(output), *jobs::FindForestLevel(99)), jobs::ExportResult::Written);
  std::map<int, KindSums> sums = ReadAreas(output / "01_94REG.BLK");
  EXPECT_NEAR(sums[9400].net, std::stod(Expected("d['levels']['REG']['sum_net_m2']")) - islandArea, 0.05);
  EXPECT_NEAR(sums[134].net, std::stod(Expected("d['levels']['REG']['empty_sum_net_m2']")) + islandArea, 0.05);
  EXPECT_TRUE(log.saw("plocha bez porostu v DET")) << log.all();
}

// A whole read without units of a level: the block an earlier export left
// goes, through the block's lock, and the log says so; a block another
// export holds stays.
TEST_F(LevelExportTest, ALevelWithoutUnitsRemovesTheOldBlock) {
  const fs::path output = dir / "OUT" / "4107" / "01";
  const fs::path old = output / "01_16PSK.BLK";
  fs::create_directories(old);
  std::ofstream(old / "TN.ARE") << "old";
  const jobs::ForestLevel& psk = *jobs::FindForestLevel(95);
  // Without the district's table no area finds its unit: the level only
  // looks empty, and the block stays.
  const fs::path table = District() / "DET.BLK" / "P0110.DBF";
  fs::rename(table, dir / "P0110.DBF");
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  ASSERT_FALSE(state.Damage);
  EXPECT_GT(state.UnfiledAreas, 0);
  EXPECT_EQ(jobs::ExportForestLevel(Context(output), psk), jobs::ExportResult::NothingToExport);
  EXPECT_EQ(FileBytes(old / "TN.ARE"), "old");
  EXPECT_EQ(ui->shownTexts().back(), "Úroveň 16PSK nemá žádné jednotky. Blok " + old.string() + " zůstává beze změny.");
  fs::rename(dir / "P0110.DBF", table);

  // Every stand made another kind: the district has no stands now.
  std::string are = FileBytes(District() / "DET.BLK" / "TN.ARE");
  for (std::size_t at = 0; at + gisblock::AreRecord::kSize <= are.size(); at += gisblock::AreRecord::kSize) {
    auto* bytes = reinterpret_cast<std::uint8_t*>(are.data() + at);
    gisblock::AreRecord r = gisblock::AreRecord::decode(bytes);
    if (r.druh == 110) r.druh = 120;
    const auto encoded = r.encode();
    std::copy(encoded.begin(), encoded.end(), bytes);
  }
  std::ofstream(District() / "DET.BLK" / "TN.ARE", std::ios::binary | std::ios::trunc) << are;
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  ASSERT_FALSE(state.Damage);
  EXPECT_EQ(state.UnfiledAreas, 0);
  {
    gisblock::StagedBlock other(old.string());
    ASSERT_TRUE(other.ok());
    EXPECT_EQ(jobs::ExportForestLevel(Context(output), psk), jobs::ExportResult::NotWritten);
    EXPECT_EQ(FileBytes(old / "TN.ARE"), "old");
  }
  LogProbe log;
  ui->clear();
  EXPECT_EQ(jobs::ExportForestLevel(Context(output), psk), jobs::ExportResult::NothingToExport);
  EXPECT_FALSE(fs::exists(old));
  ASSERT_EQ(ui->shownTexts().size(), 1u);
  const std::string text = "Úroveň 16PSK nemá žádné jednotky. Starý blok " + old.string() + " byl odstraněn.";
  EXPECT_EQ(ui->shownTexts()[0], text);
  zelto::RunMessagesUntilIdle();
  EXPECT_TRUE(log.saw("; " + text)) << log.all();
  // Nothing beside the output's blocks either.
  EXPECT_TRUE(fs::is_empty(output));
  ui->clear();
  EXPECT_EQ(jobs::ExportForestLevel(Context(output), psk), jobs::ExportResult::NothingToExport);
  EXPECT_EQ(ui->shownTexts().back(), "Úroveň 16PSK nemá žádné jednotky. Blok " + old.string() + " nebyl zapsán.");
}

// The output named after another district than the one read would get
// the read district's areas under its name: refused, once for the whole
// district run, and every refusal or break leaves its protocol line.
TEST_F(LevelExportTest, AnotherDistrictsOutputIsRefusedAndEveryLevelNotExportedIsLogged) {
  ASSERT_TRUE(jobs::ReadDistrict(state, District("01").string()));
  LogProbe log;
  jobs::LevelExportContext other = Context(District("02"));
  EXPECT_EQ(jobs::ExportForestLevel(other, *jobs::FindForestLevel(95)), jobs::ExportResult::Refused);
  jobs::ExportWholeDistrict(other);
  ASSERT_EQ(ui->shownTexts().size(), 2u);
  EXPECT_EQ(ui->shownTexts()[0], ui->shownTexts()[1]);
  EXPECT_NE(ui->shownTexts()[0].find("revír " + District("01").string() + ","), std::string::npos);
  EXPECT_NE(ui->shownTexts()[0].find("do revíru " + District("02").string() + ":"), std::string::npos);
  for (const auto& entry : fs::directory_iterator(District("02")))
    EXPECT_FALSE(entry.path().filename().string().starts_with("02_")) << entry.path();
  EXPECT_TRUE(log.saw("; Export vrstvy 16PSK – neprovedeno: Načten je revír "));
  EXPECT_TRUE(log.saw("; Export všech vrstev revíru – neprovedeno: Načten je revír "));

  // The caller's refusal (a code typed wrong, a setting read at start).
  jobs::LevelExportContext refused = Context(District("01"));
  refused.Refusal = "Špatný kód LHC: x";
  jobs::ExportWholeDistrict(refused);
  EXPECT_EQ(ui->shownTexts().back(), "Špatný kód LHC: x");
  EXPECT_TRUE(log.saw("; Export všech vrstev revíru – neprovedeno: Špatný kód LHC: x"));

  // Broken off after two levels: the others are named as not exported.
  jobs::LevelExportContext broken = Context(District("01"));
  broken.NextLevel = [](int level) { return level < 2; };
  jobs::ExportWholeDistrict(broken);
  EXPECT_TRUE(fs::exists(District("01") / "01_14DIL.BLK"));
  EXPECT_FALSE(fs::exists(District("01") / "01_91ZRO.BLK"));
  EXPECT_TRUE(log.saw("; Export všech vrstev revíru přerušen uživatelem, neexportovány vrstvy 91ZRO, 13ODD, 17BZL, "
                      "18JP, 19OP, 94REG"))
      << log.all();
}

// A district is the directory read, named as written: a copy beside the
// LHC ("4107 - kopie", "04107") or a district named "1" is another one,
// whatever code its name could be taken for.
TEST(OtherDistrictTest, OnlyTheDirectoriesReadAsNamedAreTheSameDistrict) {
  struct Case {
    const char *read, *output;
    bool other;
  };
  for (const Case& c : {Case{"D:\\GIS\\4107\\01", "D:\\GIS\\4107\\02", true},
                        Case{"D:\\GIS\\4107\\01", "E:\\GIS\\4108\\01", true},
                        Case{"D:\\GIS\\4107\\1", "E:\\GIS\\04107\\01\\", true},
                        Case{"/data/LHC4107/R01", "D:\\GIS\\4107\\02", true},
                        Case{"D:\\GIS\\4107 - kopie\\01", "D:\\GIS\\4107\\01", true},
                        Case{"D:\\GIS\\04107\\01", "D:\\GIS\\4107\\01", true},
                        Case{"D:\\GIS\\4107\\1", "D:\\GIS\\4107\\01", true},
                        Case{"D:\\GIS\\4107\\01", "E:\\GIS\\4107\\01\\", false},
                        Case{"/data/GIS/4107/01", "D:\\GIS\\4107\\01", false},
                        Case{"D:\\gis\\lhc-A\\r01", "D:\\GIS\\LHC-a\\R01", false},
                        Case{"", "D:\\GIS\\4107\\02", false}}) {
    SCOPED_TRACE(std::string(c.read) + " -> " + c.output);
    EXPECT_EQ(!jobs::OtherDistrictProblem(c.read, c.output).empty(), c.other);
  }
}

using test_support::Snapshot;

TEST_F(LevelExportTest, AnExportThatCannotWriteEveryFileLeavesTheOldBlockByteForByte) {
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  const fs::path output = dir / "OUT" / "4107" / "01";
  fs::create_directories(output);
  const jobs::ForestLevel& psk = *jobs::FindForestLevel(95);
  ASSERT_EQ(jobs::ExportForestLevel(Context(output), psk), jobs::ExportResult::Written);
  const fs::path block = output / "01_16PSK.BLK";
  const std::map<std::string, std::string> before = Snapshot(block);
  ASSERT_GT(before.size(), 6u);
  ASSERT_GT(before.at("TN.LIN").size(), 4096u);

  // The limit met by the lines, and already by the dummy record of the
  // empty block's line file.
  for (const rlim_t bytes : {4096, 64}) {
    SCOPED_TRACE(bytes);
    ui->clear();
    jobs::ExportResult result;
    {
      test_support::FileSizeLimit limit(bytes);
      result = jobs::ExportForestLevel(Context(output), psk);
    }
    EXPECT_EQ(result, jobs::ExportResult::NotWritten);
    EXPECT_EQ(Snapshot(block), before);
    // Told once, in the block's own name, which file failed and why.
    ASSERT_EQ(ui->shownTexts().size(), 1u);
    const std::string text = ui->shownTexts()[0];
    const std::string file = block.string() + (bytes < 103 ? "/TN.LIN" : "/TN.");
    EXPECT_EQ(text.rfind("Blok " + block.string() + " nebyl zapsán, soubor " + file, 0), 0u) << text;
    EXPECT_NE(text.find("soubor je příliš velký"), std::string::npos) << text;
    // Nothing is left beside the block.
    EXPECT_EQ(std::distance(fs::directory_iterator(output), fs::directory_iterator()), 1);
  }
}

// Old level blocks whose directories this user may not empty stay as they
// were: the district run tells every level that failed, first, in its one
// box, an error box as for a level exported alone, and nothing staged is
// left beside the blocks.
TEST_F(LevelExportTest, OldBlocksThatCannotBeEmptiedStayAndEveryLevelFails) {
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  const fs::path output = dir / "OUT" / "4107" / "01", psk = output / "01_16PSK.BLK";
  fs::create_directories(output);
  jobs::ExportWholeDistrict(Context(output));
  std::vector<std::unique_ptr<test_support::ReadOnlyTree>> readOnly;
  for (const jobs::ForestLevel& level : jobs::ForestLevels())
    readOnly.push_back(std::make_unique<test_support::ReadOnlyTree>(output / ("01_" + level.Prefix + ".BLK")));
  const std::map<std::string, std::string> before = Snapshot(psk);
  ui->clear();
  jobs::ExportWholeDistrict(Context(output));
  readOnly.clear();
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_EQ(ui->shown()[0].kind, platform::MessageKind::Error);
  std::string failures;
  for (const jobs::ForestLevel& level : jobs::ForestLevels())
    failures += std::string(failures.empty() ? "" : "\n") + "Blok " + (output / ("01_" + level.Prefix + ".BLK")).string() +
                " nelze zapsat: starý blok nelze odstranit: přístup odepřen. Původní blok zůstává beze změny.";
  EXPECT_EQ(ui->shown()[0].text.substr(0, failures.size()), failures);
  EXPECT_EQ(Snapshot(psk), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(output), fs::directory_iterator()), 8);
}

// A district read from a damaged DET block is still shown, but no export
// from it takes the place of a block: TN.LIN cut on a record boundary
// (areas whose lines are gone) or inside a record, vertices far outside
// the boxes of their lines, whole files of garbage, TN.ARE cut to nothing
// (lines bordering areas it no longer holds). The message names the file
// that shows the damage.
TEST_F(LevelExportTest, AnExportFromADamagedReadLeavesEveryBlockAsItWas) {
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  EXPECT_FALSE(state.Damage);
  const fs::path output = dir / "OUT" / "4107" / "01";
  fs::create_directories(output);
  for (std::int32_t command : {95, 99})
    ASSERT_EQ(jobs::ExportForestLevel(Context(output), *jobs::FindForestLevel(command)), jobs::ExportResult::Written);
  const std::map<std::string, std::string> before = Snapshot(output);
  const fs::path block = District() / "DET.BLK";
  const std::string det = block.string();
  const std::string lin = FileBytes(block / "TN.LIN"), crd = FileBytes(block / "TN.CRD");
  const std::string are = FileBytes(block / "TN.ARE");

  // X of 64 vertices spread over the file; the 6-byte real has no NaN or
  // infinity, its largest value stands for them.
  auto farVertices = [&](const platform::Real48Bytes& x) {
    std::string bytes = crd;
    const std::size_t count = crd.size() / 12;
    for (std::size_t n = 1; n < count; n += std::max<std::size_t>(1, count / 64))
      std::copy(x.begin(), x.end(), bytes.begin() + static_cast<std::ptrdiff_t>(n * 12));
    return bytes;
  };
  auto garbage = [](std::string bytes) {
    std::mt19937 rng(static_cast<unsigned>(bytes.size()));
    for (char& c : bytes) c = static_cast<char>(rng());
    return bytes;
  };
  const struct {
    const char* what;
    const char* file;
    std::string bytes;
    const char* named;  // the file the damage shows in
  } cases[] = {
      // The areas name lines the file no longer holds.
      {"cut on a record boundary", "TN.LIN", lin.substr(0, lin.size() / 103 / 2 * 103), "TN.ARE"},
      {"cut inside a record", "TN.LIN", lin.substr(0, lin.size() - 1), "TN.LIN"},
      {"vertices at 1.8e29", "TN.CRD", farVertices(*platform::encodeReal48(1.8e29)), "TN.CRD"},
      {"vertices at 1e-37", "TN.CRD", farVertices(*platform::encodeReal48(1e-37)), "TN.CRD"},
      {"vertices at the largest 6-byte real", "TN.CRD", farVertices({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}), "TN.CRD"},
      {"garbage lines", "TN.LIN", garbage(lin), "TN.LIN"},
      {"garbage vertices", "TN.CRD", garbage(crd), "TN.CRD"},
      // No area left to read, or to find a unit for: the lines still name them.
      {"areas cut to nothing", "TN.ARE", "", "TN.LIN"},
      {"areas cut to the dummy record", "TN.ARE", are.substr(0, gisblock::AreRecord::kSize), "TN.LIN"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::ofstream(block / "TN.LIN", std::ios::binary | std::ios::trunc) << (c.file == std::string("TN.LIN") ? c.bytes : lin);
    std::ofstream(block / "TN.CRD", std::ios::binary | std::ios::trunc) << (c.file == std::string("TN.CRD") ? c.bytes : crd);
    std::ofstream(block / "TN.ARE", std::ios::binary | std::ios::trunc) << (c.file == std::string("TN.ARE") ? c.bytes : are);
    LogProbe log;
    ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
    ASSERT_TRUE(state.Damage);
    EXPECT_TRUE(log.saw(c.named)) << log.all();
    ui->clear();
    log.texts.clear();
    jobs::ExportWholeDistrict(Context(output));
    EXPECT_EQ(jobs::ExportForestLevel(Context(output), *jobs::FindForestLevel(95)), jobs::ExportResult::DamagedInput);
    EXPECT_EQ(Snapshot(output), before);
    // Once for the whole district and once for the level, in the same words.
    ASSERT_EQ(ui->shownTexts().size(), 2u);
    const std::string text = ui->shownTexts()[0];
    EXPECT_EQ(text.rfind("Vstupní blok " + det + " je poškozen (" + c.named + ": ", 0), 0u) << text;
    EXPECT_TRUE(text.ends_with("), bloky zůstávají beze změny")) << text;
    EXPECT_EQ(ui->shownTexts()[1], text);
    // The protocol has a line for each job refused.
    zelto::RunMessagesUntilIdle();
    EXPECT_TRUE(log.saw("; Export všech vrstev revíru – neprovedeno: Vstupní blok")) << log.all();
    EXPECT_TRUE(log.saw("; Export vrstvy 16PSK – neprovedeno: Vstupní blok")) << log.all();
  }
}

// The exit code of a child process; -1 when it died of a signal or did not
// end within a minute (it is killed then).
int ExitCode(pid_t child) {
  int status = 0;
  for (int waited = 0; waited < 6000; ++waited) {
    const pid_t done = ::waitpid(child, &status, WNOHANG);
    if (done == child) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (done < 0) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(child, SIGKILL);
  ::waitpid(child, &status, 0);
  return -1;
}

// Two instances of the program exporting one level at the same moment:
// the block left is wholly one export's, and an export that found the
// block taken said so, naming it.
TEST_F(LevelExportTest, TwoExportsOfOneBlockStartedTogetherLeaveOneOfThemWhole) {
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  const fs::path output = dir / "OUT" / "4107" / "01";
  fs::create_directories(output);
  const jobs::ForestLevel& dil = *jobs::FindForestLevel(97);
  const fs::path block = output / "01_14DIL.BLK";
  // The second colours its areas otherwise, from settings of its own.
  const fs::path other = dir / "OTHER";
  fs::create_directories(other);
  std::string ini = FileBytes(dir / "TERGELIX.INI");
  ini.replace(ini.find("DILBP=12"), 8, "DILBP=11");
  std::ofstream(other / "TERGELIX.INI", std::ios::binary) << ini;
  const std::string settings[] = {dir.string(), other.string()};
  auto exportWith = [&](int i) {
    ::setenv("WINDIR", settings[i].c_str(), 1);
    return jobs::ExportForestLevel(Context(output), dil);
  };
  std::string alone[2];
  for (int i : {0, 1}) {
    ASSERT_EQ(exportWith(i), jobs::ExportResult::Written);
    alone[i] = levelprints::Fingerprints(block);
  }
  ASSERT_NE(alone[0], alone[1]);
  ::setenv("WINDIR", dir.c_str(), 1);

  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    pid_t children[2];
    for (int i : {0, 1}) {
      children[i] = ::fork();
      ASSERT_GE(children[i], 0);
      if (children[i] != 0) continue;
      ::close(go[1]);
      char start;
      (void)!::read(go[0], &start, 1);  // both go when the pipe closes
      const bool written = exportWith(i) == jobs::ExportResult::Written;
      std::ofstream told(dir / ("told" + std::to_string(i)), std::ios::binary);
      for (const std::string& text : ui->shownTexts()) told << text;
      told.close();
      ::_exit(written ? 0 : 1);
    }
    ::close(go[0]);
    ::close(go[1]);
    int written = 0;
    for (int i : {0, 1}) {
      const int code = ExitCode(children[i]);
      const std::string told = FileBytes(dir / ("told" + std::to_string(i)));
      if (code == 0) {
        ++written;
        EXPECT_EQ(told, "");
      } else {
        EXPECT_EQ(code, 1);
        EXPECT_EQ(told.rfind("Blok " + block.string() + " nelze zapsat: do bloku právě zapisuje jiná úloha", 0), 0u)
            << told;
      }
    }
    EXPECT_GE(written, 1);
    const std::string left = levelprints::Fingerprints(block);
    EXPECT_TRUE(left == alone[0] || left == alone[1]) << left;
    EXPECT_EQ(std::distance(fs::directory_iterator(output), fs::directory_iterator()), 1);
  }
}

// A district 1,400 cells long and 20 wide: its stand groups' outside runs
// round more lines than an area may have.
class LongDistrictTest : public LevelExportTest {
 protected:
  const fs::path& Tree() const override { return test_support::GeneratedTree("--seed 1 --size 1400x20"); }
};

TEST_F(LongDistrictTest, TheOutsideOfTheDistrictIsNoAreaLeftOut) {
  LogProbe log;
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  const fs::path output = dir / "OUT" / "4107" / "01";
  fs::create_directories(output);
  const jobs::ForestLevel& level = *jobs::FindForestLevel(95);
  ASSERT_EQ(jobs::ExportForestLevel(Context(output), level), jobs::ExportResult::Written);
  EXPECT_FALSE(log.saw("vynechána")) << log.all();
  ExpectGeneratorsAreas(output, level);
}

}  // namespace
}  // namespace jobs_test

namespace jobs_test {
namespace {

// An area that no old area lay under (a gap in the stands of the DET
// block) is an empty area of the level, with a row in that kind's table,
// and the user learns where it lies.
TEST(AreaClassifierTest, AGapInTheStandsBecomesAnEmptyAreaOfTheLevelAndIsLogged) {
  std::vector<std::string> logged;
  for (const std::int32_t command : {95, 116}) {
    const jobs::ForestLevel& level = *jobs::FindForestLevel(command);
    jobs::AreaClassifier classifier{level, jobs::DetKinds{110, 134}, 14, 105, nullptr,
                                    [&logged](const std::string& text) { logged.push_back(text); }};
    TAreaElement gap;
    for (auto [x, y] : {std::pair{-700.0, -900.0}, {-700.0, -800.0}, {-600.0, -800.0}, {-600.0, -900.0}})
      gap.AddVertex(x, y);
    gap.SetAbsRefX(-650);
    gap.SetAbsRefY(-850);
    TAreaElement hole;
    hole.IsHole = true;
    classifier.Classify(&gap);
    classifier.Classify(&hole);

    auto* props = dynamic_cast<TGelixAreaProps*>(gap.GetProperties());
    ASSERT_NE(props, nullptr);
    EXPECT_EQ(props->Druh, 134);
    EXPECT_EQ(props->Barva, level.Zro ? 15 : 14);
    EXPECT_EQ(props->Znacka, level.Zro ? 1 : 105);
    EXPECT_EQ(hole.GetProperties(), nullptr);  // holes are not exported
  }
  ASSERT_EQ(logged.size(), 2u);
  EXPECT_NE(logged[0].find("X 850"), std::string::npos) << logged[0];
  EXPECT_NE(logged[0].find("Y 650"), std::string::npos) << logged[0];
}

}  // namespace
}  // namespace jobs_test
