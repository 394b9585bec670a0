#pragma once
// The progress form of long work: a caption, a bar from 0 to a maximum and a
// flag that the user closed it. The form keeps its own state; a toolkit puts
// a view on screen for it through the installed service. Core code talks only
// to this interface: the program installs the Qt service, tests and batch runs
// keep the scripted one.
#include <memory>
#include <optional>
#include <string>

#include "platform/user_interaction.h"

namespace platform {

class ProgressForm;

// What a toolkit shows for one form. The view tells the form when the user
// closes it (ProgressForm::userClosed).
class ProgressFormView {
 public:
  virtual ~ProgressFormView() = default;
  virtual void setCaption(const std::string& caption) = 0;
  virtual void setMaximum(int maximum) = 0;
  virtual void setPosition(int position) = 0;
  virtual void setVisible(bool visible) = 0;
};

class ProgressFormService {
 public:
  virtual ~ProgressFormService() = default;
  virtual std::unique_ptr<ProgressFormView> createView(ProgressForm& form) = 0;
  // The interrupt question with the buttons OK and Cancel: true for OK.
  virtual bool confirmBreak(const std::string& text) = 0;
};

// The current service; a scripted one is in place until the program
// installs another. The caller keeps ownership and uninstalls (nullptr)
// before destroying it. A form takes its view when first shown.
ProgressFormService& progressForms();
void setProgressForms(ProgressFormService* service);

class ProgressForm {
 public:
  ProgressForm();
  ~ProgressForm();
  ProgressForm(const ProgressForm&) = delete;
  ProgressForm& operator=(const ProgressForm&) = delete;

  const std::string& caption() const { return caption_; }
  void setCaption(const std::string& caption);
  int maxValue() const { return maxValue_; }
  void setMaxValue(int maximum);
  int progress() const { return progress_; }
  // Ignored while the maximum is below 1.
  void setProgress(int position);

  // Showing sets the hourglass until the form is hidden or closed.
  void show();
  void hide();
  bool visible() const { return visible_; }

  // Set when the user closed the form; the work decides what to do.
  bool doCloseQuery() const { return doCloseQuery_; }
  void setDoCloseQuery(bool on) { doCloseQuery_ = on; }
  // From the view: the user closed the form. It is hidden, the cursor
  // returns to the default and the flag is set.
  void userClosed();

  // The interrupt question of long loops, to be asked before each item:
  // false while the user has not closed the form. Once closed, the question
  // is put; OK answers true. Cancel means "go on": the flag is cleared and
  // the form shown again, so that the user is not asked at every item.
  bool breakConfirmed(const std::string& question);

  // nullptr until the form is first shown.
  ProgressFormView* view() const { return view_.get(); }

 private:
  std::string caption_;
  int maxValue_ = 100;
  int progress_ = 0;
  bool visible_ = false;
  bool doCloseQuery_ = false;
  std::optional<BusyCursor> busy_;
  std::unique_ptr<ProgressFormView> view_;
};

}  // namespace platform
