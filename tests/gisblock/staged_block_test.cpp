#include "gisblock/staged_block.h"

#include <gtest/gtest.h>

#include "files.h"
#include "read_only.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

class StagedBlockTest : public ::testing::Test {
 protected:
  static void write(const fs::path& file, const std::string& text) { test_support::WriteFile(file, text); }
  static std::string read(const fs::path& file) { return test_support::ReadFile(file); }
  test_support::TempDir scratch{"staged"};
  fs::path dir = scratch.path(), block = dir / "01_16PSK.BLK";
};

TEST_F(StagedBlockTest, OldBlockStaysUntilCommitAndIsReplacedWhole) {
  fs::create_directories(block);
  write(block / "TN.ARE", "old areas");
  write(block / "STALE.DBF", "old table");
  {
    gisblock::StagedBlock staged(block.string());
    ASSERT_TRUE(staged.ok()) << staged.error();
    write(staged.staging() / "TN.ARE", "new areas");
    EXPECT_EQ(read(block / "TN.ARE"), "old areas");
    ASSERT_TRUE(staged.commit()) << staged.error();
  }
  EXPECT_EQ(read(block / "TN.ARE"), "new areas");
  EXPECT_FALSE(fs::exists(block / "STALE.DBF"));
  // Nothing but the block is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(StagedBlockTest, AbandonedStagingLeavesTheOldBlockAndNoTrace) {
  fs::create_directories(block);
  write(block / "TN.ARE", "old areas");
  {
    gisblock::StagedBlock staged(block.string());
    ASSERT_TRUE(staged.ok());
    write(staged.staging() / "TN.ARE", "half written");
  }
  EXPECT_EQ(read(block / "TN.ARE"), "old areas");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(StagedBlockTest, AnOldBlockLeftAsideByAnInterruptedRunComesBack) {
  // The run ended between moving the old block aside and putting the new
  // one in its place.
  fs::create_directories(gisblock::StagedBlock::backupFor(block));
  write(gisblock::StagedBlock::backupFor(block) / "TN.ARE", "old areas");
  fs::create_directories(gisblock::StagedBlock::stagingFor(block));
  {
    gisblock::StagedBlock staged(block.string());
    ASSERT_TRUE(staged.ok());
  }
  EXPECT_EQ(read(block / "TN.ARE"), "old areas");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(StagedBlockTest, RefusesPathsThatNameNoDirectory) {
  gisblock::StagedBlock empty("");
  EXPECT_FALSE(empty.ok());
  EXPECT_FALSE(empty.error().empty());
  gisblock::StagedBlock orphan((dir / "missing" / "X.BLK").string());
  EXPECT_FALSE(orphan.ok());
  EXPECT_NE(orphan.error().find("X.BLK"), std::string::npos);
}

TEST_F(StagedBlockTest, ReadOnlyDirectoryKeepsTheOldBlock) {
  fs::create_directories(block);
  write(block / "TN.ARE", "old areas");
  {
    test_support::ReadOnlyTree readOnly(dir);
    gisblock::StagedBlock staged(block.string());
    EXPECT_FALSE(staged.ok());
    EXPECT_NE(staged.error().find("přístup odepřen"), std::string::npos) << staged.error();
    EXPECT_FALSE(staged.commit());
  }
  EXPECT_EQ(read(block / "TN.ARE"), "old areas");
}

}  // namespace
