#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QThread>
#include <chrono>

#include "platform/qt/late_window.h"
#include "platform/qt/progress_form_qt.h"
#include "platform/qt/window_placement.h"

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

// Nothing may be up while less than the delay has passed since `since`; a
// machine too busy to look in time has nothing to tell.
void ExpectNothingUpBeforeTheDelay(const QElapsedTimer& since) {
  const bool up = AnyWindowUp();
  if (since.elapsed() < platform::qt::kProgressShowDelay.count()) {
    EXPECT_FALSE(up);
  }
}

TEST(QtProgressForm, OnlyALongStepPutsUpItsWindowWhichTheBreakButtonCloses) {
  using namespace std::chrono_literals;
  EnsureApp();
  platform::qt::QtProgressForms service;
  platform::setProgressForms(&service);
  {
    // A step that ends before the delay leaves the screen as it was.
    QElapsedTimer since;
    since.start();
    platform::ProgressForm quick;
    quick.setCaption("Rychlý krok");
    quick.show();
    RunFor(platform::qt::kProgressShowDelay / 2);
    ExpectNothingUpBeforeTheDelay(since);
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

// A command of many short steps: each step alone ends within the delay,
// the command does not. The step that runs once the command has run for the
// delay shows at once; before that, nothing flashes up. And a window due
// while a box waits for the user stays back until the box has gone.
TEST(QtProgressForm, TheStepsOfALongCommandShowTheirWindowsAndNoneOverABox) {
  using namespace std::chrono_literals;
  EnsureApp();
  platform::qt::QtProgressForms service;
  platform::setProgressForms(&service);
  {
    QElapsedTimer since;
    since.start();
    platform::qt::CommandScope command;
    {
      platform::ProgressForm first;
      first.setMaxValue(10);
      first.show();
      first.setProgress(1);
      RunFor(platform::qt::kProgressShowDelay / 4);
      ExpectNothingUpBeforeTheDelay(since);
    }
    RunFor(platform::qt::kProgressShowDelay);
    platform::ProgressForm later;
    later.setCaption("Tvorba ploch");
    later.setMaxValue(10);
    later.show();
    later.setProgress(1);
    auto* widget = platform::qt::widgetOf(later);
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->isVisible());
    EXPECT_EQ(widget->name()->text(), QString::fromUtf8("Tvorba ploch"));
  }
  {
    // Outside a command each step counts for itself.
    QElapsedTimer since;
    since.start();
    platform::ProgressForm alone;
    alone.show();
    alone.setProgress(1);
    ExpectNothingUpBeforeTheDelay(since);

    QMessageBox box(QMessageBox::Warning, QString(), QString::fromUtf8("Plocha bez čísla"), QMessageBox::Ok);
    bool upOverTheBox = true;
    QTimer::singleShot(platform::qt::kProgressShowDelay + 300ms, &box, [&] {
      upOverTheBox = platform::qt::widgetOf(alone) && platform::qt::widgetOf(alone)->isVisible();
      box.accept();
    });
    box.exec();
    EXPECT_FALSE(upOverTheBox);
    auto* widget = platform::qt::widgetOf(alone);
    ASSERT_NE(widget, nullptr);
    for (int i = 0; i < 200 && !widget->isVisible(); ++i) RunFor(50ms);
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

// The whole export's window and a level's, up together: each break button
// can be clicked, and stops its own work, also after the level's window
// has grown with the steps running inside it.
TEST(QtProgressForm, TwoProgressWindowsLeaveEachOthersBreakButtonFree) {
  using namespace std::chrono_literals;
  EnsureApp();
  platform::qt::QtProgressForms service;
  platform::setProgressForms(&service);
  {
    platform::ProgressForm whole, level;
    // Up once its work has run for a while.
    const auto up = [](platform::ProgressForm& form, const char* caption, int maximum) {
      form.setCaption(caption);
      form.setMaxValue(maximum);
      form.show();
      QWidget* widget = platform::qt::widgetOf(form);
      for (int i = 0; widget && i < 200 && !widget->isVisible(); ++i) RunFor(50ms);
      return widget;
    };
    QWidget* wholeWidget = up(whole, "Export všech vrstev revíru", 8);
    QWidget* levelWidget = up(level, "Export lines", 100);
    ASSERT_NE(wholeWidget, nullptr);
    ASSERT_NE(levelWidget, nullptr);
    ASSERT_TRUE(wholeWidget->isVisible() && levelWidget->isVisible());
    // A window of the processes running inside the level, grown by one.
    QWidget host;
    host.resize(393, 105);
    platform::qt::PlaceProgressWindow(host);
    host.show();
    host.setFixedHeight(210);
    platform::qt::PlaceProgressWindow(host);
    RunFor(50ms);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const auto stopOf = [](QWidget* widget) { return widget->findChild<QPushButton*>(); };
    const std::vector<QWidget*> windows{wholeWidget, levelWidget, &host};
    for (QWidget* window : windows) {
      EXPECT_TRUE(screen.contains(window->frameGeometry()));
      for (QWidget* other : windows)
        if (other != window) {
          EXPECT_FALSE(window->frameGeometry().intersects(other->frameGeometry()));
        }
    }
    // A click where the whole export's button shows stops the whole export.
    QPushButton* stop = stopOf(wholeWidget);
    QWidget* under = QApplication::widgetAt(stop->mapToGlobal(stop->rect().center()));
    EXPECT_EQ(under, stop);
    QTest::mouseClick(stop, Qt::LeftButton, {}, stop->rect().center());
    EXPECT_TRUE(whole.doCloseQuery());
    EXPECT_FALSE(level.doCloseQuery());
  }
  platform::setProgressForms(nullptr);
}

}  // namespace
