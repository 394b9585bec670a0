#include "platform/scripted_progress_form.h"

namespace platform {

class ScriptedProgressForms::View : public ProgressFormView {
 public:
  View(ScriptedProgressForms& owner, ProgressForm& form, int closeAfter)
      : owner_(owner), form_(form), closeAfter_(closeAfter) {}
  void setCaption(const std::string&) override {}
  void setMaximum(int) override {}
  // Only moves the user could see count.
  void setPosition(int) override {
    if (!form_.visible()) return;
    ++owner_.steps_;
    RunActionByCaption();
    if (closeAfter_ > 0 && ++moves_ == closeAfter_) form_.userClosed();
    else if (ClosedByCaption()) form_.userClosed();
  }
  void setVisible(bool visible) override {
    if (visible) owner_.showings_.push_back({form_.caption(), form_.maxValue(), BreakableJob::broken()});
  }

 private:
  bool ClosedByCaption() {
    std::string& caption = owner_.closeCaption_;
    if (caption.empty() || !form_.caption().starts_with(caption)) return false;
    if (++captionMoves_ < owner_.closeCaptionSteps_) return false;
    caption.clear();
    return true;
  }

  void RunActionByCaption() {
    std::string& caption = owner_.actionCaption_;
    if (caption.empty() || !form_.caption().starts_with(caption)) return;
    if (++actionMoves_ < owner_.actionSteps_) return;
    caption.clear();
    const std::function<void()> action = std::move(owner_.action_);
    action();
  }

  ScriptedProgressForms& owner_;
  ProgressForm& form_;
  int closeAfter_;
  int moves_ = 0;
  int captionMoves_ = 0;
  int actionMoves_ = 0;
};

std::unique_ptr<ProgressFormView> ScriptedProgressForms::createView(ProgressForm& form) {
  return std::make_unique<View>(*this, form, closeAfter_);
}

bool ScriptedProgressForms::confirmBreak(const std::string& text) {
  questions_.push_back(text);
  if (answers_.empty()) return false;
  const bool ok = answers_.front();
  answers_.pop_front();
  return ok;
}

ScopedScriptedProgressForms::ScopedScriptedProgressForms() : previous_(&progressForms()) {
  setProgressForms(&forms_);
}

ScopedScriptedProgressForms::~ScopedScriptedProgressForms() { setProgressForms(previous_); }

}  // namespace platform
