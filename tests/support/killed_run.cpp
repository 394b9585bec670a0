#include "killed_run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace {

constexpr int kStoppedThere = 42;
std::filesystem::path stopAfter;

}  // namespace

// Every rename of the test program passes here (the C++ library's renames
// too), so that the child can be stopped between two of them; renameat does
// the same work under another name.
extern "C" int rename(const char* from, const char* to) noexcept {
  const int result = ::renameat(AT_FDCWD, from, AT_FDCWD, to);
  if (result == 0 && !stopAfter.empty() && std::filesystem::path(to).lexically_normal() == stopAfter)
    ::_exit(kStoppedThere);
  return result;
}

namespace test_support {

::testing::AssertionResult KilledAfterRenameTo(const std::filesystem::path& renamedTo,
                                               const std::function<void()>& run) {
  const pid_t child = ::fork();
  if (child < 0) return ::testing::AssertionFailure() << "cannot fork";
  if (child == 0) {
    stopAfter = renamedTo.lexically_normal();
    run();
    ::_exit(0);  // nothing cleaned up, as in a killed run
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return ::testing::AssertionFailure() << "lost the child";
  if (WIFEXITED(status) && WEXITSTATUS(status) == kStoppedThere) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the run ended without renaming anything to " << renamedTo
                                       << " (status " << status << ")";
}

}  // namespace test_support
