#pragma once
// One small window per running tool, stacked in a host window that grows and
// shrinks with the number of running tools and hides when none is left. The
// base main tool hands it the progress messages (codes 10 to 13).
#include <QLabel>
#include <QProgressBar>
#include <QWidget>
#include <cstdint>
#include <string>

#include "framework/technology.h"
#include "platform/qt/late_window.h"

class QVBoxLayout;

class TProgressMonitorForm : public QWidget {
 public:
  TProgressMonitorForm();
  // Docks the process window at the bottom of the stack.
  void Dock(QWidget* process);
  static constexpr int kProcessHeight = 105;
 private:
  QVBoxLayout* stack_ = nullptr;
};

class TProcessMonitorForm : public QWidget {
 public:
  TProcessMonitorForm();
  QLabel* l_ProcessName = nullptr;
  QLabel* l_Text = nullptr;
  QProgressBar* ProgressBar = nullptr;
  bool CloseAllowed = false;
 protected:
  void closeEvent(QCloseEvent* event) override;
};

class TProcessMonitor : public TTool {
  ZELTO_ELEMENT(TProcessMonitor)
 public:
  TProcessMonitor();
  ~TProcessMonitor() override;
  TProcessMonitorForm* Form() const { return form_; }

  TElement* GetProcess() const { return process_.Get(); }
  void SetProcess(TElement* tool) { process_.Set(tool); }
  // The tool shown has been freed (its end arrives without a sender).
  bool ProcessDied() const { return process_.IsDead(); }
  std::string GetProcessName() const;
  void SetProcessName(const std::string& name);
  std::string GetText() const;
  void SetText(const std::string& text);
  std::int32_t GetMinProgress() const;
  void SetMinProgress(std::int32_t v);
  std::int32_t GetMaxProgress() const;
  void SetMaxProgress(std::int32_t v);
  std::int32_t GetProgress() const;
  void SetProgress(std::int32_t v);

 private:
  TProcessMonitorForm* form_;
  TElementRef process_;
};

class TProgressMonitor : public TTechnology {
  ZELTO_ELEMENT(TProgressMonitor)
 public:
  TProgressMonitor();
  ~TProgressMonitor() override;
  TProgressMonitorForm* Form() const { return form_; }

  void HandleMessage(TZeltoMessage*& message, bool& handled) override;
  TProcessMonitor* FindProcessMonitor(TElement* tool) const;

 private:
  void StartProcessMonitor(TZeltoMessage* message);
  void SetProcessProgress(TZeltoMessage* message);
  void SetProcessText(TZeltoMessage* message);
  void EndProcessMonitor(TZeltoMessage* message);
  void AdjustMonitorHeight();

  TProgressMonitorForm* form_;
  // The host goes up only once its tools have run for a while.
  platform::qt::LateWindow late_{*form_, [this] { PlaceForm(); }};
  void PlaceForm();
};
