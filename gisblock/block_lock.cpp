#include "gisblock/block_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <utility>

#include "platform/regular_file.h"

namespace gisblock {

namespace fs = std::filesystem;

namespace {
// The lock of `mode` without waiting on a holder. The last reader letting
// go holds the lock alone for the moment it takes to remove the file: a
// refusal no longer than that is not taken for a holder. errno tells why
// when it fails.
bool lockSoon(int fd, int mode) {
  for (int attempt = 0;; ++attempt) {
    if (::flock(fd, mode | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK || attempt == 20) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}
}  // namespace

BlockLock::Result BlockLock::take(const fs::path& target, std::error_code& error) {
  return acquire(target, false, error);
}

BlockLock::Result BlockLock::share(const fs::path& target, std::error_code& error) {
  return acquire(target, true, error);
}

BlockLock::Result BlockLock::acquire(const fs::path& target, bool shared, std::error_code& error) {
  release();
  error.clear();
  fs::path file = target.parent_path() / ("." + target.filename().string() + ".lock");
  // The holder removes the file before it lets go: a lock taken on a file
  // that is no longer the one under the name is no lock, so try again.
  for (int attempt = 0; attempt < 16; ++attempt) {
    // Whatever else lies under the lock's name is no lock, and a named pipe
    // would be waited on for ever.
    const int fd = platform::openRegularFile(file, O_RDONLY | O_CREAT, error, 0644).release();
    if (fd < 0) return Result::Failed;
    if (!lockSoon(fd, shared ? LOCK_SH : LOCK_EX)) {
      const int cause = errno;
      // A writer refused by readers alone may say so: they will be done.
      const bool reading = cause == EWOULDBLOCK && !shared && ::flock(fd, LOCK_SH | LOCK_NB) == 0;
      ::close(fd);
      if (reading) return Result::Reading;
      if (cause == EWOULDBLOCK) return Result::Busy;
      error.assign(cause, std::generic_category());
      return Result::Failed;
    }
    struct stat held{}, named{};
    if (::fstat(fd, &held) == 0 && ::stat(file.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino) {
      // Moved, not copied: a copy could fail and leave the lock file behind.
      fd_ = fd;
      shared_ = shared;
      file_ = std::move(file);
      return Result::Taken;
    }
    ::close(fd);
  }
  return Result::Busy;
}

void BlockLock::release() {
  if (fd_ < 0) return;
  // A reader removes the file only when it is the last holder.
  if (!shared_ || ::flock(fd_, LOCK_EX | LOCK_NB) == 0) ::unlink(file_.c_str());
  ::close(fd_);
  fd_ = -1;
  file_.clear();
}

}  // namespace gisblock
