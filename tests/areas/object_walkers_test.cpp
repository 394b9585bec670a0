// The walkers visit each line or area once, whatever the number of paths to
// it, and show their progress form only for walks of more than 100 items.
#include <memory>

#include "areas/area_walkers.h"
#include "areas/leaf_walkers.h"
#include "areas/line_end_readers.h"
#include "framework/class_registry.h"
#include "geometry/line_end_cells.h"
#include "walkers_fixture.h"

namespace {

using namespace areas_test;

void AddLines(TSpaceEntity& into, int n) {
  for (int i = 0; i < n; ++i) into.AddAndExtend(Line({{double(i), 0}, {double(i), 10}}));
}

TEST_F(WalkerTest, TheFormAppearsOnlyAboveOneHundredLines) {
  for (int n : {100, 101}) {
    TSpaceEntity lines;
    AddLines(lines, n);
    THledacLinii finder;
    finder.SetInput(&lines);
    finder.DoIt();
    EXPECT_EQ(finder.Result()->GetCount(), n);
    EXPECT_FALSE(finder.GaugeForm().visible());
  }
  ASSERT_EQ(forms->showings().size(), 1u);
  EXPECT_EQ(forms->showings()[0].maxValue, 101);
  EXPECT_EQ(forms->showings()[0].caption, "Hledání linií");  // named by nobody
}

TEST_F(WalkerTest, TheFinderTakesALineReachableTwiceOnceInWalkOrder) {
  TSpaceEntity model;
  auto* a = new TPolyLineString;
  auto* b = new TPolyLineString;
  model.Add(a);
  model.Add(b);
  TPolyLineElement* first = Line({{0, 0}, {5, 5}});
  TPolyLineElement* shared = Line({{5, 5}, {9, 0}});
  TPolyLineElement* last = Line({{20, 20}, {30, 30}});
  a->Add(first);
  a->Add(shared);
  b->Add(shared);
  b->Add(last);
  shared->SetIsDone(true);  // a mark left by earlier work does not hide it

  THledacLinii all;
  all.SetInput(&model);
  all.DoIt();
  ASSERT_EQ(all.Result()->GetCount(), 3);
  EXPECT_EQ(all.Result()->GetItem(0), first);
  EXPECT_EQ(all.Result()->GetItem(1), shared);
  EXPECT_EQ(all.Result()->GetItem(2), last);
  EXPECT_EQ(all.Count, 4);  // met four times, taken three

  THledacLinii windowed;
  windowed.SetInput(&model);
  windowed.SetWindow(9, -1, 15, 1);  // touches the shared line's corner only
  TSpaceEntity out;
  windowed.SetOutput(&out);
  windowed.DoIt();
  ASSERT_EQ(out.GetCount(), 1);
  EXPECT_EQ(out.GetItem(0), shared);
  EXPECT_EQ(out.GetMaxX(), 9);
}

TEST_F(WalkerTest, TheAreaFinderLeavesHolesOutUnlessAskedFor) {
  TAreaString areas;
  TAreaElement* outer = Box(0, 0, 100, 100);
  TAreaElement* hole = Box(10, 10, 20, 20);
  areas.Add(outer);
  areas.Add(hole);
  outer->AddHole(hole);
  for (bool include : {false, true}) {
    THledacPloch finder;
    finder.IncludeHoles = include;
    finder.SetInput(&areas);
    finder.DoIt();
    ASSERT_NE(finder.Result(), nullptr);
    EXPECT_TRUE(finder.Result()->Is<TAreaString>());
    EXPECT_EQ(finder.Result()->GetCount(), include ? 2 : 1);
    EXPECT_EQ(finder.Count, include ? 2 : 1);
  }
  THledacPloch noEntity;
  T2DCoordinate point(1, 2);
  noEntity.SetInput(&point);
  noEntity.DoIt();
  EXPECT_EQ(noEntity.Output(), nullptr);
}

TEST_F(WalkerTest, TheLoaderTakesTheListedKindsOrAllWithoutAList) {
  TSpaceEntity model;
  for (int druh : {2100, 2200, 3100, 2100}) model.AddAndExtend(Line({{0, 0}, {1, double(druh)}}, druh));
  auto load = [&](const std::string& druhy) {
    auto target = std::make_unique<TPolyLineString>();
    TNacitacLinii loader;
    loader.SetPropertyText("Druhy", druhy);
    loader.SetInput(&model);
    loader.AddParameter(target.get());
    loader.DoIt();
    loader.GetParameters()->Remove(target.get());
    return target->GetCount();
  };
  EXPECT_EQ(load("2100, 2200"), 3);
  EXPECT_EQ(load("žádné"), 4);
  TNacitacLinii noTarget;
  noTarget.SetInput(&model);
  noTarget.DoIt();
  EXPECT_EQ(noTarget.Count, 0);
}

TEST_F(WalkerTest, ACellIndexFilesBothEndsAndAClosedLineInBothListsOfOneLeaf) {
  TSpaceEntity model;
  TPolyLineElement* closed = Line({{10, 10}, {20, 10}, {20, 20}, {10, 10}});
  model.AddAndExtend(closed);
  model.AddAndExtend(Line({{50, 50}, {90, 90}}));
  TReadLinesIntoQTree reader;
  reader.SetInput(&model);
  reader.DoIt();
  std::unique_ptr<TSpaceLineBegEndCell> index(static_cast<TSpaceLineBegEndCell*>(reader.Output()));
  ASSERT_TRUE(index);
  EXPECT_EQ(index->GetName(), "QTREE");
  EXPECT_EQ(index->GetEntriesCount(), 4);
  ASSERT_TRUE(index->GetLast());
  EXPECT_EQ(index->Begins()->IndexOf(closed), 0);
  EXPECT_EQ(index->Ends()->IndexOf(closed), 0);

  TProchazecListuQTreeGauge leaves;
  leaves.SetInput(index.get());
  leaves.DoIt();
  EXPECT_EQ(leaves.GetPropertyInt("LeavesCount"), 1);

  TReadLinesIntoQTree none;
  TSpaceEntity empty;  // no rectangle to build an index over
  none.SetInput(&empty);
  none.DoIt();
  EXPECT_EQ(none.Output(), nullptr);
}

TEST_F(WalkerTest, TheClassWalkerReadsTheLineListsOfItsContainersOnly) {
  TSpaceEntity root;
  auto* unit = new TPointString;  // stands for a container of the level
  auto* list = new TPolyLineString;
  unit->Add(list);
  list->AddAndExtend(Line({{0, 0}, {10, 0}}));
  list->AddAndExtend(Line({{10, 0}, {10, 10}}));
  root.AddAndExtend(unit);
  root.ExtendBy(list);
  root.AddAndExtend(Line({{0, 0}, {-10, 0}}));  // outside any container

  TReadLinesIntoQTreeDleTridy reader;
  reader.SetPropertyText("ContainerClass", "TPointString");
  EXPECT_EQ(reader.PropertyText("ContainerClass"), "TPointString");
  reader.SetInput(&root);
  reader.DoIt();
  auto* index = static_cast<TSpaceLineBegEndCell*>(reader.Output());
  ASSERT_NE(index, nullptr);
  EXPECT_EQ(index->GetName(), "QTREE TPointString");
  EXPECT_EQ(root.IndexOf(index), root.GetCount() - 1);  // lives with the source
  EXPECT_EQ(index->GetEntriesCount(), 4);

  TReadLinesIntoQTreeDleTridy unknown;
  unknown.SetPropertyText("ContainerClass", "TNoSuchClass");
  EXPECT_EQ(unknown.ContainerClass(), nullptr);
  unknown.SetInput(&root);
  unknown.DoIt();
  EXPECT_EQ(static_cast<TSpaceLineBegEndCell*>(unknown.Output())->GetEntriesCount(), 0);
}

TEST_F(WalkerTest, AWalkGoesOnWhenTheUserClosesItsForm) {
  forms->closeAfterSteps(5);
  TSpaceEntity lines;
  AddLines(lines, 150);
  THledacLinii finder;
  finder.SetInput(&lines);
  finder.DoIt();
  EXPECT_EQ(finder.Result()->GetCount(), 150);
  EXPECT_TRUE(finder.GaugeForm().DoCloseQuery());
  EXPECT_TRUE(forms->breakQuestions().empty());

  THledacLinii stopped;  // the tool's break flag is what stops a walk
  stopped.SetInput(&lines);
  stopped.SetBreakWork(true);
  stopped.DoIt();
  EXPECT_EQ(stopped.Result()->GetCount(), 0);
}

}  // namespace
