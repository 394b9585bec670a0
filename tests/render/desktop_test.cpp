#include "render/desktop.h"

#include <gtest/gtest.h>

namespace {

// Three pages side by side, 100 wide, each with its own and its neighbours'
// number texts.
struct ThreePages : ::testing::Test {
  TMultiPageDesktop work;
  TDesktop* pages[3];
  void SetUp() override {
    work.NumberTextName = "cislo";
    work.LeftNumberTextName = "vlevo";
    work.RightNumberTextName = "vpravo";
    work.TopNumberTextName = "nahore";
    work.NoNumberText = "-";
    for (int i = 0; i < 3; ++i) {
      pages[i] = new TDesktop;
      pages[i]->SetMinX(100.0 * i);
      pages[i]->SetMinY(0);
      pages[i]->SetMaxX(100.0 * (i + 1));
      pages[i]->SetMaxY(50);
      for (const char* name : {"cislo", "vlevo", "vpravo", "nahore"}) {
        auto* text = new TText;
        text->SetName(name);
        pages[i]->Add(text);
      }
      work.Add(pages[i]);
    }
  }
  std::string TextOf(int page, const char* name) {
    return static_cast<TText*>(dynamic_cast<TEntity*>(work.GetPage(page))->FindElementByName(name))->GetText();
  }
};

}  // namespace

TEST_F(ThreePages, NeighbourNumbersAndFill) {
  EXPECT_EQ(pages[0]->BrushColor, 0xFFFFFF);
  EXPECT_EQ(work.GetActualLeftNumber(), 0);  // no actual page yet
  work.SetFIndPageNumber(2);
  EXPECT_EQ(work.GetActualNumber(), 2);
  EXPECT_EQ(work.GetActualLeftNumber(), 1);
  EXPECT_EQ(work.GetActualRightNumber(), 3);
  EXPECT_EQ(work.GetActualTopNumber(), 0);
  work.SetFIndPageNumber(0);
  EXPECT_EQ(work.GetActualNumber(), 1);
  work.SetFIndPageNumber(99);
  EXPECT_EQ(work.GetActualNumber(), 3);

  work.SetFillNumbers(0);
  EXPECT_EQ(work.GetActualPage(), pages[2]);
  EXPECT_EQ(pages[1]->GetName(), "Page 2");
  EXPECT_EQ(TextOf(0, "vlevo"), "-");
  EXPECT_EQ(TextOf(0, "vpravo"), "2");
  EXPECT_EQ(TextOf(1, "cislo"), "2");
  EXPECT_EQ(TextOf(2, "nahore"), "-");
}

TEST_F(ThreePages, DeletingPagesRenumbersAndEmptyWorkHasNoActualPage) {
  work.SetFIndPageNumber(2);
  work.SetPageNumberToDelete(2);
  ASSERT_EQ(work.GetCount(), 2);
  EXPECT_EQ(work.GetActualNumber(), 2);
  EXPECT_EQ(work.GetItem(1)->GetName(), "Page 2");
  // The old third page stays where it was: no page to its left any more.
  EXPECT_EQ(TextOf(1, "vlevo"), "-");
  work.SetPageNumberToDelete(5);
  EXPECT_EQ(work.GetCount(), 2);
  work.SetPageNumberToDelete(1);
  work.SetPageNumberToDelete(1);
  EXPECT_EQ(work.GetCount(), 0);
  EXPECT_EQ(work.GetActualPage(), nullptr);
  work.SetFIndPageNumber(1);  // nothing to select, nothing to fail on
  EXPECT_EQ(work.GetActualPage(), nullptr);
}
