#include <QTest>
#include <fstream>
#include <iterator>

#include "areas/forest_space_unit.h"
#include "dbf_rows.h"
#include "shell_fixture.h"

namespace {

// The areas written are checked against the generator in the jobs' own
// tests; here the button, the refusals while it runs and the names the user
// chose.
TEST_F(ShellTest, TheStandGroupButtonExportsTheDistrictReadBefore) {
  if (!StartWithDistrictRead()) GTEST_SKIP() << "python3 not installed";
  TMainForm& form = *MainForm();
  ASSERT_EQ(form.lbRevir->text().toStdString(), "D:\\GIS\\4107\\01");
  ASSERT_NE(Tool().ForestRoot(), nullptr);

  // "Čti revír" pressed while the export runs would free the hierarchy
  // under it, "Konec" would ask to end in its middle; both are refused with
  // a beep.
  TForestSpaceUnit* root = Tool().ForestRoot();
  const int beeps = ui_->beeps();
  form.btExpPlochPSk->click();
  form.btCtiRevir->click();
  form.BitBtn1->click();
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(ui_->beeps() - beeps, 3);  // the two refusals and the export's end
  EXPECT_EQ(Tool().ForestRoot(), root);
  EXPECT_TRUE(form.isEnabled());
  EXPECT_TRUE(ui_->shownTexts().empty()) << ui_->shownTexts().front();
  const std::filesystem::path block = dir_ / "GIS" / "4107" / "01" / "01_16PSK.BLK";
  ASSERT_TRUE(std::filesystem::is_directory(block));
  EXPECT_TRUE(std::filesystem::exists(block / "TN.ARE"));
  // The block and its log line name it as the user chose it, never the
  // directory it was written in before it took the old one's place.
  std::ifstream ttx(block / "TN.TTX", std::ios::binary);
  const std::string banner((std::istreambuf_iterator<char>(ttx)), {});
  EXPECT_NE(banner.find("blok D:\\GIS\\4107\\01\\01_16PSK.BLK\r\n"), std::string::npos) << banner;
  std::ifstream protocol(Tool().ProtocolFile(), std::ios::binary);
  const std::string lines((std::istreambuf_iterator<char>(protocol)), {});
  EXPECT_NE(lines.find("; Blok D:\\GIS\\4107\\01\\01_16PSK.BLK zaps"), std::string::npos) << lines;
  // Another district may not be read into this run any more.
  EXPECT_FALSE(form.btCtiRevir->isEnabled());

  // The hierarchy stays: a second level follows without a new read.
  Post(98);
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "GIS" / "4107" / "01" / "01_13ODD.BLK"));
}

// The level buttons stay enabled after the first export, and a double-click
// changes the output to the district chosen: the district read is never
// written under that one's name.
TEST_F(ShellTest, ALevelButtonRefusesTheOutputOfAnotherDistrict) {
  if (!StartWithDistrictRead()) GTEST_SKIP() << "python3 not installed";
  TMainForm& form = *MainForm();
  form.SetDirectory("D:\\GIS\\4107\\02");
  ui_->clear();
  form.btExpPlochPSk->click();
  form.btVse->click();
  zelto::RunMessagesUntilIdle();
  const std::string box = "Načten je revír D:\\GIS\\4107\\01, výstup je zvolen do revíru D:\\GIS\\4107\\02:";
  ASSERT_EQ(ui_->shownTexts().size(), 2u);
  EXPECT_EQ(ui_->shownTexts()[0].rfind(box, 0), 0u) << ui_->shownTexts()[0];
  EXPECT_EQ(ui_->shownTexts()[1], ui_->shownTexts()[0]);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "GIS" / "4107" / "02" / "02_16PSK.BLK"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "GIS" / "4107" / "02" / "02_94REG.BLK"));
}

// A refused export writes nothing and changes nothing, so the district the
// box tells the user to read can still be read; once a level has been
// written, the box asks for what can still be done in this run.
TEST_F(ShellTest, ARefusedExportLeavesTheReadButtonsToTheUser) {
  if (!StartWithDistrictRead()) GTEST_SKIP() << "python3 not installed";
  TMainForm& form = *MainForm();
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  auto press = [](QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    zelto::RunMessagesUntilIdle();
  };
  form.SetDirectory("D:\\GIS\\4107\\02");
  ui_->clear();
  press(form.btExpPlochPSk);
  press(form.btVse);
  ASSERT_EQ(ui_->shownTexts().size(), 2u);
  EXPECT_NE(ui_->shownTexts()[0].find("Načtěte revír výstupu"), std::string::npos) << ui_->shownTexts()[0];
  EXPECT_TRUE(form.btCtiRevir->isEnabled());
  EXPECT_TRUE(form.btLHC->isEnabled());
  // The advice followed: district 02 is read and exported.
  press(form.btCtiRevir);
  ui_->clear();
  press(form.btExpPlochPSk);
  EXPECT_TRUE(ui_->shownTexts().empty()) << ui_->shownTexts().front();
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "GIS" / "4107" / "02" / "02_16PSK.BLK"));
  EXPECT_FALSE(form.btCtiRevir->isEnabled());
  EXPECT_FALSE(form.btLHC->isEnabled());

  // Now district 02 stays for the run: the box says how to go on.
  form.SetDirectory("D:\\GIS\\4107\\01");
  press(form.btExpDil);
  ASSERT_EQ(ui_->shownTexts().size(), 1u);
  const std::string box = ui_->shownTexts()[0];
  EXPECT_EQ(box.find("Načtěte revír výstupu"), std::string::npos) << box;
  EXPECT_NE(box.find("Zvolte výstup načteného revíru"), std::string::npos) << box;
  EXPECT_NE(box.find("novém spuštění programu"), std::string::npos) << box;
  // Which is not all: a refusal for files changed since the read gives the
  // read back too (below).
  EXPECT_NE(box.find("export odmítne načtený revír jako od načtení změněný"), std::string::npos) << box;
  EXPECT_FALSE(std::filesystem::exists(dir_ / "GIS" / "4107" / "01" / "01_14DIL.BLK"));
}

// An export refused because the district's table was saved since the read
// gives the read back to the user: the hierarchy read serves no export any
// more, and the district read again is exported.
TEST_F(ShellTest, AnExportRefusedForATableSavedSinceTheReadLetsTheDistrictBeReadAgain) {
  if (!StartWithDistrictRead()) GTEST_SKIP() << "python3 not installed";
  TMainForm& form = *MainForm();
  const std::filesystem::path district = dir_ / "GIS" / "4107" / "01";
  form.btExpPlochPSk->click();
  zelto::RunMessagesUntilIdle();
  ASSERT_FALSE(form.btCtiRevir->isEnabled());
  ASSERT_FALSE(form.btLHC->isEnabled());
  test_support::SetRawField(district / "DET.BLK" / "P0110.DBF", 3, "ODDELENI", "77");
  ui_->clear();
  form.btExpDil->click();
  zelto::RunMessagesUntilIdle();
  ASSERT_EQ(ui_->shownTexts().size(), 1u);
  EXPECT_NE(ui_->shownTexts()[0].find("revír načtěte znovu"), std::string::npos) << ui_->shownTexts()[0];
  EXPECT_FALSE(std::filesystem::exists(district / "01_14DIL.BLK"));
  EXPECT_TRUE(form.btCtiRevir->isEnabled());
  EXPECT_TRUE(form.btLHC->isEnabled());
  form.btCtiRevir->click();
  zelto::RunMessagesUntilIdle();
  ui_->clear();
  form.btExpDil->click();
  zelto::RunMessagesUntilIdle();
  EXPECT_TRUE(ui_->shownTexts().empty()) << ui_->shownTexts().front();
  EXPECT_TRUE(std::filesystem::is_directory(district / "01_14DIL.BLK"));
  EXPECT_FALSE(form.btCtiRevir->isEnabled());
  EXPECT_FALSE(form.btLHC->isEnabled());
}

}  // namespace
