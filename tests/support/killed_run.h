#pragma once
// A run killed at one exact step of its file work: the run goes on in a
// child process, which ends, as if killed, the moment a rename has put
// something under a given name, or after a given number of steps. What the
// run left on the disk is then what a power cut or a kill at that step
// leaves.
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

namespace test_support {

// Success when `run` was stopped right after its rename to `renamedTo`;
// a run that ends without that rename fails the assertion.
::testing::AssertionResult KilledAfterRenameTo(const std::filesystem::path& renamedTo, const std::function<void()>& run);

// How a run given a number of steps ended.
enum class StepRun { Killed, Finished, Lost };
// Runs `run` in a child process that ends, as if killed, right after its
// `steps`-th step of file work: a rename or exchange, a directory made, a
// file or directory removed. Finished when the run took fewer steps, so
// that counting up from 1 reaches every step of it.
StepRun RunKilledAfterSteps(int steps, const std::function<void()>& run);
// Runs `run` to its end in a child process, so that what it changes in
// memory stays there; true when it ended of itself.
bool RunInChild(const std::function<void()>& run);

}  // namespace test_support
