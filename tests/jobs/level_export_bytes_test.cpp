// Every file of every level export of the sample district, byte for byte:
// the reorganisation of the area building inside must not change a single
// byte a user gets. The fingerprints are those of the written blocks at the
// time they were last checked by hand; on a mismatch the test prints the
// fingerprints it got.
#include <string>

#include "app/jobs/forest_level_export.h"
#include "app/jobs/read_commands.h"
#include "bench/level_fingerprints.h"
#include "jobs_fixture.h"

namespace jobs_test {
namespace {

using levelprints::Fingerprints;

TEST_F(JobsTest, EveryFileOfEveryLevelKeepsItsBytes) {
  jobs::LoadedModel state;
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  // Plain, then with lines joined at pseudo-nodes, from the same read.
  for (bool join : {false, true}) {
    const fs::path output = dir / (join ? "JOINED" : "PLAIN") / "01";
    fs::create_directories(output);
    jobs::LevelExportContext ctx = LevelContext(state, output);
    ctx.JoinLines = join;
    jobs::ExportWholeDistrict(ctx);
  }
  const std::string expected =
#include "level_export_bytes.inc"
      ;
  EXPECT_EQ(Fingerprints(dir / "PLAIN") + "--\n" + Fingerprints(dir / "JOINED"), expected);
}

}  // namespace
}  // namespace jobs_test
