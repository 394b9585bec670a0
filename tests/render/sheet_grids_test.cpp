#include "render/sheet_grids.h"

#include <gtest/gtest.h>

#include "framework/problem_report.h"
#include "platform/scripted_user_interaction.h"
#include "render/base_map_sheets.h"
#include "render/map_sheets.h"
#include "render/memory_raster.h"

namespace {
constexpr TColor kRed = RGBColor(255, 0, 0);

// One metre a pixel over world x -57..43 and y -57..43: the window crosses
// zero and its lower edges are not on the 20 m grid.
struct Window {
  TMemoryRaster raster{100, 100};
  TCanvasDevice device;
  explicit Window(double scale = 10000, double cx = -7, double cy = -7) {
    raster.SetLogPixels(254, 254);
    device.SetCanvas(&raster);
    device.GetProjection()->Setup({cx, cy}, device.GetPage(), scale);
  }
  TColor at(double x, double y) const {
    const auto* p = device.GetProjection();
    return raster.GetPixel(p->WorldToDeviceX(x), p->WorldToDeviceY(y));
  }
  void draw(TInterpret& interpret, TElement* element) {
    interpret.SetDevice(&device);
    interpret.SetInput(element);
    interpret.DoIt();
    interpret.SetDevice(nullptr);
  }
};
}  // namespace

TEST(MapGrids, CrossesSitOnTheGridEvenBelowZero) {
  platform::ScopedScriptedUi ui;
  Window w;
  TCross cross;
  cross.SetStep(20);
  cross.Size = 8;
  cross.Color = kRed;
  TInterpretKrizku krizky;
  w.draw(krizky, &cross);
  EXPECT_EQ(w.at(0, 0), kRed);
  EXPECT_EQ(w.at(3, 0), kRed);
  EXPECT_EQ(w.at(-40, -20), kRed);
  EXPECT_EQ(w.at(20, 3), kRed);
  EXPECT_EQ(w.at(10, 10), clWhite);
  EXPECT_EQ(w.at(5, 0), clWhite) << "beyond the arm";
  // The cross at x = -60 lies outside, but its arm reaches into the window.
  EXPECT_EQ(w.at(-57, 0), kRed);
  EXPECT_TRUE(ui->shownTexts().empty());
}

TEST(MapGrids, LinesAndTheSpacingCheck) {
  zelto::ProblemTally problems;
  Window w;
  TLines lines;
  lines.Width = 20;
  lines.Height = 25;
  lines.Color = kRed;
  TLinesInterpret interpret;
  w.draw(interpret, &lines);
  EXPECT_EQ(w.at(-40, 7), kRed);
  EXPECT_EQ(w.at(0, 33), kRed);
  EXPECT_EQ(w.at(13, -50), kRed);
  EXPECT_EQ(w.at(13, 25), kRed);
  EXPECT_EQ(w.at(13, 7), clWhite);

  // 1000 steps across the page are drawn, more are refused with a message.
  Window wide(10'000'000, 0);  // 1 km a pixel: 100 km across
  TLines fine;
  fine.Width = fine.Height = 100;
  fine.Color = kRed;
  wide.draw(interpret, &fine);
  EXPECT_EQ(wide.at(0, 0), kRed);
  EXPECT_TRUE(problems.empty());
  fine.Width = 99.9;
  wide.draw(interpret, &fine);
  EXPECT_EQ(problems.Summary(),
            "Objekt TLines:TLines má vzhledem k zobrazované ploše nevhodně nastavenou šířku či výšku");
}

TEST(MapSheetFrames, EachScaleInItsColour) {
  Window w(500'000, -2500, -2000);  // 50 m a pixel: x -5000..0, y -4500..500
  TSMO root;
  TSMO_50* sheet50 = root.AddSheet50(0, 0, "Kolín", "ZZZZ");
  sheet50->CreateDetail10();
  root.FindSheet10(-2600, -2100)->CreateDetail();
  TSMO_Interpret interpret;
  w.draw(interpret, &root);
  // The 1:5000 sheets of the north-east 1:10000 sheet meet at x = -2500 and
  // y = -2000; the 1:10000 sheet below has its own top edge.
  EXPECT_EQ(w.at(-2500, -1000), RGBColor(0, 128, 0));
  EXPECT_EQ(w.at(-1000, -2000), RGBColor(0, 128, 0));
  EXPECT_EQ(w.at(-1000, -4000), RGBColor(255, 0, 0));
  EXPECT_EQ(w.at(-1250, -1000), clWhite);
  EXPECT_TRUE(interpret.IsItsClass(root.FindSheet5(-2600, -2100)));
  EXPECT_FALSE(interpret.IsItsClass(root.GetMatrix()));
}

TEST(BaseMapNet, DrawsTheSheetsAndKeepsTheUsersSelection) {
  TMapsZM zm;
  zm.Color = kRed;
  zm.SetMapName("24-13-05");
  const render::Corner nw = zm.CornersOf(TMapsZM::k200)[0];
  Window w(5'000'000, nw.X + 10'000, nw.Y - 10'000);  // 500 m a pixel
  TInterpretZM interpret;
  w.draw(interpret, &zm);
  EXPECT_EQ(w.at(nw.X, nw.Y), kRed);
  EXPECT_EQ(w.at(nw.X + 10'000, nw.Y - 10'000), clWhite);
  EXPECT_EQ(zm.GetMapName(), "24-13-05");
  EXPECT_DOUBLE_EQ(zm.CornersOf(TMapsZM::k200)[0].X, nw.X);
}
