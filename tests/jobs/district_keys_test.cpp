// The keys a district's forest description files its areas by, as a
// spreadsheet's edit may leave them: a key field renamed fails the read and
// no level is replaced; a compartment or group that is no whole number, or
// a blank compartment, leaves its area unfiled, told with its table and row; a CISLO of two rows
// files its area by the later row, with or without the .IND file, and is
// told every read.
#include "areas/forest_space_unit.h"
#include "dbf_rows.h"
#include "files.h"
#include "jobs_fixture.h"
#include "log_probe.h"

namespace jobs_test {
namespace {

class DistrictKeysTest : public JobsTest {
 protected:
  fs::path Table() const { return District() / "DET.BLK" / "P0110.DBF"; }
  // Every unit of the hierarchy by its path of names with its count of
  // areas, and the group unit of every area filed.
  struct Filed {
    std::map<std::string, int> units;
    std::map<std::int32_t, std::string> groups;
    int Stands() const {  // in the districts
      int areas = 0;
      for (const auto& [unit, count] : units)
        if (unit.starts_with("LES/REVIR: ") && unit.find('/', 4) == std::string::npos) areas += count;
      return areas;
    }
  };
  Filed Hierarchy() const {
    Filed filed;
    if (TForestSpaceUnit* root = state.GetHierarchyRoot()) Collect(*root, "", filed);
    return filed;
  }
  static void Collect(TForestSpaceUnit& unit, const std::string& path, Filed& filed) {
    const std::string name = path + unit.GetName();
    filed.units[name] = unit.PocetPloch;
    for (TElement* child : unit.Items()) {
      if (child->Is<TForestSpaceUnit>()) Collect(*static_cast<TForestSpaceUnit*>(child), name + "/", filed);
      auto* area = dynamic_cast<TAreaElement*>(child);
      auto* props = area ? dynamic_cast<TGelixAreaProps*>(area->GetProperties()) : nullptr;
      if (props && !unit.Is<TNeplochy>()) filed.groups[props->Cislo] = unit.GetName();
    }
  }
  // The level blocks of the district, byte for byte.
  std::map<std::string, std::string> LevelBlocks() const {
    std::map<std::string, std::string> blocks;
    for (const auto& entry : fs::directory_iterator(District()))
      if (entry.path().filename().string().starts_with("01_"))
        for (const auto& file : fs::directory_iterator(entry.path()))
          blocks[entry.path().filename().string() + "/" + file.path().filename().string()] =
              test_support::ComparableBytes(file.path());
    return blocks;
  }

  jobs::LoadedModel state;
};

TEST_F(DistrictKeysTest, ATableWithoutAFieldTheAreasAreFiledByIsNotReadAndNoLevelIsReplaced) {
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  jobs::ExportWholeDistrict(LevelContext(state, District()));
  const std::map<std::string, std::string> written = LevelBlocks();
  ASSERT_GE(written.size(), 8u * 4u);
  const std::string sound = FileBytes(Table());
  for (const std::string field : {"LS_KOD", "ODDELENI", "DILEC", "SKUPINA"}) {
    SCOPED_TRACE(field);
    test_support::RenameField(Table(), field, field.substr(0, 6) + "_1");
    ui->clear();
    EXPECT_FALSE(jobs::ReadDistrict(state, District().string()));
    EXPECT_EQ(state.GetHierarchyRoot(), nullptr);
    EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Revír " + District().string() + " nebyl načten: Tabulka " +
                                                         Table().string() + " nemá položku " + field +
                                                         ", podle níž se plochy řadí do lesnické hierarchie; nic "
                                                         "není načteno"});
    jobs::ExportWholeDistrict(LevelContext(state, District()));
    EXPECT_EQ(LevelBlocks(), written);
    test_support::WriteFile(Table(), sound);
  }
  // The hierarchy built again on a district read before the field went.
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  test_support::RenameField(Table(), "SKUPINA", "SKUPIN_1");
  ui->clear();
  EXPECT_FALSE(jobs::BuildForestHierarchy(state));
  EXPECT_EQ(state.GetHierarchyRoot(), nullptr);
  EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Lesnická hierarchie nebyla vytvořena: Tabulka " +
                                                       Table().string() + " nemá položku SKUPINA, podle níž se "
                                                       "plochy řadí do lesnické hierarchie"});
  jobs::ExportWholeDistrict(LevelContext(state, District()));
  EXPECT_EQ(LevelBlocks(), written);
}

TEST_F(DistrictKeysTest, ACompartmentOrGroupThatIsNoWholeNumberLeavesItsAreaUnfiledAndIsToldWithItsRow) {
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  ASSERT_EQ(state.UnfiledAreas, 0);
  const Filed sound = Hierarchy();
  const std::string soundTable = FileBytes(Table());
  const std::string cislo = test_support::LiveRows(Table(), {"CISLO"}).at(0).at(0);
  const struct {
    const char* field;
    const char* text;
  } cases[] = {{"ODDELENI", "1,5"}, {"ODDELENI", "1.5"}, {"ODDELENI", "***"}, {"ODDELENI", "-"},
               {"ODDELENI", "x"},   {"ODDELENI", ""},    {"SKUPINA", "1,5"},
               {"SKUPINA", "2.0"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " " + c.text);
    test_support::SetRawField(Table(), 1, c.field, c.text);
    test_support::LogProbe log;
    ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
    EXPECT_FALSE(state.Damage);
    EXPECT_EQ(state.UnfiledAreas, 1);
    EXPECT_TRUE(log.saw("Lesnická hierarchie: plocha " + cislo + " není zařazena, tabulka " + Table().string() +
                        ", řádek 1: hodnota \"" + c.text + "\" položky " + c.field + " není celé číslo"))
        << log.all();
    // The area is under no unit: every unit is one of the sound read's,
    // and the district holds one area less.
    const Filed filed = Hierarchy();
    for (const auto& [unit, areas] : filed.units) EXPECT_EQ(sound.units.count(unit), 1u) << unit;
    EXPECT_EQ(filed.Stands(), sound.Stands() - 1);
    test_support::WriteFile(Table(), soundTable);
  }
}

TEST_F(DistrictKeysTest, ACisloOfTwoRowsFilesItsAreaByTheLaterRowWithOrWithoutTheIndexAndIsToldEveryRead) {
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  const fs::path index = District() / "DET.BLK" / "P0110.IND";
  ASSERT_TRUE(fs::exists(index));
  // A stand group's row, copied under a group number no other row has.
  const test_support::DbfRows rows = test_support::LiveRows(Table(), {"CISLO", "SKUPINA"});
  const auto stand = std::find_if(rows.begin(), rows.end(), [](const auto& row) { return std::stoi(row[1]) < 100; });
  ASSERT_NE(stand, rows.end());
  const auto recNo = static_cast<std::uint32_t>(stand - rows.begin() + 1);
  const std::int32_t cislo = std::stoi(stand->at(0));
  ASSERT_EQ(Hierarchy().groups[cislo], "Por.skup: " + stand->at(1));
  test_support::AppendChangedCopy(Table(), recNo, {{"SKUPINA", "77"}});
  const std::string told = "Tabulka " + Table().string() + ": CISLO " + std::to_string(cislo) + " je v řádcích " +
                           std::to_string(recNo) + " a " + std::to_string(rows.size() + 1) + "; platí poslední řádek";
  const std::string oldIndex = FileBytes(index);
  for (const bool withIndex : {true, false, true}) {
    SCOPED_TRACE(withIndex ? "the index written before the copy" : "no index");
    if (withIndex)
      test_support::WriteFile(index, oldIndex);
    else
      fs::remove(index);
    test_support::LogProbe log;
    ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
    EXPECT_EQ(Hierarchy().groups[cislo], "Por.skup: 77");
    EXPECT_TRUE(log.saw(told)) << log.all();
    // The level's row of the area is copied from the same row.
    ASSERT_EQ(jobs::ExportForestLevel(LevelContext(state, District()), *jobs::FindForestLevel(95)),
              jobs::ExportResult::Written);
    const test_support::DbfRows groups = test_support::LiveRows(District() / "01_16PSK.BLK" / "P1600.DBF", {"PSK"});
    EXPECT_EQ(std::count(groups.begin(), groups.end(), std::vector<std::string>{"77"}), 1);
  }
}

}  // namespace
}  // namespace jobs_test
