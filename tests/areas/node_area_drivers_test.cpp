// The driver tools chain joining, noding and area building: the areas they
// give must be those the single steps give, and the joining step must run
// whatever JoinLines says.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "areas/node_area_drivers.h"
#include "framework/message_dispatch.h"
#include "geometry/line_end_cells.h"
#include "gisblock/gelix_blok_reader.h"
#include "gisblock/gelix_classes.h"
#include "platform/message_queue.h"
#include "walkers_fixture.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace areas_test;

class DriverTest : public WalkerTest {
 protected:
  void SetUp() override {
    WalkerTest::SetUp();
    RegisterGelixClasses();
    platform::messageQueue().discardAll();
    zelto::SetMainToolResolver([this] { return &sink; });
  }
  void TearDown() override {
    zelto::RunMessagesUntilIdle();
    zelto::SetMainToolResolver(nullptr);
  }

  TOwnerEntity sink;
};

// Two squares side by side; the top line of the left one stops 5 mm short of
// the corner, which only the joining step closes.
std::unique_ptr<TPolyLineString> TwoSquares() {
  auto lines = std::make_unique<TPolyLineString>();
  for (TPolyLineElement* line :
       {Line({{0, 0}, {10, 0}}), Line({{10, 0}, {10, 10}}), Line({{10, 10}, {0.005, 10}}), Line({{0, 10}, {0, 0}}),
        Line({{10, 0}, {20, 0}, {20, 10}, {10, 10}})})
    lines->AddAndExtend(line);
  return lines;
}

TEST_F(DriverTest, AreasAreBuiltFromJoinedLinesWhetherOrNotJoinLinesIsSet) {
  for (bool joinLines : {false, true}) {
    SCOPED_TRACE(joinLines);
    auto lines = TwoSquares();
    TMakeNodesAndAreas tool;
    tool.JoinLines = joinLines;
    tool.SnapDistance = 0.01;
    tool.DeletePseudoNodes = true;
    tool.SetInput(lines.get());
    tool.DoIt();
    ASSERT_TRUE(tool.Output());
    const std::vector<double> areas = SortedAreasOf(tool.Output());
    ASSERT_EQ(areas.size(), 2u);
    EXPECT_NEAR(areas[0], 100, 1e-6);
    EXPECT_NEAR(areas[1], 100, 1e-6);
    EXPECT_TRUE(tool.NodesQTree());
  }
}

TEST_F(DriverTest, BuiltAreasAreSavedToABlockThatReadsBack) {
  const test_support::TempDir dir("driver_save");
  auto lines = TwoSquares();
  TMakeNodesAndAreas build;
  build.SnapDistance = 0.01;
  build.SetInput(lines.get());
  build.DoIt();
  ASSERT_TRUE(build.Output());
  TSaveAreasToBlok save;
  save.BlockDir = (dir / "OUT.BLK").string();
  save.SetInput(build.Output());
  save.DoIt();

  TEntity model;
  std::unique_ptr<TGeliXBlokReader> reader(TGeliXBlokReader::CreateForBlock(save.BlockDir));
  reader->SetObjectModel(&model);
  std::unique_ptr<TAreaString> areas(reader->ReadAreas());
  ASSERT_TRUE(areas);
  EXPECT_EQ(areas->GetCount(), 2);
}

TEST_F(DriverTest, NodingAloneJoinsPseudoNodesOnlyWhenAsked) {
  for (bool pseudo : {false, true}) {
    SCOPED_TRACE(pseudo);
    auto lines = std::make_unique<TPolyLineString>();
    for (TPolyLineElement* line : {Line({{0, 0}, {10, 0}}), Line({{10, 0}, {10, 10}}), Line({{10, 10}, {0, 10}}),
                                   Line({{0, 10}, {0, 0}})})
      lines->AddAndExtend(line);
    TMakeNodes tool;
    tool.DeletePseudoNodes = pseudo;
    tool.SetInput(lines.get());
    tool.DoIt();
    auto* noded = dynamic_cast<TRectEntity*>(tool.Output());
    ASSERT_TRUE(noded);
    // A closed ring is never joined with itself, so one line remains.
    EXPECT_EQ(noded->GetCount(), pseudo ? 1 : 4);
    EXPECT_TRUE(tool.NodesQTree());
  }
}

// A wandering chain: pieces digitised in both directions, two vertices
// inside each, so that joins meet the growing line at either end.
TEST_F(DriverTest, AChainOfPseudoNodesBecomesOneLineInOrderUpToTheVertexLimit) {
  for (int pieces : {8, 40}) {
    SCOPED_TRACE(pieces);
    auto lines = std::make_unique<TPolyLineString>();
    std::vector<std::pair<double, double>> path;
    for (int k = 0; k <= 3 * pieces; ++k) path.emplace_back(k * 10.0, (k % 3) * 4.0 + k * 0.5);
    for (int p = 0; p < pieces; ++p) {
      auto* line = Line({});
      for (int j = 0; j <= 3; ++j) {
        const auto& [x, y] = path[p % 3 == 1 ? 3 * p + 3 - j : 3 * p + j];
        line->AddVertex(x, y);
      }
      lines->AddAndExtend(line);
    }
    TMakeNodes tool;
    tool.DeletePseudoNodes = true;
    tool.SetInput(lines.get());
    tool.DoIt();
    auto* noded = dynamic_cast<TRectEntity*>(tool.Output());
    ASSERT_TRUE(noded);
    // The joined lines, laid end to end, walk the path vertex by vertex.
    std::vector<std::vector<std::pair<double, double>>> joined;
    for (TElement* e : noded->Items()) {
      auto* line = static_cast<TPolyLineElement*>(e);
      EXPECT_LE(line->GetCoordsCount(), 100);
      std::vector<std::pair<double, double>> v;
      for (int i = 0; i < line->GetCoordsCount(); ++i) v.emplace_back(line->GetVertexX(i), line->GetVertexY(i));
      if (v.front() > v.back()) std::reverse(v.begin(), v.end());
      // Its envelope is that of all its vertices.
      EXPECT_DOUBLE_EQ(line->GetMinX(), v.front().first);
      EXPECT_DOUBLE_EQ(line->GetMaxX(), v.back().first);
      joined.push_back(v);
    }
    std::sort(joined.begin(), joined.end());
    std::vector<std::pair<double, double>> walked;
    for (const auto& v : joined) walked.insert(walked.end(), v.begin() + (walked.empty() ? 0 : 1), v.end());
    EXPECT_EQ(walked, path);
    // 121 vertices do not fit one line of at most 100.
    EXPECT_EQ(joined.size(), pieces == 8 ? 1u : 2u);
  }
}


// Two districts whose shared edge each digitised on its own, 4 mm apart,
// with vertices that lie off the other copy's segments.
TEST_F(DriverTest, DistrictsDigitisedApartMergeWithoutASliver) {
  auto lines = std::make_unique<TPolyLineString>();
  for (TPolyLineElement* line :
       {Line({{10, 0}, {-50, 0}, {-50, 100}, {12, 100}}), Line({{10, 0}, {14, 30}, {8, 60}, {12, 100}}),
        Line({{10.004, 0}, {70, 0}, {70, 100}, {12.004, 100}}),
        Line({{10.004, 0}, {14.004, 30}, {8.004, 60}, {12.004, 100}})})
    lines->AddAndExtend(line);
  TMakeNodesAndAreas tool;
  tool.DeletePseudoNodes = true;
  tool.SnapDistance = 0.01;
  tool.SetInput(lines.get());
  tool.DoIt();
  std::vector<double> areas = SortedAreasOf(tool.Output());
  std::sort(areas.begin(), areas.end());
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_NEAR(areas[0] + areas[1], 12000, 1e-6);
}

}  // namespace
