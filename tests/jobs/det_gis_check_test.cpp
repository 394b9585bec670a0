// The check of exported levels against the forest description: the "K"
// command finds both tables of the level, and on the generated district
// every exported level agrees with the DET table, while a changed PLOCHA in
// a copy of it is the one difference listed.
#include "app/jobs/det_gis_check.h"

#include "app/jobs/forest_level_export.h"
#include "app/jobs/read_commands.h"
#include "areas/det_gis_compare.h"
#include "jobs_fixture.h"
#include "platform/dbase_table.h"
#include "log_probe.h"

namespace jobs_test {
namespace {

class DetGisCheckTest : public JobsTest {
 protected:
  // The district read, and the context its level exports run in.
  jobs::LevelExportContext ReadForExport() {
    EXPECT_TRUE(jobs::ReadDistrict(state, District().string()));
    return LevelContext(state, District());
  }
  void ExportDistrict() {
    jobs::ExportWholeDistrict(ReadForExport());
    ui->clear();
  }
  std::vector<jobs::LayerComparison> Check(const std::string& button, const fs::path& chosen,
                                           const fs::path& output = {}, const std::string& refusal = {}) {
    std::vector<jobs::LayerComparison> opened;
    jobs::CheckExportedLayer(button, chosen.string(), (output.empty() ? District() : output).string(),
                             [&](const jobs::LayerComparison& c) { opened.push_back(c); }, refusal);
    return opened;
  }
  // The comparison as the window runs it when "Porovnej" is pressed.
  std::vector<std::string> Compare(const jobs::LayerComparison& c) {
    TKompDETGIS form({}, dir);
    form.LevelCode = c.LevelCode;
    form.DETTableName = c.DetTable;
    form.GISTableName = c.GisTable;
    form.FormShow();
    EXPECT_TRUE(form.Prepared());
    form.btPorovnejClick();
    return form.Memo;
  }

  jobs::LoadedModel state;
};

TEST_F(DetGisCheckTest, EveryExportedLevelAgreesWithTheForestDescription) {
  ExportDistrict();
  const std::vector<jobs::LayerComparison> all = Check("btKVse", District());
  std::vector<std::string> levels;
  for (const auto& c : all) levels.push_back(c.LevelCode);
  EXPECT_EQ(levels, (std::vector<std::string>{"PSK", "DIL", "ODD", "REG", "BZL", "JP", "OP"}));
  for (const auto& c : all) EXPECT_TRUE(c.AllLevels);
  std::vector<jobs::LayerComparison> each = all;
  // The window's button "btkDil" is matched by its spelling in the table.
  for (const char* button : {"btkDil", "btKZRO"}) {
    const auto found = Check(button, District());
    ASSERT_EQ(found.size(), 1u) << button;
    EXPECT_FALSE(found[0].AllLevels);
    each.push_back(found[0]);
  }
  EXPECT_EQ(each.back().GisTable, (District() / "01_91ZRO.BLK" / "P1400.DBF").string());
  // The generator knows which groups the export drops: a stand group below
  // the smallest area is listed as missing in GIS, and nothing else is.
  for (const auto& c : each) {
    SCOPED_TRACE(c.LevelCode);
    std::string listed;
    for (const std::string& line : Compare(c)) listed += line + "\n";
    const std::string checks = "d['checks']['" + c.LevelCode + "']";
    EXPECT_EQ(listed + "\n", Expected("''.join('%s: %s v GIS neexistuje\\n' % (x['key'], x['det_ha']) for x in " + checks +
                               ")"));
  }
  EXPECT_TRUE(ui->shownTexts().empty()) << ui->shownTexts().front();
}

TEST_F(DetGisCheckTest, AChangedAreaInACopyOfTheDetTableIsTheOneDifference) {
  ExportDistrict();
  const fs::path copy = dir / "COPY";
  fs::create_directories(copy / "DET.BLK");
  fs::copy_file(District() / "DET.BLK" / "P0110.DBF", copy / "DET.BLK" / "P0110.DBF");
  std::string key, plocha;
  {
    platform::DbfTable det;
    det.open(copy / "DET.BLK" / "P0110.DBF", false);
    ASSERT_TRUE(det.first());
    key = det.text("ODDELENI") + det.text("DILEC");
    plocha = det.text("PLOCHA");
    det.edit();
    det.setText("PLOCHA", std::to_string(std::stod(plocha) + 1.5));
    det.post();
  }
  const auto found = Check("btKDil", copy);
  ASSERT_EQ(found.size(), 1u);
  const std::vector<std::string> listed = Compare(found[0]);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].rfind(key + ":  ", 0), 0u) << listed[0];
  EXPECT_NE(listed[0].find(" <> "), std::string::npos) << listed[0];
}

TEST_F(DetGisCheckTest, CheckingEveryLevelNamesEachMissingTableAndComparesTheRest) {
  jobs::ExportForestLevel(ReadForExport(), *jobs::FindForestLevel(98));  // compartments only
  ui->clear();
  const auto found = Check("btKVse", District());
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].LevelCode, "ODD");
  EXPECT_EQ(ui->shownTexts().size(), 6u);  // one box for each level not exported
  for (const std::string& text : ui->shownTexts()) EXPECT_TRUE(text.starts_with("Databáze ")) << text;
}

TEST_F(DetGisCheckTest, WithoutDetBlkTheDetTableIsNamedFirst) {
  const fs::path bare = dir / "BARE";
  fs::create_directories(bare);
  EXPECT_TRUE(Check("btKPSk", bare).empty());
  EXPECT_EQ(ui->shownTexts(),
            std::vector<std::string>{"Databáze " + (bare / "DET.BLK" / "P0110.DBF").string() + " neexistuje"});
}

// A check that opens no window says why in a box and leaves one protocol
// line for each box, as every other command that does nothing does.
TEST_F(DetGisCheckTest, EveryCheckThatOpensNoWindowSaysWhyInABoxAndOneProtocolLine) {
  jobs::ExportForestLevel(ReadForExport(), *jobs::FindForestLevel(98));  // compartments only
  zelto::RunMessagesUntilIdle();  // the export's own protocol lines
  const fs::path bare = dir / "BARE";
  fs::create_directories(bare);
  const std::string det = (bare / "DET.BLK" / "P0110.DBF").string();
  const std::string psk = (District() / "01_16PSK.BLK" / "P1600.DBF").string();
  struct Row {
    const char* name;
    const char* button;
    fs::path chosen, output;
    std::string refusal;
    std::vector<std::string> lines;  // each told in a box and in the protocol
  };
  const Row rows[] = {
      {"no forest description", "btKPSk", bare, {}, {}, {"; Kontrola vrstvy PSK – neprovedeno: Databáze " + det + " neexistuje"}},
      {"a refused setting", "btKOdd", District(), {}, "Špatný kód LHC: x",
       {"; Kontrola vrstvy ODD – neprovedeno: Špatný kód LHC: x"}},
      {"a district output that is no code", "btKVse", District(), dir / "OUT" / "x",
       {}, {"; Kontrola všech vrstev – neprovedeno: Špatný kód revíru: x"}},
      {"a level not exported", "btKPSk", District(), {}, {},
       {"; Kontrola vrstvy PSK – neprovedeno: Databáze " + psk + " neexistuje"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ui->clear();
    test_support::LogProbe log;
    EXPECT_TRUE(Check(row.button, row.chosen, row.output, row.refusal).empty());
    ASSERT_EQ(ui->shownTexts().size(), row.lines.size());
    ASSERT_TRUE(log.saw(""));
    EXPECT_EQ(log.texts.size(), row.lines.size()) << log.all();
    for (std::size_t i = 0; i < row.lines.size(); ++i) {
      EXPECT_TRUE(log.sawLine(row.lines[i])) << log.all();
      EXPECT_TRUE(row.lines[i].ends_with(ui->shownTexts()[i])) << ui->shownTexts()[i];
    }
  }
  // Every level of "K" for all: one line for each level not exported.
  ui->clear();
  test_support::LogProbe log;
  ASSERT_EQ(Check("btKVse", District()).size(), 1u);
  EXPECT_TRUE(log.saw(""));
  EXPECT_EQ(log.texts.size(), 6u) << log.all();
  EXPECT_TRUE(log.sawLine("; Kontrola vrstvy DIL – neprovedeno: Databáze " +
                          (District() / "01_14DIL.BLK" / "P1400.DBF").string() + " neexistuje"))
      << log.all();
}

}  // namespace
}  // namespace jobs_test
