#pragma once
// A run killed at one exact step of its file work: the run goes on in a
// child process, which ends, as if killed, the moment a rename has put
// something under a given name. What the run left on the disk is then what
// a power cut or a kill at that step leaves.
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

namespace test_support {

// Success when `run` was stopped right after its rename to `renamedTo`;
// a run that ends without that rename fails the assertion.
::testing::AssertionResult KilledAfterRenameTo(const std::filesystem::path& renamedTo, const std::function<void()>& run);

}  // namespace test_support
