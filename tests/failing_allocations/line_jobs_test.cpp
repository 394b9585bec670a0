// The line jobs of the sample LHC with their allocations failing one at a
// time: the read of the LHC's lines with an extraction after it, and both
// noding jobs. Each run either tells the user why it wrote nothing, in
// Czech, and leaves the old block as it was, with no staging directory
// behind, or writes exactly the block of the run that did not fail.
#include <functional>

#include "../jobs/jobs_fixture.h"
#include "app/jobs/line_jobs.h"
#include "failing_allocations.h"
#include "job_runs.h"

namespace jobs_test {
namespace {

class FailingLineJobsTest : public LhcJobTest<jobs::LineJobContext> {
 protected:
  void SetUp() override {
    LhcJobTest::SetUp();
    if (IsSkipped()) return;
    chosen = District("01").string();
    // The extracted blocks the noding jobs read.
    ASSERT_TRUE(jobs::ReadLhcLines(state, chosen));
    jobs::ExportAllLineKinds(context);
    ASSERT_TRUE(ui->shownTexts().empty()) << ui->shownTexts().front();
  }

  // Runs the job, which answers whether it wrote its block, with its
  // allocations failing in turn.
  void FailEach(const std::string& name, const char* block, const std::function<bool()>& job) {
    failing_allocations::FailEachAllocation(name, lhc / block, {300, 150, 300}, *ui, job);
  }

  std::string chosen;
};

TEST_F(FailingLineJobsTest, TheLhcLineReadAndTheStreamExtractionTellWhyOrWriteTheCleanBlock) {
  const jobs::LineKind& streams = *jobs::FindLineKind(88);
  FailEach("read and streams", streams.Block, [&] {
    return jobs::ReadLhcLines(state, chosen) &&
           jobs::ExportLinesByDruh(context, streams) == jobs::LineJobResult::Written;
  });
}

TEST_F(FailingLineJobsTest, TheNodingOfWatersTellsWhyOrWritesTheCleanBlock) {
  FailEach("waters", "_30VOD.BLK", [&] { return jobs::NodeWaterLines(context) == jobs::LineJobResult::Written; });
}

TEST_F(FailingLineJobsTest, TheNodingOfCommunicationsTellsWhyOrWritesTheCleanBlock) {
  FailEach("communications", "_20KOM.BLK",
           [&] { return jobs::NodeCommunicationLines(context) == jobs::LineJobResult::Written; });
}

}  // namespace
}  // namespace jobs_test
