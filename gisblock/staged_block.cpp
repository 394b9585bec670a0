#include "gisblock/staged_block.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "platform/codepage.h"
#include "platform/directory_entries.h"
#include "platform/path_resolver.h"
#include "platform/regular_file.h"
#include "platform/system_cause.h"
#include "platform/tables_read.h"

namespace gisblock {

namespace fs = std::filesystem;

namespace {

std::string causeOf(const std::error_code& ec) { return platform::systemCause(ec); }

// Left in a staging directory by a writer that joined it and failed.
constexpr const char* kFailureNote = ".failed";

// The staging directories of a block: ".X.BLK~<process>-<n>.new", a name
// of each writer's own; ".X.BLK.new" was the one name of earlier versions.
constexpr const char* kStagingEnd = ".new";

// In any letter case: a writer that named the block otherwise, while it lay
// nowhere under its own spelling, staged under the name it gave.
bool isStagingOf(const std::string& name, const std::string& blockName) {
  const std::string own = platform::lowerUtf8(name);
  const std::string stem = "." + platform::lowerUtf8(blockName);
  return own == stem + kStagingEnd || (own.starts_with(stem + "~") && own.ends_with(kStagingEnd));
}

fs::path uniqueStagingFor(const fs::path& target) {
  static unsigned made = 0;
  return target.parent_path() / ("." + target.filename().string() + "~" + std::to_string(::getpid()) + "-" +
                                 std::to_string(++made) + kStagingEnd);
}

bool exchangeInOneStep = true;

// A file system that cannot sync a kind of file says so; that is no failure
// of the block.
bool syncUnsupported(int error) { return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP; }

// 0, or why the file's bytes could not be brought to the disk. Opened
// without waiting: a named pipe put in the staging directory is no file of
// the block, and nobody may ever write it.
int syncPath(const fs::path& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno;
  const int error = ::fsync(fd) == 0 || syncUnsupported(errno) ? 0 : errno;
  ::close(fd);
  return error;
}

// Renames are made durable by syncing their directory; a directory that
// cannot be synced leaves that to the file system.
void syncDirectory(const fs::path& directory) { syncPath(directory, O_RDONLY | O_DIRECTORY); }

}  // namespace

bool isBlockWorkName(std::string_view name) {
  const std::string own = platform::lowerUtf8(name);
  if (!own.starts_with(".")) return false;
  if (!blockHeldAside(name).empty()) return true;
  const std::size_t blk = own.find(".blk");
  return blk != std::string::npos && blk > 1 && own.ends_with(kStagingEnd) &&
         isStagingOf(own, own.substr(1, blk + 3));
}

std::string blockHeldAside(std::string_view name) {
  constexpr std::string_view kAsideEnd = ".blk.old";
  if (name.size() <= kAsideEnd.size() + 1 || !name.starts_with('.') ||
      !platform::equalsIgnoringAsciiCase(name.substr(name.size() - kAsideEnd.size()), kAsideEnd))
    return {};
  // "." before the block's name, ".old" after it.
  return std::string(name.substr(1, name.size() - 5));
}

fs::path StagedBlock::backupFor(const fs::path& target) {
  return target.parent_path() / ("." + target.filename().string() + ".old");
}

void StagedBlock::setExchangeInOneStep(bool allowed) { exchangeInOneStep = allowed; }

std::unique_ptr<StagedBlock> StagedBlock::joining(const std::string& path) {
  std::string why;
  const fs::path staging = resolve(path, why);
  const std::string name = staging.filename().string();
  std::error_code ec;
  const std::size_t tag = name.rfind('~');
  if (staging.empty() || tag == std::string::npos || tag < 2 || !isStagingOf(name, name.substr(1, tag - 1)) ||
      !fs::is_directory(staging, ec))
    return nullptr;
  std::unique_ptr<StagedBlock> block(new StagedBlock);
  block->staging_ = staging;
  block->target_ = staging.parent_path() / name.substr(1, tag - 1);
  block->shown_ = block->target_.string();
  block->ok_ = true;
  block->joined_ = true;
  return block;
}

namespace {
// A block that lies only aside is found under the name it lay under, in the
// letter case of its directory on the disk, whatever case the user named it
// in: it goes back under that name, and its lock and staging names are
// those its writer used.
fs::path spelledAsLeftAside(const fs::path& target) {
  std::error_code ec;
  if (fs::exists(fs::symlink_status(target, ec))) return target;
  const std::string aside = StagedBlock::backupFor(target).filename().string();
  const std::string wanted = platform::lowerUtf8(aside);
  const std::size_t added = aside.size() - target.filename().string().size();  // "." and ".old"
  for (const std::string& name : platform::directoryEntries(target.parent_path(), ec))
    if (name.size() > added && platform::lowerUtf8(name) == wanted &&
        fs::is_directory(target.parent_path() / name, ec))
      return target.parent_path() / name.substr(1, name.size() - added);
  return target;
}
}  // namespace

fs::path StagedBlock::resolve(std::string_view shownPath, std::string& error) {
  std::string name(shownPath);
  while (!name.empty() && (name.back() == '\\' || name.back() == '/')) name.pop_back();
  if (name.empty()) {
    error = "Blok nelze zapsat: chybí jméno adresáře bloku";
    return {};
  }
  const fs::path mapped = platform::pathResolver().forWriting(name);
  if (mapped.empty() || !mapped.has_filename()) {
    error = "Blok " + std::string(shownPath) + " nelze zapsat: cesta nevede na žádný adresář";
    return {};
  }
  std::error_code ec;
  const fs::path absolute = fs::absolute(mapped, ec);
  fs::path target = (ec ? mapped : absolute).lexically_normal();
  if (!target.has_filename() || target == target.root_path()) {
    error = "Blok " + std::string(shownPath) + " nelze zapsat: cesta nevede na žádný adresář";
    return {};
  }
  return spelledAsLeftAside(target);
}

StagedBlock::StagedBlock(std::string shownPath) : shown_(std::move(shownPath)) {
  std::string why;
  target_ = resolve(shown_, why);
  if (target_.empty()) {
    fail(why);
    return;
  }
  std::error_code ec;
  if (!fs::is_directory(target_.parent_path(), ec)) {
    std::string parent = shown_;
    while (!parent.empty() && (parent.back() == '\\' || parent.back() == '/')) parent.pop_back();
    parent.erase(std::min(parent.size(), parent.find_last_of("/\\")));
    fail("Blok " + shown_ + " nelze zapsat: adresář " + (parent.empty() ? target_.parent_path().string() : parent) +
         " neexistuje");
    return;
  }
  switch (lock_.take(target_, ec)) {
    case BlockLock::Result::Taken: break;
    case BlockLock::Result::Busy:
      fail("Blok " + shown_ + " nelze zapsat: do bloku právě zapisuje jiná úloha; zkuste to znovu, až skončí");
      return;
    case BlockLock::Result::Reading:
      fail("Blok " + shown_ + " nelze zapsat: blok právě čte jiná úloha; zkuste to znovu, až skončí");
      return;
    case BlockLock::Result::Failed: fail("Blok " + shown_ + " nelze zapsat: " + causeOf(ec)); return;
  }
  clearLeftovers();
  if (!replaceable()) return;
  staging_ = uniqueStagingFor(target_);
  if (!fs::create_directory(staging_, ec) || ec) {
    const std::string cause = causeOf(ec);
    staging_.clear();
    fail("Blok " + shown_ + " nelze zapsat: " + cause);
    return;
  }
  ok_ = true;
}

// With the lock held nobody else writes the block: what lies beside it is
// what interrupted writers left. Their staging directories are of no use to
// anybody, but an old block one had moved aside goes back where it was.
void StagedBlock::clearLeftovers() {
  std::error_code ec;
  const std::string blockName = target_.filename().string();
  for (const std::string& name : platform::directoryEntries(target_.parent_path(), ec))
    if (isStagingOf(name, blockName)) platform::removeTree(target_.parent_path() / name, ec);
  const fs::path backup = backupFor(target_);
  if (!fs::exists(fs::symlink_status(target_, ec))) {
    if (fs::is_directory(backup, ec)) fs::rename(backup, target_, ec);
  } else {
    platform::removeTree(backup, ec);
  }
}

// What lies under the block's name goes when the new block takes its place:
// it must be a block, and one this user can empty, or it would be lost
// (a file of the user's) or stay behind under the staging name (an old
// block whose directory does not let its files go).
bool StagedBlock::replaceable() {
  std::error_code ec;
  const fs::file_status own = fs::symlink_status(target_, ec);
  if (!fs::exists(own)) return true;
  if (!fs::is_directory(fs::status(target_, ec)))
    return fail("Blok " + shown_ + " nelze zapsat: pod tímto jménem leží soubor, ne adresář bloku; soubor zůstává beze změny");
  // A link to a block goes, not the block it leads to.
  if (fs::is_symlink(own)) return true;
  std::vector<fs::path> directories{target_};
  for (std::size_t i = 0; i < directories.size(); ++i) {
    // Emptying a directory takes writing and searching it.
    if (::faccessat(AT_FDCWD, directories[i].c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
      const std::string cause = platform::systemCause(errno);
      return fail("Blok " + shown_ + " nelze zapsat: starý blok nelze odstranit" +
                  (i == 0 ? "" : ", adresář " + shown(directories[i].string())) + ": " + cause +
                  ". Původní blok zůstává beze změny.");
    }
    for (const std::string& name : platform::directoryEntries(directories[i], ec))
      if (fs::is_directory(fs::symlink_status(directories[i] / name, ec))) directories.push_back(directories[i] / name);
  }
  return true;
}

StagedBlock::~StagedBlock() {
  if (committed_ || joined_ || staging_.empty()) return;
  std::error_code ec;
  platform::removeTree(staging_, ec);
  platform::forgetTablesUnder(staging_);
}

bool StagedBlock::fail(std::string text) {
  error_ = std::move(text);
  return false;
}

namespace {
// A block directory, or a link to one.
bool lies(const fs::path& target) {
  std::error_code ec;
  return !target.empty() && fs::is_directory(target, ec);
}
std::string leftTextOf(bool there) {
  return there ? "Původní blok zůstává beze změny." : "Žádný blok nebyl zapsán.";
}
}  // namespace

bool StagedBlock::blockThere() const { return lies(target_); }

std::string StagedBlock::leftText() const { return leftTextOf(blockThere()); }

std::string notWrittenText(std::string_view shownPath, std::string_view why) {
  std::string unresolved;
  return "Blok " + std::string(shownPath) + " nebyl zapsán: " + std::string(why) + ". " +
         leftTextOf(lies(StagedBlock::resolve(shownPath, unresolved)));
}

void StagedBlock::noteFailure(std::string_view file, std::string_view cause) {
  if (failed_) return;
  failed_ = true;
  const std::string shownPath = file.empty() ? std::string() : shown(file);
  const std::string where = file.empty() ? ": " : ", soubor " + shownPath + ": ";
  std::string told = shownText(cause);
  // A cause that names its file already (a table's own error) names it once.
  if (!shownPath.empty() && told.starts_with(shownPath + ": ")) told.erase(0, shownPath.size() + 2);
  error_ = "Blok " + shown_ + " nebyl zapsán" + where + told + ". " + leftText();
  if (joined_) platform::RegularFileStream(staging_ / kFailureNote, std::ios::out | std::ios::trunc) << error_;
}

void StagedBlock::abandon(std::string_view reason) {
  if (failed_) return;
  failed_ = true;
  error_ = notWrittenText(shown_, reason);
  if (joined_) platform::RegularFileStream(staging_ / kFailureNote, std::ios::out | std::ios::trunc) << error_;
}

std::string joinShownPath(std::string_view directory, std::string_view name) {
  std::string joined(directory);
  while (!joined.empty() && (joined.back() == '\\' || joined.back() == '/')) joined.pop_back();
  const char separator = joined.find('\\') != std::string::npos ? '\\' : '/';
  std::string rest(name);
  for (char& c : rest)
    if (c == '/' || c == '\\') c = separator;
  return joined + separator + rest;
}

std::string StagedBlock::shownFile(std::string_view fileName) const { return joinShownPath(shown_, fileName); }

std::vector<std::string> StagedBlock::spellings() const {
  std::vector<std::string> all;
  for (const fs::path& base : {staging_, target_}) {
    if (base.empty()) continue;
    // Messages of the table layer spell paths under a drive as the user does.
    for (std::string spelled : {base.string(), platform::pathResolver().userSpelling(base)})
      if (std::find(all.begin(), all.end(), spelled) == all.end()) all.push_back(std::move(spelled));
  }
  return all;
}

std::string StagedBlock::shown(std::string_view path) const {
  for (const std::string& prefix : spellings()) {
    if (path.substr(0, prefix.size()) != prefix) continue;
    std::string_view rest = path.substr(prefix.size());
    if (rest.empty()) return shown_;
    if (rest.front() != '/' && rest.front() != '\\') continue;
    return shownFile(rest.substr(1));
  }
  // A bare file name is one of the block's own files.
  if (path.find_first_of("/\\") == std::string_view::npos) return shownFile(path);
  return platform::pathResolver().userSpelling(std::string(path));
}

std::string StagedBlock::shownText(std::string_view text) const {
  std::string out(text);
  for (const std::string& prefix : spellings()) {
    std::string mapped;
    for (std::size_t at = 0;;) {
      const std::size_t hit = out.find(prefix, at);
      if (hit == std::string::npos) {
        mapped.append(out, at);
        break;
      }
      mapped.append(out, at, hit - at);
      std::size_t end = hit + prefix.size();
      if (end < out.size() && (out[end] == '/' || out[end] == '\\')) {
        // The file name that follows, up to a blank or a line end.
        const std::size_t stop = std::min(out.size(), out.find_first_of(" \r\n\"'", end));
        mapped += shown(std::string_view(out).substr(hit, stop - hit));
        end = stop;
      } else if (end == out.size() || !std::isalnum(static_cast<unsigned char>(out[end]))) {
        mapped += shown_;
      } else {
        mapped.append(out, hit, end - hit);  // another name that begins the same
      }
      at = end;
    }
    out = std::move(mapped);
  }
  return out;
}

bool StagedBlock::commit() {
  if (!ok_ || failed_ || joined_) return false;
  if (committed_) return true;
  std::error_code ec;
  if (fs::exists(staging_ / kFailureNote, ec)) {
    std::string note;
    platform::readRegularFile(staging_ / kFailureNote, note, ec);
    failed_ = true;
    return fail(shownText(note));
  }
  // A power cut after the swap must not leave a block of empty files.
  if (!replaceable() || !flushContents()) return false;
  // After the flush, which takes a while: a table saved while the files went
  // to the disk would otherwise be seen only by the next job.
  if (!tablesAsRead() || !putInPlace()) return false;
  committed_ = true;
  forgetOwnTables();
  return true;
}

bool StagedBlock::tablesAsRead(bool removal) {
  const std::optional<fs::path> changed = platform::tableChangedDuringJob();
  if (!changed) return true;
  failed_ = true;
  return fail(platform::changedDuringJobText(*changed, true) + "; blok " + shown_ +
              (removal ? " nebyl odstraněn" : " nebyl zapsán") + ", úlohu lze spustit znovu. " + leftText());
}

void StagedBlock::forgetOwnTables() const {
  platform::forgetTablesUnder(target_);
  platform::forgetTablesUnder(staging_);
}

bool StagedBlock::commitRemoval() {
  if (!ok_ || failed_ || joined_) return false;
  if (committed_) return true;
  std::error_code ec;
  platform::removeTree(staging_, ec);
  if (ec) return fail("Starý blok " + shown_ + " nelze odstranit: " + causeOf(ec));
  if (!replaceable()) return false;
  if (!tablesAsRead(true)) return false;
  if (fs::exists(fs::symlink_status(target_, ec))) {
    // Nothing may fail once the old block has moved away.
    const fs::path parent = target_.parent_path();
    fs::rename(target_, staging_, ec);
    if (ec) return fail("Starý blok " + shown_ + " nelze odstranit: " + causeOf(ec));
    syncDirectory(parent);
    platform::removeTree(staging_, ec);
  }
  committed_ = true;
  forgetOwnTables();
  return true;
}

bool StagedBlock::flushContents() {
  std::error_code ec;
  for (const std::string& name : platform::directoryEntries(staging_, ec)) {
    const fs::path file = staging_ / name;
    std::error_code kind;
    if (!fs::is_regular_file(file, kind)) continue;
    if (const int error = syncPath(file, O_RDONLY)) {
      noteFailure(name, platform::systemCause(error));
      return false;
    }
  }
  if (ec) {
    noteFailure({}, causeOf(ec));
    return false;
  }
  syncDirectory(staging_);
  return true;
}

bool StagedBlock::putInPlace() {
  // What needs memory comes before the first rename: once the new block is
  // in place, nothing may fail and have the old one freed as if it were
  // the staging.
  const fs::path parent = target_.parent_path();
  const fs::path backup = backupFor(target_);
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(target_, ec))) {
    fs::rename(staging_, target_, ec);
    if (ec) return fail("Nový blok " + shown_ + " nelze dát na místo: " + causeOf(ec));
    committed_ = true;
    syncDirectory(parent);
    return true;
  }
  // In one step the block is never missing; the old one is then what lies
  // under the staging name.
  if (exchangeInOneStep &&
      ::renameat2(AT_FDCWD, staging_.c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE) == 0) {
    committed_ = true;
    syncDirectory(parent);
    platform::removeTree(staging_, ec);
    return true;
  }
  // A file system that cannot exchange: the old block goes aside first. A
  // run killed between the two renames leaves it there, and the next reader
  // or writer of the block puts it back.
  platform::removeTree(backup, ec);
  fs::rename(target_, backup, ec);
  if (ec) return fail("Starý blok " + shown_ + " nelze nahradit: " + causeOf(ec));
  fs::rename(staging_, target_, ec);
  if (ec) {
    std::error_code back;
    fs::rename(backup, target_, back);
    return fail("Nový blok " + shown_ + " nelze dát na místo starého: " + causeOf(ec));
  }
  committed_ = true;
  syncDirectory(parent);
  platform::removeTree(backup, ec);
  return true;
}

bool BlockReadHold::hold(std::string_view shownPath) {
  std::string why;
  const fs::path target = StagedBlock::resolve(shownPath, why);
  if (target.empty()) return true;  // the read says what is wrong with the name
  auto lock = std::make_unique<BlockLock>();
  std::error_code ec;
  switch (lock->share(target, ec)) {
    case BlockLock::Result::Taken: locks_.push_back(std::move(lock)); return true;
    case BlockLock::Result::Busy: error_ = blockBeingWrittenText(shownPath); return false;
    // Where no lock can be made, no writer can put a new block in place.
    case BlockLock::Result::Reading:
    case BlockLock::Result::Failed: return true;
  }
  return true;
}

std::string blockBeingWrittenText(std::string_view shownPath) {
  return "do bloku " + std::string(shownPath) + " právě zapisuje jiná úloha; zkuste to znovu, až skončí";
}

namespace {

// Puts back a block left only aside; false, with `why`, when it stays aside.
bool putBackLeftAside(const fs::path& target, std::string_view shownPath, std::string& why) {
  std::error_code ec;
  const fs::path backup = StagedBlock::backupFor(target);
  // The old block may have been a link to a block: the link went aside.
  if (fs::exists(fs::symlink_status(target, ec)) || !fs::is_directory(backup, ec)) return true;
  // A shared lock keeps writers off, not other readers: a reader that holds
  // the block already, here or in another run, does not stop the put-back,
  // and of two readers putting it back one finds it back.
  BlockLock lock;
  if (lock.share(target, ec) == BlockLock::Result::Busy) {
    if (fs::exists(fs::symlink_status(target, ec))) return true;
    why = blockBeingWrittenText(shownPath);
    return false;
  }
  // Where no lock can be made (a read-only share) no writer is live; the
  // rename says whether the block can go back.
  if (fs::exists(fs::symlink_status(target, ec))) return true;
  fs::rename(backup, target, ec);
  std::error_code there;
  if (!ec || fs::exists(fs::symlink_status(target, there))) return true;
  why = "blok " + std::string(shownPath) + " leží jen jako " + platform::pathResolver().userSpelling(backup) +
        " a nelze jej vrátit na místo: " + causeOf(ec);
  return false;
}

}  // namespace

BlockFound findBlock(std::string_view shownPath, std::string& why) {
  std::string unresolved;
  const fs::path target = StagedBlock::resolve(shownPath, unresolved);
  if (!target.empty() && !putBackLeftAside(target, shownPath, why)) return BlockFound::Refused;
  std::error_code ec;
  return fs::is_directory(platform::pathResolver().existing(shownPath), ec) ? BlockFound::There : BlockFound::Missing;
}

bool blockLies(std::string_view shownPath) {
  std::string why;
  switch (findBlock(shownPath, why)) {
    case BlockFound::There: return true;
    case BlockFound::Missing: return false;
    case BlockFound::Refused: break;
  }
  throw std::runtime_error(why);
}

void putBackBlocksLeftAside(std::string_view shownDirectory) {
  std::error_code ec;
  const fs::path directory = platform::pathResolver().existing(shownDirectory);
  for (const std::string& name : platform::directoryEntries(directory, ec)) {
    const std::string block = blockHeldAside(name);
    if (block.empty() || !fs::is_directory(directory / name, ec)) continue;
    std::string why;
    findBlock(joinShownPath(shownDirectory, block), why);
  }
}

}  // namespace gisblock
