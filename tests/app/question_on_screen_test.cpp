// What the user sees under a window manager when a step of "Vše v revíru"
// is stopped: the question comes over every progress window still up, and
// the progress windows stay over the main window brought to the front. Runs on the X display of on_screen.sh; offscreen there is
// no stacking to see, and it is skipped.
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <sstream>

#include "app/progress_monitor.h"
#include "platform/codepage.h"
#include "platform/progress_form.h"
#include "platform/qt/progress_form_qt.h"
#include "platform/qt/qt_message_pump.h"
#include "platform/qt/qt_user_interaction.h"
#include "process.h"
#include "shell_fixture.h"

namespace {

namespace fs = std::filesystem;

// A window id that xprop lists after '#', lowest in the stack first.
std::vector<WId> RootWindows(const char* property) {
  const std::string listed = test_support::Capture(std::string("xprop -root ") + property);
  std::vector<WId> windows;
  const std::size_t ids = listed.find('#');
  if (ids == std::string::npos) return windows;
  std::istringstream in(listed.substr(ids + 1));
  for (std::string id; std::getline(in, id, ',');) windows.push_back(std::stoul(id, nullptr, 16));
  return windows;
}

bool Above(const std::vector<WId>& stacking, WId upper, WId lower) {
  const auto up = std::find(stacking.begin(), stacking.end(), upper);
  return up != stacking.end() && std::find(stacking.begin(), up, lower) != up;
}

// Whether the window manager has taken the window in: one Qt has just
// shown lies nowhere in the stacking until then, over no window and under
// none.
bool Stacked(const std::vector<WId>& stacking, const QWidget* window) {
  return std::find(stacking.begin(), stacking.end(), window->winId()) != stacking.end();
}

// The window's title, and why it was judged where it lay nowhere.
std::string Named(const std::vector<WId>& stacking, const QWidget* window) {
  return window->windowTitle().toStdString() + (Stacked(stacking, window) ? "" : " (never stacked)");
}

bool IsProgressWindow(const QWidget* window) {
  return dynamic_cast<const platform::qt::ProgressFormWidget*>(window) ||
         dynamic_cast<const TProgressMonitorForm*>(window);
}

std::vector<QWidget*> WindowsUp() {
  std::vector<QWidget*> up;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible()) up.push_back(window);
  return up;
}

// Plays the user while "Vše v revíru" runs, a tick at a time: once the
// whole export's window and a step's are up, brings the main window to
// the front, then stops the step; reads the question and answers OK, and
// any box that follows. Each wait for the window manager is bounded
// generously for a busy machine, and what it was for is told.
class ExportUser {
 public:
  explicit ExportUser(QWidget& main) : main_(main) {}

  void Tick() {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      if (box->text().startsWith(QString::fromUtf8("Přerušit"))) Answer(*box);
      else box->accept();
    } else if (Pressed.empty()) {
      Press();
    }
  }

  std::string Pressed;                 // the step stopped
  std::vector<std::string> UnderMain;  // progress windows the main window went over
  // Progress windows stacked over the question.
  std::vector<std::string> OverTheQuestion{"(no question came)"};

 private:
  static constexpr int kRaiseTicks = 250, kBoxTicks = 1500;

  void Press() {
    const QString whole = QString::fromUtf8("Export všech vrstev revíru");
    QWidget* step = nullptr;
    bool wholeUp = false;
    for (QWidget* window : WindowsUp()) {
      if (!dynamic_cast<platform::qt::ProgressFormWidget*>(window)) continue;
      if (window->windowTitle() == whole) wholeUp = true;
      else step = window;
    }
    if (!step || !wholeUp) return;
    // The main window, which the user may click while the work runs, comes
    // to the front: once it is over the program's other windows, its
    // progress windows must still be over it.
    if (!raised_) {
      test_support::Run("xdotool windowraise " + std::to_string(main_.winId()));
      raised_ = true;
    }
    // Judged once the window manager has stacked the main window and every
    // progress window up, each read before the stacking is.
    const std::vector<QWidget*> up = WindowsUp();
    const std::vector<WId> stacking = RootWindows("_NET_CLIENT_LIST_STACKING");
    const bool stacked = std::all_of(up.begin(), up.end(), [&](QWidget* w) {
      return (w != &main_ && !IsProgressWindow(w)) || Stacked(stacking, w);
    });
    const bool front = std::none_of(up.begin(), up.end(), [&](QWidget* w) {
      return w != &main_ && !IsProgressWindow(w) && Above(stacking, w->winId(), main_.winId());
    });
    if (!(stacked && front) && ++ticks_ < kRaiseTicks) return;
    ticks_ = 0;
    for (QWidget* window : up)
      if (IsProgressWindow(window) && !Above(stacking, window->winId(), main_.winId()))
        UnderMain.push_back(Named(stacking, window));
    Pressed = step->windowTitle().toStdString();
    step->findChild<QPushButton*>()->click();
  }

  void Answer(QMessageBox& box) {
    const bool exposed = box.windowHandle() && box.windowHandle()->isExposed();
    // The box and every progress window up are judged once the window
    // manager has stacked them; one it never did is told among those over
    // the box, as nothing says it is not.
    std::vector<QWidget*> progress = WindowsUp();
    std::erase_if(progress, [](QWidget* w) { return !IsProgressWindow(w); });
    const std::vector<WId> stacking = exposed ? RootWindows("_NET_CLIENT_LIST_STACKING") : std::vector<WId>{};
    const auto inStacking = [&](const QWidget* w) { return Stacked(stacking, w); };
    const bool stacked = inStacking(&box) && std::all_of(progress.begin(), progress.end(), inStacking);
    if (!stacked && ++ticks_ < kBoxTicks) return;
    OverTheQuestion.clear();
    if (!Stacked(stacking, &box)) OverTheQuestion.push_back("(the box was never stacked)");
    for (QWidget* window : progress)
      if (!Stacked(stacking, window) || Above(stacking, window->winId(), box.winId()))
        OverTheQuestion.push_back(Named(stacking, window));
    if (const char* shots = std::getenv("ZELTO_TEST_SHOTS")) {
      const QSize screen = box.screen()->size();
      box.screen()->grabWindow(0).save(
          QString("%1/question-%2x%3.png").arg(shots).arg(screen.width()).arg(screen.height()));
    }
    box.button(QMessageBox::Ok)->click();
  }

  QWidget& main_;
  bool raised_ = false;
  int ticks_ = 0;
};

// The program's own services: the boxes and progress windows on screen,
// the jobs letting Qt's events through.
class QuestionOnScreenTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X display with a window manager";
    pump_.emplace();
    platform::setUi(&screenUi_);
    platform::setProgressForms(&screenForms_);
  }
  void TearDown() override {
    platform::setProgressForms(nullptr);
    platform::setUi(&*ui_);
    ShellTest::TearDown();
    pump_.reset();
  }

  std::optional<platform::qt::QtMessagePump> pump_;
  platform::qt::QtUserInteraction screenUi_;
  platform::qt::QtProgressForms screenForms_;
};

// A district whose levels take the export a few seconds each.
TEST_F(QuestionOnScreenTest, TheQuestionOfAStoppedStepLiesOverEveryProgressWindow) {
  const fs::path& tree = test_support::GeneratedTree("--seed 1 --size 200x190");
  if (tree.empty()) GTEST_SKIP() << "python3 not installed";
  fs::copy(tree, dir_, fs::copy_options::recursive);
  Start();
  TMainForm& form = *MainForm();
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  form.SetDirectory("D:\\GIS\\4107\\01");
  form.btCtiRevir->click();
  zelto::RunMessagesUntilIdle();
  ASSERT_TRUE(form.btVse->isEnabled());

  ExportUser user(form);
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] { user.Tick(); });
  tick.start(20);
  form.btVse->click();
  zelto::RunMessagesUntilIdle();
  tick.stop();

  ASSERT_FALSE(user.Pressed.empty()) << "the export ended before a step's window came up beside the whole export's";
  EXPECT_EQ(user.UnderMain, std::vector<std::string>{});
  EXPECT_EQ(user.OverTheQuestion, std::vector<std::string>{}) << "stopped " << user.Pressed;
  // OK stopped the whole export.
  EXPECT_NE(ReadFile(Tool().ProtocolFile()).find(platform::fromUtf8("přerušen uživatelem", platform::CodePage::Windows1250)),
            std::string::npos);
}

}  // namespace
