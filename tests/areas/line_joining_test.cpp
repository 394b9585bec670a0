// Lines fitted to the lines accepted before them: ends snapped together,
// ends onto segments, crossings cut, long segments divided, and the owners
// of a cut line given its pieces.
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "areas/line_joining.h"
#include "framework/message_dispatch.h"
#include "geometry/qtree.h"
#include "geometry/space_registers.h"
#include "pipe_watch.h"
#include "walkers_fixture.h"
#include "temp_dir.h"

namespace {

using namespace areas_test;

class JoinTest : public WalkerTest {
 protected:
  void SetUp() override {
    WalkerTest::SetUp();
    RegisterLineJoinClasses();
    lines = std::make_unique<TPolyLineString>();
  }
  TPolyLineElement* Add(Pts points, int cislo = 0) {
    TPolyLineElement* line = Line(points);
    static_cast<TGelixProps*>(line->GetProperties())->Cislo = cislo;
    lines->AddAndExtend(line);
    return line;
  }
  // The lines of the container, each as its vertex list.
  std::set<std::vector<std::pair<double, double>>> Shapes() const {
    std::set<std::vector<std::pair<double, double>>> shapes;
    for (TElement* e : lines->Items()) {
      auto* line = static_cast<TPolyLineElement*>(e);
      std::vector<std::pair<double, double>> v;
      for (int i = 0; i < line->GetCoordsCount(); ++i) v.emplace_back(line->GetVertexX(i), line->GetVertexY(i));
      shapes.insert(v);
    }
    return shapes;
  }
  std::set<TElement*> Accepted() {
    std::set<TElement*> found;
    TQTreeWalker walker;
    for (TElement* e = walker.FindFirst(join.Accepted(), 1, -1e6, -1e6, 1e6, 1e6); e; e = walker.FindNext())
      found.insert(e);
    return found;
  }
  void Run() {
    join.SetInput(lines.get());
    join.DoIt();
    zelto::RunMessagesUntilIdle();
  }

  std::unique_ptr<TPolyLineString> lines;
  TJoinLines join;
};

using Shape = std::vector<std::pair<double, double>>;

TEST_F(JoinTest, EndsWithinTheSnapDistanceMeetAtOnePoint) {
  for (double snap : {0.01, 0.001}) {
    SCOPED_TRACE(snap);
    lines = std::make_unique<TPolyLineString>();
    TPolyLineElement* a = Add({{0, 0}, {10, 0}});
    TPolyLineElement* b = Add({{10.005, 0}, {20, 0}});
    join.SnapDistance = snap;
    Run();
    ASSERT_EQ(lines->GetCount(), 2);
    const bool joined = a->GetVertexX(1) == b->GetVertexX(0) && a->GetVertexY(1) == b->GetVertexY(0);
    EXPECT_EQ(joined, snap > 0.005);
    EXPECT_EQ(Accepted().size(), 2u);
  }
}

TEST_F(JoinTest, LinesOfOneSourceAreLeftApartWhenOnlyDifferentSourcesAreCompared) {
  for (bool different : {false, true}) {
    SCOPED_TRACE(different);
    lines = std::make_unique<TPolyLineString>();
    TBlockRegister block;
    TPolyLineElement* a = Add({{0, 0}, {10, 0}}, 1);
    TPolyLineElement* b = Add({{10.005, 0}, {20, 0}}, 2);
    block.Register(a);
    block.Register(b);
    join.SnapDistance = 0.01;
    join.CompareOnlyDifferentSource = different;
    Run();
    EXPECT_EQ(a->GetVertexX(1) == b->GetVertexX(0), !different);
  }
}

TEST_F(JoinTest, WithOnlyEndsAnInnerVertexIsNotSnappedToAnOldEnd) {
  for (bool onlyEnds : {false, true}) {
    SCOPED_TRACE(onlyEnds);
    lines = std::make_unique<TPolyLineString>();
    Add({{0, -5}, {5, 0}, {10, -5}});
    Add({{0, 0.005}, {5, 0.005}});
    join.SnapDistance = 0.01;
    join.OnlyEnds = onlyEnds;
    Run();
    EXPECT_EQ(lines->GetCount(), onlyEnds ? 2 : 3);
  }
}

TEST_F(JoinTest, AnEndNearAnOldSegmentIsMovedOntoItAndTheOldLineIsCutThere) {
  Add({{10, 0.004}, {10, 10}});
  Add({{0, 0}, {20, 0}});  // accepted first: the lines are taken from the last
  join.SnapDistance = 0.01;
  Run();
  EXPECT_EQ(Shapes(), (std::set<Shape>{{{0, 0}, {10, 0}}, {{10, 0}, {20, 0}}, {{10, 0}, {10, 10}}}));
  EXPECT_EQ(Accepted().size(), 3u);
}

TEST_F(JoinTest, CrossingLinesAreBothCutAtTheCrossing) {
  Add({{5, 0}, {5, 10}});
  Add({{0, 5}, {10, 5}});
  join.SnapDistance = 0.01;
  Run();
  EXPECT_EQ(Shapes(), (std::set<Shape>{{{0, 5}, {5, 5}}, {{5, 5}, {10, 5}}, {{5, 0}, {5, 5}}, {{5, 5}, {5, 10}}}));
}

TEST_F(JoinTest, AnOldVertexOnANewSegmentCutsTheNewLineAndAnOverlapIsDroppedOnce) {
  Add({{-5, 0}, {0, 0}, {10, 0}, {15, 0}});  // runs along the old line from 0 to 10
  Add({{0, 5}, {0, 0}, {10, 0}, {10, 5}});
  join.SnapDistance = 0.01;
  Run();
  EXPECT_EQ(Shapes(), (std::set<Shape>{{{-5, 0}, {0, 0}}, {{10, 0}, {15, 0}}, {{0, 5}, {0, 0}},
                                       {{0, 0}, {10, 0}}, {{10, 0}, {10, 5}}}));
}

TEST_F(JoinTest, AnOldLineIsCutOnlyWhereALineRunningAlongItParts) {
  Add({{1, 5}, {1, 0}, {2, 0}, {3, 0}, {3, 5}});
  Add({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}});
  join.SnapDistance = 0.01;
  Run();
  EXPECT_EQ(Shapes(), (std::set<Shape>{{{0, 0}, {1, 0}}, {{1, 0}, {2, 0}, {3, 0}}, {{3, 0}, {4, 0}},
                                       {{1, 5}, {1, 0}}, {{3, 0}, {3, 5}}}));
}

TEST_F(JoinTest, ALineEndingOnAnInnerVertexOfAnOldLineCutsItThere) {
  Add({{5, 5}, {5, 0}});
  Add({{0, 0}, {5, 0}, {10, 0}});
  join.SnapDistance = 0.01;
  Run();
  EXPECT_EQ(Shapes(), (std::set<Shape>{{{0, 0}, {5, 0}}, {{5, 0}, {10, 0}}, {{5, 5}, {5, 0}}}));
}

TEST_F(JoinTest, ALineCrossingItselfIsCutOnlyWithTheSelfTest) {
  for (bool self : {false, true}) {
    SCOPED_TRACE(self);
    lines = std::make_unique<TPolyLineString>();
    Add({{0, 5}, {10, 5}, {10, 0}, {5, 0}, {5, 10}});
    join.SelfTest = self;
    Run();
    if (self)
      EXPECT_EQ(Shapes(), (std::set<Shape>{{{0, 5}, {5, 5}}, {{5, 5}, {10, 5}, {10, 0}, {5, 0}, {5, 5}}, {{5, 5}, {5, 10}}}));
    else
      EXPECT_EQ(lines->GetCount(), 1);
  }
}

// Damaged coordinates: an old line ends 5 mm beside the new line's start and
// another begins 1e-17 m from it. Each cut leaves a piece that the old
// points cut again; the joiner stops with a message instead of for ever.
TEST_F(JoinTest, OldPointsThatWouldCutANewSegmentWithoutEndStopTheJoining) {
  TEntity owner;
  TPolyLineElement* line = Line({{0.01, 1e-17}, {0.01, -0.02}});
  owner.Add(line);
  TLinesAbscEntity list;
  list.SetNewLine(line);
  list.AddLineSegments(line);
  for (Pts old : {Pts{{0.01, 1e-17}, {0.015, 0}}, Pts{{0.01, 0}, {-1.4, 0}}}) {
    TPolyLineElement* oldLine = Line(old);
    owner.Add(oldLine);
    list.AddLineSegments(oldLine);
  }
  TNewAbscOldPointJoiner joiner;
  joiner.SnapDistance = 0.01;
  joiner.SetInput(&list);
  try {
    joiner.DoIt();
    ADD_FAILURE() << "no end";
  } catch (const areas::DamagedGeometry& e) {
    EXPECT_NE(std::string(e.what()).find("Poškozená geometrie linie"), std::string::npos) << e.what();
  }
  EXPECT_LT(list.GetCount(), 20);
}

TEST_F(JoinTest, LinesNoLongerThanTheMinimumAreNotAccepted) {
  TPolyLineElement* exact = Add({{0, 0}, {1, 0}});
  TPolyLineElement* longer = Add({{0, 5}, {1.001, 5}});
  join.MinLength = 1;
  Run();
  const std::set<TElement*> accepted = Accepted();
  EXPECT_FALSE(accepted.count(exact));
  EXPECT_TRUE(accepted.count(longer));
}

TEST_F(JoinTest, LongSegmentsAreDividedOnTheGridAndCutWhenAsked) {
  for (bool cut : {false, true}) {
    SCOPED_TRACE(cut);
    lines = std::make_unique<TPolyLineString>();
    Add({{0, 0}, {25, 0}});
    join.MaxOutputAbscLength = 10;
    join.RoundKoef = 0.01;
    join.DivideOutputLines = cut;
    Run();
    std::vector<double> xs;
    for (const Shape& shape : Shapes())
      for (auto [x, y] : shape) xs.push_back(x);
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    ASSERT_EQ(xs.size(), 4u);
    EXPECT_DOUBLE_EQ(xs[1], 8.33);
    EXPECT_NEAR(xs[2], 16.67, 0.0101);
    EXPECT_NEAR(xs[2] * 100, std::round(xs[2] * 100), 1e-6);
    EXPECT_EQ(lines->GetCount(), cut ? 3 : 1);
  }
}

TEST_F(JoinTest, AnAreaBoundedByACutLineTakesItsPiecesAtOnce) {
  Add({{5, 5}, {5, 15}});
  TPolyLineElement* top = Add({{0, 0}, {0, 10}, {10, 10}});
  TPolyLineElement* rest = Add({{10, 10}, {10, 0}, {0, 0}});
  auto area = std::make_unique<TPolyLineAreaElement>();
  area->SetLineOrigin(0, true);
  area->AddAndExtend(top);
  area->SetLineOrigin(1, true);
  area->AddAndExtend(rest);
  ASSERT_DOUBLE_EQ(area->GetWholeArea(), 100);
  join.SnapDistance = 0.01;
  // The owners have the pieces when the joining returns, before any queued
  // message is delivered.
  join.SetInput(lines.get());
  join.DoIt();
  EXPECT_EQ(area->GetCount(), 3);
  area->SavedArea = 0;
  EXPECT_DOUBLE_EQ(area->GetWholeArea(), 100);
  EXPECT_EQ(lines->GetCount(), 5);
}

TEST_F(JoinTest, TheProtocolFollowsEveryLineOrTheOneAsked) {
  const test_support::TempDir dir("join");
  const std::string file = (dir / "join_protocol_test.txt").string();
  for (int followed : {-1, 2}) {
    SCOPED_TRACE(followed);
    lines = std::make_unique<TPolyLineString>();
    Add({{0, 0}, {10, 0}}, 1);
    Add({{0, 5}, {10, 5}}, 2);
    join.SetProtocol(file);
    join.SetUseProtocol(true);
    join.SetProtocoledLine(followed);
    Run();
    std::ifstream in(file);
    int begins = 0;
    for (std::string s; std::getline(in, s);) begins += s.find("B E G I N") != std::string::npos;
    EXPECT_EQ(begins, followed == -1 ? 2 : 1);
  }
}

// The protocol replaced, once made, by what is no file: the joining neither
// waits on a pipe nor goes on without a word, and says it once for all the
// lines and steps that would write there.
TEST_F(JoinTest, AProtocolReplacedByWhatIsNoFileIsToldOnceAndNeverWaitedOn) {
  using namespace std::chrono_literals;
  const test_support::TempDir dir("join");
  const std::filesystem::path file = dir / "join_protocol_test.txt";
  for (const test_support::NoFile& row : test_support::NoFiles()) {
    SCOPED_TRACE(row.what);
    lines = std::make_unique<TPolyLineString>();
    Add({{0, 0}, {10, 0}}, 1);
    Add({{0, 5}, {10, 5}}, 2);
    join.SetProtocol(file.string());
    join.SetUseProtocol(true);
    std::filesystem::remove(file);
    const std::unique_ptr<test_support::PipeWatch> pipe = row.put(file);
    ui->clear();
    {
      const test_support::InterruptAfter bound(3);
      const auto start = std::chrono::steady_clock::now();
      Run();
      EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << "waited on the protocol";
    }
    EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Soubor " + file.string() + " nelze zapsat: " + row.cause});
    if (pipe) {
      EXPECT_FALSE(pipe->waitedOn()) << "opened the pipe";
    }
    std::filesystem::remove_all(file);
  }
}

}  // namespace

namespace {

// A long joining shows its window named from the start, before its first
// line names it.
TEST_F(JoinTest, ItsProgressWindowIsNamedWhenItFirstShows) {
  for (int i = 0; i < 120; ++i) Add({{0.0, 10.0 * i}, {5.0, 10.0 * i}}, i + 1);
  Run();
  ASSERT_FALSE(forms->showings().empty());
  EXPECT_EQ(forms->showings().front().caption, "Zpracování linií");
}

}  // namespace
