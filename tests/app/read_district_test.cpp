#include "areas/forest_space_unit.h"
#include "framework/string_list.h"
#include "geometry/space_entity.h"
#include "render/layer_script.h"
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
  ASSERT_NE(Tool().SubjectOfInterest(), nullptr);
  EXPECT_EQ(Tool().DataDirectory(), "D:\\GIS\\4107\\01");
  ASSERT_NE(Tool().ForestRoot(), nullptr);
  EXPECT_EQ(Tool().ForestRoot()->GetName(), "LES");
  EXPECT_GT(Tool().ForestRoot()->GetCount(), 0);
  EXPECT_TRUE(form.btVse->isEnabled());
  EXPECT_TRUE(form.btExpPlochPSk->isEnabled());
  EXPECT_FALSE(form.btExportCest->isEnabled());

  // A second read replaces the model; the old hierarchy is not kept.
  form.SetDirectory("D:\\GIS\\4107");
  form.btCtiRevir->click();
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(Tool().ForestRoot(), nullptr);
  EXPECT_FALSE(form.btVse->isEnabled());

  // The LHC's lines: its own CES block first, then each district's blocks.
  form.SetDirectory("D:\\GIS\\4107\\02");
  form.btCtiLHC->click();
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(Tool().DataDirectory(), "D:\\GIS\\4107");
  auto* script = GetWorld()->GetObjectModel()->FindElementByClass<TModelScript>();
  ASSERT_NE(script, nullptr);
  ASSERT_EQ(script->GetCount(), 7);
  auto* first = static_cast<TLayerScript*>(script->GetItem(0));
  EXPECT_EQ(first->GetName(), "LIN");
  EXPECT_EQ(first->Description, "D:\\GIS\\4107\\CES.BLK");
  EXPECT_EQ(first->GetPropertyList()->GetValueByName("!DRUH"), "350,352,353,354,10245,10280,10281,10325,10340,10341,10380,10381");
  ASSERT_NE(Tool().SubjectOfInterest(), nullptr);
  EXPECT_TRUE(form.btExportCest->isEnabled());
  EXPECT_FALSE(form.btVse->isEnabled());

  // Line blocks gathered one by one into a fresh subject.
  Tool().SetSubjectOfInterest(nullptr);
  Tool().LoadLineBlock("D:\\GIS\\4107\\01\\CES.BLK");
  Tool().LoadLineBlock("D:\\GIS\\4107\\NENI.BLK");
  Tool().LoadLineBlock("D:\\GIS\\4107\\02\\CES.BLK");
  auto* gathered = dynamic_cast<TSpaceEntity*>(Tool().SubjectOfInterest());
  ASSERT_NE(gathered, nullptr);
  EXPECT_EQ(gathered->GetCount(), 2);
}

}  // namespace
