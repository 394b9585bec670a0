#pragma once
// The user-interaction services on Qt widgets: modal message boxes, the
// application's override cursor and the system beep.
#include <QString>

#include "platform/user_interaction.h"

namespace platform::qt {

class QtUserInteraction : public UserInteraction {
 public:
  Answer showMessage(const std::string& text, MessageKind kind = MessageKind::Plain, Buttons buttons = Buttons::Ok,
                     const std::string& caption = {}) override;
  void setBusy(bool busy) override;
  void beep() override;
};

// Installs Qt's own Czech translation, so that the standard buttons and
// dialogs speak the program's language ("Ano", "Ne", "Zrušit"). False when
// the translation is not installed; the texts then stay English.
bool InstallCzechTranslation();

// Windows kept above all others (the start window) step aside, hidden, for
// a box that waits for an answer: they would lie over it.
void HideWindowsKeptOnTop();

}  // namespace platform::qt
