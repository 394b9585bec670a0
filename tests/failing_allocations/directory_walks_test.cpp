// Walks through directories with their allocations failing one at a time:
// each walk either throws std::bad_alloc, for its caller to report, or
// gives what the walk without a failure gives. None may end the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "app/jobs/lhc_merge.h"
#include "failing_allocations.h"
#include "files.h"
#include "framework/directory_listing.h"
#include "framework/remove_directory_tree.h"
#include "framework/settings.h"
#include "gisblock/staged_block.h"
#include "platform/scripted_user_interaction.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

// Fails each allocation of the walk in turn until one runs through.
void FailEach(const std::string& name, const std::function<std::string()>& walk) {
  SCOPED_TRACE(name);
  const std::string clean = walk();
  bool failed = true;
  for (long k = 1; failed; ++k) {
    SCOPED_TRACE("allocation " + std::to_string(k));
    std::string got;
    bool threw = false;
    try {
      failing_allocations::Armed armed(k);
      got = walk();
    } catch (const std::bad_alloc&) {
      threw = true;
    }
    failed = failing_allocations::Failed();
    if (!threw) {
      ASSERT_EQ(got, clean);
    }
  }
}

TEST(FailingDirectoryWalkTest, AListingThrowsOrListsEveryEntry) {
  test_support::TempDir dir("walks");
  for (const char* sub : {"02", "01", "Ab", "aB", "CES.BLK"}) fs::create_directories(dir / sub);
  for (const char* file : {"x.txt", "tergelix.ini"}) test_support::WriteFile(dir / file, "");
  auto joined = [](const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += name + "|";
    return text;
  };
  FailEach("entry names", [&] { return joined(jobs::SortedEntryNames(dir.path())); });
  FailEach("district codes", [&] { return joined(jobs::DistrictCodes(dir.path())); });
  FailEach("listing", [&] {
    std::vector<std::string> names;
    for (const framework::SearchRecord& r : framework::ListDirectory(dir.path(), false)) names.push_back(r.Name);
    return joined(names);
  });
  // The settings file is found whatever the case of its name.
  const char* old = std::getenv("WINDIR");
  const std::string kept = old ? old : "";
  ::setenv("WINDIR", dir.string().c_str(), 1);
  FailEach("settings file", [] { return framework::SettingsFilePath(); });
  if (old) ::setenv("WINDIR", kept.c_str(), 1);
  else ::unsetenv("WINDIR");
}

TEST(FailingDirectoryWalkTest, ARemovalThatFailsLeavesWhatItDidNotRemoveUnderItsName) {
  platform::ScopedScriptedUi ui;
  test_support::TempDir dir("removal");
  bool failed = true;
  for (long k = 1; failed; ++k) {
    SCOPED_TRACE("allocation " + std::to_string(k));
    const fs::path tree = dir / "BLOK.BLK";
    for (const char* sub : {"A", "B/C"}) fs::create_directories(tree / sub);
    for (const char* file : {"TN.LIN", "A/TN.ARE", "B/C/TN.CRD"}) test_support::WriteFile(tree / file, "x");
    bool removed = false, threw = false;
    try {
      failing_allocations::Armed armed(k);
      removed = RemoveDirectoryTree(tree.string());
    } catch (const std::bad_alloc&) {
      threw = true;
    }
    failed = failing_allocations::Failed();
    ASSERT_EQ(fs::exists(tree), !removed);
    // Nothing set aside on the way stays there.
    ASSERT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), removed ? 0 : 1);
    if (!removed && !threw) {
      ASSERT_FALSE(ui->shownTexts().empty());
    }
    ui->clear();
    fs::remove_all(tree);
  }
}

TEST(FailingDirectoryWalkTest, AnOldBlockIsRemovedWholeOrKeptWhole) {
  test_support::TempDir dir("blocks");
  const fs::path block = dir / "01_19OP.BLK";
  const std::vector<std::string> files = {"P1900.DBF", "TN.ARE", "TN.LIN"};
  bool failed = true;
  for (long k = 1; failed; ++k) {
    SCOPED_TRACE("allocation " + std::to_string(k));
    fs::create_directories(block);
    for (const std::string& file : files) test_support::WriteFile(block / file, file);
    bool removed = false, threw = false;
    try {
      failing_allocations::Armed armed(k);
      gisblock::StagedBlock staged(block.string());
      removed = staged.ok() && staged.commitRemoval();
    } catch (const std::bad_alloc&) {
      threw = true;
    }
    failed = failing_allocations::Failed();
    ASSERT_FALSE(removed && threw);
    std::vector<std::string> left;
    for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
      left.push_back(fs::relative(entry.path(), dir.path()).string());
    std::sort(left.begin(), left.end());
    if (removed) ASSERT_TRUE(left.empty());
    else ASSERT_EQ(left, (std::vector<std::string>{"01_19OP.BLK", "01_19OP.BLK/P1900.DBF", "01_19OP.BLK/TN.ARE",
                                                   "01_19OP.BLK/TN.LIN"}));
    fs::remove_all(block);
  }
}

}  // namespace
