// The main of every test program: the tests run in the process's own
// temporary directory (see temp_dir.h), never in the build tree.
#include <gtest/gtest.h>

#include <filesystem>

#include "temp_dir.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  std::filesystem::current_path(test_support::ProcessDirectory());
  return RUN_ALL_TESTS();
}
