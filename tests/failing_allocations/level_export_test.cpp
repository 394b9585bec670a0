// A level export of the sample district with its allocations failing one
// at a time: each run either reports an error and leaves the old block as
// it was, with no staging directory behind, or writes exactly the block of
// the run that did not fail.
#include <chrono>
#include <map>

#include "../jobs/jobs_fixture.h"
#include "failing_allocations.h"
#include "files.h"

namespace jobs_test {
namespace {

// Every file of a directory tree and its bytes (ComparableBytes), by path.
std::map<std::string, std::string> Files(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    files[fs::relative(entry.path(), root).string()] = entry.is_regular_file() ? test_support::ComparableBytes(entry.path()) : "<dir>";
  return files;
}

class FailingLevelExportTest : public JobsTest {
 protected:
  // Exports the compartments into `output`; K 0 fails nothing.
  jobs::ExportResult Export(const fs::path& output, long failAt, std::vector<std::string>& failures) {
    jobs::LoadedModel state;
    EXPECT_TRUE(jobs::ReadDistrict(state, District().string()));
    jobs::LevelExportContext ctx = LevelContext(state, output);
    ctx.ShowFailure = [&](const std::string& text) { failures.push_back(text); };
    jobs::ExportResult result;
    {
      failing_allocations::Armed armed(failAt);
      result = jobs::ExportForestLevel(ctx, *jobs::FindForestLevel(98));
      allocations = failing_allocations::Disarm();
    }
    platform::messageQueue().discardAll();
    return result;
  }
  long allocations = 0;
};

TEST_F(FailingLevelExportTest, EveryFailedAllocationKeepsTheOldBlockOrWritesTheCleanOne) {
  const fs::path output = dir / "OUT" / "4107" / "01";
  const fs::path block = output / "01_13ODD.BLK";
  fs::create_directories(output);
  std::vector<std::string> failures;
  // Twice: what the first export of the process sets up once is not counted.
  for (int run = 0; run < 2; ++run) {
    ASSERT_EQ(Export(output, 0, failures), jobs::ExportResult::Written);
    ASSERT_TRUE(failures.empty()) << failures.front();
  }
  const long total = allocations;
  const std::map<std::string, std::string> clean = Files(block);
  // The old block: the clean one and a file the new one lacks.
  std::map<std::string, std::string> old = clean;
  old["KEEP"] = "old";

  // Every allocation of the reading and setting up and of the committing
  // and telling at the end, a stride through the building and writing
  // between them: the run stays short.
  constexpr long kHead = 400, kTail = 200, kBetween = 400;
  std::vector<long> ks;
  for (long k = 1; k <= total; k += (k <= kHead || k > total - kTail) ? 1 : std::max(1L, total / kBetween))
    ks.push_back(k);

  int threw = 0, same = 0;
  const auto start = std::chrono::steady_clock::now();
  for (long k : ks) {
    SCOPED_TRACE("allocation " + std::to_string(k) + " of " + std::to_string(total));
    fs::remove_all(output);
    fs::create_directories(block);
    for (const auto& [name, bytes] : old) std::ofstream(block / name, std::ios::binary) << bytes;
    failures.clear();
    const jobs::ExportResult result = Export(output, k, failures);
    // A run may need an allocation or two less than the one counted.
    ASSERT_TRUE(failing_allocations::Failed() || k > total - 10);
    // Nothing but the block in the output directory: no staging left.
    std::vector<std::string> entries;
    for (const auto& entry : fs::directory_iterator(output)) entries.push_back(entry.path().filename().string());
    ASSERT_EQ(entries, std::vector<std::string>{block.filename().string()});
    if (result == jobs::ExportResult::Written) {
      ASSERT_TRUE(Files(block) == clean) << "a block other than the clean one";
      ++same;
    } else {
      ASSERT_EQ(result, jobs::ExportResult::NotWritten);
      ASSERT_FALSE(failures.empty()) << "a failure nobody was told of";
      // In a run of every level the later levels are written: the text
      // speaks of this level's block, never of every block.
      for (const std::string& text : failures)
        ASSERT_TRUE(text.find("Blok " + block.string()) != std::string::npos ||
                    text.find("Blok úrovně 13ODD") != std::string::npos)
            << text;
      ASSERT_TRUE(Files(block) == old) << "the old block changed";
      ++threw;
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("level export: %ld allocations, %zu failed in turn, %d errors, %d clean results (%.1f s)\n", total,
              ks.size(), threw, same, seconds);
}

}  // namespace
}  // namespace jobs_test
