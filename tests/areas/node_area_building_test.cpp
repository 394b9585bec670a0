// Nodes and areas built from hand-made networks: islands nested in areas,
// areas meeting in one node, dangling lines, pseudo-nodes joined or kept,
// and the line and sub-area lists of the areas built.
#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <stdexcept>
#include <set>
#include <string>
#include <vector>

#include "areas/area_builders.h"
#include "areas/area_line_relations.h"
#include "areas/area_walkers.h"
#include "areas/export_areas.h"
#include "areas/line_end_readers.h"
#include "areas/node_area_classes.h"
#include "areas/node_area_pipeline.h"
#include "areas/node_builders.h"
#include "areas/node_connectors.h"
#include "areas/sub_area_maker.h"
#include "framework/problem_report.h"
#include "geometry/line_end_cells.h"
#include "geometry/network_node.h"
#include "geometry/qtree.h"
#include "platform/message_queue.h"
#include "log_probe.h"
#include "walkers_fixture.h"

namespace {

using namespace areas_test;

// A closed ring of separate lines through the corners, clockwise.
void Ring(TPolyLineString& lines, double x0, double y0, double x1, double y1) {
  const std::pair<double, double> c[] = {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
  for (int i = 0; i < 4; ++i)
    lines.AddAndExtend(Line({c[i], c[(i + 1) % 4]}));
}

// A closed ring of n separate lines round a circle, clockwise.
void Circle(TPolyLineString& lines, int n, double radius, double cx = 0, double cy = 0) {
  for (int i = 0; i < n; ++i) {
    const double a0 = -2 * M_PI * i / n, a1 = -2 * M_PI * (i + 1) / n;
    lines.AddAndExtend(Line({{cx + radius * std::cos(a0), cy + radius * std::sin(a0)},
                             {cx + radius * std::cos(a1), cy + radius * std::sin(a1)}}));
  }
}

class NodeAreaTest : public WalkerTest {
 protected:
  void SetUp() override {
    WalkerTest::SetUp();
    RegisterNodeAreaClasses();
  }
  void TearDown() override {
    holeList.reset();
    nodearea::Release(net);
    lines.reset();
  }
  void Build(const nodearea::Options& options = {}) {
    net = nodearea::BuildAreasOfLines(*lines, options);
    ASSERT_TRUE(net.Index && net.Areas);
    areaList = net.AreaList;
    holeList.reset(Holes());
  }
  TAreaString* Holes() {
    THledacPloch finder;
    finder.IncludeHoles = true;
    auto* out = new TAreaString;
    finder.SetOutput(out);
    finder.SetInput(net.Areas);
    finder.DoIt();
    auto* only = new TAreaString;
    for (TElement* e : out->Items())
      if (static_cast<TAreaElement*>(e)->IsHole) only->Add(e);
    delete out;
    return only;
  }
  std::vector<double> NetAreas() const {
    std::vector<double> v;
    for (TElement* e : areaList->Items()) v.push_back(static_cast<TAreaElement*>(e)->GetArea1());
    std::sort(v.begin(), v.end());
    return v;
  }
  // How many branches the node at the given end of line `index` has; 0 when no node.
  int BranchesAtEnd(int index, bool start) const {
    TNode* node;
    TNodeBranch* branch;
    FindNodeOfLineEnd(static_cast<TPolyLineElement*>(lines->GetItem(index)), start, node, branch);
    return node ? node->GetBranchCount() : 0;
  }
  TAreaElement* AreaOf(double net) const {
    for (TElement* e : areaList->Items())
      if (std::fabs(static_cast<TAreaElement*>(e)->GetArea1() - net) < 1e-6) return static_cast<TAreaElement*>(e);
    return nullptr;
  }

  std::unique_ptr<TPolyLineString> lines = std::make_unique<TPolyLineString>();
  nodearea::Network net;
  TAreaString* areaList = nullptr;
  std::unique_ptr<TAreaString> holeList;
};

TEST_F(NodeAreaTest, NestedIslandsBecomeHolesOfTheSmallestEnclosingArea) {
  Ring(*lines, 0, 0, 100, 100);
  // The island: three lines.
  lines->AddAndExtend(Line({{20, 20}, {20, 80}}));
  lines->AddAndExtend(Line({{20, 80}, {80, 80}, {80, 20}}));
  lines->AddAndExtend(Line({{80, 20}, {20, 20}}));
  // In it a closed line, both ends in one node.
  lines->AddAndExtend(Line({{40, 40}, {40, 60}, {60, 60}, {60, 40}, {40, 40}}));
  Build();
  EXPECT_EQ(NetAreas(), (std::vector<double>{400, 3200, 6400}));
  ASSERT_EQ(holeList->GetCount(), 3);
  int owned = 0;
  for (TElement* h : holeList->Items()) owned += static_cast<TAreaElement*>(h)->GetHoleOwnerArea() != nullptr;
  EXPECT_EQ(owned, 2) << "the district's outer ring stays without owner";

  TAreaElement* outer = AreaOf(6400);
  TAreaElement* island = AreaOf(3200);
  TAreaElement* nested = AreaOf(400);
  ASSERT_TRUE(outer && island && nested);
  // The nested ring lies in the outer area too, but the island is the
  // smallest area around it.
  for (TElement* h : holeList->Items()) {
    auto* hole = static_cast<TAreaElement*>(h);
    const long size = std::lround(std::fabs(hole->GetWholeArea()));
    if (size == 400) {
      EXPECT_EQ(hole->GetHoleOwnerArea(), island);
    } else if (size == 3600) {
      EXPECT_EQ(hole->GetHoleOwnerArea(), outer);
    }
  }
  for (TAreaElement* a : {outer, island}) {
    ASSERT_TRUE(a->GetHoles()) << a->GetArea1();
    EXPECT_EQ(a->GetHoles()->GetCount(), 1) << a->GetArea1();
  }
  EXPECT_EQ(island->GetHoles()->GetItem(0)->Is<TAreaElement>(), true);

  // A ring met before the area around it has its own hole lies in both
  // areas: the smaller one takes it.
  {
    TEntity holder;
    TAreaElement* big = Box(0, 0, 100, 100);
    TAreaElement* middle = Box(20, 20, 80, 80);
    auto* ring = new TAreaElement;  // anticlockwise, as hole rings are
    for (auto [x, y] : Pts{{40, 40}, {60, 40}, {60, 60}, {40, 60}}) ring->AddVertex(x, y);
    ring->IsHole = true;
    TSpaceEntityQTree tree;
    tree.InitRootSquare(0, 0, 100, 100);
    for (TAreaElement* a : {big, middle, ring}) {
      holder.Add(a);
      tree.SetNextSpaceEntity(a);
    }
    TSubAreaMakerInQTree maker;
    maker.SetInput(&tree);
    maker.DoIt();
    EXPECT_EQ(ring->GetHoleOwnerArea(), middle);
    EXPECT_EQ(big->GetHoles(), nullptr);
  }
  for (TAreaElement* a : {outer, island, nested}) {
    EXPECT_TRUE(a->ContainsPoint(a->GetAbsRefX(), a->GetAbsRefY())) << a->GetArea1();
  }

  // The boundary of all three areas lists every line once.
  TExtractLinesForAreas all;
  all.SetInput(areaList);
  all.DoIt();
  std::unique_ptr<TPolyLineString> listed(all.GetLines());
  EXPECT_EQ(listed->GetCount(), 8);

  // In the outer area's hole lies the island, once for each of its lines;
  // the nodes and the line list owning those lines are no areas listed.
  TExtractSubAreasForArea sub;
  sub.AreaString = areaList;
  sub.SetInput(outer);
  sub.DoIt();
  std::unique_ptr<TAreaString> subAreas(sub.GetSubAreas());
  ASSERT_EQ(sub.Output(), subAreas.get());
  ASSERT_EQ(subAreas->GetCount(), 3);
  for (TElement* e : subAreas->Items()) EXPECT_EQ(e, island);

  // Unrestricted, every other owner of the hole lines is taken: the island,
  // the line lists and the two nodes of each line, but never the tool's own
  // temporary list of those lines, which is gone once the tool returns.
  TExtractSubAreasForArea any;
  any.SetInput(outer);
  any.DoIt();
  std::unique_ptr<TAreaString> owners(any.GetSubAreas());
  EXPECT_EQ(owners->GetCount(), 15);
  for (TElement* e : owners->Items())
    EXPECT_TRUE(e == island || e == lines.get() || e == listed.get() || e->Is<TNode>()) << e->ClassName();
  // The line lists have no other owner: taken out so that the result does not free them.
  for (TElement* list : {static_cast<TElement*>(lines.get()), static_cast<TElement*>(listed.get())})
    while (owners->IndexOf(list) >= 0) owners->Remove(list);

  TExtractSubAreasForArea none;
  none.SetInput(nested);
  none.DoIt();
  EXPECT_EQ(none.Output(), nullptr);
  delete none.GetSubAreas();
}

// Islands whose outlines have no hole ring of their own: the walk round
// the area around them goes round them too.
TEST_F(NodeAreaTest, IslandsTouchingTheRingAroundThemAreItsSubAreas) {
  // The square, its sides cut where the islands and a spur meet them.
  for (Pts corners : {Pts{{0, 0}, {0, 100}}, Pts{{0, 100}, {50, 100}}, Pts{{50, 100}, {100, 100}},
                      Pts{{100, 100}, {100, 80}}, Pts{{100, 80}, {100, 0}}, Pts{{100, 0}, {50, 0}},
                      Pts{{50, 0}, {0, 0}}})
    lines->AddAndExtend(Line(corners));
  // A diamond touching the bottom side at one vertex, and another touching
  // the first one's top from outside.
  lines->AddAndExtend(Line({{50, 0}, {30, 30}, {50, 60}}));
  lines->AddAndExtend(Line({{50, 60}, {70, 30}, {50, 0}}));
  lines->AddAndExtend(Line({{50, 60}, {40, 70}, {50, 80}}));
  lines->AddAndExtend(Line({{50, 80}, {60, 70}, {50, 60}}));
  // A diamond hanging on the right side by a line, and a spur from the top.
  lines->AddAndExtend(Line({{100, 80}, {90, 80}}));
  lines->AddAndExtend(Line({{90, 80}, {85, 85}, {80, 80}}));
  lines->AddAndExtend(Line({{80, 80}, {85, 75}, {90, 80}}));
  lines->AddAndExtend(Line({{50, 100}, {50, 90}}));
  Build();
  ASSERT_EQ(NetAreas(), (std::vector<double>{50, 200, 1200, 8550}));
  EXPECT_EQ(holeList->GetCount(), 1) << "only the outside";
  TAreaElement* square = AreaOf(8550);
  const std::set<TElement*> islands{AreaOf(1200), AreaOf(200), AreaOf(50)};

  auto subAreasOf = [this](TAreaElement* area) {
    TExtractSubAreasForArea sub;
    sub.AreaString = areaList;
    sub.SetInput(area);
    sub.DoIt();
    std::unique_ptr<TAreaString> found(sub.GetSubAreas());
    return std::set<TElement*>(found->Items().begin(), found->Items().end());
  };
  EXPECT_EQ(subAreasOf(square), islands);
  for (TElement* island : islands) EXPECT_TRUE(subAreasOf(static_cast<TAreaElement*>(island)).empty());
  // Wherever the ring starts, on an island's outline or on the spur: a copy
  // shares the square's lines, so the square is listed beside the islands.
  auto* ring = static_cast<TPolyLineAreaElement*>(square);
  const int count = ring->GetCount();
  for (int start = 1; start < count; ++start) {
    auto copy = std::make_unique<TPolyLineAreaElement>();
    copy->PassesNodeTwice = ring->PassesNodeTwice;
    for (int i = 0; i < count; ++i) {
      const int k = (start + i) % count;
      copy->AddItemsFrom(static_cast<TEntity*>(ring->GetItem(k)), ring->GetLineOrigin(k));
    }
    std::set<TElement*> found = subAreasOf(copy.get());
    found.erase(square);
    EXPECT_EQ(found, islands) << start;
  }

  // Exported, the islands name the square as their father.
  TPrepareExportAreasToGelix prepare;
  prepare.SetInput(areaList);
  prepare.DoIt();
  EXPECT_TRUE(square->GetPropertyBool("HasChildren"));
  for (TElement* island : islands) {
    EXPECT_EQ(island->GetPropertyInt("PaterNo"), square->ID);
    EXPECT_FALSE(island->GetPropertyBool("HasChildren"));
  }
}

TEST_F(NodeAreaTest, AreasTouchingInOneNodeAndDanglingLines) {
  Ring(*lines, 0, 0, 10, 10);
  Ring(*lines, 10, 10, 20, 20);
  // Dangling from a corner into the first square, and one lying alone.
  lines->AddAndExtend(Line({{0, 0}, {3, 5}, {5, 5}}));
  lines->AddAndExtend(Line({{30, 30}, {40, 35}}));
  // A sliver of 0.0005 square metres gives neither area nor hole.
  lines->AddAndExtend(Line({{50, 0}, {50, 0.001}, {51, 0}}));
  lines->AddAndExtend(Line({{51, 0}, {50, 0}}));
  Build();
  EXPECT_EQ(NetAreas(), (std::vector<double>{100, 100}));
  ASSERT_EQ(holeList->GetCount(), 1) << "one outer ring around both squares";
  EXPECT_DOUBLE_EQ(static_cast<TAreaElement*>(holeList->GetItem(0))->GetWholeArea(), -200);
  TAreaElement* withSpur = nullptr;
  for (TElement* e : areaList->Items())
    if (static_cast<TEntity*>(e)->GetCount() == 6) withSpur = static_cast<TAreaElement*>(e);
  ASSERT_NE(withSpur, nullptr) << "the dangling line bounds its square twice";

  // Running the area step again builds nothing new.
  TCreateAreasForQTree again;
  again.SetInput(net.Index);
  again.DoIt();
  EXPECT_EQ(again.GetAreasCount(), 0);
  delete again.AreaQTree();
}

// The jobs' form of the pipeline: their own reader, their steps' names,
// and a network that stops once its nodes are connected.
TEST_F(NodeAreaTest, ACallersReaderAndANodesOnlyRunGiveConnectedNodesAndNoAreas) {
  Ring(*lines, 0, 0, 10, 10);
  TReadLinesIntoQTree reader;
  nodearea::Options options;
  options.BuildAreas = false;
  nodearea::StepNames names;
  names.Reader = "Načítání linií";
  net = nodearea::BuildAreasOfLines(reader, *lines, options, names);
  ASSERT_NE(net.Index, nullptr);
  EXPECT_EQ(net.Index, reader.Index()) << "the index is the reader's";
  EXPECT_EQ(reader.GetName(), "Načítání linií");
  EXPECT_EQ(BranchesAtEnd(0, true), 2) << "the corner node joins two lines";
  EXPECT_EQ(net.Areas, nullptr);
  EXPECT_EQ(net.AreaList, nullptr);

  // Lines of no extent give the reader no index and the pipeline nothing to build.
  TPolyLineString none;
  TReadLinesIntoQTree empty;
  nodearea::Network nothing = nodearea::BuildAreasOfLines(empty, none, {});
  EXPECT_EQ(nothing.Index, nullptr);
  EXPECT_EQ(nothing.Areas, nullptr);
}

TEST_F(NodeAreaTest, AdjacentAreasListTheirCommonLineOnce) {
  Ring(*lines, 0, 0, 10, 10);
  Ring(*lines, 10, 0, 20, 10);
  // Both rings hold the line x = 10; the second copy is dropped, so that
  // the network has one line there.
  lines->Delete(lines->GetItem(4));
  Build();
  ASSERT_EQ(NetAreas(), (std::vector<double>{100, 100}));
  TExtractLinesForAreas all;
  all.SetInput(areaList);
  all.DoIt();
  std::unique_ptr<TPolyLineString> listed(all.GetLines());
  EXPECT_EQ(all.Output(), listed.get());
  EXPECT_EQ(listed->GetCount(), 7);
}

TEST_F(NodeAreaTest, PseudoNodesJoinLinesOfOneKindWithinTheVertexLimit) {
  // A square of two lines: both corners where they meet are pseudo-nodes;
  // after the first join the line is closed and the second is refused.
  lines->AddAndExtend(Line({{0, 0}, {0, 10}, {10, 10}}, 1300));
  lines->AddAndExtend(Line({{10, 10}, {10, 0}, {0, 0}}, 1300));
  // Two kinds meeting: kept unless joined regardless of kind.
  lines->AddAndExtend(Line({{20, 0}, {20, 10}}, 1300));
  lines->AddAndExtend(Line({{20, 10}, {30, 10}}, 1400));
  nodearea::Options options;
  options.DeletePseudoNodes = true;
  Build(options);
  EXPECT_EQ(lines->GetCount(), 3) << "lines of two kinds stay apart";
  EXPECT_EQ(NetAreas(), (std::vector<double>{100}));
  auto* closed = static_cast<TPolyLineElement*>(lines->GetItem(0));
  EXPECT_EQ(closed->GetCoordsCount(), 5);
  TNode* node;
  TNodeBranch* branch;
  FindNodeOfLineEnd(closed, true, node, branch);
  ASSERT_TRUE(node);
  EXPECT_EQ(node->GetBranchCount(), 2);
  // Both ends of the joined line point back at the node that remains.
  EXPECT_EQ(branch->GetFarNode(), node);
  EXPECT_EQ(node->FindBranch(closed, false)->GetFarNode(), node);
}

TEST_F(NodeAreaTest, JoinHonoursKindAndVertexLimit) {
  auto chain = [&](int first, int second) {
    std::vector<std::pair<double, double>> a, b;
    for (int i = 0; i < first; ++i) a.push_back({i, 0.5 * (i % 2)});
    for (int i = 0; i < second; ++i) b.push_back({first - 1 + i, 0.5 * ((first - 1 + i) % 2)});
    auto* l0 = new TPolyLineElement;
    auto* l1 = new TPolyLineElement;
    for (auto [x, y] : a) l0->AddVertex(x, y);
    for (auto [x, y] : b) l1->AddVertex(x, y);
    lines->AddAndExtend(l0);
    lines->AddAndExtend(l1);
  };
  chain(60, 41);
  Build({true, false, 100});
  EXPECT_EQ(lines->GetCount(), 1);
  EXPECT_EQ(static_cast<TPolyLineElement*>(lines->GetItem(0))->GetCoordsCount(), 100);
  TearDown();
  lines = std::make_unique<TPolyLineString>();
  chain(60, 42);
  Build({true, false, 100});
  EXPECT_EQ(lines->GetCount(), 2);
  TearDown();
  lines = std::make_unique<TPolyLineString>();
  lines->AddAndExtend(Line({{20, 0}, {20, 10}}, 1300));
  lines->AddAndExtend(Line({{20, 10}, {30, 10}}, 1400));
  Build({true, true, 0});
  EXPECT_EQ(lines->GetCount(), 1) << "kinds may differ when asked";
}

TEST_F(NodeAreaTest, EndsShareANodeOnlyWithinTheTolerance) {
  lines->AddAndExtend(Line({{0, 0}, {5, 5}}));
  lines->AddAndExtend(Line({{5.00009, 5.00009}, {10, 0}}));
  lines->AddAndExtend(Line({{0, 20}, {5, 25}}));
  lines->AddAndExtend(Line({{5.00011, 25}, {10, 20}}));
  Build();
  EXPECT_EQ(BranchesAtEnd(0, false), 2);
  EXPECT_EQ(BranchesAtEnd(2, false), 1);
}

// A line whose vertex list refuses to grow once armed: as a list at its
// size limit would, or, with OutOfMemory, as a full memory would.
class RefusingLine : public TPolyLineElement {
 public:
  int AcceptedBeforeRefusing = -1;  // not armed
  bool OutOfMemory = false;
  void Add(TElement* e) override {
    Take();
    TPolyLineElement::Add(e);
  }
  void Insert(int index, TElement* e) override {
    Take();
    TPolyLineElement::Insert(index, e);
  }

 private:
  void Take() {
    if (AcceptedBeforeRefusing == 0 && OutOfMemory) throw std::bad_alloc();
    if (AcceptedBeforeRefusing == 0) throw std::length_error("vertex list full");
    if (AcceptedBeforeRefusing > 0) --AcceptedBeforeRefusing;
  }
};

// Two lines meeting at a pseudo-node, each taking one more vertex.
std::pair<RefusingLine*, RefusingLine*> PseudoNodeOfRefusingLines(TPolyLineString& lines, bool outOfMemory) {
  auto* a = new RefusingLine;
  auto* b = new RefusingLine;
  for (auto [x, y] : Pts{{0, 0}, {0, 10}}) a->AddVertex(x, y);
  for (auto [x, y] : Pts{{0, 10}, {10, 10}, {10, 20}}) b->AddVertex(x, y);
  for (RefusingLine* line : {a, b}) {
    line->AcceptedBeforeRefusing = 1;
    line->OutOfMemory = outOfMemory;
    lines.AddAndExtend(line);
  }
  return {a, b};
}

TEST_F(NodeAreaTest, AFailedPseudoNodeJoinLeavesBothLinesAndTheNode) {
  zelto::ProblemTally problems;
  auto [a, b] = PseudoNodeOfRefusingLines(*lines, false);
  nodearea::Options options;
  options.DeletePseudoNodes = true;
  Build(options);
  ASSERT_EQ(lines->GetCount(), 2);
  EXPECT_EQ(a->GetCoordsCount(), 2);
  EXPECT_EQ(b->GetCoordsCount(), 3);
  TNode* node;
  TNodeBranch* branch;
  FindNodeOfLineEnd(a, false, node, branch);
  ASSERT_TRUE(node);
  EXPECT_EQ(node->GetBranchCount(), 2);
  EXPECT_EQ(node->FindBranch(b, true)->GetFarNode() != nullptr, true);
  ASSERT_EQ(problems.total(), 1u);
  EXPECT_NE(problems.Summary().find("Chyba při spojování v pseudouzlu"), std::string::npos);
}

TEST_F(NodeAreaTest, APseudoNodeJoinThatRunsOutOfMemoryGivesTheBuildingUpWithBothLinesAsTheyWere) {
  zelto::ProblemTally problems;
  auto [a, b] = PseudoNodeOfRefusingLines(*lines, true);
  nodearea::Options options;
  options.DeletePseudoNodes = true;
  // Left with a pseudo-node it could not join, the network would not be
  // the one the lines make.
  EXPECT_THROW(net = nodearea::BuildAreasOfLines(*lines, options), std::bad_alloc);
  ASSERT_EQ(lines->GetCount(), 2);
  EXPECT_EQ(a->GetCoordsCount(), 2);
  EXPECT_EQ(b->GetCoordsCount(), 3);
  EXPECT_EQ(problems.total(), 0u);
}

TEST_F(NodeAreaTest, RingsThatYieldNoAreaAreLogged) {
  // Only what this building logs: earlier tests may have left texts queued.
  platform::messageQueue().discardAll();
  test_support::LogProbe log;
  // A sliver of 0.0005 m², both as area and as hole.
  lines->AddAndExtend(Line({{50, 0}, {50, 0.001}, {51, 0}}));
  lines->AddAndExtend(Line({{51, 0}, {50, 0}}));
  // A circle of 2,030 lines: too many for one area. Its outside is no
  // area: it is built as a hole and not told.
  Circle(*lines, TCreateAreaForBranch::kMaxRingBranches, 1000);
  Build();
  EXPECT_TRUE(NetAreas().empty());
  zelto::RunMessagesUntilIdle();
  auto count = [&](const std::string& part) {
    return std::count_if(log.texts.begin(), log.texts.end(),
                         [&](const std::string& t) { return t.find(part) != std::string::npos; });
  };
  EXPECT_EQ(count("0.000500 m2"), 2) << log.all();
  EXPECT_EQ(count("2030 linií"), 1) << log.all();
  ASSERT_EQ(holeList->GetCount(), 1);
  EXPECT_NEAR(static_cast<TAreaElement*>(holeList->GetItem(0))->GetWholeArea(), -M_PI * 1e6, 1e3);
}

TEST_F(NodeAreaTest, AHoleOfMoreLinesThanAnAreaMayHaveIsStillTheHoleOfTheAreaAroundIt) {
  Ring(*lines, -1500, -1500, 1500, 1500);
  const int n = TCreateAreaForBranch::kMaxRingBranches;
  Circle(*lines, n, 1000);
  Build();
  const double circle = n / 2.0 * 1e6 * std::sin(2 * M_PI / n);
  ASSERT_EQ(NetAreas().size(), 1u) << "the circle's inside has too many lines";
  EXPECT_NEAR(NetAreas()[0], 9e6 - circle, 1e-3);
  TAreaElement* square = static_cast<TAreaElement*>(areaList->GetItem(0));
  EXPECT_FALSE(square->ContainsPoint(0, 0));
  EXPECT_TRUE(square->ContainsPoint(square->GetAbsRefX(), square->GetAbsRefY()));
}

TEST_F(NodeAreaTest, EndsInNeighbouringCellsOfTheIndexShareANode) {
  // Enough ends to split the index at its centre (50, 50), and two ends on
  // either side of that split, closer than the tolerance.
  for (int i = 0; i < 40; ++i) lines->AddAndExtend(Line({{i, 100}, {i + 0.5, 99}}));
  lines->AddAndExtend(Line({{0, 0}, {49.99996, 50}}));
  lines->AddAndExtend(Line({{50.00003, 50}, {100, 0}}));
  Build();
  EXPECT_EQ(BranchesAtEnd(40, false), 2);
}

TEST_F(NodeAreaTest, ARingOfCoordinatesBeyondAnyRectangleIsLoggedAndFreed) {
  test_support::LogProbe log;
  // One closed line through a vertex too far for any rectangle (a damaged
  // vertex file): the tree finds no place for its area and hole.
  lines->AddAndExtend(Line({{0, 0}, {0, 10}, {1e31, 10}, {10, 0}, {0, 0}}));
  Ring(*lines, 100, 100, 110, 110);
  Build();
  EXPECT_EQ(NetAreas(), std::vector<double>{100});
  EXPECT_EQ(net.AreasCount, 2);
  EXPECT_TRUE(log.saw("leží mimo rozsah stromu ploch")) << log.all();
  EXPECT_TRUE(ui->shown().empty());
  TNode* node;
  TNodeBranch* branch;
  FindNodeOfLineEnd(static_cast<TPolyLineElement*>(lines->GetItem(0)), true, node, branch);
  ASSERT_TRUE(node);
  for (int i = 0; i < node->GetBranchCount(); ++i)
    EXPECT_EQ(static_cast<TNodeBranch*>(node->GetItem(i))->RightArea, nullptr);
}

TEST_F(NodeAreaTest, AnAreaTheTreeCannotHoldLeavesNoBranchPointingAtIt) {
  // Rings too far apart for the area tree's integer grid: the ones it
  // refuses are reported and freed, and no branch keeps a link to them.
  zelto::ProblemTally problems;
  Ring(*lines, 0, 0, 10, 10);
  Ring(*lines, 2.1e9, 2.1e9, 2.1e9 + 10, 2.1e9 + 10);
  Ring(*lines, -2.1e9, -2.1e9, -2.1e9 + 10, -2.1e9 + 10);
  Build();
  std::vector<TElement*> held(areaList->Items());
  held.insert(held.end(), holeList->Items().begin(), holeList->Items().end());
  EXPECT_LT(held.size(), 6u);
  EXPECT_EQ(net.AreasCount, static_cast<std::int32_t>(held.size()));
  for (TElement* e : lines->Items())
    for (bool atBegin : {true, false}) {
      TNode* node;
      TNodeBranch* branch;
      FindNodeOfLineEnd(static_cast<TPolyLineElement*>(e), atBegin, node, branch);
      ASSERT_TRUE(branch);
      if (branch->RightArea) {
        EXPECT_NE(std::find(held.begin(), held.end(), branch->RightArea), held.end());
      }
    }
  EXPECT_EQ(problems.Summary().rfind("Chyba v CreateAreaForQtree", 0), 0u);
}

}  // namespace
