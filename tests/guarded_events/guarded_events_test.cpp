// What a window's handler throws while the user works the window is told as
// a failed command is, in a box and in the log, and the program goes on: the
// button still works, and a main-window button pressed while memory runs out
// leaves nothing behind.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "app/guarded_application.h"
#include "app/main_form.h"
#include "failing_allocations.h"
#include "framework/errors.h"
#include "framework/message_dispatch.h"
#include "log_probe.h"
#include "platform/message_queue.h"
#include "platform/scripted_user_interaction.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZELTO_LEAK_CHECKS 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ZELTO_LEAK_CHECKS 1
#endif
#ifdef ZELTO_LEAK_CHECKS
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// What the toolkit's own frames held when a handler's exception passed
// through them is not freed (the toolkit is built without unwinding): a
// few hundred bytes per failed event, the price of going on (with what its
// accessibility cache kept of the button).
struct [[maybe_unused]] ToolkitFramesLeak {
#ifdef ZELTO_LEAK_CHECKS
  ToolkitFramesLeak() { __lsan_disable(); }
  ~ToolkitFramesLeak() { __lsan_enable(); }
#endif
};

void GuardedApp() {
  static int argc = 1;
  static char name[] = "zelto_test";
  static char* argv[] = {name, nullptr};
  static TGuardedApplication* app = new TGuardedApplication(argc, argv);
  ASSERT_EQ(QApplication::instance(), app);
}

TEST(GuardedEventsTest, WhatAHandlerThrowsIsToldAndTheWindowGoesOn) {
  GuardedApp();
  platform::ScopedScriptedUi ui;
  test_support::LogProbe log;
  struct Case {
    const char* what;
    std::function<void()> handler;
    std::string told;
  };
  const Case cases[] = {
      {"memory ran out", [] { throw std::bad_alloc(); }, "nedostatek paměti"},
      {"an error of the program", [] { throw EZeltoError("tabulku nelze otevřít"); }, "tabulku nelze otevřít"},
      {"a handler that works", [] {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ui->clear();
    log.texts.clear();
    ToolkitFramesLeak passed;
    QPushButton button("Tlačítko");
    int ran = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
      ++ran;
      c.handler();
    });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(ran, 2) << "the button works after its handler failed";
    const std::vector<std::string> told =
        c.told.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.told, c.told};
    EXPECT_EQ(ui->shownTexts(), told);
    zelto::RunMessagesUntilIdle();
    const std::vector<std::string> logged =
        c.told.empty() ? std::vector<std::string>{} : std::vector<std::string>{"; " + c.told, "; " + c.told};
    EXPECT_EQ(log.texts, logged) << "the log window and the protocol keep every failure";
  }
}

// Telling a failure needs memory of its own: when even that runs out, the
// box and the log are told as far as they could be, in that order, and the
// event is dropped; nothing leaves through the toolkit's delivery.
TEST(GuardedEventsTest, AFailureThatCannotBeToldForWantOfMemoryIsDropped) {
  GuardedApp();
  platform::ScopedScriptedUi ui;
  test_support::LogProbe log;
  ToolkitFramesLeak passed;
  QPushButton button("Tlačítko");
  int ran = 0;
  QObject::connect(&button, &QPushButton::clicked, [&] {
    ++ran;
    throw EZeltoError("tabulku nelze otevřít");
  });
  button.show();
  long k = 0;
  for (bool failed = true; failed;) {
    SCOPED_TRACE("allocation " + std::to_string(++k));
    ui->clear();
    log.texts.clear();
    {
      failing_allocations::Armed armed(k);
      QTest::mouseClick(&button, Qt::LeftButton);
      failed = failing_allocations::Failed();
    }
    zelto::RunMessagesUntilIdle();
    EXPECT_EQ(ran, k);
    // What the handler threw may itself be the allocation that failed.
    const std::vector<std::string> told = ui->shownTexts();
    if (!failed) {
      EXPECT_EQ(told, std::vector<std::string>{"tabulku nelze otevřít"});
    } else {
      EXPECT_LE(told.size(), 1u);
    }
    const std::vector<std::string> logged =
        told.empty() ? std::vector<std::string>{} : std::vector<std::string>{"; " + told[0]};
    if (!failed || !log.texts.empty()) {
      EXPECT_EQ(log.texts, logged) << "logged unlike the box, or without it";
    }
  }
  EXPECT_GT(k, 2) << "telling the failure allocated nothing of the program's";
}

TEST(GuardedEventsTest, AMainWindowButtonPressedAsMemoryRunsOutSaysSoAndLeavesNothing) {
  GuardedApp();
  platform::ScopedScriptedUi ui;
  TMainForm form;
  form.show();
  std::vector<QPushButton*> pressed = {form.btCtiRevir, form.BitBtn1};
  for (QPushButton* button : form.findChildren<QPushButton*>())
    if (button->text() == "K") {
      pressed.push_back(button);  // posts the name of the button with its command
      break;
    }
  ASSERT_EQ(pressed.size(), 3u);
  for (QPushButton* button : pressed) {
    SCOPED_TRACE(button->text().toStdString());
    // Once unarmed: what the first press in a process sets up once is not
    // counted.
    QTest::mouseClick(button, Qt::LeftButton);
    platform::messageQueue().discardAll();
    long k = 0;
    for (bool failed = true; failed;) {
      SCOPED_TRACE("allocation " + std::to_string(++k));
      {
        failing_allocations::Armed armed(k);
        QTest::mouseClick(button, Qt::LeftButton);
        failed = failing_allocations::Failed();
      }
      const std::size_t posted = platform::messageQueue().pending();
      platform::messageQueue().discardAll();
      const std::vector<std::string> shown = ui->shownTexts();
      ui->clear();
      if (failed) {
        EXPECT_EQ(posted, 0u) << "a command posted though it failed";
        EXPECT_EQ(shown, std::vector<std::string>{"nedostatek paměti"});
      } else {
        EXPECT_EQ(posted, 1u);
        EXPECT_TRUE(shown.empty());
      }
      ASSERT_EQ(failing_allocations::LiveAllocations(), 0) << "allocations left behind the press";
    }
    EXPECT_GT(k, 2) << "the press allocated nothing of the program's";
  }
}

}  // namespace
