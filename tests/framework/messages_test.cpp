#include <gtest/gtest.h>

#include <new>

#include "framework/message_dispatch.h"
#include "framework/property_access.h"
#include "platform/message_queue.h"
#include "tests/framework/test_support.h"

namespace {

class Messages : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    zelto::SetMainToolResolver([this] { return &mainTool; });
  }
  TRecorder mainTool;
};

TEST_F(Messages, PostedWithoutReceiverReachesTheMainToolWhenPumped) {
  TOwnerElement sender;
  sender.PostMessage(8, nullptr);
  PostTextMessage(&sender, 8, "varování");
  EXPECT_TRUE(mainTool.seen.empty());  // posting never delivers at once
  zelto::ProcessPendingMessages();
  ASSERT_EQ(mainTool.seen.size(), 2u);
  EXPECT_EQ(mainTool.seen[0].receiver, &mainTool);
  EXPECT_EQ(mainTool.seen[0].sender, &sender);
  EXPECT_EQ(mainTool.seen[1].text, "varování");
  EXPECT_EQ(platform::messageQueue().pending(), 0u);
}

TEST_F(Messages, KillDataFreesTheDataWithTheMessage) {
  auto* kept = new TOwnerElement();
  auto* killed = new TOwnerElement();
  platform::Handle hk = kept->GetHandle(), hx = killed->GetHandle();
  mainTool.PostMessage(31, nullptr, kept, false);
  mainTool.PostMessage(31, nullptr, killed, true);
  zelto::RunMessagesUntilIdle();
  EXPECT_TRUE(Alive(hk));
  EXPECT_FALSE(Alive(hx));
  delete kept;
}

TEST_F(Messages, PostItAndSendItFireTheMessageItself) {
  TRecorder receiver;
  auto* first = new TZeltoMessage(4, nullptr, &receiver, nullptr);
  first->SetPropertyText("PostIt", "0");
  auto* second = new TZeltoMessage(4, nullptr, &receiver, nullptr);
  second->SetPropertyInt("PostIt", 9);
  zelto::RunMessagesUntilIdle();
  ASSERT_EQ(receiver.seen.size(), 2u);
  EXPECT_EQ(receiver.seen[0].code, 4);
  EXPECT_EQ(receiver.seen[1].code, 9);

  // Sending delivers before returning, through the same dispatcher.
  auto* sent = new TZeltoMessage(0, nullptr, &receiver, nullptr);
  platform::Handle h = sent->GetHandle();
  sent->SetPropertyInt("SendIt", 17);
  ASSERT_EQ(receiver.seen.size(), 3u);
  EXPECT_EQ(receiver.seen[2].code, 17);
  EXPECT_FALSE(Alive(h));
  receiver.SendMessage(3, nullptr);
  EXPECT_EQ(mainTool.seen.size(), 1u);
}

TEST_F(Messages, PassMessageToOwnersStopsAtTheFirstThatHandles) {
  TRecorder first, second;
  auto* child = new TOwnerElement();
  first.Add(child);
  second.Add(child);
  first.handles = true;
  TZeltoMessage* message = new TZeltoMessage(57, nullptr, child, child);
  bool handled = false;
  child->PassMessageToOwners(message, handled);
  EXPECT_TRUE(handled);
  EXPECT_EQ(first.seen.size(), 1u);
  EXPECT_TRUE(second.seen.empty());

  // A throwing owner is reported by code and the walk goes on.
  first.handles = false;
  first.throws = true;
  handled = false;
  child->PassMessageToOwners(message, handled);
  EXPECT_TRUE(handled);
  EXPECT_EQ(second.seen.size(), 1u);
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_EQ(ui->shown()[0].text, "57");

  TOwnerElement orphan;
  handled = false;
  orphan.PassMessageToOwners(message, handled);
  EXPECT_TRUE(handled);
  delete message;
  first.Remove(child);
}

TEST_F(Messages, PostMessageToOwnersPostsOnePerOwnerInOrder) {
  TRecorder a, b, c;
  auto* child = new TOwnerElement();
  for (TRecorder* r : {&a, &b, &c}) r->Add(child);
  child->PostMessageToOwners(1);
  EXPECT_EQ(platform::messageQueue().pending(), 3u);
  zelto::RunMessagesUntilIdle();
  for (TRecorder* r : {&a, &b, &c}) {
    ASSERT_EQ(r->seen.size(), 1u);
    EXPECT_EQ(r->seen[0].receiver, r);
    EXPECT_EQ(r->seen[0].sender, child);
  }
  a.Remove(child);
  b.Remove(child);
}

TEST_F(Messages, ElementsThatDieBeforeDeliveryAreNeverTouched) {
  auto* receiver = new TRecorder();
  auto* sender = new TOwnerElement();
  auto* data = new TOwnerElement();
  sender->PostMessage(5, receiver);
  mainTool.PostMessage(6, &mainTool, data, true);
  sender->PostMessage(7, &mainTool, nullptr);
  delete receiver;  // its message is dropped, not handed to the main tool
  delete data;      // not freed a second time by KillData
  delete sender;
  zelto::RunMessagesUntilIdle();
  ASSERT_EQ(mainTool.seen.size(), 2u);
  EXPECT_EQ(mainTool.seen[0].code, 6);
  EXPECT_EQ(mainTool.seen[0].data, nullptr);
  EXPECT_EQ(mainTool.seen[1].sender, nullptr);
}

TEST_F(Messages, AThrowingHandlerIsReportedAndItsMessageFreed) {
  mainTool.throws = true;
  auto* data = new TOwnerElement();
  platform::Handle h = data->GetHandle();
  mainTool.PostMessage(8, nullptr, data, true);
  zelto::RunMessagesUntilIdle();
  EXPECT_FALSE(Alive(h));
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_EQ(ui->shown()[0].text, "handler failed");

  // Sent, the failure is the sender's: its work must not go on as if the
  // receiver had done its part.
  ui->clear();
  auto* sent = new TOwnerElement();
  platform::Handle hs = sent->GetHandle();
  EXPECT_THROW(mainTool.SendMessage(8, &mainTool, sent, true), std::exception);
  EXPECT_FALSE(Alive(hs));
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(Messages, AHandlerThatRanOutOfMemoryIsReportedInCzech) {
  class TStarved : public TRecorder {
   public:
    void HandleMessage(TZeltoMessage*&, bool&) override { throw std::bad_alloc(); }
  } starved;
  starved.PostMessage(3, &starved);
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"nedostatek paměti"});
}

TEST_F(Messages, WithoutMainToolUnaddressedMessagesAreDropped) {
  zelto::SetMainToolResolver(nullptr);
  auto* data = new TOwnerElement();
  platform::Handle h = data->GetHandle();
  mainTool.PostMessage(44, nullptr, data, true);
  zelto::RunMessagesUntilIdle();
  EXPECT_TRUE(mainTool.seen.empty());
  EXPECT_FALSE(Alive(h));
}

TEST_F(Messages, PumpingInsideAHandlerDeliversLaterMessagesOnce) {
  // A handler that lets pending messages through (as long work does).
  class TPumper : public TRecorder {
   public:
    void HandleMessage(TZeltoMessage*& message, bool& handled) override {
      TRecorder::HandleMessage(message, handled);
      if (message->Message == 1) zelto::ProcessPendingMessages();
    }
  } pumper;
  pumper.PostMessage(1, &pumper);
  pumper.PostMessage(2, &pumper);
  pumper.PostMessage(3, &pumper);
  zelto::RunMessagesUntilIdle();
  ASSERT_EQ(pumper.seen.size(), 3u);
  EXPECT_EQ(pumper.seen[1].code, 2);
  EXPECT_EQ(pumper.seen[2].code, 3);
}

}  // namespace
