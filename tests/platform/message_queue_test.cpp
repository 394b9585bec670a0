#include "platform/message_queue.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using platform::MessageQueue;

class Task : public platform::PostedTask {
 public:
  Task(std::function<void()> body, int* destroyed = nullptr) : body_(std::move(body)), destroyed_(destroyed) {}
  ~Task() override {
    if (destroyed_) ++*destroyed_;
  }
  void run() override { body_(); }

 private:
  std::function<void()> body_;
  int* destroyed_;
};

std::unique_ptr<Task> MakeTask(std::function<void()> body, int* destroyed = nullptr) {
  return std::make_unique<Task>(std::move(body), destroyed);
}

TEST(MessageQueue, DeliversInPostingOrderOnlyWhenPumped) {
  MessageQueue queue;
  std::vector<int> order;
  for (int i = 0; i < 3; ++i) queue.post(MakeTask([&order, i] { order.push_back(i); }));
  EXPECT_TRUE(order.empty());
  EXPECT_EQ(queue.pending(), 3u);
  EXPECT_EQ(queue.processPending(), 3u);
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST(MessageQueue, ProcessPendingLeavesWorkPostedMeanwhileForTheNextTurn) {
  MessageQueue queue;
  int runs = 0;
  std::function<void()> again = [&] {
    ++runs;
    queue.post(MakeTask(again));
  };
  queue.post(MakeTask(again));
  EXPECT_EQ(queue.processPending(), 1u);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(queue.pending(), 1u);
  queue.discardAll();
  int chain = 0;
  queue.post(MakeTask([&] {
    ++chain;
    queue.post(MakeTask([&] { ++chain; }));
  }));
  EXPECT_EQ(queue.runUntilIdle(), 2u);
  EXPECT_EQ(chain, 2);
}

TEST(MessageQueue, SendRunsAtOnceAndEveryTaskIsDestroyed) {
  MessageQueue queue;
  int destroyed = 0;
  bool ran = false;
  queue.send(MakeTask([&] { ran = true; }, &destroyed));
  EXPECT_TRUE(ran);
  EXPECT_EQ(destroyed, 1);
  queue.post(MakeTask([] {}, &destroyed));
  queue.post(MakeTask([] {}, &destroyed));
  queue.discardAll();
  EXPECT_EQ(destroyed, 3);
  {
    MessageQueue dying;
    dying.post(MakeTask([] {}, &destroyed));
  }
  EXPECT_EQ(destroyed, 4);
}

TEST(MessageQueue, HostIsWokenOnPostAndAskedForItsEvents) {
  struct Host : platform::QueueHost {
    int wakes = 0, turns = 0;
    void wake() override { ++wakes; }
    void processEvents() override { ++turns; }
  } host;
  MessageQueue queue;
  queue.setHost(&host);
  queue.post(MakeTask([] {}));
  EXPECT_EQ(host.wakes, 1);
  queue.processPending();
  EXPECT_EQ(host.turns, 1);
  EXPECT_EQ(queue.pending(), 0u);
}

}  // namespace
