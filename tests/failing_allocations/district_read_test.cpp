// The read of a district with its allocations failing one at a time: a read
// that failed says so, and the levels exported after it keep their old
// blocks; a read that did not fail exports the blocks of the clean read.
#include <chrono>

#include "../jobs/jobs_fixture.h"
#include "failing_allocations.h"
#include "job_runs.h"

namespace jobs_test {
namespace {

using failing_allocations::Files;

class FailingDistrictReadTest : public JobsTest {
 protected:
  // Reads the district with allocation K failing (0: none fails).
  bool Read(long failAt) {
    const std::string district = District().string();
    failing_allocations::Armed armed(failAt);
    const bool read = jobs::ReadDistrict(state, district);
    allocations = failing_allocations::Disarm();
    return read;
  }
  // The levels that show a read short of areas: the stand groups lose
  // some, and a level whose units were not read loses its block.
  void ExportLevels(const fs::path& output) {
    jobs::LevelExportContext ctx = LevelContext(state, output);
    ctx.ShowFailure = [](const std::string&) {};
    for (int command : {95, 102}) jobs::ExportForestLevel(ctx, *jobs::FindForestLevel(command));
    platform::messageQueue().discardAll();
  }
  jobs::LoadedModel state;
  long allocations = 0;
};

TEST_F(FailingDistrictReadTest, EveryFailedAllocationIsToldAndExportsNothingOrReadsTheWholeDistrict) {
  const fs::path output = dir / "OUT" / "4107" / "01";
  fs::create_directories(output);
  // Twice: what the first read of the process sets up once is not counted.
  for (int run = 0; run < 2; ++run) ASSERT_TRUE(Read(0));
  const long total = allocations;
  ExportLevels(output);
  ASSERT_TRUE(ui->shownTexts().empty()) << ui->shownTexts().front();
  const std::map<std::string, std::string> clean = Files(output);
  ASSERT_EQ(clean.count("01_19OP.BLK/TN.ARE"), 1u);
  // The old blocks: the clean ones and a file the new ones lack.
  std::map<std::string, std::string> old = clean;
  old["01_16PSK.BLK/KEEP"] = "old";
  old["01_19OP.BLK/KEEP"] = "old";

  int told = 0, whole = 0;
  const auto start = std::chrono::steady_clock::now();
  for (long k : failing_allocations::SampledAllocations(total, 300, 100, 300)) {
    SCOPED_TRACE("allocation " + std::to_string(k) + " of " + std::to_string(total));
    failing_allocations::PutFiles(output, old);
    ui->clear();
    const bool read = Read(k);
    ASSERT_TRUE(failing_allocations::Failed() || k > total - 10);
    const std::vector<std::string> shown = ui->shownTexts();
    const bool said = !shown.empty();
    ExportLevels(output);
    if (said) {
      ASSERT_FALSE(read);
      ASSERT_NE(shown.front().find("nedostatek paměti"), std::string::npos) << shown.front();
      ASSERT_TRUE(Files(output) == old) << "an export from a read that failed";
      ++told;
    } else {
      ASSERT_TRUE(read);
      ASSERT_TRUE(Files(output) == clean) << "a read that failed unsaid";
      ++whole;
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("district read: %ld allocations, %d told, %d whole reads (%.1f s)\n", total, told, whole, seconds);
}

}  // namespace
}  // namespace jobs_test
