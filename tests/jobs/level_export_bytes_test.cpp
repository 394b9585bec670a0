// Every file of every level export of the sample district and of the large
// generated one, byte for byte: the reorganisation of the area building
// inside must not change a single byte a user gets. The fingerprints are
// those of the written blocks at the time they were last checked by hand;
// on a mismatch the test prints the fingerprints it got.
#include <functional>
#include <string>

#include "app/jobs/forest_level_export.h"
#include "app/jobs/read_commands.h"
#include "bench/level_fingerprints.h"
#include "jobs_fixture.h"

namespace jobs_test {
namespace {

using levelprints::Fingerprints;

// Plain, then with lines joined at pseudo-nodes, from the same read.
using ContextOf = std::function<jobs::LevelExportContext(jobs::LoadedModel&, const fs::path&)>;

std::string ExportBothWays(const ContextOf& context, const fs::path& dir, const fs::path& district) {
  jobs::LoadedModel state;
  EXPECT_TRUE(jobs::ReadDistrict(state, district.string()));
  for (bool join : {false, true}) {
    // Another tree, with the district's and its LHC's names.
    const fs::path output = dir / (join ? "JOINED" : "PLAIN") / district.parent_path().filename() / "01";
    fs::create_directories(output);
    jobs::LevelExportContext ctx = context(state, output);
    ctx.JoinLines = join;
    jobs::ExportWholeDistrict(ctx);
  }
  const fs::path lhc = district.parent_path().filename();
  return Fingerprints(dir / "PLAIN" / lhc) + "--\n" + Fingerprints(dir / "JOINED" / lhc);
}

TEST_F(JobsTest, EveryFileOfEveryLevelKeepsItsBytes) {
  const std::string expected =
#include "level_export_bytes.inc"
      ;
  EXPECT_EQ(ExportBothWays([this](auto& model, const fs::path& out) { return LevelContext(model, out); }, dir, District()),
            expected);
}

// The generator's large district (about 100,000 boundary lines): what the
// sample is too small to meet, such as numbers of more digits, areas of
// many lines and cells of the indexes filled to their limits.
class LargeDistrictTest : public JobsTest {
 protected:
  const fs::path& Tree() const override { return test_support::GeneratedTree("--seed 1 --size large"); }
};

TEST_F(LargeDistrictTest, EveryFileOfEveryLevelKeepsItsBytes) {
  const std::string expected =
#include "large_district_bytes.inc"
      ;
  EXPECT_EQ(ExportBothWays([this](auto& model, const fs::path& out) { return LevelContext(model, out); }, dir, District()),
            expected);
}

}  // namespace
}  // namespace jobs_test
