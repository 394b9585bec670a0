// The area building of a small network with every one of its allocations
// failing in turn: each run either throws, leaving nothing behind, or gives
// exactly the areas, holes and label points of the run that did not fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "../areas/walkers_fixture.h"
#include "areas/area_walkers.h"
#include "areas/node_area_classes.h"
#include "areas/node_area_pipeline.h"
#include "failing_allocations.h"
#include "framework/problem_report.h"
#include "geometry/area_element.h"
#include "geometry/qtree.h"
#include "platform/message_queue.h"

namespace {

using areas_test::Line;

// A 3 × 3 grid of 10 m squares, each side its own line, and in the middle
// square an island of two lines.
std::unique_ptr<TPolyLineString> GridWithIsland() {
  auto lines = std::make_unique<TPolyLineString>();
  for (int i = 0; i <= 3; ++i)
    for (int j = 0; j < 3; ++j) {
      const double a = i * 10.0, b = j * 10.0, c = b + 10;
      lines->AddAndExtend(Line({{a, b}, {a, c}}));  // vertical
      lines->AddAndExtend(Line({{b, a}, {c, a}}));  // horizontal
    }
  lines->AddAndExtend(Line({{13, 13}, {13, 17}, {17, 17}}));
  lines->AddAndExtend(Line({{17, 17}, {17, 13}, {13, 13}}));
  return lines;
}

std::string AreaText(TAreaElement& area) {
  char text[200];
  std::snprintf(text, sizeof text, "%s net %.6f whole %.6f label %.6f %.6f lines %d holes %d",
                area.IsHole ? "hole" : "area", area.GetArea1(), area.GetWholeArea(), area.GetAbsRefX(),
                area.GetAbsRefY(), area.GetCount(), area.GetHoles() ? area.GetHoles()->GetCount() : 0);
  return text;
}

// What the building gave: every area and hole of the tree and of the
// list, sorted.
std::vector<std::string> Result(const nodearea::Network& net) {
  std::vector<std::string> texts;
  if (!net.Areas || !net.AreaList) return {"nothing built"};
  texts.push_back("count " + std::to_string(net.AreasCount));
  for (TElement* e : net.AreaList->Items()) texts.push_back("listed " + AreaText(*static_cast<TAreaElement*>(e)));
  THledacPloch finder;
  finder.IncludeHoles = true;
  TAreaString all;
  finder.SetOutput(&all);
  finder.SetInput(net.Areas);
  finder.DoIt();
  for (TElement* e : all.Items()) texts.push_back(AreaText(*static_cast<TAreaElement*>(e)));
  all.Clear();
  std::sort(texts.begin(), texts.end());
  return texts;
}

class FailingAreaBuildingTest : public areas_test::WalkerTest {
 protected:
  void SetUp() override {
    WalkerTest::SetUp();
    RegisterNodeAreaClasses();
  }
  void TearDown() override { platform::messageQueue().discardAll(); }
};

TEST_F(FailingAreaBuildingTest, EveryFailedAllocationThrowsOrChangesNothing) {
  std::vector<std::string> clean;
  long allocations = 0;
  // Twice: what the first run of the process sets up once is not counted.
  for (int run = 0; run < 2; ++run) {
    auto lines = GridWithIsland();
    failing_allocations::Arm(0);
    nodearea::Network net = nodearea::BuildAreasOfLines(*lines);
    allocations = failing_allocations::Disarm();
    clean = Result(net);
  }
  // Nine squares, the island inside the middle one, the outer ring and
  // the island's ring as holes.
  ASSERT_EQ(std::count_if(clean.begin(), clean.end(), [](const std::string& t) { return t.rfind("area", 0) == 0; }),
            10);
  ASSERT_GT(allocations, 100);

  int threw = 0, same = 0;
  for (long k = 1; k <= allocations; ++k) {
    SCOPED_TRACE("allocation " + std::to_string(k) + " of " + std::to_string(allocations));
    auto lines = GridWithIsland();
    zelto::ProblemTally problems;
    bool thrown = false;
    nodearea::Network net;
    try {
      failing_allocations::Armed armed(k);
      net = nodearea::BuildAreasOfLines(*lines);
    } catch (const std::bad_alloc&) {
      thrown = true;
    }
    ASSERT_TRUE(failing_allocations::Failed());
    if (thrown) {
      ++threw;
      EXPECT_EQ(net.Index, nullptr);
    } else {
      ASSERT_EQ(Result(net), clean);
      EXPECT_EQ(problems.total(), 0u);
      ++same;
    }
    // Nothing of the network holds on to a line once it has gone.
    nodearea::Release(net);
    for (TElement* line : lines->Items()) ASSERT_EQ(line->GetOwnersCount(), 1);
  }
  RecordProperty("threw", threw);
  RecordProperty("clean", same);
  std::printf("area building: %ld allocations, %d threw, %d gave the clean result\n", allocations, threw, same);
}

}  // namespace
