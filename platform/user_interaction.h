#pragma once
// What core code may ask of the user: message boxes, the busy cursor and a
// beep. Core code talks only to this interface; the program installs the Qt
// implementation, tests and batch runs keep the scripted one.
#include <memory>
#include <string>

namespace platform {

enum class MessageKind { Plain, Information, Warning, Error, Confirmation };
enum class Buttons { Ok, OkIgnore, YesNo, YesNoCancel };
enum class Answer { Ok, Ignore, Yes, No, Cancel };

// The answer a box gives when nobody is there to press a button.
Answer defaultAnswer(Buttons buttons);
bool offers(Buttons buttons, Answer answer);

class UserInteraction {
 public:
  virtual ~UserInteraction() = default;
  virtual Answer showMessage(const std::string& text, MessageKind kind = MessageKind::Plain,
                             Buttons buttons = Buttons::Ok, const std::string& caption = {}) = 0;
  // Hourglass on or off; nesting is handled by BusyCursor.
  virtual void setBusy(bool busy) = 0;
  virtual void beep() = 0;
};

// The current services. A scripted implementation is in place until the
// program installs another one.
UserInteraction& ui();
// Installs services (nullptr returns to the scripted default); the caller
// keeps ownership and must uninstall before destroying them.
void setUi(UserInteraction* services);

// Shorthands for the common boxes.
inline void showError(const std::string& text) { ui().showMessage(text, MessageKind::Error); }
inline void showWarning(const std::string& text) { ui().showMessage(text, MessageKind::Warning); }
inline void showInfo(const std::string& text) { ui().showMessage(text, MessageKind::Information); }

// Saves the cursor and shows the hourglass for its lifetime; nested guards
// keep the hourglass until the outermost one ends.
class BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
  static int depth();
};

}  // namespace platform
