#include <QCheckBox>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <memory>

#include "framework/property_access.h"
#include "pipe_watch.h"
#include "platform/system_cause.h"
#include "read_only.h"
#include "platform/codepage.h"
#include "platform/path_resolver.h"

#include "app/progress_monitor.h"
#include "framework/wcs.h"
#include "render/qt/memo_form_device.h"
#include "shell_fixture.h"

namespace {

using platform::Answer;

std::string Cp1250(const std::string& text) { return platform::fromUtf8(text, platform::CodePage::Windows1250); }

TEST_F(ShellTest, StartBuildsWorldMainToolWindowAndReadsSettings) {
  WriteFile(dir_ / "TERGELIX.INI", "[DET]\nDruhPorostniSkupiny=111\n[GLOBAL]\nSpodniMezJine=550\n");
  Start();
  ASSERT_NE(dynamic_cast<TWCSWorld*>(GetWorld()), nullptr);
  ASSERT_NE(dynamic_cast<TMainTool*>(GetWorld()->GetMainTool()), nullptr);
  ASSERT_NE(MainForm(), nullptr);
  EXPECT_EQ(MainForm()->MainTool, &Tool());
  EXPECT_FALSE(MainForm()->CloseAllowed);
  EXPECT_EQ(Tool().ProtocolFile(), (dir_ / "work" / "0001.PTC").string());
  EXPECT_EQ(Tool().StartSettings().DruhPorostniSkupiny, 111);
  EXPECT_EQ(Tool().StartSettings().DruhPrazdnePlochy, 134);
  EXPECT_EQ(Tool().StartSettings().SpodniMezJine, 550);
  EXPECT_EQ(Tool().StartSettings().SpodniMezOstatni, 900);
  // The jobs find the hierarchy tools by name.
  EXPECT_NE(Tool().FindToolByName("Vytvoř lesnickou hierarchii"), nullptr);
  EXPECT_NE(Tool().FindToolByName("Výběr linií do hierarchie"), nullptr);
  // Framework messages without a receiver reach the main tool.
  EXPECT_EQ(zelto::ResolveMainTool(), &Tool());
}

TEST_F(ShellTest, ProtocolFileIsTheFirstFreeNumberThenExportPtc) {
  Start();
  WriteFile("0001.PTC", "");
  WriteFile("0002.PTC", "");
  Tool().ChooseProtocolFile();
  EXPECT_EQ(std::filesystem::path(Tool().ProtocolFile()).filename(), "0003.PTC");
  for (int n = 3; n <= 9999; ++n) WriteFile(std::to_string(10000 + n).substr(1) + ".PTC", "");
  Tool().ChooseProtocolFile();
  EXPECT_EQ(std::filesystem::path(Tool().ProtocolFile()).filename(), "10000.PTC");
  WriteFile("10000.PTC", "");
  WriteFile("EXPORT.PTC", "old\r\n");
  Tool().ChooseProtocolFile();
  EXPECT_EQ(std::filesystem::path(Tool().ProtocolFile()).filename(), "EXPORT.PTC");
  PostTextMessage(nullptr, zelto::msg::LogText, "new");
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(ReadFile("EXPORT.PTC"), "old\r\nnew\r\n");
}

TEST_F(ShellTest, ARunStartedBesideAnotherKeepsItsProtocolApart) {
  Start();
  Tool().ChooseProtocolFile();
  const std::string chosen = Tool().ProtocolFile();
  // The other run, started in the same directory, wrote its first line
  // before this one did.
  WriteFile(chosen, "jiný běh\r\n");
  PostTextMessage(nullptr, zelto::msg::LogText, "tento běh");
  PostTextMessage(nullptr, zelto::msg::LogText, "a dál");
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(ReadFile(chosen), "jiný běh\r\n");
  ASSERT_NE(Tool().ProtocolFile(), chosen);
  EXPECT_EQ(ReadFile(Tool().ProtocolFile()), Cp1250("tento běh\r\na dál\r\n"));
}

// Whatever lies under a protocol's name takes it, as a file does: a link
// (to nowhere too), a directory or a named pipe, there at the start or put
// there before the run's first line. The protocol goes to the next free
// name, without a word and without waiting on the pipe; what lay there is
// left as it was.
TEST_F(ShellTest, ANameTakenInAnyWayIsSkippedForTheNextFreeOne) {
  namespace fs = std::filesystem;
  Start();
  std::vector<test_support::NoFile> rows = test_support::NoFiles();
  rows.push_back({"a link to a file", [](const fs::path& file) {
                    return fs::create_symlink(file.parent_path() / "jiný.PTC", file), nullptr;
                  }});
  WriteFile("jiný.PTC", "cizí\r\n");
  for (const bool beforeTheChoice : {true, false}) {
    for (const test_support::NoFile& row : rows) {
      SCOPED_TRACE(std::string(row.what) + (beforeTheChoice ? ", at the start" : ", after the choice"));
      const fs::path taken = fs::current_path() / "0001.PTC";
      std::unique_ptr<test_support::PipeWatch> pipe;
      if (beforeTheChoice) pipe = row.put(taken);
      Tool().ChooseProtocolFile();
      if (beforeTheChoice) {
        EXPECT_EQ(Tool().ProtocolFile(), (fs::current_path() / "0002.PTC").string());
      } else {
        ASSERT_EQ(Tool().ProtocolFile(), taken.string());
        pipe = row.put(taken);
      }
      ui_->clear();
      {
        const test_support::InterruptAfter bound(3);
        for (const char* text : {"první", "druhý", "třetí"}) PostTextMessage(nullptr, zelto::msg::LogText, text);
        zelto::RunMessagesUntilIdle();
      }
      EXPECT_EQ(ui_->shownTexts(), std::vector<std::string>{});
      EXPECT_EQ(Tool().ProtocolFile(), (fs::current_path() / "0002.PTC").string());
      EXPECT_EQ(ReadFile(Tool().ProtocolFile()), Cp1250("první\r\ndruhý\r\ntřetí\r\n"));
      EXPECT_EQ(ReadFile("jiný.PTC"), "cizí\r\n");
      if (pipe) {
        EXPECT_FALSE(pipe->waitedOn()) << "opened the pipe";
      }
      pipe.reset();
      fs::remove_all(taken);
      fs::remove(Tool().ProtocolFile());
    }
  }
  // Where no free name can be made, the one box tells why.
  fs::create_symlink(fs::current_path() / "chybí" / "0001.PTC", "0001.PTC");
  Tool().ChooseProtocolFile();
  ui_->clear();
  {
    const test_support::ReadOnlyTree readOnly(fs::current_path());
    for (const char* text : {"první", "druhý", "třetí"}) PostTextMessage(nullptr, zelto::msg::LogText, text);
    zelto::RunMessagesUntilIdle();
  }
  EXPECT_EQ(ui_->shownTexts(), std::vector<std::string>{
                                   "Soubor " + platform::pathResolver().userSpelling((fs::current_path() / "0002.PTC").string()) + " nelze zapsat: " +
                                   platform::systemCause(std::make_error_code(std::errc::permission_denied))});
  EXPECT_FALSE(fs::exists(fs::current_path() / "0002.PTC"));
}

TEST_F(ShellTest, LogTextsReachLogWindowAndProtocolFile) {
  Start();
  std::filesystem::remove(Tool().ProtocolFile());
  PostTextMessage(nullptr, zelto::msg::LogText, "Chybí řídicí soubor");
  PostTextMessage(nullptr, zelto::msg::LogText, "");
  Tool().SetProtocol("; Export linií");
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(ReadFile(Tool().ProtocolFile()), Cp1250("Chybí řídicí soubor\r\n\r\n; Export linií\r\n"));
  ASSERT_NE(Tool().LogDevice(), nullptr);
  EXPECT_TRUE(Tool().LogDevice()->GetForm()->Text()->toPlainText().contains("Chybí řídicí soubor"));
  EXPECT_TRUE(Tool().LogDevice()->GetForm()->isVisible());
  EXPECT_TRUE(ui_->shown().empty());  // the listing switch is off

  // The user closes the log window: the next text opens a new one.
  ui_->queueAnswer(Answer::No);  // not saved
  Tool().LogDevice()->GetForm()->close();
  zelto::RunMessagesUntilIdle();
  PostTextMessage(nullptr, zelto::msg::LogText, "znovu");
  zelto::RunMessagesUntilIdle();
  ASSERT_NE(Tool().LogDevice(), nullptr);
  EXPECT_TRUE(Tool().LogDevice()->GetForm()->Text()->toPlainText().contains("znovu"));
  EXPECT_TRUE(Tool().LogDevice()->GetForm()->isVisible());
}

// A text of several lines (a table that could not be made, and why) is one
// line of the protocol, its cause with it.
TEST_F(ShellTest, ATextOfSeveralLinesIsOneLineOfTheProtocol) {
  Start();
  std::filesystem::remove(Tool().ProtocolFile());
  PostTextMessage(nullptr, zelto::msg::LogText,
                  "; Nemohu vytvořit tabulku D:\\P1600.DBF\nChybové hlášení: \nna disku není místo\r\nkonec");
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(ReadFile(Tool().ProtocolFile()),
            Cp1250("; Nemohu vytvořit tabulku D:\\P1600.DBF Chybové hlášení: na disku není místo konec\r\n"));
}

// The protocol replaced after its first line by a named pipe, a directory
// or a link to nowhere: the next line neither waits on the pipe for ever
// nor goes without a word. That the protocol cannot be written is told
// once, not at every line.
TEST_F(ShellTest, AProtocolReplacedByWhatIsNoFileIsToldOnceAndNeverWaitedOn) {
  using namespace std::chrono_literals;
  namespace fs = std::filesystem;
  Start();
  for (const test_support::NoFile& row : test_support::NoFiles()) {
    SCOPED_TRACE(row.what);
    Tool().ChooseProtocolFile();
    const fs::path protocol = Tool().ProtocolFile();
    PostTextMessage(nullptr, zelto::msg::LogText, "první");
    zelto::RunMessagesUntilIdle();
    ASSERT_EQ(ReadFile(protocol), Cp1250("první\r\n"));
    fs::remove(protocol);
    const std::unique_ptr<test_support::PipeWatch> pipe = row.put(protocol);
    ui_->clear();
    {
      // A wait on the pipe ends here, and the test fails on it.
      const test_support::InterruptAfter bound(3);
      const auto start = std::chrono::steady_clock::now();
      PostTextMessage(nullptr, zelto::msg::LogText, "druhý");
      PostTextMessage(nullptr, zelto::msg::LogText, "třetí");
      zelto::RunMessagesUntilIdle();
      EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << "waited on the protocol";
    }
    EXPECT_EQ(ui_->shownTexts(), std::vector<std::string>{"Soubor " + platform::pathResolver().userSpelling(protocol) + " nelze zapsat: " + row.cause});
    if (pipe) {
      EXPECT_FALSE(pipe->waitedOn()) << "opened the pipe";
    }
    fs::remove_all(protocol);
  }
}

// The first text comes while a box waits for the user, as the end of an LHC
// merge comes: the log window goes up once the box has gone (under it, it
// would stay behind the main window), beside the main window and clear of
// its buttons, whatever was active when the text came.
TEST_F(ShellTest, TheLogWindowOfATextThatCameUnderABoxGoesUpAfterItBesideTheMainWindow) {
  using namespace std::chrono_literals;
  Start();
  TMainForm& main = *MainForm();
  QMessageBox box(QMessageBox::Information, "ZELTO", "Konec tvorby LHC", QMessageBox::Ok);
  bool upUnderTheBox = true;
  QTimer::singleShot(0, &box, [&] {
    PostTextMessage(nullptr, zelto::msg::LogText, "; Blok _11LHC.BLK zapsán");
    zelto::RunMessagesUntilIdle();
    QTimer::singleShot(300ms, &box, [&] {
      upUnderTheBox = Tool().LogDevice() && Tool().LogDevice()->GetForm()->isVisible();
      box.accept();
    });
  });
  box.exec();
  EXPECT_FALSE(upUnderTheBox);
  ASSERT_NE(Tool().LogDevice(), nullptr);
  QWidget* log = Tool().LogDevice()->GetForm();
  QElapsedTimer waited;
  waited.start();
  while (!log->isVisible() && waited.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  ASSERT_TRUE(log->isVisible());
  const QRect placed = log->frameGeometry();
  EXPECT_TRUE(log->screen()->availableGeometry().contains(placed));
  for (const QPushButton* button : main.findChildren<QPushButton*>())
    EXPECT_FALSE(placed.intersects(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())))
        << button->text().toStdString();
}

TEST_F(ShellTest, ListingSwitchShowsBoxesUntilIgnored) {
  Start();
  MainForm()->CBVypis->setChecked(true);
  ui_->queueAnswer(Answer::Ok);
  PostTextMessage(nullptr, zelto::msg::LogText, "první");
  PostTextMessage(nullptr, zelto::msg::LogText, ";průběh");
  PostTextMessage(nullptr, zelto::msg::LogText, "");
  zelto::RunMessagesUntilIdle();
  ASSERT_EQ(ui_->shown().size(), 1u);
  EXPECT_EQ(ui_->shown()[0].text, "první\r(Zrušit výpisy - Ignore)");
  EXPECT_EQ(ui_->shown()[0].buttons, platform::Buttons::OkIgnore);
  EXPECT_TRUE(MainForm()->CBVypis->isChecked());

  ui_->queueAnswer(Answer::Ignore);
  PostTextMessage(nullptr, zelto::msg::LogText, "druhá");
  PostTextMessage(nullptr, zelto::msg::LogText, "třetí");
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(ui_->shown().size(), 2u);
  EXPECT_FALSE(MainForm()->CBVypis->isChecked());
  EXPECT_NE(ReadFile(Tool().ProtocolFile()).find(Cp1250(";průběh\r\n\r\ndruhá\r\ntřetí\r\n")), std::string::npos);
}

TEST_F(ShellTest, CloseAsksAndOnlyYesEnds) {
  Start();
  for (Answer answer : {Answer::No, Answer::Cancel}) {
    ui_->queueAnswer(answer);
    MainForm()->BitBtn1->click();
    zelto::RunMessagesUntilIdle();
    EXPECT_FALSE(Tool().TerminateRequested());
  }
  // Closing the window by its title bar asks the same question.
  ui_->queueAnswer(Answer::Yes);
  EXPECT_FALSE(MainForm()->close());
  zelto::RunMessagesUntilIdle();
  EXPECT_TRUE(Tool().TerminateRequested());
  ASSERT_EQ(ui_->shown().size(), 3u);
  EXPECT_EQ(ui_->shown()[2].text, "Opravdu ukončit aplikaci ?");
  EXPECT_EQ(ui_->shown()[2].buttons, platform::Buttons::YesNoCancel);
  // Ended outside a running loop, the application would end every later
  // loop at once (the modal windows of the tests after this one); a loop
  // run to its end clears that.
  QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

TEST_F(ShellTest, ProgressMessagesDriveOneWindowPerRunningTool) {
  Start();
  auto* outer = new TTool;
  auto* inner = new TTool;
  Tool().AppendTool(outer);
  Tool().AppendTool(inner);
  outer->BeginProgress("Čtení", 0, 10);
  zelto::RunMessagesUntilIdle();
  TProgressMonitor* monitor = Tool().ProgressMonitor();
  ASSERT_NE(monitor, nullptr);
  // Up to now the step could have ended: nothing on screen yet.
  EXPECT_FALSE(monitor->Form()->isVisible());
  EXPECT_EQ(monitor->Form()->height(), 105);

  inner->BeginProgress("Uzlování", 0, 0);
  outer->StepProgress(4);
  inner->ProgressText("uzel 7");
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(monitor->Form()->height(), 210);
  TProcessMonitor* first = monitor->FindProcessMonitor(outer);
  TProcessMonitor* second = monitor->FindProcessMonitor(inner);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->GetProcessName(), "Čtení");
  EXPECT_EQ(first->GetProgress(), 4);
  EXPECT_EQ(first->Form()->ProgressBar->text(), "4 / 10");
  EXPECT_EQ(first->GetMaxProgress(), 10);
  EXPECT_FALSE(first->Form()->ProgressBar->isHidden());
  EXPECT_EQ(second->GetText(), "uzel 7");
  EXPECT_TRUE(second->Form()->ProgressBar->isHidden());
  // Running on, the work has its window up with both tools in it.
  QElapsedTimer since;
  since.start();
  // However loaded the machine, the window is up once the delay has passed.
  while (!monitor->Form()->isVisible() && since.elapsed() < 20000) {
    outer->StepProgress(5);
    zelto::RunMessagesUntilIdle();
    QThread::msleep(20);
  }
  EXPECT_TRUE(monitor->Form()->isVisible());
  EXPECT_TRUE(first->Form()->l_ProcessName->isVisible());
  for (const char* name : {"Image", "l_ProcessName", "l_Text", "ProgressBar"})
    EXPECT_NE(monitor->Form()->findChild<QWidget*>(name), nullptr) << name;
  EXPECT_EQ(first->Form()->ProgressBar->text(), "5 / 10");
  EXPECT_TRUE(second->Form()->l_Text->isVisible());

  inner->EndProgress();
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(monitor->Form()->height(), 105);
  EXPECT_EQ(monitor->FindProcessMonitor(inner), nullptr);

  outer->EndProgress();
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(Tool().ProgressMonitor(), nullptr);

  outer->BeginProgress("Znovu", 0, 5);
  zelto::RunMessagesUntilIdle();
  ASSERT_NE(Tool().ProgressMonitor(), nullptr);
  EXPECT_EQ(Tool().ProgressMonitor()->FindProcessMonitor(outer)->GetProcessName(), "Znovu");

  // A tool freed in the middle of its work takes its window with it.
  Tool().DeleteTool(outer);
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(Tool().ProgressMonitor(), nullptr);
}

TEST_F(ShellTest, SettingTheSameOptionSetKeepsIt) {
  Start();
  TBaseOptions* options = Tool().GetOptions();
  ASSERT_NE(dynamic_cast<TOptions*>(options), nullptr);
  Tool().SetOptions(options);
  ASSERT_EQ(Tool().GetOptions(), options);
  EXPECT_TRUE(SetPropTextByName(options, "DataDirectory", "D:\\GIS"));
  auto* replacement = new TOptions;
  Tool().SetOptions(replacement);
  EXPECT_EQ(Tool().GetOptions(), replacement);
}

// What the user chose is named, never a placeholder, and every refused job
// leaves its line in the protocol.
TEST_F(ShellTest, RefusedCommandsNameWhatTheUserChoseAndLeaveAProtocolLine) {
  WriteFile(dir_ / "TERGELIX.INI", "[DET]\nDruhPorostniSkupiny=70000\n");
  for (const char* district : {"4107/R01", "LHC4107/01"})
    std::filesystem::create_directories(dir_ / "GIS" / district / "DET.BLK");
  Start();
  TMainForm& form = *MainForm();
  form.SetDirectory("D:\\GIS\\4107\\R01");
  Post(95);
  form.SetDirectory("D:\\GIS\\LHC4107\\01");
  Post(104);
  Post(86);
  form.edLHC->setText("4107");
  Post(103);
  Post(117);
  const std::string wrongKind = "Chybná hodnota DruhPorostniSkupiny = \"70000\" v sekci DET souboru TERGELIX.INI";
  ASSERT_EQ(ui_->shownTexts().size(), 5u);
  EXPECT_EQ(ui_->shownTexts()[0], "Špatný kód revíru: R01");
  EXPECT_EQ(ui_->shownTexts()[1], "Špatný kód LHC: LHC4107");
  EXPECT_EQ(ui_->shownTexts()[2], "Špatný kód LHC: LHC4107");
  EXPECT_EQ(ui_->shownTexts()[3].rfind(wrongKind, 0), 0u) << ui_->shownTexts()[3];
  EXPECT_EQ(ui_->shownTexts()[4], ui_->shownTexts()[3]);
  const std::string protocol = ReadFile(Tool().ProtocolFile());
  for (const std::string& line : std::vector<std::string>{"; Export vrstvy 16PSK – neprovedeno: Špatný kód revíru: R01\r\n",
                                 "; Tvorba vrstvy LHC – neprovedeno: Špatný kód LHC: LHC4107\r\n",
                                 "; Export linií 2100 – neprovedeno: Špatný kód LHC: LHC4107\r\n",
                                 "; Export všech vrstev revíru – neprovedeno: " + wrongKind,
                                 "; Tvorba vrstvy ZRO – neprovedeno: " + wrongKind})
    EXPECT_NE(protocol.find(Cp1250(line)), std::string::npos) << line;
}

TEST_F(ShellTest, UnknownCodesDoNothing) {
  Start();
  std::filesystem::remove(Tool().ProtocolFile());
  Post(96);
  Post(106);
  EXPECT_TRUE(ui_->shown().empty());
}

}  // namespace
