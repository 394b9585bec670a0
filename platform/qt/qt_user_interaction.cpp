#include "platform/qt/qt_user_interaction.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

namespace platform::qt {
namespace {

QMessageBox::Icon IconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::Information:
      return QMessageBox::Information;
    case MessageKind::Warning:
      return QMessageBox::Warning;
    case MessageKind::Error:
      return QMessageBox::Critical;
    case MessageKind::Confirmation:
      return QMessageBox::Question;
    case MessageKind::Plain:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(Buttons buttons) {
  switch (buttons) {
    case Buttons::OkIgnore:
      return QMessageBox::Ok | QMessageBox::Ignore;
    case Buttons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::Ok:
      break;
  }
  return QMessageBox::Ok;
}

}  // namespace

Answer QtUserInteraction::showMessage(const std::string& text, MessageKind kind, Buttons buttons,
                                      const std::string& caption) {
  QString title = caption.empty() ? QCoreApplication::applicationName() : QString::fromStdString(caption);
  QMessageBox box(IconOf(kind), title, QString::fromStdString(text), ButtonsOf(buttons),
                  QApplication::activeWindow());
  // The log boxes tell the user to press "Ignore": the button says so, not
  // the translation's word for it.
  if (QAbstractButton* ignore = box.button(QMessageBox::Ignore)) ignore->setText("Ignore");
  // A long text (a path, a job's list of problems) wraps at a width where
  // each of its lines still reads as one.
  if (text.size() > 80) box.setStyleSheet("QLabel#qt_msgbox_label { min-width: 46em; }");
  HideWindowsKeptOnTop();
  // A box must be answerable even while the hourglass is up.
  bool busy = QApplication::overrideCursor() != nullptr;
  if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  int pressed = box.exec();
  if (busy) QApplication::restoreOverrideCursor();
  switch (pressed) {
    case QMessageBox::Ignore:
      return Answer::Ignore;
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Cancel:
      return Answer::Cancel;
    case QMessageBox::Ok:
      return Answer::Ok;
    default:
      // Closed without a button: the box's way out.
      return buttons == Buttons::YesNoCancel ? Answer::Cancel
             : buttons == Buttons::YesNo     ? Answer::No
                                             : Answer::Ok;
  }
}

void HideWindowsKeptOnTop() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible() && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) window->hide();
}

void QtUserInteraction::setBusy(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void QtUserInteraction::beep() { QApplication::beep(); }

bool InstallCzechTranslation() {
  // Owned by the application: it must outlive every box.
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (!translator->load("qtbase_cs", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace platform::qt
