#include "platform/qt/progress_form_qt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/pacer.h"
#include "platform/qt/late_window.h"
#include "platform/qt/qt_user_interaction.h"
#include "platform/qt/window_placement.h"

namespace platform::qt {

namespace {

class WidgetView : public ProgressFormView {
 public:
  explicit WidgetView(ProgressForm& form) : widget_(form) {}
  void setCaption(const std::string& caption) override {
    widget_.setWindowTitle(QString::fromStdString(caption));
    widget_.name()->setText(QString::fromStdString(caption));
  }
  void setMaximum(int maximum) override {
    widget_.bar()->setMaximum(maximum);
    pacer_.force();
  }
  // A bar with its count repaints at once on every new value: loops of a
  // million items move it only when the pacer says so, at every hundredth
  // of the way and at the end. A bar of few steps (the levels of the whole
  // export) thus shows each one as it comes, however quick the last was.
  void setPosition(int position) override {
    position_ = position;
    if (pacer_.due() || position >= widget_.bar()->maximum() || CoarseStep(widget_.bar()->value(), position))
      widget_.bar()->setValue(position);
    late_.poll();
  }
  // The window goes up only once the work has run for a while; shown again
  // after the user answered "go on" to the interrupt question, it goes up
  // at once.
  void setVisible(bool visible) override {
    if (!visible) {
      late_.withdraw();
      return;
    }
    if (appeared_) late_.showNow();
    else late_.request();
  }
  ProgressFormWidget& widget() { return widget_; }

 private:
  bool CoarseStep(int shown, int position) const {
    const long long range = widget_.bar()->maximum();
    return range > 0 && shown * 100LL / range != position * 100LL / range;
  }

  // A form shown while other progress windows are up (a level's steps
  // inside the whole export) goes beside them, so that every one of them
  // can be read and stopped.
  void place() {
    appeared_ = true;
    widget_.bar()->setValue(position_);
    // The height it will show at: its layout's, at the fixed width.
    widget_.adjustSize();
    PlaceProgressWindow(widget_);
  }

  ProgressFormWidget widget_;
  Pacer pacer_;
  LateWindow late_{widget_, [this] { place(); }};
  bool appeared_ = false;
  int position_ = 0;
};

}  // namespace

// A dialog of the program, above its other windows but never always on top:
// a box that waits for the user's answer opens over it.
ProgressFormWidget::ProgressFormWidget(ProgressForm& form)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      form_(form),
      name_(new QLabel(this)),
      bar_(new QProgressBar(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(name_);
  bar_->setRange(0, 100);
  bar_->setFormat("%v / %m");
  bar_->setTextVisible(true);
  layout->addWidget(bar_);
  // Owned at once: a window that cannot be built whole frees what it made.
  auto* row = new QHBoxLayout;
  layout->addLayout(row);
  row->addStretch(1);
  auto* stop = new QPushButton(QString::fromUtf8("Přerušit"), this);
  // Pressing it is closing the form: the work asks the interrupt question.
  connect(stop, &QPushButton::clicked, this, &QWidget::close);
  row->addWidget(stop);
  setFixedWidth(461);
}

void ProgressFormWidget::closeEvent(QCloseEvent* event) {
  form_.userClosed();
  event->accept();
}

std::unique_ptr<ProgressFormView> QtProgressForms::createView(ProgressForm& form) {
  return std::make_unique<WidgetView>(form);
}

bool QtProgressForms::confirmBreak(const std::string& text) {
  HideWindowsKeptOnTop();
  return QMessageBox::question(nullptr, QString(), QString::fromStdString(text),
                               QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) == QMessageBox::Ok;
}

ProgressFormWidget* widgetOf(const ProgressForm& form) {
  auto* view = dynamic_cast<WidgetView*>(form.view());
  return view ? &view->widget() : nullptr;
}

}  // namespace platform::qt
