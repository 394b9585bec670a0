// The LHC merges on the generated tree: the districts' exported blocks
// merged into one block of the LHC, read back and held against the
// generator's areas; and the old block kept when there is nothing to merge.
#include "app/jobs/lhc_merge.h"

#include "jobs_fixture.h"

namespace jobs_test {
namespace {

class LhcMergeTest : public LhcJobTest<jobs::LhcMergeContext> {
 protected:
  // The district and ZRO levels of both districts, as the level exports write them.
  void ExportDistricts() {
    for (const char* code : {"01", "02"}) {
      ASSERT_TRUE(jobs::ReadDistrict(state, District(code).string()));
      for (int command : {99, 116})
        ASSERT_EQ(jobs::ExportForestLevel(LevelContext(state, District(code)), *jobs::FindForestLevel(command)),
                  jobs::ExportResult::Written);
    }
    ui->clear();
  }
  double ExpectedSum(const std::string& expression) const {
    return std::stod(test_support::Expected(dir, expression));
  }
};

TEST_F(LhcMergeTest, TheDistrictsMergeIntoTheLhcAreaAndTheLhcZroLayer) {
  ExportDistricts();
  ASSERT_EQ(jobs::MergeLhcLayer(context, jobs::LhcLayer()), jobs::MergeResult::Written);
  EXPECT_EQ(ui->shownTexts().back(), "Konec tvorby LHC");
  std::map<int, KindSums> lhcAreas = ReadAreas(lhc / "_11LHC.BLK");
  // Kind 9400 of the districts becomes 1100; their holes stay empty areas.
  // The districts' shared edges lie 4 mm apart: snapped together, they
  // leave no sliver, and the strip between them goes to an LHC area.
  const std::string reg = "e['districts'][c]['levels']['REG']";
  const double gap = ExpectedSum("e['lhc_shared_gap_m2']");
  EXPECT_GT(gap, 1);
  EXPECT_EQ(lhcAreas[1100].count, ExpectedSum("sum(" + reg + "['count'] for c in ('01','02'))"));
  EXPECT_NEAR(lhcAreas[1100].net, ExpectedSum("sum(" + reg + "['sum_net_m2'] for c in ('01','02'))") + gap, 0.1);
  EXPECT_EQ(lhcAreas[134].count, ExpectedSum("sum(" + reg + "['empty_count'] for c in ('01','02'))"));
  EXPECT_NEAR(lhcAreas[1100].net + lhcAreas[134].net, ExpectedSum("e['lhc_area_m2']") + gap, 0.1);
  EXPECT_EQ(lhcAreas.count(0), 0u);
  EXPECT_EQ(lhcAreas[1100].colours, (std::map<int, int>{{7, 2}}));
  EXPECT_TRUE(fs::exists(lhc / "_11LHC.BLK" / "P1100.DBF"));

  ui->clear();
  ASSERT_EQ(jobs::MergeLhcLayer(context, jobs::LhcZroLayer()), jobs::MergeResult::Written);
  EXPECT_EQ(ui->shownTexts().back(), "Konec tvorby LHC");
  std::map<int, KindSums> zro = ReadAreas(lhc / "_91ZRO.BLK");
  const std::string levels = "e['districts'][c]['levels']['ZRO']";
  EXPECT_EQ(zro[1400].count, ExpectedSum("sum(" + levels + "['count'] for c in ('01','02'))"));
  EXPECT_NEAR(zro[1400].net, ExpectedSum("sum(" + levels + "['sum_net_m2'] for c in ('01','02'))") + gap, 0.1);
  EXPECT_EQ(zro[1400].colours.size(), 1u);
  EXPECT_EQ(zro[1400].colours.begin()->first, 12);
  EXPECT_EQ(zro[134].count, ExpectedSum("sum(" + levels + "['empty_count'] for c in ('01','02'))"));
  for (const auto& [colour, n] : zro[134].colours) EXPECT_TRUE(colour == 15 || colour == 13) << colour;
}

TEST_F(LhcMergeTest, WithoutDistrictBlocksTheOldBlockStays) {
  fs::create_directories(lhc / "_11LHC.BLK");
  std::ofstream(lhc / "_11LHC.BLK" / "TN.ARE") << "old";
  EXPECT_EQ(jobs::MergeLhcLayer(context, jobs::LhcLayer()), jobs::MergeResult::NoDistricts);
  EXPECT_TRUE(ui->shownTexts().empty()) << ui->shownTexts().front();
  std::ifstream in(lhc / "_11LHC.BLK" / "TN.ARE");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("_94REG.BLK"), std::string::npos) << log[0];

  // A bad snap distance is named before anything is read.
  SetExportSetting("LHCSnapDistance", "-0.01");
  EXPECT_EQ(jobs::MergeLhcLayer(context, jobs::LhcLayer()), jobs::MergeResult::BadSetting);
  ASSERT_EQ(ui->shownTexts().size(), 1u);
  EXPECT_NE(ui->shownTexts()[0].find("LHCSnapDistance"), std::string::npos);
}

TEST_F(LhcMergeTest, DistrictCodesAreTwoCharacterNamesInOneOrderEverywhere) {
  const fs::path root = dir / "CODES";
  for (const char* name : {"ab", "abc", "AA", "b", "0c", "Zz", "čx"}) fs::create_directories(root / name);
  EXPECT_EQ(jobs::DistrictCodes(root), (std::vector<std::string>{"0c", "AA", "ab", "Zz", "čx"}));
}

}  // namespace
}  // namespace jobs_test
