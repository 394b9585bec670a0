#pragma once
// The one application object every widget test of a program shares; made on
// first use (the tests run with QT_QPA_PLATFORM=offscreen).
#include <QApplication>

namespace test_support {

inline QApplication& QtApp() {
  static int argc = 1;
  static char name[] = "zelto_test";
  static char* argv[] = {name, nullptr};
  if (!QApplication::instance()) new QApplication(argc, argv);
  return *static_cast<QApplication*>(QApplication::instance());
}

}  // namespace test_support
