// A unit's line list holds what bounds it from outside and its islands'
// lines, never a line shared by two of its own areas or sub-units.
#include "areas/forest_hierarchy.h"
#include "areas/forest_space_unit.h"
#include "framework/message_dispatch.h"
#include "framework/zelto_message.h"
#include "platform/message_queue.h"
#include "render/interpret_layer.h"
#include "log_probe.h"
#include "walkers_fixture.h"
#include "temp_dir.h"

namespace {

using namespace areas_test;

class UnitLinesTest : public WalkerTest {
 protected:
  // Lines are also held by the block's line string, as when read.
  TPolyLineElement* L(Pts points) {
    TPolyLineElement* line = Line(points);
    all.AddAndExtend(line);
    return line;
  }
  TPolyLineAreaElement* Area(std::initializer_list<TPolyLineElement*> lines) {
    auto* area = new TPolyLineAreaElement;
    for (TPolyLineElement* line : lines) area->Add(line);
    return area;
  }
  std::vector<TElement*> Lines(TForestSpaceUnit* unit) {
    TPolyLineString* list = unit->GetLines();
    return list ? list->Items() : std::vector<TElement*>{};
  }
  TPolyLineString all;
};

TEST_F(UnitLinesTest, TheLineBetweenTwoGroupsBoundsEachGroupButNotTheirSubCompartment) {
  TPolyLineElement *a1 = L({{0, 0}, {0, 10}}), *a2 = L({{0, 10}, {10, 10}}), *a3 = L({{10, 0}, {0, 0}});
  TPolyLineElement* shared = L({{10, 10}, {10, 0}});
  TPolyLineElement *b2 = L({{10, 10}, {20, 10}}), *b4 = L({{20, 10}, {20, 0}}), *b3 = L({{20, 0}, {10, 0}});
  TPolyLineElement* island = L({{2, 2}, {2, 4}, {4, 4}, {2, 2}});
  TPolyLineAreaElement* a = Area({a1, a2, shared, a3});
  TPolyLineAreaElement* hole = Area({island});
  a->AddHole(hole);
  TPolyLineAreaElement* b = Area({shared, b2, b4, b3});

  TForestSpaceUnit root;
  root.SetName("LES");
  auto* dilec = static_cast<TForestSpaceUnit*>(root.FindOrCreateByName(TDilec::StaticClass(), "Dilec: a"));
  auto* ga = static_cast<TForestSpaceUnit*>(dilec->FindOrCreateByName(TPorostniSkupina::StaticClass(), "Por.skup: 1"));
  auto* gb = static_cast<TForestSpaceUnit*>(dilec->FindOrCreateByName(TPorostniSkupina::StaticClass(), "Por.skup: 2"));
  ga->AddAndExtend(a);
  gb->AddAndExtend(b);

  TVyberLiniiDoHierarchie gather;
  gather.SetInput(&root);
  gather.DoIt();
  using V = std::vector<TElement*>;
  EXPECT_EQ(Lines(ga), (V{a1, a2, shared, a3, island}));
  EXPECT_EQ(Lines(gb), (V{shared, b2, b4, b3}));
  EXPECT_EQ(Lines(dilec), (V{a1, a2, a3, island, b2, b4, b3}));
  EXPECT_EQ(Lines(&root), Lines(dilec));
  EXPECT_EQ(ga->GetLines()->GetName(), "Linie v TPorostniSkupina");

  gather.DoIt();
  EXPECT_EQ(Lines(dilec).size(), 7u);
  EXPECT_EQ(Lines(ga).size(), 5u);
}

TEST_F(UnitLinesTest, FilingWithoutAModelOrFromAWrongInputSaysTheBlockIsMissing) {
  TForestHierarchy hierarchy;
  TEntity model;
  hierarchy.SetObjectModel(&model);
  T2DCoordinate notABlock(0, 0);
  hierarchy.SetInput(&notABlock);
  hierarchy.DoIt();
  EXPECT_EQ(hierarchy.Output(), nullptr);
  EXPECT_EQ(model.GetCount(), 0);
  EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Není nalezen blok"});
}

using test_support::LogProbe;

TAreaElement* Kind(TAreaElement* area, int druh, int cislo) {
  auto* props = new TGelixAreaProps;
  props->Druh = static_cast<std::int16_t>(druh);
  props->Cislo = cislo;
  area->SetProperties(props);
  return area;
}

TEST_F(WalkerTest, FilingKeepsSliversAndForeignKindsOutOfTheStandUnits) {
  platform::messageQueue().discardAll();
  LogProbe log;
  test_support::ScopedEnv windir("WINDIR", "/nonexistent");  // the default limits
  TEntity model;
  TAreaString areas;
  TAreaElement* road = Kind(Box(0, 0, 2, 5), 134, 1);  // 10 m²: filed
  areas.Add(road);
  areas.Add(Kind(Box(0, 0, 3.33, 3), 134, 2));  // 9.99 m²
  TAreaElement* reversed = Kind(new TAreaElement, 134, 3);
  for (auto [x, y] : Pts{{0, 0}, {50, 0}, {50, 50}, {0, 50}}) reversed->AddVertex(x, y);
  areas.Add(reversed);
  areas.Add(Box(0, 0, 40, 40));  // no attribute record
  areas.Add(Kind(Box(0, 0, 30, 30), TPridavacPloch::kStandKind, 4));  // no table to read the keys from

  TForestHierarchy hierarchy;
  hierarchy.SetObjectModel(&model);
  hierarchy.SetInput(&areas);
  hierarchy.DoIt();
  auto* root = dynamic_cast<TForestSpaceUnit*>(hierarchy.Output());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(model.FindElementByName("LES"), root);
  EXPECT_EQ(root->PocetPloch, 2);
  EXPECT_NEAR(root->Plocha, 910, 1e-9);
  auto* other = dynamic_cast<TNeplochy*>(root->FindElementByName("NEPLOCHY"));
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other->Items(), std::vector<TElement*>{road});
  EXPECT_EQ(root->GetCount(), 1);  // no unit made of keys that were never read
  zelto::RunMessagesUntilIdle();
  ASSERT_EQ(log.texts.size(), 1u);
  EXPECT_NE(log.texts[0].find("plocha 4"), std::string::npos) << log.texts[0];

  // Filed again (a layer read by a model script): the hierarchy is built
  // afresh, not counted twice.
  TInterpretLayer layer;
  layer.Add(&areas);
  hierarchy.SetInput(&layer);
  hierarchy.DoIt();
  layer.Remove(&areas);
  root = dynamic_cast<TForestSpaceUnit*>(hierarchy.Output());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->PocetPloch, 2);
  EXPECT_NEAR(root->Plocha, 910, 1e-9);
  EXPECT_EQ(model.GetCount(), 1);
  other = dynamic_cast<TNeplochy*>(root->FindElementByName("NEPLOCHY"));
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other->PocetPloch, 1);
  EXPECT_EQ(other->Items(), std::vector<TElement*>{road});
  EXPECT_EQ(road->GetOwnersCount(), 2);  // the list and the one unit

  // A district of slivers only files nothing, and says so.
  TAreaString slivers;
  slivers.Add(Kind(Box(0, 0, 3.33, 3), 134, 5));
  hierarchy.SetInput(&slivers);
  hierarchy.DoIt();
  EXPECT_TRUE(log.saw("žádná z 1 plochy nebyla zařazena")) << log.all();
}

}  // namespace
