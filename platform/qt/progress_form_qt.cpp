#include "platform/qt/progress_form_qt.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace platform::qt {

namespace {

class WidgetView : public ProgressFormView {
 public:
  explicit WidgetView(ProgressForm& form) : widget_(form) {}
  void setCaption(const std::string& caption) override {
    widget_.setWindowTitle(QString::fromStdString(caption));
  }
  void setMaximum(int maximum) override { widget_.bar()->setMaximum(maximum); }
  void setPosition(int position) override { widget_.bar()->setValue(position); }
  void setVisible(bool visible) override {
    if (visible == widget_.isVisible()) return;
    if (visible) {
      if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = widget_.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        widget_.move(frame.topLeft());
      }
      widget_.show();
    } else {
      widget_.hide();
    }
  }
  ProgressFormWidget& widget() { return widget_; }

 private:
  ProgressFormWidget widget_;
};

}  // namespace

ProgressFormWidget::ProgressFormWidget(ProgressForm& form)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), form_(form), bar_(new QProgressBar(this)) {
  setFixedSize(461, 19);
  bar_->setGeometry(4, 2, 453, 16);
  bar_->setRange(0, 100);
  bar_->setTextVisible(false);
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
