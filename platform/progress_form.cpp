#include "platform/progress_form.h"

#include "platform/scripted_progress_form.h"

namespace platform {

namespace {
ProgressFormService* installed = nullptr;

ScriptedProgressForms& fallback() {
  static ScriptedProgressForms service;
  return service;
}
}  // namespace

ProgressFormService& progressForms() { return installed ? *installed : fallback(); }
void setProgressForms(ProgressFormService* service) { installed = service; }

ProgressForm::ProgressForm() = default;

ProgressForm::~ProgressForm() {
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
}

bool ProgressForm::breakConfirmed(const std::string& question) {
  if (!doCloseQuery_) return false;
  if (progressForms().confirmBreak(question)) return true;
  doCloseQuery_ = false;
  show();
  return false;
}

}  // namespace platform
