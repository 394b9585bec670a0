#include "platform/whole_file.h"

#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::error_code lastError() { return {errno ? errno : EIO, std::generic_category()}; }

// Every byte, or the cause of the first failure.
bool writeAll(int fd, std::string_view text, std::error_code& error) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = lastError();
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool writeInPlace(const std::filesystem::path& file, std::string_view text, std::error_code& error) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    error = lastError();
    return false;
  }
  const bool written = writeAll(fd, text, error);
  if (::close(fd) != 0 && written) {
    error = lastError();
    return false;
  }
  return written;
}

}  // namespace

bool replaceFileWhole(const std::filesystem::path& file, std::string_view text, std::error_code& error) {
  namespace fs = std::filesystem;
  error.clear();
  fs::path target = file;
  if (fs::is_symlink(fs::symlink_status(target, error))) {
    target = fs::canonical(file, error);
    if (error) return false;
  }
  error.clear();
  fs::path beside = target;
  beside += ".new~" + std::to_string(::getpid());
  const int fd = ::open(beside.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    // Only a directory that refuses new files is written around; a full
    // disk must not cost the file what it holds.
    if (errno == EACCES || errno == EPERM) return writeInPlace(target, text, error);
    error = lastError();
    return false;
  }
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
  bool ok = writeAll(fd, text, error);
  if (ok && ::fsync(fd) != 0) {
    error = lastError();
    ok = false;
  }
  if (::close(fd) != 0 && ok) {
    error = lastError();
    ok = false;
  }
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

}  // namespace platform
