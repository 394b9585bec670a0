#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "framework/problem_report.h"
#include "platform/scripted_user_interaction.h"
#include "render/device.h"
#include "render/memory_raster.h"
#include "render/point_symbols.h"
#include "render/stroke_font.h"
#include "render/symbol_elements.h"
#include "tests/render/stroke_font_test_files.h"

namespace {
constexpr TColor kRed = RGBColor(255, 0, 0);

// One metre a pixel: world (x, y) lands on pixel (x, 100 - y).
struct FontSheet {
  font_test::SymbolDrive drive{"fonts"};
  platform::ScriptedUserInteraction ui;
  zelto::ProblemTally problems;
  TMemoryRaster raster{100, 100};
  TCanvasDevice device;
  TBGIFont font;
  TBGIText* text = new TBGIText;
  FontSheet() {
    platform::setUi(&ui);
    raster.SetLogPixels(254, 254);
    device.SetCanvas(&raster);
    device.GetProjection()->Setup({50, 50}, device.GetPage(), 10000);
    raster.Pen().Color = kRed;
    font_test::Write(drive.dir / "SIMP.CHR", font_test::FontBytes(false));
    font.FontDirectory = drive.dir;
    font.SetDevice(&device);
    font.SetText(text, true);
    text->Veta = "AB";
    text->GetSecondPoint()->X = 10;
    text->GetSecondPoint()->Y = 50;
    font.Layout.TextMode = 1;  // one font unit is Height world units
    font.Layout.Height = 2;
    font.Layout.Distance = 3;
  }
  ~FontSheet() { platform::setUi(nullptr); }
  bool red(double x, double y) const {
    return raster.GetPixel(static_cast<int>(x), static_cast<int>(100 - y)) == kRed;
  }
};
}  // namespace

TEST(StrokeFont, ReadsGlyphsAndRejectsWhatLiesOutsideTheBlock) {
  auto bytes = font_test::FontBytes(false);
  render::StrokeFontData data(std::vector<std::uint8_t>(bytes.begin() + 128, bytes.end()));
  EXPECT_EQ(data.CapHeight(), 10);
  EXPECT_EQ(data.Width('B'), 12);
  EXPECT_EQ(data.Width('C'), 0);
  const auto a = data.Glyph('A');
  ASSERT_EQ(a.size(), 2u);
  EXPECT_FALSE(a[0].Draw);
  EXPECT_TRUE(a[1].Draw);
  EXPECT_EQ(a[1].X, 10);
  EXPECT_TRUE(data.Glyph('@').empty());
  EXPECT_EQ(render::SignedFontUnit(0x7F), -1);
  EXPECT_EQ(render::SignedFontUnit(0x40), -64);
  // A glyph offset pointing past the block yields nothing.
  bytes[128 + 16] = 0xF0;
  render::StrokeFontData broken(std::vector<std::uint8_t>(bytes.begin() + 128, bytes.end()));
  EXPECT_TRUE(broken.Glyph('A').empty());
}

TEST(StrokeFont, FileNamesByNumberAndCodePage) {
  EXPECT_EQ(render::FontFileName(0, 0), "Simp.CHR");
  EXPECT_EQ(render::FontFileName(8, 1), "Simp.LVF");
  EXPECT_EQ(render::FontFileName(11, 2), "Simp.KVF");
  EXPECT_EQ(render::FontFileName(1, 5), "Bold.KVF");
  EXPECT_EQ(render::FontFileName(10, 0), "Tscr.CHR");
}

TEST(StrokeFont, DrawsEachGlyphFromThePreviousGlyphsEndPlusSpacing) {
  FontSheet s;
  s.font.Draw();
  ASSERT_TRUE(s.font.Loaded);
  EXPECT_TRUE(s.red(20, 50));  // A along the baseline, 10..30
  EXPECT_TRUE(s.red(29, 50));
  EXPECT_TRUE(s.red(33, 60));  // B upright from 30 + 3
  EXPECT_FALSE(s.red(31, 60));
  EXPECT_FALSE(s.red(33, 75));
  // Measured: (10 + 12) font units and one spacing.
  EXPECT_DOUBLE_EQ(s.font.TextWidth("AB"), 22 * 2 + 3);
  EXPECT_DOUBLE_EQ(s.font.TextHeight(), 20);
}

TEST(StrokeFont, SlopeShiftsPointsByTheirHeightAndDirectionTurnsTheBaseline) {
  FontSheet s;
  s.text->Veta = "B";
  s.font.Layout.Slope = std::numbers::pi / 4;
  s.font.Draw();
  EXPECT_TRUE(s.red(20, 60));  // (10, 50) up to (30, 70)
  EXPECT_FALSE(s.red(10, 60));

  FontSheet t;
  t.text->Veta = "A";
  t.font.Layout.Direction = std::numbers::pi / 2;
  t.font.Draw();
  EXPECT_TRUE(t.red(10, 60));  // the baseline now runs upwards
  EXPECT_FALSE(t.red(20, 50));
  t.font.UpdateEnvelope();
  TRectangle* r = t.text->GetRectangle();
  EXPECT_NEAR(r->MinX(), -10, 1e-9);  // capital height 20 falls to the left
  EXPECT_NEAR(r->MaxY(), 70, 1e-9);
}

TEST(StrokeFont, MissingFontIsReportedOnceAndDrawsNothing) {
  FontSheet s;
  s.font.Layout.FontNo = 3;  // Goth: not installed
  s.font.Draw();
  s.font.LoadFont(3, 1);
  EXPECT_FALSE(s.font.Loaded);
  EXPECT_EQ(s.problems.Summary().rfind("Nelze otevřít soubor vektorového fontu: ", 0), 0u);
  EXPECT_TRUE(s.ui.shown().empty());
  for (TColor c : s.raster.Pixels()) ASSERT_NE(c, kRed);

  // A font file that is a directory opens, but reading it would throw.
  FontSheet d;
  std::filesystem::create_directory(d.drive.dir / "Goth.CHR");
  d.font.Layout.FontNo = 3;
  d.font.Draw();
  d.font.Draw();
  EXPECT_FALSE(d.font.Loaded);
  EXPECT_EQ(d.problems.total(), 1u);
  TBGISymbol symbols;
  symbols.LoadSymbolFont(1, d.drive.dir.string());
  EXPECT_FALSE(symbols.Loaded);
}

TEST(TextStyles, ReadsClosedStylesAndOverridesTheText) {
  font_test::SymbolDrive drive("styles");
  font_test::WriteText(drive.dir / "styly.txt",
                       "[STYL]\nNAZEV=Popis\n druh = 7\nREZIM=x\nFONT=8\nVYSKA=1,5\nSIRKA=2\n"
                       "SKLON=450\nROZESTUPY=0.5\nBARVA=4\nDRUHCARY=2\nSILAPERA=0.4\n[end]\n"
                       "DRUH=99\n[STYL]\nDRUH=abc\nFONT=300\nREZIM=m\n[END]\n[STYL]\nDRUH=8\n");
  TBGIFont font;
  const auto styles = font.GetTextStyles()->Styles();
  ASSERT_EQ(styles.size(), 2u);  // the third is never closed
  EXPECT_EQ(styles[0]->GetName(), "Popis");
  EXPECT_EQ(styles[0]->Rezim, 1);
  EXPECT_DOUBLE_EQ(styles[0]->Vyska, 1.5);
  EXPECT_EQ(styles[1]->Druh, 0);  // not an integer: left alone
  EXPECT_EQ(styles[1]->Font, 0);
  EXPECT_EQ(styles[1]->Rezim, 2);

  TBGIText* text = new TBGIText;
  font.SetText(text, true);
  font.ApplyStyle(7);
  EXPECT_EQ(font.Layout.FontNo, 8);
  EXPECT_DOUBLE_EQ(font.Layout.Height, 1.5);
  EXPECT_NEAR(font.Layout.Slope, std::numbers::pi / 2, 1e-12);
  EXPECT_EQ(text->Barva, 4);
  EXPECT_EQ(text->Znacka, 2);
  font.Layout.Height = 9;
  font.ApplyStyle(5);  // no such kind
  EXPECT_DOUBLE_EQ(font.Layout.Height, 9);
}

TEST(StrokeFont, StyleOfTheTextsKindSetsSizeAndPen) {
  FontSheet s;
  s.device.GetProjection()->SetVirtualScale(1000);
  font_test::WriteText(s.drive.dir / "Styly.txt",
                       "[STYL]\nDRUH=5\nREZIM=D\nFONT=0\nVYSKA=20\nSIRKA=1\nSILAPERA=3\nBARVA=2\n[END]\n");
  s.font.GetTextStyles()->SetFileName("C:\\TTRIZENI\\Styly.txt");
  s.text->Veta = "A";
  s.text->Druh = 5;
  s.font.Layout.TextAtrib = TBGITextLayout::kCapHeight;
  s.font.Draw();
  EXPECT_EQ(s.font.PenWidth, 3);
  EXPECT_EQ(s.text->Barva, 2);
  EXPECT_TRUE(s.red(25, 50));  // 20 capital height: 2 a font unit, 10 units long
  EXPECT_TRUE(s.red(25, 51));  // a 3-pixel pen

  // A pen far wider than the device is as wide as the device draws any.
  FontSheet w;
  w.device.GetProjection()->SetVirtualScale(1000);
  font_test::WriteText(w.drive.dir / "Styly.txt", "[STYL]\nDRUH=5\nREZIM=D\nVYSKA=20\nSIRKA=1\nSILAPERA=3.6e27\n[END]\n");
  w.font.GetTextStyles()->SetFileName("C:\\TTRIZENI\\Styly.txt");
  w.text->Veta = "A";
  w.text->Druh = 5;
  w.font.Layout.TextAtrib = TBGITextLayout::kCapHeight;
  w.font.Draw();
  EXPECT_EQ(w.device.GetPen()->Width, kMaxPenWidth);
  EXPECT_EQ(w.raster.GetPixel(0, 0), kRed);

  // Bit 4 keeps the text's own layout.
  FontSheet t;
  t.font.GetTextStyles()->SetFileName("C:\\TTRIZENI\\none.txt");
  t.text->Veta = "A";
  t.font.Layout.TextAtrib = TBGITextLayout::kCapHeight | TBGITextLayout::kNoStyle;
  t.font.Layout.Height = 10;
  t.font.Draw();
  EXPECT_TRUE(t.red(15, 50));
  EXPECT_FALSE(t.red(25, 50));
}

TEST(StrokeFont, AFontWithoutCapitalHeightIsReportedOncePerFont) {
  FontSheet s;
  font_test::Write(s.drive.dir / "SIMP.CHR", font_test::FontBytes(false, 0));
  s.font.Layout.TextAtrib = TBGITextLayout::kCapHeight | TBGITextLayout::kNoStyle;
  s.font.UpdateEnvelope();
  s.font.Draw();
  s.font.Draw();
  EXPECT_EQ(s.problems.total(), 1u);
  EXPECT_NE(s.problems.Summary().find("Chyba v načtení vektorového fontu"), std::string::npos);
}
