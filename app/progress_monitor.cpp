#include "app/progress_monitor.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/main_form.h"
#include "framework/message_dispatch.h"
#include "framework/zelto_message.h"
#include "platform/qt/window_placement.h"

ZELTO_IMPLEMENT_ELEMENT(TProcessMonitor, TTool, [](auto& p) {
  using M = TProcessMonitor;
  p.Object("Process", TElement::StaticClass(), &M::GetProcess, &M::SetProcess);
  p.String("ProcessName", &M::GetProcessName, &M::SetProcessName);
  p.String("Text", &M::GetText, &M::SetText);
  p.Integer("MinProgress", &M::GetMinProgress, &M::SetMinProgress);
  p.Integer("MaxProgress", &M::GetMaxProgress, &M::SetMaxProgress);
  p.Integer("Progress", &M::GetProgress, &M::SetProgress);
})

ZELTO_IMPLEMENT_ELEMENT(TProgressMonitor, TTechnology, [](auto&) {})

TProgressMonitorForm::TProgressMonitorForm() {
  setObjectName("TProgressMonitorForm");
  setWindowTitle("ProgressMonitorForm");
  // Not always on top: a box that waits for the user's answer opens over it.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  stack_ = new QVBoxLayout(this);
  stack_->setContentsMargins(0, 0, 0, 0);
  stack_->setSpacing(0);
  stack_->addStretch(1);
  resize(393, 80);
}

void TProgressMonitorForm::Dock(QWidget* process) {
  process->setParent(this, Qt::Widget);
  stack_->addWidget(process);
  process->show();
}

TProcessMonitorForm::TProcessMonitorForm() {
  setObjectName("TProcessMonitorForm");
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  // Every control and layout has its owner from the start: a window that
  // cannot be built whole frees what it made.
  auto* row = new QHBoxLayout(this);
  auto* image = new QLabel(this);
  image->setObjectName("Image");
  image->setFixedSize(50, 50);
  row->addWidget(image);
  auto* column = new QVBoxLayout;
  row->addLayout(column, 1);
  l_ProcessName = new QLabel("Process", this);
  l_ProcessName->setWordWrap(true);
  l_Text = new QLabel("...", this);
  l_Text->setWordWrap(true);
  ProgressBar = new QProgressBar(this);
  ProgressBar->setRange(0, 100);
  ProgressBar->setFormat("%v / %m");  // the count, not a percentage
  l_ProcessName->setObjectName("l_ProcessName");
  l_Text->setObjectName("l_Text");
  ProgressBar->setObjectName("ProgressBar");
  column->addWidget(l_ProcessName);
  column->addWidget(l_Text);
  column->addWidget(ProgressBar);
  setFixedHeight(88);
  resize(386, 88);
}

void TProcessMonitorForm::closeEvent(QCloseEvent* event) {
  if (CloseAllowed) event->accept();
  else event->ignore();
}

TProcessMonitor::TProcessMonitor() : form_(new TProcessMonitorForm) {}

TProcessMonitor::~TProcessMonitor() {
  form_->CloseAllowed = true;
  delete form_;
}

std::string TProcessMonitor::GetProcessName() const { return form_->l_ProcessName->text().toStdString(); }
void TProcessMonitor::SetProcessName(const std::string& name) {
  form_->l_ProcessName->setText(QString::fromStdString(name));
}
std::string TProcessMonitor::GetText() const { return form_->l_Text->text().toStdString(); }
void TProcessMonitor::SetText(const std::string& text) { form_->l_Text->setText(QString::fromStdString(text)); }
std::int32_t TProcessMonitor::GetMinProgress() const { return form_->ProgressBar->minimum(); }
void TProcessMonitor::SetMinProgress(std::int32_t v) { form_->ProgressBar->setMinimum(v); }
std::int32_t TProcessMonitor::GetMaxProgress() const { return form_->ProgressBar->maximum(); }
void TProcessMonitor::SetMaxProgress(std::int32_t v) { form_->ProgressBar->setMaximum(v); }
std::int32_t TProcessMonitor::GetProgress() const { return form_->ProgressBar->value(); }
void TProcessMonitor::SetProgress(std::int32_t v) { form_->ProgressBar->setValue(v); }

TProgressMonitor::TProgressMonitor() : form_(new TProgressMonitorForm) {}

TProgressMonitor::~TProgressMonitor() {
  // The process monitors free their windows first; the host goes last.
  while (ToolCount() > 0) DeleteTool(GetToolByIndex(0));
  delete form_;
}

void TProgressMonitor::HandleMessage(TZeltoMessage*& message, bool& handled) {
  TTechnology::HandleMessage(message, handled);
  if (handled || !message) return;
  switch (message->Message) {
    case zelto::msg::ProgressBegin: StartProcessMonitor(message); break;
    case zelto::msg::ProgressStep: SetProcessProgress(message); break;
    case zelto::msg::ProgressEnd: EndProcessMonitor(message); break;
    case zelto::msg::ProgressText: SetProcessText(message); break;
    default: break;
  }
}

TProcessMonitor* TProgressMonitor::FindProcessMonitor(TElement* tool) const {
  if (!tool) return nullptr;
  for (int i = 0; i < ToolCount(); ++i)
    if (auto* monitor = dynamic_cast<TProcessMonitor*>(GetToolByIndex(i)); monitor && monitor->GetProcess() == tool)
      return monitor;
  return nullptr;
}

void TProgressMonitor::AdjustMonitorHeight() {
  const int height = TProgressMonitorForm::kProcessHeight * ToolCount();
  form_->setFixedHeight(height);
  // Grown, it may reach over another progress window.
  if (form_->isVisible()) PlaceForm();
}

void TProgressMonitor::PlaceForm() { platform::qt::PlaceProgressWindow(*form_, MainFormWidget()); }

void TProgressMonitor::StartProcessMonitor(TZeltoMessage* message) {
  auto* progress = dynamic_cast<TProgressMessage*>(message);
  auto* monitor = new TProcessMonitor;
  AppendTool(monitor);
  AdjustMonitorHeight();
  late_.request();
  zelto::ProcessPendingMessages();
  // A tool that names no range reports only its name and texts.
  if (progress && progress->MinProgress == 0 && progress->MaxProgress == 0) monitor->Form()->ProgressBar->hide();
  form_->Dock(monitor->Form());
  zelto::ProcessPendingMessages();
  monitor->SetProcess(message->Sender());
  if (progress) {
    monitor->SetProcessName(progress->ProcessName);
    monitor->SetMinProgress(progress->MinProgress);
    monitor->SetMaxProgress(progress->MaxProgress);
    monitor->SetProgress(progress->MinProgress);
  }
}

void TProgressMonitor::SetProcessProgress(TZeltoMessage* message) {
  auto* progress = dynamic_cast<TProgressMessage*>(message);
  if (TProcessMonitor* monitor = FindProcessMonitor(message->Sender()); monitor && progress)
    monitor->SetProgress(progress->Progress);
  late_.poll();
}

void TProgressMonitor::SetProcessText(TZeltoMessage* message) {
  auto* text = dynamic_cast<TZeltoTextMessage*>(message);
  if (TProcessMonitor* monitor = FindProcessMonitor(message->Sender()); monitor && text) monitor->SetText(text->Text);
  late_.poll();
}

void TProgressMonitor::EndProcessMonitor(TZeltoMessage* message) {
  if (TProcessMonitor* monitor = FindProcessMonitor(message->Sender())) DeleteTool(monitor);
  // A tool freed while it was running posts its end from its destructor; by
  // delivery the sender reads nil, so its window is found by the dead tool.
  for (int i = ToolCount() - 1; i >= 0; --i)
    if (auto* monitor = dynamic_cast<TProcessMonitor*>(GetToolByIndex(i)); monitor && monitor->ProcessDied())
      DeleteTool(monitor);
  if (ToolCount() == 0) {
    late_.withdraw();
    PostMessageToOwners(zelto::msg::Finished);
    zelto::ProcessPendingMessages();
    PostMessage(zelto::msg::CloseRequest, this);
  } else {
    AdjustMonitorHeight();
  }
}
