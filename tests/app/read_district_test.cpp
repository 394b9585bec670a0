#include <QTest>

#include "shell_fixture.h"
#include "sample_tree.h"

namespace {

TEST_F(ShellTest, ReadingAGeneratedDistrictBuildsTheHierarchyAndEnablesExports) {
  if (test_support::GeneratedSample().empty()) GTEST_SKIP() << "python3 not installed";
  ASSERT_TRUE(test_support::CopySample(dir_.string()));
  Start();
  TMainForm& form = *MainForm();

  // Without DET.BLK nothing is loaded, every export stays disabled, and
  // the user is told why.
  form.SetDirectory("D:\\GIS\\4107");
  form.btCtiRevir->click();
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(Tool().SubjectOfInterest(), nullptr);
  EXPECT_FALSE(form.btVse->isEnabled());
  ASSERT_EQ(ui_->shownTexts().size(), 1u);
  EXPECT_EQ(ui_->shownTexts()[0], "Revír D:\\GIS\\4107 nemá blok DET.BLK, není co číst");
  Post(93);
  ASSERT_EQ(ui_->shownTexts().size(), 2u);
  EXPECT_EQ(ui_->shownTexts()[1], "Není načten předmět zájmu");

  form.SetDirectory("D:\\GIS\\4107\\01");
  ASSERT_TRUE(form.DET->isChecked());
  form.btCtiRevir->click();
  zelto::RunMessagesUntilIdle();
  ASSERT_NE(Tool().ForestRoot(), nullptr);
  EXPECT_TRUE(form.btVse->isEnabled());
  EXPECT_TRUE(form.btExpPlochPSk->isEnabled());
  EXPECT_FALSE(form.btExportCest->isEnabled());

  // A second read replaces the model; the old hierarchy is not kept.
  form.SetDirectory("D:\\GIS\\4107");
  form.btCtiRevir->click();
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(Tool().ForestRoot(), nullptr);
  EXPECT_FALSE(form.btVse->isEnabled());

  // The LHC's lines, read from a district's directory, enable the line exports.
  form.SetDirectory("D:\\GIS\\4107\\02");
  form.btCtiLHC->click();
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(Tool().DataDirectory(), "D:\\GIS\\4107");
  ASSERT_NE(Tool().SubjectOfInterest(), nullptr);
  EXPECT_TRUE(form.btExportCest->isEnabled());
  EXPECT_FALSE(form.btVse->isEnabled());
}

// Areas whose rows are gone from the district's table are logged one by
// one, and the read ends with one box that counts them, as every job does.
TEST_F(ShellTest, AreasWithoutARowAreToldOnceWithTheirCount) {
  if (test_support::GeneratedSample().empty()) GTEST_SKIP() << "python3 not installed";
  ASSERT_TRUE(test_support::CopySample(dir_.string()));
  // The first three rows are given no number (CISLO 0): they name no area,
  // and a number beyond TN.ARE would damage the read.
  const std::filesystem::path table = dir_ / "GIS" / "4107" / "01" / "DET.BLK" / "P0110.DBF";
  std::string bytes = ReadFile(table);
  ASSERT_GT(bytes.size(), 32u);
  const auto word = [&](std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
  };
  const std::size_t header = word(8), record = word(10);
  ASSERT_EQ(bytes.substr(32, 5), "CISLO");
  for (std::size_t row = 0; row < 3; ++row)
    bytes.replace(header + row * record + 1, 8, "       0");
  WriteFile(table, bytes);
  Start();
  TMainForm& form = *MainForm();
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  form.SetDirectory("D:\\GIS\\4107\\01");
  QTest::mouseClick(form.btCtiRevir, Qt::LeftButton, {}, form.btCtiRevir->rect().center());
  zelto::RunMessagesUntilIdle();
  ASSERT_NE(Tool().ForestRoot(), nullptr);
  // Each area on its own protocol line; one box counts them.
  const std::string spelled = "D:\\GIS\\4107\\01\\DET.BLK\\P0110.DBF";
  const std::string lines = ReadFile(Tool().ProtocolFile());
  int logged = 0;
  for (std::size_t at = lines.find(" v tabulce " + spelled); at != std::string::npos;
       at = lines.find(" v tabulce " + spelled, at + 1))
    ++logged;
  EXPECT_GE(logged, 2) << lines;
  ASSERT_EQ(ui_->shownTexts().size(), 1u);
  EXPECT_EQ(ui_->shownTexts()[0], "Lesnická hierarchie: plocha nemá řádek v tabulce " + spelled + " (celkem " +
                                      std::to_string(logged) + "×)");
}

}  // namespace
