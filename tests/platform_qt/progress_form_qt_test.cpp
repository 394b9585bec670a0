#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QThread>
#include <chrono>

#include "platform/qt/late_window.h"
#include "platform/qt/progress_form_qt.h"

namespace {

void EnsureApp() {
  static int argc = 1;
  static char name[] = "test_platform_qt";
  static char* argv[] = {name, nullptr};
  if (!QApplication::instance()) new QApplication(argc, argv);
}

// Lets events through for `wait`, as a long step does while it works.
void RunFor(std::chrono::milliseconds wait) {
  QElapsedTimer since;
  since.start();
  while (since.elapsed() < wait.count()) {
    QCoreApplication::processEvents();
    QThread::msleep(10);
  }
}

bool AnyWindowUp() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible()) return true;
  return false;
}

TEST(QtProgressForm, OnlyALongStepPutsUpItsWindowWhichTheBreakButtonCloses) {
  using namespace std::chrono_literals;
  EnsureApp();
  platform::qt::QtProgressForms service;
  platform::setProgressForms(&service);
  {
    // A step that ends before the delay leaves the screen as it was.
    platform::ProgressForm quick;
    quick.setCaption("Rychlý krok");
    quick.show();
    RunFor(platform::qt::kProgressShowDelay / 2);
    EXPECT_FALSE(AnyWindowUp());
    quick.hide();
    RunFor(platform::qt::kProgressShowDelay);
    EXPECT_FALSE(AnyWindowUp());
  }
  {
    platform::ProgressForm form;
    form.setCaption("Export ploch");
    form.setMaxValue(250);
    form.show();
    form.setProgress(120);
    RunFor(platform::qt::kProgressShowDelay);
    auto* widget = platform::qt::widgetOf(form);
    ASSERT_NE(widget, nullptr);
    // On a loaded machine the timer may fire a little late.
    for (int i = 0; i < 200 && !widget->isVisible(); ++i) RunFor(50ms);
    ASSERT_TRUE(widget->isVisible());
    // The user sees what runs, and how far it is.
    EXPECT_EQ(widget->name()->text(), QString("Export ploch"));
    EXPECT_TRUE(widget->name()->isVisible());
    EXPECT_EQ(widget->bar()->text(), QString("120 / 250"));
    // The break button closes the form, so that the work asks whether to
    // stop; "go on" puts the window back at once.
    widget->findChild<QPushButton*>()->click();
    EXPECT_TRUE(form.doCloseQuery());
    EXPECT_FALSE(widget->isVisible());
    QString asked;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        asked = box->text();
        box->button(QMessageBox::Cancel)->click();
      }
    });
    answer.start(10);
    EXPECT_FALSE(form.breakConfirmed("Přerušit export?"));
    EXPECT_EQ(asked, QString::fromUtf8("Přerušit export?"));
    EXPECT_TRUE(widget->isVisible());
  }
  platform::setProgressForms(nullptr);
}

// The whole export's bar of eight levels shows each level done at once,
// however quickly the one before ended.
TEST(QtProgressForm, ABarOfFewStepsShowsEveryStep) {
  EnsureApp();
  platform::qt::QtProgressForms service;
  platform::setProgressForms(&service);
  platform::ProgressForm levels;
  levels.setMaxValue(8);
  levels.show();
  auto* widget = platform::qt::widgetOf(levels);
  ASSERT_NE(widget, nullptr);
  for (int done = 0; done <= 8; ++done) {
    levels.setProgress(done);
    EXPECT_EQ(widget->bar()->text().toStdString(), std::to_string(done) + " / 8");
  }
  platform::setProgressForms(nullptr);
}

}  // namespace
