#include "platform/user_interaction.h"

#include "platform/scripted_user_interaction.h"

namespace platform {
namespace {

UserInteraction*& installed() {
  static UserInteraction* current = nullptr;
  return current;
}

ScriptedUserInteraction& fallback() {
  // Never destroyed: boxes shown during exit still find it.
  static ScriptedUserInteraction* scripted = new ScriptedUserInteraction;
  return *scripted;
}

int busyDepth = 0;

}  // namespace

Answer defaultAnswer(Buttons buttons) {
  switch (buttons) {
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
      return Answer::Yes;
    case Buttons::Ok:
    case Buttons::OkIgnore:
      break;
  }
  return Answer::Ok;
}

bool offers(Buttons buttons, Answer answer) {
  switch (buttons) {
    case Buttons::Ok:
      return answer == Answer::Ok;
    case Buttons::OkIgnore:
      return answer == Answer::Ok || answer == Answer::Ignore;
    case Buttons::YesNo:
      return answer == Answer::Yes || answer == Answer::No;
    case Buttons::YesNoCancel:
      return answer == Answer::Yes || answer == Answer::No || answer == Answer::Cancel;
  }
  return false;
}

UserInteraction& ui() {
  UserInteraction* current = installed();
  return current ? *current : fallback();
}

void setUi(UserInteraction* services) { installed() = services; }

BusyCursor::BusyCursor() {
  if (busyDepth++ == 0) ui().setBusy(true);
}

BusyCursor::~BusyCursor() {
  if (--busyDepth == 0) ui().setBusy(false);
}

int BusyCursor::depth() { return busyDepth; }

// ---------------------------------------------------------------------------

Answer ScriptedUserInteraction::showMessage(const std::string& text, MessageKind kind,
                                            Buttons buttons, const std::string& caption) {
  Answer answer = defaultAnswer(buttons);
  if (!answers_.empty()) {
    if (offers(buttons, answers_.front())) answer = answers_.front();
    answers_.pop_front();
  }
  shown_.push_back({text, kind, buttons, caption, answer});
  return answer;
}

void ScriptedUserInteraction::setBusy(bool busy) {
  if (busy_ != busy) ++busyChanges_;
  busy_ = busy;
}

std::vector<std::string> ScriptedUserInteraction::shownTexts() const {
  std::vector<std::string> texts;
  for (const auto& m : shown_) texts.push_back(m.text);
  return texts;
}

void ScriptedUserInteraction::clear() {
  answers_.clear();
  // Its storage too: a test that fails allocations looks for what a run
  // left allocated.
  shown_ = std::vector<ShownMessage>();
  beeps_ = 0;
  busyChanges_ = 0;
}

ScopedScriptedUi::ScopedScriptedUi() : previous_(&ui()) { setUi(&ui_); }
ScopedScriptedUi::~ScopedScriptedUi() { setUi(previous_); }

}  // namespace platform
