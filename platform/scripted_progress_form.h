#pragma once
// Progress forms without a screen: each form's view counts the positions it
// is shown and can play the user who closes the form after a number of them;
// the interrupt question takes queued answers and records its texts.
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/progress_form.h"

namespace platform {

class ScriptedProgressForms : public ProgressFormService {
 public:
  // One showing of a form: its caption and maximum at that moment, and
  // whether the running job had been broken off by then.
  struct Showing {
    std::string caption;
    int maxValue;
    bool afterBreak = false;
  };

  std::unique_ptr<ProgressFormView> createView(ProgressForm& form) override;
  // Answers from the queue; without one, Cancel (nobody asked to stop).
  bool confirmBreak(const std::string& text) override;

  // Every form shown from now on is closed by the "user" when its bar has
  // been moved that many times (0: never).
  void closeAfterSteps(int steps) { closeAfter_ = steps; }
  // The first form shown whose caption begins with `caption` is closed by
  // the "user" when its bar has been moved that many times; once.
  void closeCaptioned(const std::string& caption, int steps = 1) {
    closeCaption_ = caption;
    closeCaptionSteps_ = steps;
  }
  // The first form shown whose caption begins with `caption` runs `action`
  // (another program saving a file, say) when its bar has been moved that
  // many times; once. A set point of a job, where a timed race would be
  // none.
  void atStep(const std::string& caption, int steps, std::function<void()> action) {
    actionCaption_ = caption;
    actionSteps_ = steps;
    action_ = std::move(action);
  }
  void queueBreakAnswer(bool ok) { answers_.push_back(ok); }
  const std::vector<std::string>& breakQuestions() const { return questions_; }
  const std::vector<Showing>& showings() const { return showings_; }
  // Bar moves over all forms that were shown.
  int steps() const { return steps_; }

 private:
  class View;
  int closeAfter_ = 0;
  std::string closeCaption_;
  int closeCaptionSteps_ = 0;
  std::string actionCaption_;
  int actionSteps_ = 0;
  std::function<void()> action_;
  int steps_ = 0;
  std::deque<bool> answers_;
  std::vector<std::string> questions_;
  std::vector<Showing> showings_;
};

// Installs fresh scripted progress forms for the lifetime of the guard.
class ScopedScriptedProgressForms {
 public:
  ScopedScriptedProgressForms();
  ~ScopedScriptedProgressForms();
  ScriptedProgressForms& operator*() { return forms_; }
  ScriptedProgressForms* operator->() { return &forms_; }

 private:
  ScriptedProgressForms forms_;
  ProgressFormService* previous_;
};

}  // namespace platform
