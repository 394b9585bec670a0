#include "platform/qt/qt_message_pump.h"

#include <QCoreApplication>

namespace platform::qt {

QEvent::Type QtMessagePump::eventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

QtMessagePump::QtMessagePump(MessageQueue& queue) : queue_(queue), receiver_(*this) {
  queue_.setHost(this);
  if (queue_.pending() > 0) wake();
}

QtMessagePump::~QtMessagePump() {
  if (queue_.host() == this) queue_.setHost(nullptr);
}

void QtMessagePump::wake() {
  // One outstanding event is enough: its handler takes everything pending.
  if (eventPosted_) return;
  eventPosted_ = true;
  QCoreApplication::postEvent(&receiver_, new QEvent(eventType()));
}

void QtMessagePump::processEvents() {
  QCoreApplication::processEvents();
  // A job runs inside the delivery of a posted event, and Qt's processEvents
  // there does not deliver the windows' posted repaint requests: without
  // this, a window shown or changed during the job stays unpainted (black
  // or stale) until the job returns.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

bool QtMessagePump::Receiver::event(QEvent* e) {
  if (e->type() != eventType()) return QObject::event(e);
  pump_.eventPosted_ = false;
  pump_.queue_.deliverPending();
  // Posted during delivery: another turn of the loop, after Qt's own events.
  if (pump_.queue_.pending() > 0) pump_.wake();
  return true;
}

}  // namespace platform::qt
