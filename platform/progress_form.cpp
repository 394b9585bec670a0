#include "platform/progress_form.h"

#include "platform/scripted_progress_form.h"

namespace platform {

namespace {
ProgressFormService* installed = nullptr;

ScriptedProgressForms& fallback() {
  static ScriptedProgressForms service;
  return service;
}

// The running job's stop: pressed on some form and not answered yet, and
// whether the user confirmed it.
struct JobBreak {
  bool running = false;
  std::uint64_t number = 0;
  bool pressed = false;
  ProgressForm* pressedOn = nullptr;  // while the form lives
  bool broken = false;
};

JobBreak& job() {
  static JobBreak state;
  return state;
}
}  // namespace

ProgressFormService& progressForms() { return installed ? *installed : fallback(); }
void setProgressForms(ProgressFormService* service) { installed = service; }

ProgressForm::ProgressForm() = default;

ProgressForm::~ProgressForm() {
  BreakableJob::formGone(*this);
  // The view may still call back while it goes; it must find a hidden form.
  busy_.reset();
  visible_ = false;
  view_.reset();
}

void ProgressForm::setCaption(const std::string& caption) {
  caption_ = caption;
  if (view_) view_->setCaption(caption);
}

void ProgressForm::setMaxValue(int maximum) {
  maxValue_ = maximum;
  if (progress_ > maximum && maximum >= 0) progress_ = maximum;
  if (view_) view_->setMaximum(maximum);
}

void ProgressForm::setProgress(int position) {
  if (maxValue_ < 1) return;
  progress_ = position;
  if (view_) view_->setPosition(position);
}

// Most forms are never shown (counting walks, small inputs): the view is
// made when first needed.
void ProgressForm::show() {
  if (!view_) {
    view_ = progressForms().createView(*this);
    if (view_) {
      view_->setCaption(caption_);
      view_->setMaximum(maxValue_);
      view_->setPosition(progress_);
    }
  }
  if (!busy_) busy_.emplace();
  visible_ = true;
  if (view_) view_->setVisible(true);
}

void ProgressForm::hide() {
  busy_.reset();
  if (!visible_) return;
  visible_ = false;
  if (view_) view_->setVisible(false);
}

void ProgressForm::userClosed() {
  busy_.reset();
  visible_ = false;
  doCloseQuery_ = true;
  BreakableJob::pressed(*this);
}

bool ProgressForm::breakConfirmed(const std::string& question) { return askBreak(question, false); }

bool ProgressForm::breakConfirmedAskingAgain(const std::string& question) { return askBreak(question, true); }

bool ProgressForm::askBreak(const std::string& question, bool askAgain) {
  if (BreakableJob::broken()) return true;
  if (reopen_) {
    reopen_ = false;
    if (!visible_) show();
  }
  if (!doCloseQuery_) return BreakableJob::breakConfirmed(question);
  if (BreakableJob::confirm(question)) return true;
  reopen_ = false;
  doCloseQuery_ = askAgain;
  if (!askAgain) show();
  return false;
}

BreakableJob::BreakableJob() : outermost_(!job().running) {
  static std::uint64_t started = 0;
  if (outermost_) job() = JobBreak{.running = true, .number = ++started};
}

BreakableJob::~BreakableJob() {
  if (outermost_) job() = JobBreak{};
}

std::uint64_t BreakableJob::current() { return job().number; }

bool BreakableJob::broken() { return job().broken; }

bool BreakableJob::breakConfirmed(const std::string& question) {
  if (job().broken) return true;
  return job().pressed && confirm(question);
}

bool BreakableJob::confirm(const std::string& question) {
  if (progressForms().confirmBreak(question)) {
    if (job().running) job().broken = true;
    return true;
  }
  goOn();
  return false;
}

void BreakableJob::pressed(ProgressForm& form) {
  if (!job().running) return;
  job().pressed = true;
  job().pressedOn = &form;
}

void BreakableJob::formGone(const ProgressForm& form) {
  if (job().pressedOn == &form) job().pressedOn = nullptr;
}

void BreakableJob::goOn() {
  job().pressed = false;
  if (ProgressForm* form = job().pressedOn) {
    form->doCloseQuery_ = false;
    form->reopen_ = true;
  }
  job().pressedOn = nullptr;
}

}  // namespace platform
