#include <gtest/gtest.h>

#include "platform/scripted_user_interaction.h"
#include "render/device.h"
#include "render/gelix_color.h"
#include "render/memory_raster.h"
#include "render/point_symbols.h"
#include "tests/render/stroke_font_test_files.h"

namespace {
struct SymbolSheet {
  font_test::SymbolDrive drive{"symbols"};
  platform::ScriptedUserInteraction ui;
  TMemoryRaster raster{100, 100};
  TCanvasDevice device;
  SymbolSheet() {
    platform::setUi(&ui);
    raster.SetLogPixels(254, 254);
    device.SetCanvas(&raster);
    device.GetProjection()->Setup({50, 50}, device.GetPage(), 10000);
    font_test::Write(drive.dir / "SYMB.FNT", font_test::FontBytes(true));
    font_test::Write(drive.dir / "PLAIN.FNT", font_test::FontBytes(false));
    // Size 20 world units is the capital height (10 font units).
    font_test::WriteText(drive.dir / "Fonty.txt",
                         "2 symb.fnt D 20 0.1\n\n"
                         "3 SYMB.FNT d 20 0.1\n"
                         "0 symb.fnt D 20 0.1\n"
                         "4 symb.fnt D 0.00009 0.1\n"
                         "5 symb.fnt D 0.0001 0.1\n"
                         "6 plain.fnt D 20 0.1\n"
                         "7 symb.fnt D\n");
  }
  ~SymbolSheet() { platform::setUi(nullptr); }
  int painted() const {
    int n = 0;
    for (TColor c : raster.Pixels()) n += c != clWhite;
    return n;
  }
};
}  // namespace

TEST(PointSymbols, KeepsOnlyValidFontLines) {
  SymbolSheet s;
  TGeliXSymbols lib("C:\\TTRIZENI\\FONTY.TXT");
  EXPECT_NE(lib.FindFontFile(2), nullptr);
  EXPECT_NE(lib.FindFontFile(5), nullptr);
  EXPECT_EQ(lib.FindFontFile(0), nullptr);
  EXPECT_EQ(lib.FindFontFile(4), nullptr);
  EXPECT_EQ(lib.FindFontFile(7), nullptr);
  EXPECT_EQ(lib.FindFontFile(2)->SizeMode, 1);
  EXPECT_EQ(TGeliXSymbols("C:\\TTRIZENI\\none.txt").FindFontFile(2), nullptr);
}

TEST(PointSymbols, DrawsTheCharacterOfTheThousandsFontAtThePoint) {
  SymbolSheet s;
  TGeliXSymbols lib("C:\\TTRIZENI\\Fonty.txt");
  lib.SetDevice(&s.device);
  lib.DrawSymbol(1, 2066, 40, 30, 0);  // font 2, character "B": upright, 20 tall
  const TColor pen = GelixColorToRGB(1);
  // World (40, 30) is pixel (40, 70); the stroke rises to pixel row 50.
  EXPECT_EQ(s.raster.GetPixel(40, 55), pen);
  EXPECT_EQ(s.raster.GetPixel(40, 69), pen);
  EXPECT_NE(s.raster.GetPixel(40, 45), pen);
  EXPECT_NE(s.raster.GetPixel(40, 75), pen);
  const int first = s.painted();

  // Font 3 names the same file: no reload, same glyph.
  lib.DrawSymbol(1, 3066, 60, 30, 0);
  EXPECT_EQ(lib.GetSymbolFont()->SymbolFontNo, 2);
  EXPECT_EQ(s.raster.GetPixel(60, 60), pen);

  // No font 0, no signature, no such character: nothing drawn, nothing said.
  const int before = s.painted();
  lib.DrawSymbol(1, 999, 10, 10, 0);
  lib.DrawSymbol(1, 6066, 10, 10, 0);
  lib.DrawSymbol(1, 2300, 10, 10, 0);
  EXPECT_EQ(s.painted(), before);
  EXPECT_GT(first, 0);
  EXPECT_TRUE(s.ui.shown().empty());
}
