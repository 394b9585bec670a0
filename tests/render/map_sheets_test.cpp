#include "render/map_sheets.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "framework/class_registry.h"
#include "framework/problem_report.h"
#include "framework/value_stream.h"
#include "platform/scripted_user_interaction.h"
#include "render/base_map_sheets.h"
#include "render/render_classes.h"

namespace {

void expectRect(const TRectEntity* e, double minX, double minY, double maxX, double maxY) {
  ASSERT_NE(e, nullptr);
  EXPECT_DOUBLE_EQ(e->GetMinX(), minX);
  EXPECT_DOUBLE_EQ(e->GetMinY(), minY);
  EXPECT_DOUBLE_EQ(e->GetMaxX(), maxX);
  EXPECT_DOUBLE_EQ(e->GetMaxY(), maxY);
}

// One 1:50000 sheet at S-JTSK col 0, row 0 (world x -25000..0, y -20000..0)
// with every finer sheet made.
struct Series {
  TSMO root;
  TSMO_50* sheet50;
  Series() {
    sheet50 = root.AddSheet50(0, 0, "Kolín", "ZZZZZ");
    sheet50->CreateDetail();
    for (TElement* column : sheet50->GetMatrix()->Items())
      for (TElement* sheet : static_cast<TSpaces*>(column)->Items()) static_cast<TMapSpace*>(sheet)->CreateDetail();
  }
};

}  // namespace

TEST(StateMapSheets, FindsAndNamesTheSheetOfAPointAtEveryScale) {
  Series s;
  EXPECT_EQ(s.sheet50->GetZkratka(), "ZZZZ") << "cut to four characters";
  expectRect(s.sheet50, -25000, -20000, 0, 0);

  const double x = -2600, y = -2100;
  EXPECT_EQ(s.root.FindSheet50(x, y), s.sheet50);
  TSMO_25* sheet25 = s.root.FindSheet25(x, y);
  expectRect(sheet25, -12500, -10000, 0, 0);
  EXPECT_EQ(sheet25->GetName(), "ZZZZ25-2");
  TSMO_10* sheet10 = s.root.FindSheet10(x, y);
  expectRect(sheet10, -5000, -4000, 0, 0);
  EXPECT_EQ(sheet10->GetName(), "ZZZZ 0-0");
  TSMO_5* sheet5 = s.root.FindSheet5(x, y);
  expectRect(sheet5, -5000, -4000, -2500, -2000);
  EXPECT_EQ(sheet5->GetName(), "ZZZZ 1-1");
  sheet5->CreateDetail();
  TSMO_2* sheet2 = s.root.FindSheet2(x, y);
  expectRect(sheet2, -3750, -3000, -2500, -2000);
  EXPECT_EQ(sheet2->GetName(), "ZZZZ 1-1 / 2");

  // The computed names agree with the sheets that were made.
  const TMapSpace* found[] = {s.sheet50, sheet25, sheet10, sheet5, sheet2};
  for (int level = TSMO::k50; level <= TSMO::k2; ++level)
    EXPECT_EQ(s.root.SheetName(static_cast<TSMO::Level>(level), x, y), found[level]->GetName());
  EXPECT_EQ(s.root.SheetFullName(TSMO::k50, x, y), "Kolín  ");
  EXPECT_EQ(sheet25->GetFullName(), "Kolín  25-2");
  EXPECT_EQ(sheet5->GetFullName(), "Kolín  1-1");
  EXPECT_EQ(sheet2->GetFullName(), "Kolín  1-1 / 2");
  EXPECT_EQ(s.root.SheetFullName(TSMO::k5, x, y), "Kolín    1-1");

  // North-east corner of the series.
  EXPECT_EQ(s.root.SheetName(TSMO::k5, -100, -100), "ZZZZ 0-0");
  EXPECT_EQ(s.root.SheetName(TSMO::k25, -100, -100), "ZZZZ25-2");
  EXPECT_EQ(s.root.SheetName(TSMO::k2, -100, -100), "ZZZZ 0-0 / 2");
  EXPECT_EQ(s.root.SheetName(TSMO::k50, 100, -100), "") << "outside the series";
}

TEST(StateMapSheets, BordersAreStrictAndNeighboursFollowTheGrid) {
  Series s;
  EXPECT_EQ(s.root.FindSheet5(-12500, -3000), nullptr) << "on the border of two sheets";
  EXPECT_EQ(s.root.SheetName(TSMO::k5, -12500, -3000), "ZZZZ 5-1");

  TSMO_5* sheet5 = s.root.FindSheet5(-2600, -2100);
  EXPECT_EQ(sheet5->GetSMORoot(), &s.root);
  EXPECT_EQ(sheet5->GetLeftSheet(), s.root.FindSheet5(-5100, -2100));
  EXPECT_EQ(sheet5->GetLeftMSName(), "ZZZZ 2-1");
  EXPECT_EQ(sheet5->GetTopMSName(), "ZZZZ 1-0");
  EXPECT_EQ(sheet5->GetRightMSFullName(), "Kolín    0-1");
  TSMO_5* corner = s.root.FindSheet5(-100, -100);
  EXPECT_EQ(corner->GetRightSheet(), nullptr) << "east of the series";
  EXPECT_EQ(corner->GetRightMSName(), "");
}

TEST(StateMapSheets, DetailIsMadeOnceAndTheStreamCarriesColAndRowTwice) {
  Series s;
  auto count25 = [&] {
    int n = 0;
    for (TElement* child : s.sheet50->Items()) n += child->Is<TSMO_25>();
    return n;
  };
  EXPECT_EQ(count25(), 4);
  s.sheet50->CreateDetail25();
  EXPECT_EQ(count25(), 4) << "a second run reuses the sheets by number";

  TSMO_5* sheet5 = s.root.FindSheet5(-2600, -2100);
  sheet5->CreateDetail();
  sheet5->CreateDetail();
  int sheets2 = 0;
  for (TElement* column : sheet5->GetMatrix()->Items()) sheets2 += static_cast<TSpaces*>(column)->GetCount();
  EXPECT_EQ(sheets2, 4);

  // A 1:25000 sheet collects the 25 existing 1:5000 sheets it covers.
  TSMO_25* sheet25 = s.root.FindSheet25(-20000, -15000);
  EXPECT_EQ(sheet25->Cislo, 3);
  sheet25->CollectDetail();
  EXPECT_EQ(sheet25->GetCount(), 25);
  for (TElement* child : sheet25->Items())
    EXPECT_TRUE(static_cast<TRectEntity*>(child)->IsInsideRect(-25000, -20000, -12500, -10000));

  zelto::ValueWriter writer;
  sheet5->WriteData(writer);
  const auto& bytes = writer.Bytes();
  ASSERT_GE(bytes.size(), 16u);
  const std::vector<std::uint8_t> pair{1, 0, 0, 0, 1, 0, 0, 0};
  EXPECT_TRUE(std::equal(pair.begin(), pair.end(), bytes.end() - 16));
  EXPECT_TRUE(std::equal(pair.begin(), pair.end(), bytes.end() - 8));
}

TEST(BaseMapSheets, NamesSelectSheetsAndTheirCorners) {
  zelto::ProblemTally problems;
  TMapsZM zm;
  EXPECT_EQ(zm.GetMap200(), 0);
  EXPECT_EQ(zm.Scale, 200000);
  // The valid sheets reach west to point 31 and south to point 46.
  EXPECT_DOUBLE_EQ(zm.GetMinX(), -934619.816);
  EXPECT_DOUBLE_EQ(zm.GetMinY(), -1269686.596);

  zm.SetMap200(5);
  EXPECT_EQ(zm.GetMap200(), 0);
  EXPECT_EQ(zm.GetMapName(), "");

  zm.SetMapName("24-13-05");
  EXPECT_EQ(zm.Scale, 10000);
  EXPECT_EQ(zm.GetMap200(), 24);
  EXPECT_EQ(zm.GetMap100(), 1);
  EXPECT_EQ(zm.GetMap50(), 3);
  EXPECT_EQ(zm.GetMap10(), 5);
  EXPECT_EQ(zm.GetMapName(), "24-13-05");
  zm.Scale = 25000;
  zm.SetMap25(2);
  EXPECT_EQ(zm.GetMapName(), "24-132");

  // Sheet 24 has points 24, 25, 34 and 35; 1:100000 quarter 1 and 1:50000
  // quarter 3 take the west edge, so cell 1 starts at the midpoint of it.
  const auto& c200 = zm.CornersOf(TMapsZM::k200);
  EXPECT_DOUBLE_EQ(c200[0].X, -635975.52);
  EXPECT_DOUBLE_EQ(c200[3].Y, -1185155.36);
  const auto& c50 = zm.CornersOf(TMapsZM::k50);
  EXPECT_DOUBLE_EQ(c50[0].X, c200[0].X + (c200[2].X - c200[0].X) / 4);
  EXPECT_DOUBLE_EQ(c50[0].Y, c200[0].Y + (c200[2].Y - c200[0].Y) / 4);
  zm.SetMap10(1);
  EXPECT_DOUBLE_EQ(zm.CornersOf(TMapsZM::k10)[0].X, c50[0].X);
  EXPECT_DOUBLE_EQ(zm.CornersOf(TMapsZM::k10)[0].Y, c50[0].Y);
  zm.SetMap10(25);
  EXPECT_DOUBLE_EQ(zm.CornersOf(TMapsZM::k10)[3].X, c50[3].X);
  EXPECT_DOUBLE_EQ(zm.CornersOf(TMapsZM::k10)[3].Y, c50[3].Y);

  zm.Scale = 10000;
  zm.SetMap10(5);
  // A name too short for the format is refused; nothing changes.
  zm.SetMapName("24-1");
  EXPECT_EQ(problems.Summary(), "Špatné jméno mapy ZM: 24-1");
  EXPECT_EQ(zm.GetMapName(), "24-13-05");
  zm.SetMapName("2x-13-05");
  EXPECT_EQ(problems.total(), 2u);
}

TEST(StateMapSheets, ASheetTreeReadBackFromTheStreamFindsItsSheets) {
  RegisterRenderClasses();
  TSMO root;
  TSMO_50* sheet50 = root.AddSheet50(0, 0, "Kolín", "ZZZZ");
  TSMO_10* sheet10 = sheet50->NewSheet10(2, 4);
  sheet10->CreateDetail();
  sheet10->Selected = true;

  // Children before their owners, each numbered by its place in the list.
  TQuickEntity written;
  std::function<void(TElement*)> collect = [&](TElement* e) {
    if (auto* entity = dynamic_cast<TEntity*>(e))
      for (TElement* child : entity->Items()) collect(child);
    if (written.IndexOf(e) < 0) written.Add(e);
  };
  collect(sheet10);
  zelto::ValueWriter writer;
  for (int i = 0; i < written.GetCount(); ++i) written.GetItem(i)->ID = i;
  for (TElement* e : written.Items()) e->WriteData(writer);
  written.Clear();

  zelto::ValueReader reader(writer.Bytes());
  TQuickEntity loaded;
  while (!reader.AtEnd()) {
    TElement* e = CreateElementByClassName(reader.ReadString());
    ASSERT_NE(e, nullptr);
    e->ReadData(reader, loaded);
    loaded.Add(e);
  }
  std::unique_ptr<TSMO_10> read(dynamic_cast<TSMO_10*>(loaded.GetItem(loaded.GetLastIndex())));
  loaded.Clear();
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->GetName(), "ZZZZ 2-4");
  EXPECT_EQ(read->GetZkratka(), "ZZZZ");
  EXPECT_EQ(read->Col, 2);
  EXPECT_EQ(read->Row, 4);
  EXPECT_TRUE(read->Selected);
  EXPECT_DOUBLE_EQ(read->GetScale(), 10000);
  auto* sheet5 = dynamic_cast<TSMO_5*>(read->FindChildAt(-7600, -10100));
  ASSERT_NE(sheet5, nullptr);
  EXPECT_EQ(sheet5->GetName(), "ZZZZ 3-5");
  EXPECT_EQ(sheet5->GetOwner(0)->GetOwner(0), read->PeekMatrix());
}

TEST(BaseMapSheets, ABaseMapSheetTakesItsScaleFromItsSeries) {
  TZMSpace sheet;
  sheet.SetScale(24999.6);
  TMapsZM* zm = sheet.GetZM();
  EXPECT_EQ(zm->GetName(), "ZM");
  EXPECT_EQ(sheet.GetZM(), zm) << "found again by name";
  EXPECT_EQ(zm->Scale, 25000);
  EXPECT_DOUBLE_EQ(sheet.GetScale(), 25000);
}
