#include "platform/whole_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <filesystem>
#include <optional>

#include "files.h"
#include "pipe_watch.h"
#include "platform/system_cause.h"
#include "read_only.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

bool isCharacterDevice(const fs::path& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

// Where renaming a new file over the name would do what a plain write
// would not, the file is written as a plain write writes it, or refused as
// a plain write is: a file the user made read-only keeps what it holds,
// and a device stays a device.
TEST(WholeFile, ANameAPlainWriteTreatsOtherwiseIsNotRenamedOver) {
  const test_support::TempDir dir("whole");
  enum class Kind { ReadOnlyFile, FullDevice, NullDevice };
  struct Case {
    const char* name;
    Kind kind;
    int error;  // 0: written
  };
  const Case cases[] = {
      {"a file made read-only", Kind::ReadOnlyFile, EACCES},
      {"a device that takes nothing", Kind::FullDevice, ENOSPC},
      {"a device that takes everything", Kind::NullDevice, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path file = dir / "soubor";
    fs::remove(file);
    std::optional<test_support::ReadOnlyTree> readOnly;
    if (c.kind == Kind::ReadOnlyFile) {
      test_support::WriteFile(file, "staré");
      readOnly.emplace(file);
    } else if (::mknod(file.c_str(), S_IFCHR | 0666, c.kind == Kind::FullDevice ? makedev(1, 7) : makedev(1, 3)) != 0) {
      continue;  // making a device needs a privilege the test may lack
    }
    std::error_code error;
    EXPECT_EQ(platform::replaceFileWhole(file, "nové", error), c.error == 0);
    EXPECT_EQ(error.value(), c.error) << error.message();
    readOnly.reset();
    if (c.kind == Kind::ReadOnlyFile) EXPECT_EQ(test_support::ReadFile(file), "staré");
    else EXPECT_TRUE(isCharacterDevice(file)) << "replaced by a plain file";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
  }
}

// Nobody may ever read a named pipe under the name: a write in place would
// wait for a reader for ever.
TEST(WholeFile, APipeThatNobodyReadsIsRefusedRatherThanWaitedOn) {
  const test_support::TempDir dir("whole");
  const fs::path file = dir / "TERGELIX.INI";
  ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
  std::error_code error;
  {
    const test_support::InterruptAfter bound(10);
    EXPECT_FALSE(platform::replaceFileWhole(file, "nové", error));
  }
  EXPECT_EQ(platform::systemCause(error), "není soubor, ale pojmenovaná roura");
  EXPECT_TRUE(fs::is_fifo(file));
}

}  // namespace
