#pragma once
// User interaction without a user: answers are queued in advance, every text
// shown is recorded, nothing ever blocks. Tests inspect what was shown;
// batch runs get each box's default answer.
#include <deque>
#include <string>
#include <vector>

#include "platform/user_interaction.h"

namespace platform {

struct ShownMessage {
  std::string text;
  MessageKind kind;
  Buttons buttons;
  std::string caption;
  Answer answer;
};

class ScriptedUserInteraction : public UserInteraction {
 public:
  Answer showMessage(const std::string& text, MessageKind kind = MessageKind::Plain,
                     Buttons buttons = Buttons::Ok, const std::string& caption = {}) override;
  void setBusy(bool busy) override;
  void beep() override { ++beeps_; }

  // The answer for the next box; an answer the box does not offer is
  // replaced by the box's default.
  void queueAnswer(Answer answer) { answers_.push_back(answer); }
  const std::vector<ShownMessage>& shown() const { return shown_; }
  std::vector<std::string> shownTexts() const;
  // Forgets the answers left, what was shown and its storage, the beeps.
  void clear();
  int beeps() const { return beeps_; }
  bool busy() const { return busy_; }
  int busyChanges() const { return busyChanges_; }

 private:
  std::deque<Answer> answers_;
  std::vector<ShownMessage> shown_;
  int beeps_ = 0;
  bool busy_ = false;
  int busyChanges_ = 0;
};

// Installs a fresh scripted implementation for the lifetime of the guard and
// restores the previous services afterwards; the usual start of a test.
class ScopedScriptedUi {
 public:
  ScopedScriptedUi();
  ~ScopedScriptedUi();
  ScriptedUserInteraction& operator*() { return ui_; }
  ScriptedUserInteraction* operator->() { return &ui_; }

 private:
  ScriptedUserInteraction ui_;
  UserInteraction* previous_;
};

}  // namespace platform
