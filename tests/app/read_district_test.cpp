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

}  // namespace
