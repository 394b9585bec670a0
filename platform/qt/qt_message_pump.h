#pragma once
// Carries the platform's message queue on the Qt event loop: every post
// wakes the loop with one custom event, whose handler delivers what is
// pending; processing pending messages also lets Qt's own events through
// and paints what changed, so that long work keeps its windows alive.
#include <QEvent>
#include <QObject>

#include "platform/message_queue.h"

namespace platform::qt {

class QtMessagePump : public QueueHost {
 public:
  // Attaches to the queue (the process's one by default); detaches when
  // destroyed. Needs a QCoreApplication.
  explicit QtMessagePump(MessageQueue& queue = messageQueue());
  ~QtMessagePump() override;
  QtMessagePump(const QtMessagePump&) = delete;
  QtMessagePump& operator=(const QtMessagePump&) = delete;

  void wake() override;
  void processEvents() override;

  // The custom event type that carries the wake-up.
  static QEvent::Type eventType();

 private:
  class Receiver : public QObject {
   public:
    explicit Receiver(QtMessagePump& pump) : pump_(pump) {}
    bool event(QEvent* e) override;

   private:
    QtMessagePump& pump_;
  };

  MessageQueue& queue_;
  Receiver receiver_;
  bool eventPosted_ = false;
};

}  // namespace platform::qt
