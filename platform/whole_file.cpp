#include "platform/whole_file.h"

#include "platform/regular_file.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace fs = std::filesystem;

namespace {

using Writer = std::function<bool(int fd, std::error_code& error)>;

std::error_code lastError() { return {errno ? errno : EIO, std::generic_category()}; }

// The rest of `from` into `to`.
bool copyAll(int from, int to, std::error_code& error) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(from, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = lastError();
      return false;
    }
    if (n == 0) return true;
    if (!writeAll(to, std::string_view(buffer, static_cast<std::size_t>(n)), error)) return false;
  }
}

// A close that fails counts only where everything before went through.
bool closeChecked(int fd, bool ok, std::error_code& error) {
  if (::close(fd) != 0 && ok) {
    error = lastError();
    return false;
  }
  return ok;
}

bool writeInPlace(const fs::path& file, const Writer& write, std::error_code& error) {
  // A device is written to; a named pipe that nobody reads is not waited on.
  FileDescriptor fd = openWithoutWaiting(file, O_WRONLY | O_CREAT | O_TRUNC, error);
  if (!fd) return false;
  const bool written = write(fd.get(), error);
  return closeChecked(fd.release(), written, error);
}

// The file a name stands for: a link's own file, so that the link stays.
bool resolveTarget(const fs::path& file, fs::path& target, std::error_code& error) {
  error.clear();
  target = file;
  if (fs::is_symlink(fs::symlink_status(file, error))) {
    target = fs::canonical(file, error);
    if (error) return false;
  }
  error.clear();
  return true;
}

// A file that is there and that the user may not write: a plain write
// would be refused, and so is its replacement.
bool mayWrite(const fs::path& target, std::error_code& error) {
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0 || errno == ENOENT) return true;
  error = lastError();
  return false;
}

// A plain file, or none, may be renamed over; a device is written to.
bool renamable(const fs::path& target) {
  struct stat st {};
  return ::stat(target.c_str(), &st) != 0 || S_ISREG(st.st_mode);
}

// Only a directory that refuses new files is written around; a full disk
// must not cost the file what it holds.
bool refusesNewFiles(int error) { return error == EACCES || error == EPERM; }

fs::path besideName(const fs::path& target) {
  fs::path beside = target;
  beside += ".new~" + std::to_string(::getpid());
  return beside;
}

// A new file beside the target with the target's permissions; -1, with
// errno set, where none can be made.
int openBeside(const fs::path& target, const fs::path& beside) {
  const int fd = ::open(beside.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
  return fd;
}

// The file written beside the target, as `ok` says, made durable and
// renamed over the target; removed where anything failed.
bool putInPlace(int fd, bool ok, const fs::path& beside, const fs::path& target, std::error_code& error) {
  if (ok && ::fsync(fd) != 0) {
    error = lastError();
    ok = false;
  }
  ok = closeChecked(fd, ok, error);
  if (ok && ::rename(beside.c_str(), target.c_str()) != 0) {
    error = lastError();
    ok = false;
  }
  if (!ok) {
    ::unlink(beside.c_str());
    return false;
  }
  // The rename itself survives a power cut once the directory is synced.
  const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (const int dir = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

}  // namespace

bool replaceFileWhole(const fs::path& file, std::string_view text, std::error_code& error) {
  const Writer write = [text](int fd, std::error_code& e) { return writeAll(fd, text, e); };
  fs::path target;
  if (!resolveTarget(file, target, error) || !mayWrite(target, error)) return false;
  if (!renamable(target)) return writeInPlace(target, write, error);
  const fs::path beside = besideName(target);
  const int fd = openBeside(target, beside);
  if (fd < 0) {
    if (refusesNewFiles(errno)) return writeInPlace(target, write, error);
    error = lastError();
    return false;
  }
  const bool written = write(fd, error);
  return putInPlace(fd, written, beside, target, error);
}

StagedFile::StagedFile(fs::path file) : file_(std::move(file)) {
  if (!resolveTarget(file_, target_, error_) || !mayWrite(target_, error_)) return;
  if (renamable(target_)) {
    const fs::path beside = besideName(target_);
    if (const int fd = openBeside(target_, beside); fd >= 0) {
      ::close(fd);
      path_ = beside;
      beside_ = true;
      return;
    }
    // Written in place later, which needs the file to be there.
    const std::error_code refused = lastError();
    std::error_code ec;
    if (!refusesNewFiles(refused.value()) || !fs::exists(target_, ec)) {
      error_ = refused;
      return;
    }
  }
  const fs::path directory = fs::temp_directory_path(error_);
  if (error_) return;
  std::string name = (directory / "zelto-XXXXXX").string();
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) {
    error_ = lastError();
    return;
  }
  ::close(fd);
  path_ = name;
}

StagedFile::~StagedFile() {
  if (!committed_ && !path_.empty()) ::unlink(path_.c_str());
}

bool StagedFile::commit() {
  if (committed_ || path_.empty()) return committed_;
  error_.clear();
  // The user may have made the file read-only while it was being written.
  if (!mayWrite(target_, error_)) return false;
  if (beside_) {
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
      error_ = lastError();
      return false;
    }
    committed_ = putInPlace(fd, true, path_, target_, error_);
    return committed_;
  }
  const int from = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (from < 0) {
    error_ = lastError();
    return false;
  }
  const bool copied = writeInPlace(target_, [from](int fd, std::error_code& e) { return copyAll(from, fd, e); }, error_);
  ::close(from);
  if (!copied) return false;
  ::unlink(path_.c_str());
  committed_ = true;
  return true;
}

}  // namespace platform
