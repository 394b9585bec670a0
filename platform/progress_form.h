#pragma once
// The progress form of long work: a caption, a bar from 0 to a maximum and a
// flag that the user closed it. The form keeps its own state; a toolkit puts
// a view on screen for it through the installed service. Core code talks only
// to this interface: the program installs the Qt service, tests and batch runs
// keep the scripted one.
#include <cstdint>
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
  // false while the user has not closed the form, nor, while a job runs,
  // any other form of the job since the last answer. Then the question is
  // put; OK answers true, and inside a job every later question of the job
  // answers true without being put. Cancel means "go on": the press is
  // answered and the form shown again, so that the user is not asked at
  // every item.
  bool breakConfirmed(const std::string& question);
  // The same for loops that, once their own form was closed, ask at every
  // item until OK: after Cancel the form stays closed.
  bool breakConfirmedAskingAgain(const std::string& question);

  // nullptr until the form is first shown.
  ProgressFormView* view() const { return view_.get(); }

 private:
  friend class BreakableJob;
  bool askBreak(const std::string& question, bool askAgain);

  std::string caption_;
  int maxValue_ = 100;
  int progress_ = 0;
  bool visible_ = false;
  bool doCloseQuery_ = false;
  // The press was answered Cancel at another form's question while this
  // form's work went on: it shows itself again when its work next asks.
  bool reopen_ = false;
  std::optional<BusyCursor> busy_;
  std::unique_ptr<ProgressFormView> view_;
};

// A job the user started: while one lives, a press of the stop of any
// progress form is kept for the job, also once the step whose form it was
// has ended (a step that cannot stop half way runs to its end), and the
// job's next point that can stop asks its question. Once OK is answered
// there, every later point of the job stops without asking. A job started
// inside another is part of it.
class BreakableJob {
 public:
  BreakableJob();
  ~BreakableJob();
  BreakableJob(const BreakableJob&) = delete;
  BreakableJob& operator=(const BreakableJob&) = delete;

  // The running job's number, which no other job of the run has; 0 while
  // no job runs. What one job keeps for the next (an open table, its
  // index) is checked against the disk once per job by it: another
  // program may have written the file between two jobs.
  static std::uint64_t current();
  // Whether the user has confirmed a break of the running job.
  static bool broken();
  // A point of the job that can stop without a progress form of its own:
  // the question is put when a stop was pressed since the last answer;
  // true for OK, and from then on without asking.
  static bool breakConfirmed(const std::string& question);

 private:
  friend class ProgressForm;
  static void pressed(ProgressForm& form);
  static void formGone(const ProgressForm& form);
  // Puts the question; OK breaks the running job. Cancel answers the
  // press: the form it was made on opens again when its work next asks.
  static bool confirm(const std::string& question);
  static void goOn();

  bool outermost_;
};

}  // namespace platform
