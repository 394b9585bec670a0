#pragma once
// The progress form of the walkers and of the long loops of the exports.
// The walkers only move its bar; loops that may be interrupted ask
// BreakConfirmed before each item.
#include <string>

#include "platform/progress_form.h"

class TF_gaugeForm : public platform::ProgressForm {
 public:
  int GetMaxValue() const { return maxValue(); }
  void SetMaxValue(int value) { setMaxValue(value); }
  int GetProgress() const { return progress(); }
  void SetProgress(int value) { setProgress(value); }
  bool DoCloseQuery() const { return doCloseQuery(); }
  void SetDoCloseQuery(bool on) { setDoCloseQuery(on); }
  void SetCaption(const std::string& caption) { setCaption(caption); }
  void Show() { show(); }
  void Hide() { hide(); }
  // True when the user closed the form and confirmed the question with OK.
  bool BreakConfirmed(const std::string& question) { return breakConfirmed(question); }
  // The same, asked at every item after a Cancel while the form stays closed.
  bool BreakConfirmedAskingAgain(const std::string& question) { return breakConfirmedAskingAgain(question); }
};

// The interrupt question (buttons OK and Cancel): true for OK.
bool ConfirmBreak(const std::string& text);
