#include <fstream>
#include <iterator>

#include "areas/forest_space_unit.h"
#include "shell_fixture.h"
#include "sample_tree.h"

namespace {

// The areas written are checked against the generator in the jobs' own
// tests; here the button, the refusals while it runs and the names the user
// chose.
TEST_F(ShellTest, TheStandGroupButtonExportsTheDistrictReadBefore) {
  if (test_support::GeneratedSample().empty()) GTEST_SKIP() << "python3 not installed";
  ASSERT_TRUE(test_support::CopySample(dir_.string()));
  Start();
  TMainForm& form = *MainForm();
  form.SetDirectory("D:\\GIS\\4107\\01");
  ASSERT_EQ(form.lbRevir->text().toStdString(), "D:\\GIS\\4107\\01");
  form.btCtiRevir->click();
  zelto::RunMessagesUntilIdle();
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

}  // namespace
