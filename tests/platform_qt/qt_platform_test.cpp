#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "platform/qt/progress_form_qt.h"
#include "platform/qt/qt_message_pump.h"
#include "platform/qt/qt_user_interaction.h"
#include "framework/entity.h"
#include "framework/message_dispatch.h"
#include "framework/zelto_message.h"

namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "test_platform_qt";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

class Task : public platform::PostedTask {
 public:
  explicit Task(std::function<void()> body) : body_(std::move(body)) {}
  void run() override { body_(); }

 private:
  std::function<void()> body_;
};

TEST(QtPlatform, PostedWorkArrivesThroughTheEventLoop) {
  App();
  platform::MessageQueue queue;
  platform::qt::QtMessagePump pump(queue);
  std::vector<int> order;
  queue.post(std::make_unique<Task>([&] {
    order.push_back(1);
    queue.post(std::make_unique<Task>([&] { order.push_back(3); }));
  }));
  queue.post(std::make_unique<Task>([&] { order.push_back(2); }));
  EXPECT_TRUE(order.empty());
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  // Long work that lets pending work through goes through Qt as well.
  queue.post(std::make_unique<Task>([&] { order.push_back(4); }));
  queue.processPending();
  EXPECT_EQ(order.back(), 4);
  EXPECT_EQ(queue.pending(), 0u);
}

TEST(QtPlatform, StandardButtonsSpeakCzech) {
  App();
  ASSERT_TRUE(platform::qt::InstallCzechTranslation()) << "qt6-translations-l10n is not installed";
  QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove('&'), "Ano");
  EXPECT_EQ(box.button(QMessageBox::No)->text().remove('&'), "Ne");
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove('&'), "Zrušit");
}

TEST(QtPlatform, MessageBoxesAnswerWithThePressedButton) {
  App();
  platform::qt::QtUserInteraction ui;
  QString seen;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen = box->text();
    box->button(QMessageBox::No)->click();
  });
  auto answer = ui.showMessage("Opravdu ukončit aplikaci ?", platform::MessageKind::Confirmation,
                               platform::Buttons::YesNo);
  EXPECT_EQ(answer, platform::Answer::No);
  EXPECT_EQ(seen, QString::fromUtf8("Opravdu ukončit aplikaci ?"));
  ui.setBusy(true);
  EXPECT_NE(QApplication::overrideCursor(), nullptr);
  ui.setBusy(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The log box asks to press "Ignore" (its text ends "(Zrušit výpisy -
// Ignore)"); the button the user clicks carries that word, in Czech too.
TEST(QtPlatform, TheIgnoreButtonIsCalledAsTheLogBoxSaysIt) {
  App();
  platform::qt::InstallCzechTranslation();
  platform::qt::QtUserInteraction ui;
  QStringList captions;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* button : box->buttons()) captions << button->text().remove('&');
    QAbstractButton* ignore = box->button(QMessageBox::Ignore);
    ASSERT_NE(ignore, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    QTest::mouseClick(ignore, Qt::LeftButton, {}, ignore->rect().center());
  });
  const auto answer = ui.showMessage("Plocha bez čísla\r(Zrušit výpisy - Ignore)", platform::MessageKind::Warning,
                                     platform::Buttons::OkIgnore);
  EXPECT_EQ(answer, platform::Answer::Ignore);
  EXPECT_TRUE(captions.contains("Ignore")) << captions.join(", ").toStdString();
  EXPECT_FALSE(captions.contains(QString::fromUtf8("Ignorovat")));
}


// A window kept above all others, as the start window is for its first
// seconds, would lie over a box that waits for an answer: while the box
// is up, whichever service puts it up, that window is gone.
TEST(QtPlatform, AWindowKeptOnTopStepsAsideForABox) {
  App();
  const std::vector<std::pair<const char*, std::function<void()>>> boxes = {
      {"a message", [] { platform::qt::QtUserInteraction().showMessage("Chybná hodnota", platform::MessageKind::Error); }},
      {"the stop question", [] { platform::qt::QtProgressForms().confirmBreak("Přerušit export ploch ?"); }},
  };
  for (const auto& [what, show] : boxes) {
    SCOPED_TRACE(what);
    QWidget onTop(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    onTop.resize(320, 160);
    onTop.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&onTop));
    bool boxSeen = false, onTopShown = true;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      boxSeen = QTest::qWaitForWindowExposed(box);
      onTopShown = onTop.isVisible();
      box->button(box->buttons().size() > 1 ? QMessageBox::Cancel : QMessageBox::Ok)->click();
    });
    show();
    EXPECT_TRUE(boxSeen);
    EXPECT_FALSE(onTopShown);
  }
}

class TMainToolDouble : public TOwnerEntity {
 public:
  std::vector<std::string> texts;
  void HandleMessage(TZeltoMessage*& message, bool& handled) override {
    if (auto* text = dynamic_cast<TZeltoTextMessage*>(message)) texts.push_back(text->Text);
    handled = true;
  }
};

TEST(QtPlatform, FrameworkMessagesReachTheMainToolThroughTheEventLoop) {
  App();
  platform::qt::QtMessagePump pump;  // on the process's queue
  TMainToolDouble mainTool;
  zelto::SetMainToolResolver([&] { return &mainTool; });
  PostTextMessage(nullptr, 8, "Načítání modelu");
  EXPECT_TRUE(mainTool.texts.empty());
  QCoreApplication::processEvents();
  EXPECT_EQ(mainTool.texts, (std::vector<std::string>{"Načítání modelu"}));
  zelto::SetMainToolResolver(nullptr);
}

}  // namespace
