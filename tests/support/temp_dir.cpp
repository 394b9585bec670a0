#include "temp_dir.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>

namespace test_support {

namespace fs = std::filesystem;

namespace {

fs::path makeProcessDirectory() {
  const fs::path dir = fs::temp_directory_path() / ("zelto_test_" + std::to_string(::getpid()));
  std::error_code ec;
  fs::remove_all(dir, ec);
  fs::create_directories(dir);
  return dir;
}

struct ProcessDir {
  fs::path path = makeProcessDirectory();
  ~ProcessDir() {
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(), ec);
    fs::remove_all(path, ec);
  }
};

ProcessDir& processDir() {
  static ProcessDir dir;
  return dir;
}

}  // namespace

const fs::path& ProcessDirectory() { return processDir().path; }

TempDir::TempDir(const std::string& tag) {
  static std::atomic<int> counter{0};
  path_ = ProcessDirectory() / (tag + "_" + std::to_string(++counter));
  std::error_code ec;
  fs::remove_all(path_, ec);
  fs::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

ScopedWorkingDirectory::ScopedWorkingDirectory(const fs::path& directory) : previous_(fs::current_path()) {
  fs::current_path(directory);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory() {
  std::error_code ec;
  fs::current_path(previous_, ec);
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
  if (const char* old = std::getenv(name)) {
    had_ = true;
    old_ = old;
  }
  ::setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
  if (had_)
    ::setenv(name_.c_str(), old_.c_str(), 1);
  else
    ::unsetenv(name_.c_str());
}

}  // namespace test_support
