// The boundary lines of a generated district, noded and built into areas,
// must give back the areas the district's block stores: as many, and of the
// same net areas once the islands are holes of their areas.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "areas/node_area_classes.h"
#include "areas/node_area_drivers.h"
#include "areas/node_area_pipeline.h"
#include "framework/message_dispatch.h"
#include "geometry/line_end_cells.h"
#include "geometry/qtree.h"
#include "gisblock/gelix_blok_reader.h"
#include "gisblock/gelix_classes.h"
#include "platform/message_queue.h"
#include "walkers_fixture.h"
#include "sample_tree.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace areas_test;

class SampleDistrictAreasTest : public WalkerTest {
 protected:
  void SetUp() override {
    WalkerTest::SetUp();
    RegisterGelixClasses();
    RegisterNodeAreaClasses();
    platform::messageQueue().discardAll();
    zelto::SetMainToolResolver([this] { return &sink; });
    if (test_support::GeneratedSample().empty()) GTEST_SKIP() << "python3 not installed";
    ASSERT_TRUE(test_support::CopySample(dir.string()));
  }
  void TearDown() override {
    zelto::RunMessagesUntilIdle();
    zelto::SetMainToolResolver(nullptr);
  }
  std::string DetBlock() const {
    for (const auto& lhc : fs::directory_iterator(dir / "GIS")) {
      if (!lhc.is_directory()) continue;
      for (const auto& district : fs::directory_iterator(lhc.path()))
        if (fs::exists(district.path() / "DET.BLK" / "TN.LIN")) return (district.path() / "DET.BLK").string();
    }
    return {};
  }
  static void ExpectSameAreas(const std::vector<double>& stored, const std::vector<double>& built) {
    ASSERT_EQ(stored.size(), built.size());
    double sumA = 0, sumB = 0;
    for (std::size_t i = 0; i < stored.size(); ++i) {
      EXPECT_NEAR(stored[i], built[i], 1e-6 * std::max(1.0, stored[i])) << i;
      sumA += stored[i];
      sumB += built[i];
    }
    EXPECT_NEAR(sumA, sumB, 1e-3);
  }

  TOwnerEntity sink;
  test_support::TempDir dir{"areas_sample"};
};

TEST_F(SampleDistrictAreasTest, BuiltAreasAreTheStoredAreas) {
  const std::string block = DetBlock();
  ASSERT_FALSE(block.empty());

  std::vector<double> stored;
  {
    TEntity model;
    std::unique_ptr<TGeliXBlokReader> reader(TGeliXBlokReader::CreateForBlock(block));
    reader->SetObjectModel(&model);
    std::unique_ptr<TAreaString> areas(reader->ReadAreas());
    ASSERT_TRUE(areas);
    for (TElement* e : areas->Items()) stored.push_back(static_cast<TAreaElement*>(e)->GetArea1());
  }
  std::sort(stored.begin(), stored.end());
  ASSERT_GT(stored.size(), 10u);

  // Joining the lines at pseudo-nodes changes no area.
  for (bool join : {false, true}) {
    SCOPED_TRACE(join ? "pseudo-nodes joined" : "pseudo-nodes kept");
    nodearea::Options options;
    options.DeletePseudoNodes = join;
    options.JoinDifferentLines = join;
    options.MaxCoordsCount = join ? 100 : 0;
    TEntity model;
    std::unique_ptr<TGeliXBlokReader> reader(TGeliXBlokReader::CreateForBlock(block));
    reader->SetObjectModel(&model);
    std::unique_ptr<TPolyLineString> lines(reader->ReadLines());
    ASSERT_TRUE(lines);
    nodearea::Network net = nodearea::BuildAreasOfLines(*lines, options);
    ASSERT_TRUE(net.AreaList);
    ExpectSameAreas(stored, SortedAreasOf(net.AreaList));
    nodearea::Release(net);
  }

  // The driver tool chains the same steps.
  SCOPED_TRACE("driver tool");
  TEntity model;
  std::unique_ptr<TGeliXBlokReader> reader(TGeliXBlokReader::CreateForBlock(block));
  reader->SetObjectModel(&model);
  std::unique_ptr<TPolyLineString> lines(reader->ReadLines());
  ASSERT_TRUE(lines);
  TMakeNodesAndAreas tool;
  tool.SnapDistance = 0.01;
  tool.DeletePseudoNodes = true;
  tool.SetInput(lines.get());
  tool.DoIt();
  ExpectSameAreas(stored, SortedAreasOf(tool.Output()));
}

}  // namespace
