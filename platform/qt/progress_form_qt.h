#pragma once
// Progress forms on screen: a small fixed window with one bar, centred on
// the screen; closing it tells the form, which then lets the work ask
// whether to stop. The interrupt question is a box with OK and Cancel.
#include <QProgressBar>
#include <QWidget>

#include "platform/progress_form.h"

namespace platform::qt {

class ProgressFormWidget : public QWidget {
 public:
  explicit ProgressFormWidget(ProgressForm& form);
  QProgressBar* bar() const { return bar_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  ProgressForm& form_;
  QProgressBar* bar_;
};

class QtProgressForms : public ProgressFormService {
 public:
  std::unique_ptr<ProgressFormView> createView(ProgressForm& form) override;
  bool confirmBreak(const std::string& text) override;
};

// The widget behind a form's view, when the Qt service made it.
ProgressFormWidget* widgetOf(const ProgressForm& form);

}  // namespace platform::qt
