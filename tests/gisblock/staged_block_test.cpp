#include "gisblock/staged_block.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "gisblock/gelix_blok_reader.h"
#include "platform/dbase_table.h"
#include "platform/progress_form.h"
#include "platform/tables_read.h"
#include "files.h"
#include "read_only.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {
// Run once at the next fsync of this program: another program at work
// while a block's files go to the disk.
std::function<void()> atNextFsync;
}  // namespace

extern "C" int fsync(int fd) {
  using Fsync = int (*)(int);
  static const auto real = reinterpret_cast<Fsync>(::dlsym(RTLD_NEXT, "fsync"));
  if (const std::function<void()> action = std::exchange(atNextFsync, nullptr)) action();
  return real(fd);
}

namespace {

class StagedBlockTest : public ::testing::Test {
 protected:
  // A case that switches to two renames and stops halfway leaves the next ones the usual way.
  void TearDown() override { gisblock::StagedBlock::setExchangeInOneStep(true); }
  static void write(const fs::path& file, const std::string& text) { test_support::WriteFile(file, text); }
  static std::string read(const fs::path& file) { return test_support::ReadFile(file); }
  test_support::TempDir scratch{"staged"};
  fs::path dir = scratch.path(), block = dir / "01_16PSK.BLK";
};

TEST_F(StagedBlockTest, OldBlockStaysUntilCommitAndIsReplacedWhole) {
  // In one step, and by two renames where the file system cannot exchange.
  for (const bool oneStep : {true, false}) {
    SCOPED_TRACE(oneStep ? "exchange" : "two renames");
    gisblock::StagedBlock::setExchangeInOneStep(oneStep);
    fs::remove_all(block);
    fs::create_directories(block);
    write(block / "TN.ARE", "old areas");
    write(block / "STALE.DBF", "old table");
    {
      gisblock::StagedBlock staged(block.string());
      ASSERT_TRUE(staged.ok()) << staged.error();
      write(staged.staging() / "TN.ARE", "new areas");
      EXPECT_EQ(read(block / "TN.ARE"), "old areas");
      ASSERT_TRUE(staged.commit()) << staged.error();
      EXPECT_EQ(read(block / "TN.ARE"), "new areas");
    }
    EXPECT_EQ(read(block / "TN.ARE"), "new areas");
    EXPECT_FALSE(fs::exists(block / "STALE.DBF"));
    // Nothing but the block is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  }
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

// A table the job read and another program saves while the new block's
// files go to the disk: the block would be made of the table as it was, and
// the save would be seen by the next job only.
TEST_F(StagedBlockTest, ATableSavedUntilTheSwapKeepsTheOldBlock) {
  const fs::path table = dir / "P0110.DBF";
  struct Save {
    const char* when;
    bool duringFlush;
  };
  for (const Save save : {Save{"before the commit", false}, Save{"while the files go to the disk", true}}) {
    SCOPED_TRACE(save.when);
    fs::remove_all(block);
    fs::create_directories(block);
    write(block / "TN.ARE", "old areas");
    platform::DbfTable::create(table, {{"CISLO", 'N', 8, 0, 0}});
    platform::BreakableJob job;
    platform::noteTableRead(table, *platform::DbfTable::stampOf(table));
    gisblock::StagedBlock staged(block.string());
    ASSERT_TRUE(staged.ok()) << staged.error();
    write(staged.staging() / "TN.ARE", "new areas");
    // Another program's save: a row added.
    const auto saveTable = [&] { write(table, read(table) + " 00000001"); };
    if (save.duringFlush) atNextFsync = saveTable;
    else saveTable();
    EXPECT_FALSE(staged.commit());
    atNextFsync = nullptr;
    EXPECT_NE(staged.error().find("byla během práce změněna"), std::string::npos) << staged.error();
    EXPECT_EQ(read(block / "TN.ARE"), "old areas");
  }
}

// A failed block's message says what is left: the old block where there
// was one, otherwise that no block was written.
TEST_F(StagedBlockTest, AFailureTellsWhetherAnOldBlockStays) {
  {
    gisblock::StagedBlock staged(block.string());
    ASSERT_TRUE(staged.ok()) << staged.error();
    staged.noteFailure("TN.ARE", "disk je plný");
    EXPECT_EQ(staged.error(), "Blok " + block.string() + " nebyl zapsán, soubor " + (block / "TN.ARE").string() +
                                  ": disk je plný. Žádný blok nebyl zapsán.");
  }
  {
    // A table's error that names the table names it once.
    const std::string table = (dir / "01_94REG.BLK" / "P9400.DBF").string();
    gisblock::StagedBlock staged(block.string());
    staged.noteFailure(table, table + ": Poškozená hlavička tabulky");
    EXPECT_EQ(staged.error(), "Blok " + block.string() + " nebyl zapsán, soubor " + table +
                                  ": Poškozená hlavička tabulky. Žádný blok nebyl zapsán.");
  }
  EXPECT_FALSE(fs::exists(block));
  fs::create_directories(block);
  gisblock::StagedBlock staged(block.string());
  ASSERT_TRUE(staged.ok()) << staged.error();
  staged.abandon("export přerušen");
  EXPECT_EQ(staged.error(),
            "Blok " + block.string() + " nebyl zapsán: export přerušen. Původní blok zůstává beze změny.");
}

TEST_F(StagedBlockTest, AnOldBlockLeftAsideByAKilledCommitComesBackForTheNextReaderOrWriter) {
  // The run was killed between moving the old block aside and putting the
  // new one in its place.
  for (const bool reader : {true, false}) {
    SCOPED_TRACE(reader ? "reader" : "writer");
    fs::create_directories(gisblock::StagedBlock::backupFor(block));
    write(gisblock::StagedBlock::backupFor(block) / "TN.ARE", "old areas");
    if (reader) {
      std::unique_ptr<TGeliXBlokReader> opened(TGeliXBlokReader::CreateForBlock(block.string()));
    } else {
      gisblock::StagedBlock staged(block.string());
      ASSERT_TRUE(staged.ok()) << staged.error();
    }
    EXPECT_EQ(read(block / "TN.ARE"), "old areas");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    fs::remove_all(block);
  }
}

// One writer at a time: a second is refused, by name, while the first
// lives; what a killed writer staged is cleared by the next one.
TEST_F(StagedBlockTest, ASecondWriterIsRefusedAndAKilledWritersStagingIsCleared) {
  fs::create_directories(block);
  write(block / "TN.ARE", "old areas");
  {
    gisblock::StagedBlock first(block.string());
    ASSERT_TRUE(first.ok()) << first.error();
    write(first.staging() / "TN.ARE", "first");
    gisblock::StagedBlock second(block.string());
    EXPECT_FALSE(second.ok());
    EXPECT_EQ(second.error().rfind("Blok " + block.string() + " nelze zapsat: do bloku právě zapisuje jiná úloha", 0),
              0u)
        << second.error();
    EXPECT_FALSE(second.commit());
    ASSERT_TRUE(first.commit()) << first.error();
  }
  EXPECT_EQ(read(block / "TN.ARE"), "first");

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    gisblock::StagedBlock staged(block.string());
    if (staged.ok()) std::ofstream(staged.staging() / "TN.ARE") << "killed";
    ::_exit(staged.ok() ? 0 : 1);  // as if killed: nothing is cleaned up
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_EQ(status, 0);
  EXPECT_GT(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  {
    gisblock::StagedBlock next(block.string());
    ASSERT_TRUE(next.ok()) << next.error();
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);  // the block, the lock, ours
  }
  EXPECT_EQ(read(block / "TN.ARE"), "first");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

// A job reading a block holds it until it ends, together with other
// readers; a writer is refused meanwhile, by name, and a reader while a
// writer holds the block. The last holder takes the lock file away.
TEST_F(StagedBlockTest, ReadersHoldABlockTogetherAgainstAWriter) {
  fs::create_directories(block);
  write(block / "TN.ARE", "old areas");
  {
    gisblock::BlockReadHold first, second;
    ASSERT_TRUE(first.hold(block.string())) << first.error();
    ASSERT_TRUE(second.hold(block.string())) << second.error();
    gisblock::StagedBlock writer(block.string());
    EXPECT_FALSE(writer.ok());
    EXPECT_EQ(writer.error(), "Blok " + block.string() + " nelze zapsat: blok právě čte jiná úloha; zkuste to znovu, až skončí");
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  {
    gisblock::StagedBlock writer(block.string());
    ASSERT_TRUE(writer.ok()) << writer.error();
    gisblock::BlockReadHold reader;
    EXPECT_FALSE(reader.hold(block.string()));
    EXPECT_EQ(reader.error(), "do bloku " + block.string() + " právě zapisuje jiná úloha; zkuste to znovu, až skončí");
    write(writer.staging() / "TN.ARE", "new areas");
    ASSERT_TRUE(writer.commit()) << writer.error();
  }
  EXPECT_EQ(read(block / "TN.ARE"), "new areas");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

  // Where no lock can be made, nobody can replace the block: it is read.
  test_support::ReadOnlyTree readOnly(dir);
  gisblock::BlockReadHold reader;
  EXPECT_TRUE(reader.hold(block.string())) << reader.error();
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

// What lies under a block's name goes when the block is replaced or
// removed: an old block that this user may rename but not empty (its
// directory, or one inside it, read-only, as blocks copied from a CD) would
// stay behind under the staging name, and a file of the user's would be
// lost. Either is refused by name, when the writing starts or at the
// commit, and stays as it was.
TEST_F(StagedBlockTest, WhatCannotGoFromUnderTheBlocksNameStays) {
  fs::create_directories(block / "OLD");
  write(block / "TN.ARE", "old areas");
  const std::string refused = "Blok " + block.string() + " nelze zapsat: ";
  auto nothingBeside = [&] { return std::distance(fs::directory_iterator(dir), fs::directory_iterator()) == 1; };
  for (const fs::path& locked : {block, block / "OLD"}) {
    for (const bool atCommit : {false, true}) {
      SCOPED_TRACE(locked.string() + (atCommit ? ", at the commit" : ""));
      std::optional<gisblock::StagedBlock> staged;
      if (atCommit) staged.emplace(block.string());
      {
        test_support::ReadOnlyTree readOnly(locked);
        if (!atCommit) staged.emplace(block.string());
        EXPECT_FALSE(staged->ok() && (staged->commit() || staged->commitRemoval()));
        EXPECT_EQ(staged->error(), refused + "starý blok nelze odstranit" +
                                       (locked == block ? "" : ", adresář " + locked.string()) +
                                       ": přístup odepřen. Původní blok zůstává beze změny.");
        staged.reset();
      }
      EXPECT_EQ(read(block / "TN.ARE"), "old areas");
      EXPECT_TRUE(nothingBeside());
    }
  }
  fs::remove_all(block);
  for (const int when : {0, 1, 2}) {  // at the start, at the commit, at the removal
    SCOPED_TRACE(when);
    std::optional<gisblock::StagedBlock> staged;
    if (when > 0) staged.emplace(block.string());
    write(block, "poznámky");
    if (when == 0) staged.emplace(block.string());
    EXPECT_FALSE(staged->ok() && (when == 2 ? staged->commitRemoval() : staged->commit()));
    EXPECT_EQ(staged->error(), refused + "pod tímto jménem leží soubor, ne adresář bloku; soubor zůstává beze změny");
    staged.reset();
    EXPECT_EQ(read(block), "poznámky");
    EXPECT_TRUE(nothingBeside());
    fs::remove(block);
  }
}

}  // namespace
