#include "viewer/interactive_tool.h"
#include "viewer/interface_tool.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/message_dispatch.h"
#include "platform/message_queue.h"

namespace {
class TRecordingTool : public TInteractiveTool {};

class TCountingInterpret : public TInterpret {
 public:
  int reviews = 0;
  void ReView(TZeltoMessage*, bool& handled) override { ++reviews; handled = true; }
};

bool deliver(TElement& tool, int code, TElement* data = nullptr) {
  TZeltoMessage message(code, data, &tool, nullptr);
  TZeltoMessage* m = &message;
  bool handled = true;
  tool.HandleMessage(m, handled);
  return handled;
}

struct InteractiveTool : ::testing::Test {
  static void SetUpTestSuite() { RegisterInteractiveToolClasses(); }
  void TearDown() override { platform::messageQueue().discardAll(); }
  TRecordingTool tool;
};
}  // namespace

TEST_F(InteractiveTool, ReviewRequestWaitsForABusyInterpretAndPostsWhenIdle) {
  auto* interpret = new TCountingInterpret;
  TCanvasDevice* device = new TCanvasDevice;
  tool.SetDevice(device);
  TEntity input;
  tool.SetInput(&input);
  tool.SetInterpret(interpret);
  EXPECT_EQ(interpret->GetDevice(), device);
  EXPECT_EQ(interpret->Input(), &input);

  EXPECT_TRUE(deliver(tool, zelto::msg::BreakDrawing));  // idle: nothing to break
  EXPECT_FALSE(interpret->GetBreakWork());

  interpret->SetBusy(true);
  EXPECT_TRUE(deliver(tool, zelto::msg::RequestReView));
  EXPECT_TRUE(tool.Flag(TInteractiveTool::kReviewPending));
  EXPECT_TRUE(interpret->GetBreakWork());
  EXPECT_EQ(platform::messageQueue().pending(), 0u);

  interpret->SetBusy(false);
  interpret->SetBreakWork(false);
  EXPECT_TRUE(deliver(tool, zelto::msg::RequestReView));
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(interpret->reviews, 1);

  // A new interpret takes over device and input; the old one goes.
  auto* next = new TCountingInterpret;
  tool.SetInterpret(next);
  EXPECT_EQ(next->GetDevice(), device);
  EXPECT_EQ(next->Input(), &input);
  EXPECT_GE(tool.IndexOf(next), 0);
}

namespace {
// Collects the cursor changes and log texts that reach it.
class TListener : public TEntity {
 public:
  std::vector<int> cursors;
  void HandleMessage(TZeltoMessage*& m, bool& handled) override {
    if (auto* c = dynamic_cast<TZeltoCursorEvent*>(m)) cursors.push_back(c->Cursor);
    handled = true;
  }
};
}  // namespace

TEST_F(InteractiveTool, InterfaceToolTellsItsOwnersOfEveryCursorChange) {
  TListener owner;
  auto* tool = new TInterfaceTool;
  owner.Add(tool);

  tool->Activate();  // no cursors: a log text, still active
  EXPECT_TRUE(tool->GetActive());
  EXPECT_EQ(tool->GetCursorIndex(), -1);
  // Index 0 of an empty list falls back to -1 with cursor 0; then the text.
  EXPECT_EQ(platform::messageQueue().pending(), 2u);
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(owner.cursors, (std::vector<int>{0}));

  tool->GetCursors()->AddCommaText("5,7");
  tool->SetCursorIndex(1);
  tool->SetCursorIndex(1);  // unchanged: nothing posted
  tool->SetCursorIndex(9);  // out of range: cursor 0, index -1
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(owner.cursors, (std::vector<int>{0, 7, 0}));
  EXPECT_EQ(tool->GetCursorIndex(), -1);
  EXPECT_EQ(tool->GetCursor(), 5);
}
