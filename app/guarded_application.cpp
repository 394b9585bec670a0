#include "app/guarded_application.h"

#include <exception>

#include "framework/errors.h"
#include "platform/user_interaction.h"

bool TGuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    // The box is shown after the handler unwound, with what it held freed.
    try {
      platform::showError(framework::CauseOf(e));
    } catch (const std::exception&) {
      // With no memory even for the box the event is only dropped.
    }
    return false;
  }
}
