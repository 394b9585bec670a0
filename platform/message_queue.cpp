#include "platform/message_queue.h"

namespace platform {

void MessageQueue::post(std::unique_ptr<PostedTask> task) {
  if (!task) return;
  tasks_.push_back(std::move(task));
  if (host_) host_->wake();
}

void MessageQueue::send(std::unique_ptr<PostedTask> task) {
  if (task) task->run();
}

bool MessageQueue::deliverOne() {
  if (tasks_.empty()) return false;
  // Taken off the queue before it runs: a task that pumps the queue itself
  // must not meet itself again.
  std::unique_ptr<PostedTask> task = std::move(tasks_.front());
  tasks_.pop_front();
  task->run();
  return true;
}

std::size_t MessageQueue::processPending() {
  if (host_) host_->processEvents();
  return deliverPending();
}

std::size_t MessageQueue::deliverPending() {
  std::size_t budget = tasks_.size();
  std::size_t delivered = 0;
  while (delivered < budget && deliverOne()) ++delivered;
  return delivered;
}

std::size_t MessageQueue::runUntilIdle() {
  std::size_t delivered = 0;
  while (deliverOne()) ++delivered;
  return delivered;
}

void MessageQueue::discardAll() {
  std::deque<std::unique_ptr<PostedTask>> dropped;
  dropped.swap(tasks_);
}

MessageQueue& messageQueue() {
  static MessageQueue* queue = new MessageQueue;
  return *queue;
}

}  // namespace platform
