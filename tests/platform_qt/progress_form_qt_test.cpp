#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>

#include "platform/qt/progress_form_qt.h"

namespace {

void EnsureApp() {
  static int argc = 1;
  static char name[] = "test_platform_qt";
  static char* argv[] = {name, nullptr};
  if (!QApplication::instance()) new QApplication(argc, argv);
}

TEST(QtProgressForm, ClosingTheWindowHidesItAndRaisesTheCloseQuery) {
  EnsureApp();
  platform::qt::QtProgressForms service;
  platform::setProgressForms(&service);
  {
    platform::ProgressForm form;
    form.setCaption("Export ploch");
    form.setMaxValue(250);
    form.setProgress(120);
    EXPECT_EQ(platform::qt::widgetOf(form), nullptr);  // no window until shown
    form.show();
    auto* widget = platform::qt::widgetOf(form);
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->isVisible());
    // The user sees what runs, and how far it is.
    EXPECT_EQ(widget->name()->text(), QString("Export ploch"));
    EXPECT_EQ(widget->bar()->text(), QString("120 / 250"));
    // The break button closes the form, so that the work asks whether to stop.
    widget->findChild<QPushButton*>()->click();
    EXPECT_TRUE(form.doCloseQuery());
    EXPECT_FALSE(form.visible());
    EXPECT_FALSE(widget->isVisible());
  }
  platform::setProgressForms(nullptr);
}

}  // namespace
