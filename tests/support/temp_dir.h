#pragma once
// Every test process works in a directory of its own under the system's
// temporary directory: its working directory is moved there before the
// first test runs, so a file written by a relative name (Create.sql, an
// index beside a table) never lands in the build or source tree, and the
// whole directory goes when the process ends.
#include <filesystem>
#include <string>

namespace test_support {

// A fresh, empty directory below the process's own; removed with the object.
class TempDir {
 public:
  explicit TempDir(const std::string& tag = "dir");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  std::string string() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

// The directory the process works in (its working directory at start).
const std::filesystem::path& ProcessDirectory();

// Changes the working directory for the scope and changes it back.
class ScopedWorkingDirectory {
 public:
  explicit ScopedWorkingDirectory(const std::filesystem::path& directory);
  ~ScopedWorkingDirectory();

 private:
  std::filesystem::path previous_;
};

// Sets an environment variable for the scope and restores it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value);
  ~ScopedEnv();

 private:
  std::string name_;
  std::string old_;
  bool had_ = false;
};

}  // namespace test_support
