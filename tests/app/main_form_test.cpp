#include <QElapsedTimer>
#include <QEventLoop>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <cstdlib>
#include <optional>

#include "app/old_main_tool.h"
#include "framework/string_list.h"
#include "framework/system_register.h"
#include "gisblock/staged_block.h"
#include "killed_run.h"
#include "read_only.h"
#include "shell_fixture.h"

extern char** environ;

namespace {

TEST_F(ShellTest, StartWindowBuildsTheWorldAndHidesAfterThreeSeconds) {
  Tf_StartForm start;
  zelto::RunMessagesUntilIdle();
  ASSERT_NE(dynamic_cast<TMainTool*>(GetWorld()->GetMainTool()), nullptr);
  ASSERT_NE(MainForm(), nullptr);
  EXPECT_TRUE(MainForm()->isVisible());
  EXPECT_EQ(start.findChild<QLabel*>("lb_Verze"), start.lb_Verze);
  EXPECT_EQ(start.lb_Verze->text(), "3.1");
  EXPECT_TRUE(start.isVisible());
  EXPECT_LE((start.frameGeometry().center() - start.screen()->availableGeometry().center()).manhattanLength(), 2);
  EXPECT_EQ(start.Timer1->interval(), 3000);
  // The timer fires after 3 s; a loaded machine may deliver it later.
  QElapsedTimer clock;
  clock.start();
  while (start.isVisible() && clock.elapsed() < 15000) {
    QEventLoop wait;
    QTimer::singleShot(100, &wait, &QEventLoop::quit);
    wait.exec();
  }
  EXPECT_FALSE(start.isVisible());
  EXPECT_FALSE(start.Timer1->isActive());
}

TEST_F(ShellTest, DistrictDirectoryFillsCodesAndOutputPaths) {
  std::filesystem::create_directories(dir_ / "GIS" / "4107" / "01" / "DET.BLK");
  Start();
  TMainForm& form = *MainForm();
  EXPECT_EQ(form.Directory(), "D:\\GIS");  // the window opens on the data tree
  form.SetDirectory("D:\\GIS\\4107\\01");
  EXPECT_TRUE(form.DET->isChecked());
  EXPECT_EQ(form.edKodRevir->text(), "01");
  EXPECT_EQ(form.edLHC->text(), "4107");
  EXPECT_EQ(form.lbRevir->text(), "D:\\GIS\\4107\\01");
  EXPECT_EQ(form.lbLHC->text(), "D:\\GIS\\4107");

  form.SetDirectory("D:\\GIS\\4107");
  EXPECT_FALSE(form.DET->isChecked());
  EXPECT_TRUE(form.edKodRevir->text().isEmpty());
  EXPECT_TRUE(form.edLHC->text().isEmpty());
  EXPECT_EQ(form.lbRevir->text(), "D:\\GIS\\LHC\\RevirX");
  EXPECT_EQ(form.lbLHC->text(), "D:\\GIS\\LHCX");
  // The list shows where the user is, chosen.
  EXPECT_EQ(form.DirectoryListBox1->currentItem()->text(), "D:\\GIS\\4107");
}

// A district whose DET block an export killed between the two renames of
// its commit left only aside is a district still: entering it puts the
// block back, lists it under its name and fills the codes.
TEST_F(ShellTest, ADetBlockLeftAsideIsPutBackWhenItsDistrictIsEntered) {
  const std::filesystem::path det = dir_ / "GIS" / "4107" / "01" / "DET.BLK";
  WriteFile(det / "TN.ARE", "areas");
  ASSERT_TRUE(test_support::KilledAfterRenameTo(gisblock::StagedBlock::backupFor(det), [&det] {
    gisblock::StagedBlock::setExchangeInOneStep(false);
    gisblock::StagedBlock staged(det.string());
    if (staged.ok()) staged.commit();
  }));
  ASSERT_FALSE(std::filesystem::exists(det));
  Start();
  TMainForm& form = *MainForm();
  form.SetDirectory("D:\\GIS\\4107\\01");
  EXPECT_TRUE(form.DET->isChecked());
  EXPECT_EQ(form.edKodRevir->text(), "01");
  EXPECT_EQ(form.edLHC->text(), "4107");
  EXPECT_EQ(ReadFile(det / "TN.ARE"), "areas");
  EXPECT_EQ(form.DirectoryListBox1->findItems("DET.BLK", Qt::MatchExactly).size(), 1);
  EXPECT_TRUE(form.DirectoryListBox1->findItems(".DET.BLK.old", Qt::MatchExactly).isEmpty());
}

// Any block that a job killed between the two renames of its commit left
// only aside is put back when the list is read, and listed under its name as
// the disk spells it; one whose writer still lives stays aside, for the
// writer to put in place, and out of the list.
TEST_F(ShellTest, EveryBlockLeftAsideIsPutBackWhenTheListIsRead) {
  const std::filesystem::path district = dir_ / "GIS" / "4107" / "01";
  std::filesystem::create_directories(district / "DET.BLK");
  const struct {
    const char* block;
    bool writerLive;  // else the writer was killed
  } cases[] = {
      {"01_16PSK.BLK", false},
      {"01_19op.blk", false},
      {"_20CES.BLK", false},
      {"01_14DIL.BLK", true},
  };
  Start();
  TMainForm& form = *MainForm();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.block);
    const std::filesystem::path block = district / c.block, aside = gisblock::StagedBlock::backupFor(block);
    WriteFile(block / "TN.ARE", c.block);
    std::optional<gisblock::StagedBlock> writer;
    if (c.writerLive) {
      writer.emplace(block.string());
      ASSERT_TRUE(writer->ok()) << writer->error();
      std::filesystem::rename(block, aside);  // the first of its two renames
    } else {
      ASSERT_TRUE(test_support::KilledAfterRenameTo(aside, [&block] {
        gisblock::StagedBlock::setExchangeInOneStep(false);
        gisblock::StagedBlock staged(block.string());
        if (staged.ok()) staged.commit();
      }));
    }
    ASSERT_FALSE(std::filesystem::exists(block));
    form.SetDirectory("D:\\GIS\\4107\\01");
    EXPECT_EQ(form.DirectoryListBox1->findItems(c.block, Qt::MatchExactly).size(), c.writerLive ? 0 : 1);
    EXPECT_EQ(std::filesystem::exists(aside), c.writerLive);
    EXPECT_EQ(ReadFile((c.writerLive ? aside : block) / "TN.ARE"), c.block);
    for (int i = 0; i < form.DirectoryListBox1->count(); ++i)
      EXPECT_FALSE(form.DirectoryListBox1->item(i)->text().endsWith(".old", Qt::CaseInsensitive))
          << form.DirectoryListBox1->item(i)->text().toStdString();
  }
}

// A killed export leaves its staging directory, and the old block aside
// beside the new one it put in place, until the next export clears them:
// the list shows the blocks only.
TEST_F(ShellTest, TheDirectoryListLeavesOutWhatAKilledExportLeft) {
  const std::filesystem::path district = dir_ / "GIS" / "4107" / "01";
  for (const char* left : {".01_16PSK.BLK~4242-7.new", ".01_19op.blk~1-1.new", ".01_13ODD.BLK.new",
                           ".01_14DIL.BLK.old", "01_14DIL.BLK", ".cache", "DET.BLK", "01_16PSK.BLK"})
    std::filesystem::create_directories(district / left);
  Start();
  TMainForm& form = *MainForm();
  form.SetDirectory("D:\\GIS\\4107\\01");
  QStringList listed;
  for (int i = 2; i < form.DirectoryListBox1->count(); ++i) listed << form.DirectoryListBox1->item(i)->text();
  EXPECT_EQ(listed, QStringList({".cache", "01_14DIL.BLK", "01_16PSK.BLK", "DET.BLK"}))
      << listed.join(" ").toStdString();
  EXPECT_TRUE(std::filesystem::is_directory(district / ".01_14DIL.BLK.old"));
}

TEST_F(ShellTest, CodesThatAreNotDigitsFormNoOutputPath) {
  Start();
  TMainForm& form = *MainForm();
  for (const char* lhc : {"..\\..", "41\\07", "41/07", "x4107", "1234567"}) {
    form.edLHC->setText(lhc);
    form.edKodRevir->setText("01");
    EXPECT_EQ(form.lbRevir->text(), "D:\\GIS\\LHC\\RevirX") << lhc;
  }
  form.edLHC->setText("4107");
  for (const char* district : {"..", "0\\1", "011", " 1"}) {
    form.edKodRevir->setText(district);
    EXPECT_EQ(form.lbRevir->text(), "D:\\GIS\\LHC\\RevirX") << district;
  }
  form.edKodRevir->setText("01");
  EXPECT_EQ(form.lbRevir->text(), "D:\\GIS\\4107\\01");
}

TEST_F(ShellTest, MainWindowIsCentredAndItsCaptionNamesTheVersion) {
  Start();
  TMainForm& form = *MainForm();
  EXPECT_TRUE(form.windowTitle().contains(QRegularExpression("verze [0-9]+\\.[0-9]+")))
      << form.windowTitle().toStdString();
  const QPoint offset = form.frameGeometry().center() - form.screen()->availableGeometry().center();
  EXPECT_LE(offset.manhattanLength(), 2);
}

TEST_F(ShellTest, DrivesFromEnvironmentAndIniFileFromArguments) {
  std::string variable = "ZELTO_DRIVE_q=" + dir_.string();
  std::string ignored = "ZELTO_DRIVE_R=";
  char* environment[] = {variable.data(), ignored.data(), nullptr};
  EXPECT_EQ(app::ConfigureDrivesFromEnvironment(environment), "Q");
  EXPECT_EQ(framework::DriveDirectories().at('Q'), dir_);
  framework::RemoveDrive('Q');

  Start();
  WriteFile("x.ini", "[Options]\n");
  app::SetCommandLine({"data", "x.ini"});
  EXPECT_EQ(Tool().GetIniFileName(), "x.ini");
  // The options are the published properties after "LastIndex", in section
  // "Options" of that file.
  WriteFile("x.ini", "[Options]\nDataDirectory=D:\\DATA\nFullUseMemory=True\n");
  Tool().TOldMainTool::LoadSettings();
  auto* options = static_cast<TOptions*>(Tool().GetOptions());
  EXPECT_EQ(options->DataDirectory, "D:\\DATA");
  EXPECT_TRUE(options->FullUseMemory);
  options->WorkingDirectory = "D:\\PRACE";
  Tool().SaveSettings();
  EXPECT_NE(ReadFile("x.ini").find("WorkingDirectory=D:\\PRACE"), std::string::npos);
  EXPECT_EQ(ReadFile("x.ini").find("LastIndex"), std::string::npos);

  app::SetCommandLine({"missing.ini"});
  EXPECT_NE(Tool().GetIniFileName(), "missing.ini");
  EXPECT_TRUE(Tool().GetIniFileName().ends_with(".INI"));
  // Without one the file is kept with the user's settings (here WINDIR).
  EXPECT_EQ(std::filesystem::path(Tool().GetIniFileName()).parent_path(), dir_);
  app::SetCommandLine({});
}

// Options that cannot be kept: the user learns which file and why, once,
// and the file keeps what it held.
TEST_F(ShellTest, OptionsThatCannotBeSavedAreToldWithTheirCause) {
  Start();
  struct Case {
    const char* name;
    std::string held;  // what the file holds before
    bool readOnly;
    const char* cause;
  };
  const Case cases[] = {
      {"a settings file made read-only", "[Options]\r\nWorkingDirectory=D:\\STARA\r\n", true, "přístup odepřen"},
      // UTF-16 saved without its mark.
      {"a damaged settings file", std::string("\0[\0O\0p\0t\0i\0o\0n\0s\0]\0", 18), false,
       "soubor nelze číst: začíná nulovým bajtem, není uložen jako text ANSI, UTF-8 ani Unicode se značkou pořadí "
       "bajtů"},
  };
  const std::filesystem::path ini = dir_ / "work" / "x.ini";
  app::SetCommandLine({ini.string()});
  static_cast<TOptions*>(Tool().GetOptions())->WorkingDirectory = "D:\\PRACE";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(ini, c.held);
    ui_->clear();
    {
      std::optional<test_support::ReadOnlyTree> readOnly;
      if (c.readOnly) readOnly.emplace(ini);
      Tool().SaveSettings();
    }
    EXPECT_EQ(ui_->shownTexts(),
              std::vector<std::string>{"Nastavení nelze uložit do souboru " + ini.string() + ": " + c.cause});
    EXPECT_EQ(ReadFile(ini), c.held);
  }
  app::SetCommandLine({});
}

}  // namespace

namespace {

TEST_F(ShellTest, MissingCursorFileIsReportedAndTheNextOneTried) {
  Start();
  std::filesystem::remove(Tool().ProtocolFile());
  TStringListElement* cursors = GetWorld()->GetSystemRegister()->GetCursors();
  cursors->AddNamed("", dir_.string() + "/chybi.cur");
  cursors->AddNamed("", dir_.string() + "/taky.cur");
  Tool().LoadCursors();
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(ReadFile(Tool().ProtocolFile()), "Soubor kurzoru " + dir_.string() + "/chybi.cur nebyl nalezen\r\n" +
                                                 "Soubor kurzoru " + dir_.string() + "/taky.cur nebyl nalezen\r\n");
  EXPECT_FALSE(app::HasScreenCursor(1));
}

}  // namespace
