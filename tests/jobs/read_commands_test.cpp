// The read commands on a generated LHC: which blocks the model scripts name,
// with which kinds, and what a read leaves in the main tool's state.
#include "app/jobs/read_commands.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "areas/forest_hierarchy.h"
#include "areas/forest_space_unit.h"
#include "areas/node_area_drivers.h"
#include "framework/problem_report.h"
#include "framework/string_list.h"
#include "geometry/space_entity.h"
#include "jobs_fixture.h"
#include "log_probe.h"
#include "platform/path_resolver.h"
#include "render/interpret_layer.h"
#include "render/layer_script.h"

namespace jobs_test {
namespace {

using ReadCommandsTest = JobsTest;

struct Layer {
  std::string kind, path, kinds;
};

std::vector<Layer> Layers(const TModelScript& script) {
  std::vector<Layer> layers;
  for (TElement* e : script.Items()) {
    auto* layer = static_cast<TLayerScript*>(e);
    TPropertyList* list = layer->GetPropertyList();
    layers.push_back({layer->GetName(), layer->Description, list ? list->GetValueByName("!DRUH") : ""});
  }
  return layers;
}

TEST_F(ReadCommandsTest, TheLhcScriptNamesItsRoadsFirstThenEachDistrictsBlocks) {
  std::string ini = FileBytes(dir / "TERGELIX.INI");
  const std::size_t at = ini.find("VYBLINSLU=");
  ASSERT_NE(at, std::string::npos);
  std::ofstream(dir / "TERGELIX.INI", std::ios::binary) << ini.insert(at + 10, "22,");
  fs::remove_all(District("02") / "DET.BLK");
  fs::remove_all(District("02") / "CES.BLK");
  const fs::path lhc = dir / "GIS" / "4107";
  std::unique_ptr<TModelScript> script(jobs::detail::LhcScript(lhc.string()));
  ASSERT_TRUE(script);
  const std::vector<Layer> layers = Layers(*script);
  ASSERT_EQ(layers.size(), 5u);  // the LHC's CES, 01's three, 02's SLU
  EXPECT_EQ(layers[0].path, (lhc / "CES.BLK").string());
  // The districts in name order, whatever order the directory lists them in.
  EXPECT_EQ(layers[1].path, (District("01") / "DET.BLK").string());
  EXPECT_EQ(layers[4].path, (District("02") / "SLU.BLK").string());
  int slu = 0;
  for (const Layer& layer : layers) {
    EXPECT_EQ(layer.kind, "LIN");
    if (layer.path.ends_with("SLU.BLK")) {
      ++slu;
      EXPECT_EQ(layer.kinds.substr(0, 6), "22,21,") << layer.kinds;
    } else {
      EXPECT_FALSE(layer.kinds.empty());
    }
  }
  EXPECT_EQ(slu, 2);

  jobs::LoadedModel state;
  ASSERT_TRUE(jobs::ReadLhcLines(state, District("01").string() + "/"));
  EXPECT_EQ(state.DataDirectory, lhc.string());
  auto* subject = dynamic_cast<TEntity*>(state.GetSubject());
  ASSERT_NE(subject, nullptr);
  EXPECT_EQ(subject->GetCount(), 5);
  EXPECT_EQ(state.GetHierarchyRoot(), nullptr);

  // An empty LHC directory loads nothing.
  fs::create_directories(dir / "EMPTY" / "01");
  fs::remove(dir / "EMPTY" / "01");
  EXPECT_FALSE(jobs::ReadLhcLines(state, (dir / "EMPTY" / "01").string()));
  EXPECT_EQ(state.GetSubject(), nullptr);
}

// A copy of a district beside it, named as a file manager names it, is no
// district: its lines are not read a second time.
TEST_F(ReadCommandsTest, ACopyOfADistrictBesideItIsNotRead) {
  const fs::path lhc = dir / "GIS" / "4107";
  const auto paths = [&lhc] {
    std::vector<std::string> paths;
    std::unique_ptr<TModelScript> script(jobs::detail::LhcScript(lhc.string()));
    for (const Layer& layer : Layers(*script)) paths.push_back(layer.path);
    return paths;
  };
  const std::vector<std::string> districts = paths();
  fs::copy(District("01"), lhc / "01 - kopie", fs::copy_options::recursive);
  EXPECT_EQ(paths(), districts);
  jobs::LoadedModel state;
  ASSERT_TRUE(jobs::ReadLhcLines(state, District("01").string()));
  EXPECT_EQ(static_cast<std::size_t>(dynamic_cast<TEntity*>(state.GetSubject())->GetCount()), districts.size());
}

// The kind lists come from the settings file: one that cannot be read
// refuses the read, naming it, and what was loaded stays.
TEST_F(ReadCommandsTest, ASettingsFileThatCannotBeReadRefusesTheLineRead) {
  jobs::LoadedModel state;
  ASSERT_TRUE(jobs::ReadLhcLines(state, District("01").string()));
  TElement* loaded = state.GetSubject();
  // UTF-16 without its byte-order mark.
  std::string unmarked;
  for (char c : FileBytes(dir / "TERGELIX.INI")) unmarked += std::string{c, '\0'};
  std::ofstream(dir / "TERGELIX.INI", std::ios::binary) << unmarked;
  EXPECT_FALSE(jobs::ReadLhcLines(state, District("01").string()));
  ASSERT_FALSE(ui->shownTexts().empty());
  EXPECT_EQ(ui->shownTexts().back().rfind("Soubor " + (dir / "TERGELIX.INI").string() + " nelze číst: ", 0), 0u)
      << ui->shownTexts().back();
  EXPECT_EQ(state.GetSubject(), loaded);
}

TEST_F(ReadCommandsTest, ADistrictReadReplacesTheModelAndBuildsTheHierarchy) {
  jobs::LoadedModel state;
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  EXPECT_EQ(state.DataDirectory, District().string());
  EXPECT_EQ(state.DistrictDirectory, District().string());
  TForestSpaceUnit* root = state.GetHierarchyRoot();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetName(), "LES");
  EXPECT_EQ(ui->beeps(), 1);

  // A limit of the hierarchy that is no number, or none it can use, refuses
  // the next read, naming it, and what was read stays.
  for (const char* value : {"nan", "1e300", "-1"}) {
    SetSetting("GLOBAL", "MinPlochaM", value);
    EXPECT_FALSE(jobs::ReadDistrict(state, District().string()));
    ASSERT_EQ(ui->shownTexts().size(), 1u);
    EXPECT_EQ(ui->shownTexts()[0].rfind("Chybná hodnota MinPlochaM = \"" + std::string(value) + "\" v sekci GLOBAL", 0), 0u)
        << ui->shownTexts()[0];
    EXPECT_EQ(state.GetHierarchyRoot(), root);
    ui->clear();
  }
  SetSetting("GLOBAL", "MinPlochaM", "10");

  // Lines added to the loaded subject.
  jobs::LoadLineBlock(state, (District() / "SLU.BLK").string());
  EXPECT_EQ(static_cast<TEntity*>(state.GetSubject())->GetCount(), 2);

  // A directory without DET.BLK empties the model and loads nothing.
  EXPECT_FALSE(jobs::ReadDistrict(state, (dir / "GIS").string()));
  EXPECT_EQ(state.GetSubject(), nullptr);
  EXPECT_EQ(state.GetHierarchyRoot(), nullptr);
  EXPECT_EQ(GetWorld()->GetObjectModel()->GetCount(), 0);
  ASSERT_EQ(ui->shownTexts().size(), 1u);
  EXPECT_NE(ui->shownTexts()[0].find("nemá blok DET.BLK"), std::string::npos);

  // No directory at all (no drive mapped): no gap where its name would be.
  EXPECT_FALSE(jobs::ReadDistrict(state, ""));
  ASSERT_EQ(ui->shownTexts().size(), 2u);
  EXPECT_EQ(ui->shownTexts()[1], "Revír nemá blok DET.BLK, není co číst");

  EXPECT_FALSE(jobs::BuildForestHierarchy(state));
  EXPECT_EQ(ui->shownTexts().back(), "Není nalezen blok");

  // Lines loaded with nothing read make a subject of their own.
  jobs::LoadLineBlock(state, (District() / "CES.BLK").string());
  auto* subject = dynamic_cast<TSpaceEntity*>(state.GetSubject());
  ASSERT_NE(subject, nullptr);
  EXPECT_EQ(subject->GetCount(), 1);
  EXPECT_TRUE(subject->GetIsValid());
}

// The hierarchy and the node building run as tools on their own read their
// limits through the same check as the jobs: a wrong value is named as
// typed, and nothing is built by a limit that fell back to 0.
TEST_F(ReadCommandsTest, ToolsRunOnTheirOwnNameAWrongLimitAsTyped) {
  jobs::LoadedModel state;
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  TForestSpaceUnit* root = state.GetHierarchyRoot();
  ASSERT_NE(root, nullptr);
  auto* subject = static_cast<TEntity*>(state.GetSubject());
  TElement* block = subject->FindElementByClass(TSpaceEntity::StaticClass());
  if (!block) block = subject->FindElementByClass(TInterpretLayer::StaticClass());
  ASSERT_NE(block, nullptr);
  ui->clear();
  struct Wrong {
    const char* key;
    const char* value;
    const char* sound;
  };
  for (const Wrong& wrong : {Wrong{"MinPlochaM", "abc", "10"}, Wrong{"SpodniMezJine", "5x", "500"},
                             Wrong{"SpodniMezOstatni", "2000", "900"}}) {
    const std::string key = wrong.key, value = wrong.value;
    SetSetting("GLOBAL", key, value);
    TForestHierarchy hierarchy;
    hierarchy.SetInput(block);
    hierarchy.DoIt();
    EXPECT_EQ(hierarchy.Output(), nullptr) << key;
    EXPECT_EQ(GetWorld()->GetObjectModel()->FindElementByName("LES"), root) << key;
    ASSERT_EQ(ui->shownTexts().size(), 1u) << key;
    EXPECT_EQ(ui->shownTexts()[0].rfind("Chybná hodnota " + key + " = \"" + value + "\" v sekci GLOBAL", 0), 0u)
        << ui->shownTexts()[0];
    ui->clear();
    SetSetting("GLOBAL", key, wrong.sound);
  }

  SetSetting("EXPORT", "MaxPocetSouradnic", "1");
  TPolyLineString lines;
  for (auto [x0, x1] : {std::pair{0.0, 10.0}, {10.0, 20.0}}) {
    auto* line = new TPolyLineElement;
    line->AddVertex(x0, 0);
    line->AddVertex(x1, 0);
    lines.AddAndExtend(line);
  }
  TMakeNodes nodes;
  nodes.SetInput(&lines);
  nodes.DoIt();
  EXPECT_EQ(nodes.Output(), nullptr);
  ASSERT_EQ(ui->shownTexts().size(), 1u);
  EXPECT_EQ(ui->shownTexts()[0].rfind("Chybná hodnota MaxPocetSouradnic = \"1\" v sekci EXPORT", 0), 0u)
      << ui->shownTexts()[0];
}

// The user reads the district's paths as chosen: a missing attribute table
// is named, not its index, and a damaged block by its drive and directories.
TEST_F(ReadCommandsTest, ADistrictOnADriveIsNamedAsChosen) {
  struct Drive {
    explicit Drive(const fs::path& directory) { platform::pathResolver().setDrive('D', directory); }
    ~Drive() { platform::pathResolver().removeDrive('D'); }
  } drive(dir);
  jobs::LoadedModel state;
  const std::string chosen = "D:\\GIS\\4107\\01";
  fs::remove(District() / "DET.BLK" / "P0110.DBF");
  fs::remove(District() / "DET.BLK" / "P0110.IND");
  {
    zelto::ProblemTally problems;
    jobs::ReadDistrict(state, chosen);
    EXPECT_NE(problems.Summary().find("Databáze " + chosen + "\\DET.BLK\\P0110.DBF neexistuje"), std::string::npos)
        << problems.Summary();
    EXPECT_EQ(problems.Summary().find(".IND"), std::string::npos) << problems.Summary();
  }

  // TN.LIN cut inside a record.
  const fs::path lin = District() / "DET.BLK" / "TN.LIN";
  fs::resize_file(lin, fs::file_size(lin) - 1);
  test_support::LogProbe probe;
  jobs::ReadDistrict(state, chosen);
  zelto::RunMessagesUntilIdle();
  ASSERT_TRUE(state.Damage);
  const std::string damaged = jobs::DamagedInputText(*state.Damage);
  EXPECT_EQ(damaged.rfind("Vstupní blok " + chosen + "\\DET.BLK je poškozen (TN.LIN", 0), 0u) << damaged;
  EXPECT_NE(probe.all().find("Čtení bloku: " + chosen + "\\DET.BLK\\TN.LIN: "), std::string::npos) << probe.all();
  EXPECT_EQ(probe.all().find(dir.string()), std::string::npos) << probe.all();
}

}  // namespace
}  // namespace jobs_test
