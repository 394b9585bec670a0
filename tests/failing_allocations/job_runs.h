#pragma once
// What the runs of whole jobs with a failing allocation share: the files of
// a directory tree by path, and which of a job's allocations to fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "failing_allocations.h"
#include "files.h"
#include "platform/message_queue.h"
#include "platform/scripted_user_interaction.h"

namespace failing_allocations {

// Every file of a directory tree and its bytes (ComparableBytes), by path;
// "<dir>" for a directory.
inline std::map<std::string, std::string> Files(const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    std::string& bytes = files[fs::relative(entry.path(), root).string()];
    if (!entry.is_regular_file()) {
      bytes = "<dir>";
      continue;
    }
    bytes = test_support::ComparableBytes(entry.path());
  }
  return files;
}

// Makes `root` hold exactly the files given.
inline void PutFiles(const std::filesystem::path& root, const std::map<std::string, std::string>& files) {
  namespace fs = std::filesystem;
  fs::remove_all(root);
  fs::create_directories(root);
  for (const auto& [name, bytes] : files) {
    if (bytes == "<dir>") fs::create_directories(root / name);
    else std::ofstream(root / name, std::ios::binary) << bytes;
  }
}

// The allocations of a job of `total` to fail in turn: each of the first
// `head` (the reading and setting up) and of the last `tail` (the
// committing and telling), and `between` spread evenly between them.
// ZELTO_EVERY_ALLOCATION=1 in the environment fails every one.
inline std::vector<long> SampledAllocations(long total, long head, long tail, long between) {
  const char* every = std::getenv("ZELTO_EVERY_ALLOCATION");
  if (every && std::string(every) == "1") head = total;
  const long stride = std::max(1L, (total - head - tail) / std::max(1L, between));
  std::vector<long> ks;
  for (long k = 1; k <= total; k += (k <= head || k > total - tail) ? 1 : stride) ks.push_back(k);
  return ks;
}

// The names in a directory, sorted.
inline std::vector<std::string> EntryNames(const std::filesystem::path& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The allocations of a job to fail in turn, and how many: each of the first
// `head` and of the last `tail`, `between` spread between them.
struct Sample {
  long head, tail, between;
};

// Runs a job that writes `block`, first twice failing nothing (what the
// first run of a process sets up once is not counted): it writes the clean
// block and shows nothing but `done`. Then with its allocations failing in
// turn, the block put back each time to the old one: the clean block, as
// it stands, with a file the new one lacks. The job answers whether it
// wrote the block. Each run either tells the user first that memory ran
// out and leaves the old block as it was, or writes the clean block and
// shows nothing but `done`; nothing is left beside the block.
inline void FailEachAllocation(const std::string& job, const std::filesystem::path& block, Sample sample,
                               platform::ScriptedUserInteraction& ui, const std::function<bool()>& run,
                               const std::string& done = {}) {
  const std::vector<std::string> toldDone = done.empty() ? std::vector<std::string>{} : std::vector{done};
  long total = 0;
  for (int i = 0; i < 2; ++i) {
    ui.clear();
    Arm(0);
    const bool written = run();
    total = Disarm();
    platform::messageQueue().discardAll();
    ASSERT_TRUE(written);
    ASSERT_EQ(ui.shownTexts(), toldDone);
  }
  const std::map<std::string, std::string> clean = Files(block);
  const std::vector<std::string> entries = EntryNames(block.parent_path());
  std::map<std::string, std::string> old = clean;
  old["KEEP"] = "old";
  const std::vector<long> ks = SampledAllocations(total, sample.head, sample.tail, sample.between);
  int told = 0, same = 0;
  const auto start = std::chrono::steady_clock::now();
  for (long k : ks) {
    SCOPED_TRACE("allocation " + std::to_string(k) + " of " + std::to_string(total));
    PutFiles(block, old);
    ui.clear();
    bool written;
    {
      Armed armed(k);
      written = run();
    }
    platform::messageQueue().discardAll();
    // A run may need an allocation or two less than the one counted.
    ASSERT_TRUE(Failed() || k > total - 10);
    ASSERT_EQ(EntryNames(block.parent_path()), entries) << "a staging directory left behind";
    const std::vector<std::string> shown = ui.shownTexts();
    if (written) {
      ASSERT_TRUE(Files(block) == clean) << "a block other than the clean one";
      // Unless the allocation that failed was the one to tell it.
      ASSERT_TRUE(shown.empty() || shown == toldDone) << shown[0];
      ++same;
    } else {
      ASSERT_FALSE(shown.empty()) << "a failure nobody was told of";
      ASSERT_NE(shown[0].find("nedostatek paměti"), std::string::npos) << shown[0];
      ASSERT_TRUE(Files(block) == old) << "the old block changed";
      ++told;
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%s: %ld allocations, %zu failed in turn, %d told, %d clean results (%.1f s)\n", job.c_str(), total,
              ks.size(), told, same, seconds);
}

}  // namespace failing_allocations
