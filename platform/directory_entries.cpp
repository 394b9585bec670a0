#include "platform/directory_entries.h"

#include <dirent.h>
#include <ftw.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace platform {

std::vector<std::string> directoryEntries(const std::filesystem::path& directory, std::error_code& error) {
  error.clear();
  std::vector<std::string> names;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(directory.c_str()), &::closedir);
  if (!dir) {
    error.assign(errno, std::generic_category());
    return names;
  }
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir.get());
    if (!entry) {
      if (errno != 0) error.assign(errno, std::generic_category());
      return names;
    }
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    names.emplace_back(entry->d_name);
  }
}

namespace {

// Children before their directory (FTW_DEPTH): each is empty when its turn comes.
int removeEntry(const char* path, const struct stat*, int, FTW*) { return ::remove(path) == 0 ? 0 : errno; }

}  // namespace

void removeTree(const std::filesystem::path& path, std::error_code& error) noexcept {
  error.clear();
  errno = 0;
  const int result = ::nftw(path.c_str(), &removeEntry, 16, FTW_DEPTH | FTW_PHYS);
  if (result == 0) return;
  const int cause = result > 0 ? result : errno;
  if (cause != ENOENT) error.assign(cause != 0 ? cause : EIO, std::generic_category());
}

}  // namespace platform
