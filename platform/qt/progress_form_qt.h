#pragma once
// Progress forms on screen: a small fixed window with the work's name, a bar
// that shows the count, and a break button, centred on the screen; closing
// it or pressing the button tells the form, which then lets the work ask
// whether to stop. The interrupt question is a box with OK and Cancel.
#include <QLabel>
#include <QProgressBar>
#include <QWidget>

#include "platform/progress_form.h"

namespace platform::qt {

class ProgressFormWidget : public QWidget {
 public:
  explicit ProgressFormWidget(ProgressForm& form);
  QProgressBar* bar() const { return bar_; }
  QLabel* name() const { return name_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  ProgressForm& form_;
  QLabel* name_;
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
