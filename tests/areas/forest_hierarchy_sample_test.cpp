// The hierarchy built from a district written by the independent generator:
// every unit of every level must hold the generator's number of stand areas
// and their net area, and the line lists of the units of one level must make
// up that level's network.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "areas/forest_hierarchy.h"
#include "areas/forest_space_unit.h"
#include "framework/class_registry.h"
#include "framework/message_dispatch.h"
#include "gisblock/gelix_blok_reader.h"
#include "gisblock/gelix_classes.h"
#include "platform/message_queue.h"
#include "walkers_fixture.h"
#include "process.h"
#include "sample_tree.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace areas_test;


// Per district, per level: unit key, number of stand areas, net sum; and
// per level class the number of network lines.
constexpr const char* kFlatten = R"PY(
import json, sys
e = json.load(open(sys.argv[1]))
for d in e['districts'].values():
    print('DISTRICT', d['directory'])
    for name, level in d['levels'].items():
        print('NET', level['level_class'], level['network_lines'])
        units = {}
        for a in level['areas']:
            if a['unit'] is None: continue
            n, s = units.get(a['unit'], (0, 0.0))
            units[a['unit']] = (n + len(a['det_areas']), s + a['net_m2'])
        for key, (n, s) in units.items():
            print('UNIT', name, key, n, s)
)PY";

class SampleHierarchyTest : public WalkerTest {
 protected:
  void SetUp() override {
    WalkerTest::SetUp();
    if (test_support::GeneratedSample().empty()) GTEST_SKIP() << "python3 not installed";
    RegisterGelixClasses();
    ASSERT_TRUE(test_support::CopySample(dir.path()));
    platform::messageQueue().discardAll();
  }
  void TearDown() override { platform::messageQueue().discardAll(); }
  test_support::TempDir dir{"hierarchy"};
  test_support::ScopedEnv windir{"WINDIR", dir.string()};  // the generated TERGELIX.INI
};

TForestSpaceUnit* Child(TForestSpaceUnit* unit, const std::string& name) {
  return unit ? dynamic_cast<TForestSpaceUnit*>(unit->FindElementByName(name)) : nullptr;
}

// "01/3/c/1" on level PSK: the units down the path, named as filed.
TForestSpaceUnit* Find(TForestSpaceUnit* root, const std::string& level, const std::string& key) {
  std::vector<std::string> parts;
  std::istringstream in(key);
  for (std::string part; std::getline(in, part, '/');) parts.push_back(part);
  TForestSpaceUnit* unit = Child(root, "REVIR: " + parts[0]);
  if (parts.size() > 1) {
    char number[16];
    std::snprintf(number, sizeof number, "%5d", std::atoi(parts[1].c_str()));
    unit = Child(unit, std::string("Oddeleni: ") + number);
  }
  if (parts.size() > 2) unit = Child(unit, "Dilec: " + parts[2]);
  if (parts.size() > 3) {
    const std::map<std::string, std::string> prefix = {
        {"PSK", "Por.skup: "}, {"BZL", "BEZLESI: "}, {"JP", "JINE: "}, {"OP", "OSTATNI: "}};
    unit = Child(unit, prefix.at(level) + parts[3]);
  }
  return unit;
}

void CollectLines(TForestSpaceUnit* unit, const TElementClass& cls, std::set<TElement*>& lines) {
  if (unit->InheritsFrom(cls)) {
    if (TPolyLineString* list = unit->GetLines())
      for (TElement* line : list->Items()) lines.insert(line);
    return;
  }
  for (TElement* child : unit->Items())
    if (child->Is<TForestSpaceUnit>()) CollectLines(static_cast<TForestSpaceUnit*>(child), cls, lines);
}

// Whether every unit's sub-units stand in name order, however the areas came.
bool SubUnitsInNameOrder(TForestSpaceUnit* unit) {
  std::string last;
  for (TElement* child : unit->Items()) {
    if (!child->Is<TForestSpaceUnit>()) continue;
    if (child->GetName() < last || !SubUnitsInNameOrder(static_cast<TForestSpaceUnit*>(child))) return false;
    last = child->GetName();
  }
  return true;
}

int UnitsWithoutAreas(const TForestSpaceUnit* unit) {
  if (unit->IsEmpty()) return 1;
  int empty = 0;
  for (TElement* child : unit->Items())
    if (child->Is<TForestSpaceUnit>()) empty += UnitsWithoutAreas(static_cast<const TForestSpaceUnit*>(child));
  return empty;
}

TEST_F(SampleHierarchyTest, UnitsHoldTheGeneratorsAreasAndTheirLinesMakeEachLevelsNetwork) {
  const fs::path script = dir / "flatten.py";
  std::ofstream(script) << kFlatten;
  std::istringstream rows(test_support::Capture("python3 '" + script.string() + "' '" + (dir / "expected.json").string() + "'"));
  std::string tag;
  std::unique_ptr<TEntity> model;
  std::unique_ptr<TAreaString> areas;
  TForestSpaceUnit* root = nullptr;
  int units = 0, networks = 0;
  while (rows >> tag) {
    if (tag == "DISTRICT") {
      std::string district;
      rows >> district;
      areas.reset();
      model = std::make_unique<TEntity>();
      std::unique_ptr<TGeliXBlokReader> reader(
          TGeliXBlokReader::CreateForBlock((dir / "GIS" / district / "DET.BLK").string()));
      reader->SetObjectModel(model.get());
      areas.reset(reader->ReadAreas());
      ASSERT_TRUE(areas);
      TForestHierarchy hierarchy;
      hierarchy.SetObjectModel(model.get());
      hierarchy.SetInput(areas.get());
      hierarchy.DoIt();
      root = dynamic_cast<TForestSpaceUnit*>(hierarchy.Output());
      ASSERT_NE(root, nullptr);
      EXPECT_EQ(root->GetName(), "LES");
      EXPECT_TRUE(SubUnitsInNameOrder(root));
      TVyberLiniiDoHierarchie lines;
      lines.SetName("Výběr linií do hierarchie");
      lines.SetInput(root);
      const int stepsBefore = forms->steps();
      lines.DoIt();
      // The gathering shows its own bar, moved once per unit.
      ASSERT_FALSE(forms->showings().empty());
      EXPECT_EQ(forms->showings().back().caption, "Výběr linií do hierarchie");
      EXPECT_EQ(forms->showings().back().maxValue, root->CountUnits());
      EXPECT_EQ(forms->steps() - stepsBefore, root->CountUnits() - UnitsWithoutAreas(root));
    } else if (tag == "NET") {
      std::string className;
      std::size_t expected = 0;
      rows >> className >> expected;
      std::set<TElement*> lines;
      CollectLines(root, *FindZeltoClass(className), lines);
      EXPECT_EQ(lines.size(), expected) << className;
      ++networks;
    } else {
      std::string level, key;
      int count = 0;
      double net = 0;
      rows >> level >> key >> count >> net;
      SCOPED_TRACE(level + " " + key);
      TForestSpaceUnit* unit = Find(root, level, key);
      ASSERT_NE(unit, nullptr);
      EXPECT_EQ(unit->PocetPloch, count);
      EXPECT_NEAR(unit->Plocha, net, 0.01);
      ++units;
    }
  }
  EXPECT_GT(units, 40);
  EXPECT_GT(networks, 10);
  EXPECT_TRUE(ui->shownTexts().empty());
}

}  // namespace
