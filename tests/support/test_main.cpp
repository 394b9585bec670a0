// The main of every test program: the tests run in the process's own
// temporary directory (see temp_dir.h), never in the build tree, and what a
// test posted and never delivered is dropped before the next one runs.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/message_queue.h"
#include "temp_dir.h"

namespace {

class DropUndeliveredMessages : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo&) override { platform::messageQueue().discardAll(); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new DropUndeliveredMessages);
  std::filesystem::current_path(test_support::ProcessDirectory());
  return RUN_ALL_TESTS();
}
