#include "app/guarded_application.h"

#include <exception>
#include <string>

#include "framework/errors.h"
#include "framework/zelto_message.h"
#include "platform/user_interaction.h"

bool TGuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    // Told after the handler unwound, with what it held freed: in a box,
    // and in the log window and the protocol as every failed command is.
    try {
      const std::string cause = framework::CauseOf(e);
      platform::showError(cause);
      PostTextMessage(nullptr, zelto::msg::LogText, "; " + cause);
    } catch (const std::exception&) {
      // With no memory even for the box or the log the event is only dropped.
    }
    return false;
  }
}
