#include "killed_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace {

constexpr int kStoppedThere = 42;
std::filesystem::path stopAfter;
int stepsLeft = 0;

// A step of file work done: the child ends when it was the last it had.
int stepDone(int result) {
  if (result == 0 && stepsLeft > 0 && --stepsLeft == 0) ::_exit(kStoppedThere);
  return result;
}

int waitFor(pid_t child) {
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

// The calls of the test program that change directories pass here (the C++
// library's too), so that the child can be stopped between two of them;
// each does its work through the call of the same kind under another name.
extern "C" int rename(const char* from, const char* to) noexcept {
  const int result = ::renameat(AT_FDCWD, from, AT_FDCWD, to);
  if (result == 0 && !stopAfter.empty() && std::filesystem::path(to).lexically_normal() == stopAfter)
    ::_exit(kStoppedThere);
  return stepDone(result);
}

extern "C" int renameat2(int fromDirectory, const char* from, int toDirectory, const char* to,
                         unsigned int flags) noexcept {
  return stepDone(static_cast<int>(::syscall(SYS_renameat2, fromDirectory, from, toDirectory, to, flags)));
}

extern "C" int mkdir(const char* path, mode_t mode) noexcept { return stepDone(::mkdirat(AT_FDCWD, path, mode)); }

extern "C" int unlink(const char* path) noexcept { return stepDone(::unlinkat(AT_FDCWD, path, 0)); }

extern "C" int rmdir(const char* path) noexcept { return stepDone(::unlinkat(AT_FDCWD, path, AT_REMOVEDIR)); }

extern "C" int remove(const char* path) noexcept {
  int result = ::unlinkat(AT_FDCWD, path, 0);
  if (result != 0 && (errno == EISDIR || errno == EPERM)) result = ::unlinkat(AT_FDCWD, path, AT_REMOVEDIR);
  return stepDone(result);
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
  const int status = waitFor(child);
  if (status == kStoppedThere) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the run ended without renaming anything to " << renamedTo
                                       << " (status " << status << ")";
}

StepRun RunKilledAfterSteps(int steps, const std::function<void()>& run) {
  const pid_t child = ::fork();
  if (child == 0) {
    stepsLeft = steps;
    run();
    ::_exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  switch (waitFor(child)) {
    case kStoppedThere: return StepRun::Killed;
    case 0: return StepRun::Finished;
    default: return StepRun::Lost;
  }
}

bool RunInChild(const std::function<void()>& run) {
  const pid_t child = ::fork();
  if (child == 0) {
    run();
    ::_exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  return waitFor(child) == 0;
}

}  // namespace test_support
