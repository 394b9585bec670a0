#pragma once
// The program's application object. What a window's handler throws (a
// button's command, a list's choice) is told as a failed command is, and the
// program goes on: nothing may leave through the toolkit's event delivery,
// which cannot pass it on.
#include <QApplication>

class TGuardedApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override;
};
