// The LHC merges of the sample districts with their allocations failing one
// at a time: each merge either tells the user why it wrote nothing, in
// Czech, and leaves the old LHC block as it was, with no staging directory
// behind, or writes exactly the block of the merge that did not fail.
#include "../jobs/jobs_fixture.h"
#include "app/jobs/lhc_merge.h"
#include "failing_allocations.h"
#include "job_runs.h"

namespace jobs_test {
namespace {

class FailingLhcMergeTest : public LhcJobTest<jobs::LhcMergeContext> {
 protected:
  void SetUp() override {
    LhcJobTest::SetUp();
    if (IsSkipped()) return;
    ExportDistrictLevels({99, 116});
  }

  void FailEach(const jobs::LhcLayerKind& layer, failing_allocations::Sample sample) {
    failing_allocations::FailEachAllocation(
        layer.Marker, lhc / layer.Block, sample, *ui,
        [&] { return jobs::MergeLhcLayer(context, layer) == jobs::MergeResult::Written; }, "Konec tvorby LHC");
  }
};

TEST_F(FailingLhcMergeTest, TheDistrictMergeTellsWhyOrWritesTheCleanBlock) {
  FailEach(jobs::LhcLayer(), {300, 150, 300});
}

TEST_F(FailingLhcMergeTest, TheZroMergeTellsWhyOrWritesTheCleanBlock) {
  FailEach(jobs::LhcZroLayer(), {300, 150, 300});
}

}  // namespace
}  // namespace jobs_test
