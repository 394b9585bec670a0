// Two districts of a realistic size (about 8,600 and 1,550 ha, an LHC of
// about 10,200 ha): every level of both exported, both merged into the LHC,
// and every row of every table written held against the areas of its block
// and the generator's: areas of a thousand hectares and more must keep
// their rows as the 69 ha sample does.
#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>

#include "app/jobs/lhc_merge.h"
#include "areas/export_dbf_class.h"
#include "jobs_fixture.h"
#include "platform/dbase_table.h"

namespace jobs_test {
namespace {

using Row = std::map<std::string, std::string>;

struct RowOfArea {
  Row row;
  double net;
};

// Every area of the block has its row in the table of its kind, with its
// kind and its net area as PLOCHA (times `scale`, to the field's last
// decimal), and no table holds a row of no area, nor one twice. The rows
// by kind.
std::map<int, std::vector<RowOfArea>> ExpectRowPerArea(const fs::path& block, double scale) {
  SCOPED_TRACE(block.filename().string());
  std::map<int, std::map<int, Row>> tables;
  std::map<int, double> halfDigit;
  auto tableOf = [&](int druh) -> const std::map<int, Row>& {
    if (tables.count(druh)) return tables[druh];
    platform::DbfTable t;
    t.open(block / (areas::KindTableName('P', druh) + ".DBF"), true);
    halfDigit[druh] = 0.5 * std::pow(10.0, -t.fields()[static_cast<std::size_t>(t.fieldIndex("PLOCHA"))].decimals);
    for (bool more = t.first(); more; more = t.next()) {
      Row row;
      for (const platform::DbfField& f : t.fields()) row[f.name] = t.text(f.name);
      EXPECT_TRUE(tables[druh].emplace(std::stoi(row.at("CISLO")), row).second) << row.at("CISLO") << " twice";
    }
    return tables[druh];
  };
  std::map<int, std::vector<RowOfArea>> byKind;
  const std::vector<AreaRecord> areas = ReadAreaRecords(block);
  EXPECT_FALSE(areas.empty());
  for (const AreaRecord& area : areas) {
    const std::map<int, Row>& rows = tableOf(area.druh);
    const auto it = rows.find(area.cislo);
    if (it == rows.end()) {
      ADD_FAILURE() << "area " << area.cislo << " of kind " << area.druh << " has no row";
      continue;
    }
    EXPECT_EQ(std::stoi(it->second.at("DRUH")), area.druh) << area.cislo;
    EXPECT_NEAR(std::stod(it->second.at("PLOCHA")), area.net * scale, halfDigit[area.druh] * 1.01) << area.cislo;
    byKind[area.druh].push_back({it->second, area.net});
  }
  for (const auto& [druh, rows] : tables) EXPECT_EQ(rows.size(), byKind[druh].size()) << "rows of kind " << druh;
  return byKind;
}

// Net areas by unit key.
using Units = std::map<std::string, std::vector<double>>;

void ExpectUnits(Units got, Units wanted, double tolerance) {
  ASSERT_EQ(got.size(), wanted.size());
  for (auto& [unit, nets] : wanted) {
    std::vector<double>& found = got[unit];
    std::sort(found.begin(), found.end());
    std::sort(nets.begin(), nets.end());
    ASSERT_EQ(found.size(), nets.size()) << unit;
    for (std::size_t i = 0; i < nets.size(); ++i) EXPECT_NEAR(found[i], nets[i], tolerance) << unit;
  }
}

class RealisticSizeTest : public LhcJobTest<jobs::LhcMergeContext> {
 protected:
  const fs::path& Tree() const override { return test_support::GeneratedTree("--seed 1 --size 160x150,72x60"); }

  // The generator's areas of each level's own kind: level -> unit -> nets.
  std::map<std::string, Units> ExpectedUnits(const std::string& code) const {
    std::istringstream lines(test_support::Capture(
        "python3 -c \"import json,sys; d=json.load(open(sys.argv[1]))['districts']['" + code +
        "']\n"
        "for k, l in d['levels'].items():\n"
        "  for a in l['areas']:\n"
        "    if a['druh'] == l['area_kind']: print(k, a['unit'], a['net_m2'])\" " +
        test_support::Quoted((dir / "expected.json").string())));
    std::map<std::string, Units> units;
    std::string level, unit;
    double net;
    while (lines >> level >> unit >> net) units[level][unit].push_back(net);
    return units;
  }
  double Sum(const std::string& expression) const { return std::stod(test_support::Expected(dir, expression)); }
};

// The unit of a level's row as the generator names it.
std::string UnitOf(const std::string& level, const std::string& district, const Row& row) {
  if (level == "REG") return row.at("REVIR");
  std::string unit = district + "/" + row.at("ODD");
  if (level == "ODD") return unit;
  unit += "/" + row.at("DIL");
  if (level == "DIL" || level == "ZRO") return unit;
  return unit + "/" + row.at(level);  // the group field is named as its level
}

TEST_F(RealisticSizeTest, EveryAreaOfEveryLevelAndOfTheLhcHasItsRow) {
  EXPECT_GT(Sum("e['districts']['01']['det_area_ha']"), 1500);
  EXPECT_GT(Sum("e['districts']['02']['det_area_ha']"), 1500);
  EXPECT_GT(Sum("e['lhc_area_m2']"), 1e8);
  for (const char* code : {"01", "02"}) {
    SCOPED_TRACE(code);
    ASSERT_TRUE(jobs::ReadDistrict(state, District(code).string()));
    jobs::ExportWholeDistrict(LevelContext(state, District(code)));
    ASSERT_TRUE(ui->shownTexts().empty()) << ui->shownTexts().front();
    const std::map<std::string, Units> expected = ExpectedUnits(code);
    for (const jobs::ForestLevel& level : jobs::ForestLevels()) {
      const std::string name = level.Zro ? "ZRO" : level.KeyStem;
      SCOPED_TRACE(name);
      const auto rows = ExpectRowPerArea(District(code) / (std::string(code) + "_" + level.Prefix + ".BLK"), 1e-4);
      Units units;
      if (rows.count(level.AreaKind))
        for (const RowOfArea& r : rows.at(level.AreaKind)) units[UnitOf(name, code, r.row)].push_back(r.net);
      ExpectUnits(units, expected.at(name), 0.05);
    }
  }

  // The LHC: one area per district, in square metres, with its district's
  // code; the strip between the districts' shared edges goes to one of them.
  ASSERT_EQ(jobs::MergeLhcLayer(context, jobs::LhcLayer()), jobs::MergeResult::Written);
  const double gap = Sum("e['lhc_shared_gap_m2']");
  const auto lhcRows = ExpectRowPerArea(lhc / "_11LHC.BLK", 1);
  ASSERT_EQ(lhcRows.count(1100), 1u);
  double total = 0;
  std::set<std::string> codes;
  for (const RowOfArea& r : lhcRows.at(1100)) {
    const std::string code = r.row.at("REVIR");
    codes.insert(code);
    EXPECT_EQ(r.row.at("LHC_KOD"), "4107");
    EXPECT_NEAR(r.net, Sum("e['districts']['" + code + "']['levels']['REG']['sum_net_m2']"), gap + 0.1) << code;
    total += std::stod(r.row.at("PLOCHA"));
  }
  EXPECT_EQ(codes, (std::set<std::string>{"01", "02"}));
  EXPECT_NEAR(total, Sum("sum(e['districts'][c]['levels']['REG']['sum_net_m2'] for c in ('01','02'))") + gap, 0.1);

  // The LHC's ZRO layer: the sub-compartments of both districts, in square
  // metres in the structure of the districts' tables.
  ASSERT_EQ(jobs::MergeLhcLayer(context, jobs::LhcZroLayer()), jobs::MergeResult::Written);
  const auto zroRows = ExpectRowPerArea(lhc / "_91ZRO.BLK", 1);
  Units merged, wanted;
  for (const RowOfArea& r : zroRows.at(1400)) merged[r.row.at("ODD") + "/" + r.row.at("DIL")].push_back(r.net);
  for (const char* code : {"01", "02"}) {
    const std::map<std::string, Units> units = ExpectedUnits(code);
    for (const auto& [unit, nets] : units.at("ZRO")) wanted[unit.substr(3)] = nets;  // without the district
  }
  ExpectUnits(merged, wanted, gap + 0.1);
  EXPECT_EQ(ui->shownTexts(), (std::vector<std::string>{"Konec tvorby LHC", "Konec tvorby LHC"}));
}

// A stand group all of whose lines have one other area on their outer side
// lies in that area, whether its outline is a hole ring of its own or
// touches the area's ring at a node (the district has both): it is
// written as that area's island.
TEST_F(RealisticSizeTest, EveryStandGroupInsideAnotherNamesItAsFather) {
  ASSERT_TRUE(jobs::ReadDistrict(state, District("01").string()));
  ASSERT_EQ(jobs::ExportForestLevel(LevelContext(state, District("01")), *jobs::FindForestLevel(95)),
            jobs::ExportResult::Written);
  TEntity model;
  std::unique_ptr<TGeliXBlokReader> reader(
      TGeliXBlokReader::CreateForBlock((District("01") / "01_16PSK.BLK").string()));
  reader->SetObjectModel(&model);
  std::unique_ptr<TAreaString> areas(reader->ReadAreas());
  ASSERT_TRUE(areas);
  std::set<int> fathers;
  for (TElement* e : areas->Items()) {
    auto* area = static_cast<TAreaElement*>(e);
    const int number = area->GetPropertyInt("Cislo");
    std::set<int> around;
    for (TElement* line : area->Items()) {
      auto* sides = static_cast<TGelixLineProps*>(static_cast<TSpaceEntity*>(line)->GetProperties());
      around.insert(sides->LeftArea == number ? sides->RightArea : sides->LeftArea);
    }
    if (around.size() != 1 || *around.begin() == 0) continue;
    EXPECT_EQ(area->GetPropertyInt("PaterNo"), *around.begin()) << number;
    fathers.insert(*around.begin());
  }
  EXPECT_GT(fathers.size(), 1u);
  for (TElement* e : areas->Items())
    if (fathers.count(e->GetPropertyInt("Cislo"))) {
      EXPECT_TRUE(e->GetPropertyBool("HasChildren"));
    }
}

}  // namespace
}  // namespace jobs_test
