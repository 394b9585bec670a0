#pragma once
// A directory tree that cannot be written, as on a read-only share, for
// root too. The files lose their write bits while the guard lives; and
// because root passes permission checks through its capabilities, the
// guard also drops the capabilities that override file permissions from
// this thread's effective set (they stay permitted and come back with the
// guard). The program under test runs its file work on this thread.
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace test_support {

// Whether this thread passes file permission checks through root's
// capabilities (on: as far as they are permitted).
inline void FilePermissionOverride(bool on) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2]{};
  if (::syscall(SYS_capget, &header, data) != 0) return;
  const unsigned overriding = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);
  if (on) data[0].effective |= overriding & data[0].permitted;
  else data[0].effective &= ~overriding;
  ::syscall(SYS_capset, &header, data);
}

class ReadOnlyTree {
 public:
  explicit ReadOnlyTree(const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    std::error_code ec;
    keep(root);
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) keep(it->path());
    // Children first, so that a directory's bits go last.
    for (auto it = modes_.rbegin(); it != modes_.rend(); ++it)
      ::chmod(it->first.c_str(), it->second & ~static_cast<mode_t>(0222));
    capabilities(false);
  }
  ~ReadOnlyTree() {
    capabilities(true);
    for (const auto& [path, mode] : modes_) ::chmod(path.c_str(), mode);
  }
  ReadOnlyTree(const ReadOnlyTree&) = delete;
  ReadOnlyTree& operator=(const ReadOnlyTree&) = delete;

 private:
  void keep(const std::filesystem::path& path) {
    struct stat st{};
    if (::lstat(path.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) modes_.emplace_back(path, st.st_mode & 07777);
  }
  static void capabilities(bool on) { FilePermissionOverride(on); }

  std::vector<std::pair<std::filesystem::path, mode_t>> modes_;
};

// A file nobody may read, as one of another user's on a share, for root
// too: no permission bits while the guard lives, and this thread without
// the capabilities that override them.
class UnreadableFile {
 public:
  explicit UnreadableFile(std::filesystem::path file) : file_(std::move(file)) {
    struct stat st{};
    if (::stat(file_.c_str(), &st) == 0) mode_ = st.st_mode & 07777;
    ::chmod(file_.c_str(), 0);
    FilePermissionOverride(false);
  }
  ~UnreadableFile() {
    FilePermissionOverride(true);
    ::chmod(file_.c_str(), mode_);
  }
  UnreadableFile(const UnreadableFile&) = delete;
  UnreadableFile& operator=(const UnreadableFile&) = delete;

 private:
  std::filesystem::path file_;
  mode_t mode_ = 0644;
};

}  // namespace test_support
