#pragma once
// A block directory written beside the one it replaces. Writers write into
// the staging directory; only when every file and table was written and
// closed without error does `commit` put it in place of the old block. Until
// then, and whenever anything fails, the old block stays as it was, byte for
// byte. A staging directory that was not committed goes with the object.
//
//   gisblock::StagedBlock staged("D:\\GIS\\4107\\01\\01_16PSK.BLK");
//   if (!staged.ok()) { report(staged.error()); return; }
//   writeEverythingInto(staged.stagingPath());
//   if (!allWritten || !staged.commit()) report(staged.error());
//
// Writers tell the staged block of the first file they fail to write
// (`noteFailure`); a block with a failure is never committed, and its error
// names that file in the form the user named the block.
//
// One writer at a time replaces a block: the staged block holds the block's
// lock (BlockLock) while it lives, and a second writer is refused. Each
// writer stages under a name of its own; what a killed writer left behind
// is cleared, or put back, by the next one.
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "gisblock/block_lock.h"

namespace gisblock {

// A name inside a directory, joined with the separator the directory is
// spelled with ("D:\\GIS" + "P1600.CRT" gives "D:\\GIS\\P1600.CRT").
std::string joinShownPath(std::string_view directory, std::string_view name);

class StagedBlock {
 public:
  // `shownPath`: the block as the user named it; messages use this form.
  explicit StagedBlock(std::string shownPath);
  // A writer given the staging directory of a staged block that somebody
  // else commits: it writes straight into it, never commits, and a failure
  // it notes is left in the directory (see commit), so that the owner's
  // commit refuses it. Nil when `path` is no live staging directory.
  static std::unique_ptr<StagedBlock> joining(const std::string& path);
  // Whether the block is another's (see joining).
  bool joined() const { return joined_; }
  ~StagedBlock();
  StagedBlock(const StagedBlock&) = delete;
  StagedBlock& operator=(const StagedBlock&) = delete;

  // False when the path resolves to nothing, another writer holds the
  // block or the staging directory cannot be made; error() says why.
  bool ok() const { return ok_; }
  const std::string& error() const { return error_; }

  const std::string& shownPath() const { return shown_; }
  const std::filesystem::path& target() const { return target_; }
  const std::filesystem::path& staging() const { return staging_; }
  std::string stagingPath() const { return staging_.string(); }

  // The first file of the block that could not be written, and why; later
  // failures only follow from it and are not kept.
  void noteFailure(std::string_view file, std::string_view cause);
  // A notice told once per block written: true the first time for its key.
  bool firstNotice(const std::string& key) { return notices_.insert(key).second; }
  bool failed() const { return failed_; }
  // Gives the block up for a reason that is no file's (broken off by the
  // user, nothing to write): it is not committed either.
  void abandon(std::string_view reason);
  // A file of the block, or a path inside the staging directory, as the
  // user would name it: the block as named, its own separator, the rest.
  std::string shownFile(std::string_view fileName) const;
  std::string shown(std::string_view path) const;
  // A message with every mention of the staging directory in that form.
  std::string shownText(std::string_view text) const;
  // What a failure leaves, for the end of its message: the old block as it
  // was, or, where there was none, no block at all.
  std::string leftText() const;
  // Whether a block of this name (a directory) lies on the disk now.
  bool blockThere() const;
  // The staging directory and the target as messages may spell them.
  std::vector<std::string> spellings() const;

  // Puts the staging directory in place of the target (which may be missing):
  // its files are on the disk first, and the two directories change places
  // in one step where the file system can. Refused once a failure was noted,
  // here or by a writer that joined the block, and where a table the job
  // read was changed by another program since the job first found it
  // (platform::tableChangedDuringJob, asked once the files are on the disk,
  // just before the swap). On failure the old block is back where it was
  // and error() names the cause.
  bool commit();
  // Removes the block instead of replacing it (nothing is left to write
  // where it was): in one step it goes under the staging name, where it is
  // deleted, and where a run killed meanwhile leaves it for the next writer
  // to clear. Refused as commit is; on failure the old block stays and
  // error() names the cause. A block that is not there is removed already.
  bool commitRemoval();
  bool committed() const { return committed_; }

  // Where a block named so lies on this system; empty, with `error` saying
  // why, when the name is empty or leads to no directory (a drive without
  // a directory), so that nothing lands in the working directory instead.
  // A block that lies only aside is named as its directory was spelled.
  static std::filesystem::path resolve(std::string_view shownPath, std::string& error);

  // Where the old block lies while a commit that cannot exchange the two
  // directories in one step moves it aside.
  static std::filesystem::path backupFor(const std::filesystem::path& target);
  // Whether commits exchange the directories in one step where the file
  // system can (otherwise by two renames, as on one that cannot).
  static void setExchangeInOneStep(bool allowed);

 private:
  StagedBlock() = default;
  bool fail(std::string text);
  bool replaceable();
  void clearLeftovers();
  bool flushContents();
  bool putInPlace();
  // False, the block failed, where a table the job read is not as it read it.
  bool tablesAsRead(bool removal = false);
  // What the job read of the old block, or of the staging, is its own now.
  void forgetOwnTables() const;

  std::string shown_;
  std::filesystem::path target_;
  std::filesystem::path staging_;
  bool ok_ = false;
  bool committed_ = false;
  bool failed_ = false;
  bool joined_ = false;
  std::string error_;
  std::set<std::string> notices_;
  BlockLock lock_;
};

// Whether a directory of this name is one the staged blocks keep beside a
// block for their own work (a writer's staging directory, a block moved
// aside), not one of the user's.
bool isBlockWorkName(std::string_view name);
// The block a directory of this name holds while a commit has it aside
// (".01_16PSK.BLK.old" holds "01_16PSK.BLK"); empty for any other name.
std::string blockHeldAside(std::string_view name);

// A block a job wrote nothing into, and why, for its message: "Blok X nebyl
// zapsán: why." and what is left, as StagedBlock::leftText says it.
std::string notWrittenText(std::string_view shownPath, std::string_view why);

// The blocks a job reads, held against writers until the job ends: a block
// replaced while it is read would give the reader part of the old block's
// files and part of the new one's, and a job reads its blocks' tables late,
// while it writes. Readers hold a block together; a writer is refused
// meanwhile ("blok právě čte jiná úloha"), and so is a reader while a
// writer holds it.
class BlockReadHold {
 public:
  // False, with error() naming the block, while a writer holds it. Where no
  // lock can be made (a read-only share, where no writer can replace the
  // block either) the block is read without one.
  bool hold(std::string_view shownPath);
  // "do bloku X právě zapisuje jiná úloha; ...", for "Blok Y nebyl zapsán: ".
  const std::string& error() const { return error_; }

 private:
  std::vector<std::unique_ptr<BlockLock>> locks_;
  std::string error_;
};

// "do bloku X právě zapisuje jiná úloha; zkuste to znovu, až skončí", for
// "Blok Y nebyl zapsán: " or a read's message.
std::string blockBeingWrittenText(std::string_view shownPath);

// A block as its readers find it. A writer killed between the two renames
// of its commit leaves the old block only aside, whole; every reader looks
// through here, so that such a block is put back before anybody takes it
// for missing. While a live writer holds the block it is that writer's to
// put in place, and a reader is refused.
enum class BlockFound { There, Missing, Refused };
// Refused: `why` names the block, for "Blok Y nebyl zapsán: " or a read's
// message (a writer putting its new block in place, or the cause the block
// could not be put back).
BlockFound findBlock(std::string_view shownPath, std::string& why);
// Whether the block lies where it is named, as findBlock finds it; a refusal
// is thrown (std::runtime_error with findBlock's `why`).
bool blockLies(std::string_view shownPath);
// Every block of the directory that lies only aside is put back, as
// findBlock puts back one: a listing of the directory then shows it under
// its name. One a live writer holds, or that cannot go back, stays aside
// for its reader to name.
void putBackBlocksLeftAside(std::string_view shownDirectory);

}  // namespace gisblock
