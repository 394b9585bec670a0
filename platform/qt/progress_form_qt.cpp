#include "platform/qt/progress_form_qt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <chrono>

#include "platform/pacer.h"

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
  // million items move it only when the pacer says so, and at the end.
  void setPosition(int position) override {
    if (pacer_.due() || position >= widget_.bar()->maximum()) widget_.bar()->setValue(position);
  }
  void setVisible(bool visible) override {
    if (visible == widget_.isVisible()) return;
    if (visible) {
      if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // A form shown while others are up (a level's steps inside the
        // whole export) goes below them, so that all of them can be read.
        int below = 0;
        for (QWidget* other : QApplication::topLevelWidgets())
          if (other != &widget_ && other->isVisible() && dynamic_cast<ProgressFormWidget*>(other))
            below += other->frameGeometry().height();
        QRect frame = widget_.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        widget_.move(frame.topLeft() + QPoint(0, below));
      }
      widget_.show();
      paintOnceShown();
    } else {
      widget_.hide();
    }
  }
  ProgressFormWidget& widget() { return widget_; }

 private:
  // The work goes on as soon as the form is shown and may not let events
  // through before it ends: a form that waited for its first repaint would
  // stand on screen as an empty frame. It is painted once the window system
  // has put it up (a short wait, bounded for a window system that never
  // does).
  void paintOnceShown() {
    QElapsedTimer waited;
    waited.start();
    const QWindow* window = widget_.windowHandle();
    while (window && !window->isExposed() && waited.elapsed() < kExposeWait.count())
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    widget_.repaint();
  }
  static constexpr std::chrono::milliseconds kExposeWait{200};

  ProgressFormWidget widget_;
  Pacer pacer_;
};

}  // namespace

ProgressFormWidget::ProgressFormWidget(ProgressForm& form)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint),
      form_(form),
      name_(new QLabel(this)),
      bar_(new QProgressBar(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(name_);
  bar_->setRange(0, 100);
  bar_->setFormat("%v / %m");
  bar_->setTextVisible(true);
  layout->addWidget(bar_);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  auto* stop = new QPushButton(QString::fromUtf8("Přerušit"), this);
  // Pressing it is closing the form: the work asks the interrupt question.
  connect(stop, &QPushButton::clicked, this, &QWidget::close);
  row->addWidget(stop);
  layout->addLayout(row);
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
  return QMessageBox::question(nullptr, QString(), QString::fromStdString(text),
                               QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) == QMessageBox::Ok;
}

ProgressFormWidget* widgetOf(const ProgressForm& form) {
  auto* view = dynamic_cast<WidgetView*>(form.view());
  return view ? &view->widget() : nullptr;
}

}  // namespace platform::qt
