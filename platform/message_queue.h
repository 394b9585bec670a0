#pragma once
// The posted-message queue of the one UI thread. Posting never waits; what
// was posted is delivered in posting order when somebody pumps: the event
// loop (through a host such as the Qt pump) or long work that lets pending
// messages through.
#include <cstddef>
#include <deque>
#include <memory>

namespace platform {

// One posted piece of work. The queue owns it and destroys it after it has
// run, or unrun when the queue itself goes away.
class PostedTask {
 public:
  virtual ~PostedTask() = default;
  virtual void run() = 0;
};

// An event loop that carries the queue: told when work was posted, and asked
// to let its own events through when pending work is processed.
class QueueHost {
 public:
  virtual ~QueueHost() = default;
  virtual void wake() = 0;
  virtual void processEvents() = 0;
};

class MessageQueue {
 public:
  void post(std::unique_ptr<PostedTask> task);
  // Runs the task now, on the caller's stack, through the same path as a
  // posted one; it is destroyed afterwards.
  void send(std::unique_ptr<PostedTask> task);
  // Delivers what was pending when called (work posted meanwhile waits for
  // the next turn, so a task that posts itself cannot trap the caller).
  // Lets the host's events through first. Returns the number delivered.
  std::size_t processPending();
  // The same without asking the host: what the host calls from its event.
  std::size_t deliverPending();
  // Delivers until nothing is left, including work posted meanwhile.
  std::size_t runUntilIdle();
  std::size_t pending() const { return tasks_.size(); }
  // Drops everything pending without running it.
  void discardAll();

  void setHost(QueueHost* host) { host_ = host; }
  QueueHost* host() const { return host_; }

 private:
  bool deliverOne();

  std::deque<std::unique_ptr<PostedTask>> tasks_;
  QueueHost* host_ = nullptr;
};

// The process's one queue; never destroyed, so that work still pending at
// exit is not run or torn down after the objects it refers to.
MessageQueue& messageQueue();

}  // namespace platform
