#include <gtest/gtest.h>

#include "geometry/poly_element.h"
#include "render/device.h"
#include "render/line_symbols.h"
#include "render/memory_raster.h"
#include "tests/render/stroke_font_test_files.h"

namespace {
constexpr TColor kRed = RGBColor(255, 0, 0);

// One metre a pixel, world (x, y) on pixel (x, 100 - y); virtual scale 1000,
// so one millimetre in the library is one metre.
struct LineSheet {
  font_test::SymbolDrive drive{"linzn"};
  TMemoryRaster raster{100, 100};
  TCanvasDevice device;
  TLinioveZnacky library{"C:\\TTRIZENI\\LINZN.TXT"};
  TPolyElement line;
  LineSheet(const std::string& text) {
    raster.SetLogPixels(254, 254);
    device.SetCanvas(&raster);
    device.GetProjection()->Setup({50, 50}, device.GetPage(), 10000);
    device.GetProjection()->SetVirtualScale(1000);
    font_test::WriteText(drive.dir / "linzn.txt", text);
    font_test::Write(drive.dir / "SYMB.FNT", font_test::FontBytes(true));
    library.SetDevice(&device);
  }
  // Draws the symbol along the points, by default a straight line across.
  void Draw(int code, std::initializer_list<std::pair<double, double>> points = {{10, 50}, {80, 50}}) {
    for (auto [x, y] : points) line.AddVertex(x, y);
    library.FindSymbol(code)->Draw(device, kRed, {0, 0, 100, 100}, true, line);
  }
  bool red(int x, int y) const { return raster.GetPixel(x, 100 - y) == kRed; }
};

const char* kLibrary =
    "; dashes and ticks\n"
    "[LiniovaZnacka]\nKOD=1001\nNAZEV=Carkovana\n"
    "[RETEZ]\nSTRANA=L\n[CLANEK]\nVELIKOST=6\nVZDALENOST=4\n[END]\n[END]\n"
    "[END]\n"
    "[LINIOVAZNACKA]\nKOD=1002\n"
    "[RETEZ]\n[CLANEK]\nVELIKOST=0\n[END]\n[END]\n"
    "[END]\n"
    "[LINIOVAZNACKA]\nKOD=1003\n"
    "[RETEZ]\nVZDALENOST=5\nSTRANA=P\n[CLANEK]\nVELIKOST=10\n[END]\n[END]\n"
    "[RETEZ]\n[PETRKLIC]\nSOUBOR= symb.fnt \nKOD=66\nVELIKOST=12\nVZDALENOST=8\n[END]\n"
    "[PETRKLIC]\nSOUBOR=symb.fnt\nKOD=300\nVELIKOST=5\n[END]\n[END]\n"
    "[END]\n";
}  // namespace

TEST(LineSymbols, ReadsValidSymbolsAndDropsTheRest) {
  LineSheet s(kLibrary);
  TLiniovaZnacka* dash = s.library.FindSymbol(1001);
  ASSERT_NE(dash, nullptr);
  EXPECT_EQ(dash->Nazev, "Carkovana");
  ASSERT_EQ(dash->Retezy.size(), 1u);
  EXPECT_TRUE(dash->Retezy[0]->Strana);
  EXPECT_DOUBLE_EQ(dash->Retezy[0]->Clanky[0]->GetVelikost(), 6);
  EXPECT_EQ(s.library.FindSymbol(1001), dash);
  // Its only link is empty and dropped; the chain stays and draws the line.
  TLiniovaZnacka* plain = s.library.FindSymbol(1002);
  ASSERT_NE(plain, nullptr);
  EXPECT_TRUE(plain->Retezy[0]->Clanky.empty());
  EXPECT_EQ(s.library.FindSymbol(4242), nullptr);

  TLiniovaZnacka* two = s.library.FindSymbol(1003);
  ASSERT_NE(two, nullptr);
  ASSERT_EQ(two->Retezy.size(), 2u);
  // Read last, drawn first; the glyph with code 300 is refused.
  ASSERT_EQ(two->Retezy[0]->Clanky.size(), 1u);
  EXPECT_TRUE(two->Retezy[0]->Clanky[0]->Is<TPetrklicZn>());
  EXPECT_FALSE(two->Retezy[1]->Strana);
}

TEST(LineSymbols, DashesCarryAcrossVertices) {
  LineSheet s(kLibrary);
  s.Draw(1001, {{10, 50}, {23, 50}, {23, 80}});
  EXPECT_TRUE(s.red(13, 50));   // dash 10..16
  EXPECT_FALSE(s.red(18, 50));  // gap 16..20
  EXPECT_TRUE(s.red(22, 50));   // dash 20..23, broken at the vertex
  EXPECT_TRUE(s.red(23, 52));   // ... and its rest 50..53 upwards
  EXPECT_FALSE(s.red(23, 55));  // gap 53..57
  EXPECT_TRUE(s.red(23, 60));   // next dash 57..63
}

TEST(LineSymbols, ChainWithoutLinksDrawsThePlainLine) {
  LineSheet s(kLibrary);
  s.Draw(1002);
  for (int x = 10; x < 80; ++x) ASSERT_TRUE(s.red(x, 50)) << x;
}

TEST(LineSymbols, OffsetChainRunsOnTheChosenSide) {
  LineSheet s(kLibrary);
  s.Draw(1003);
  // The parallel line takes the opposite of STRANA: P lies 5 to the left.
  EXPECT_TRUE(s.red(30, 55));
  EXPECT_FALSE(s.red(30, 45));
  // The glyph chain: "B" scaled to 12 wide draws upright strokes on the line.
  EXPECT_TRUE(s.red(10, 55));
}

TEST(LineSymbols, TicksHarmonicaAndLinksTooSmallForTheDevice) {
  const char* lib =
      "[LINIOVAZNACKA]\nKOD=2001\n[RETEZ]\n[CLANEK]\nVELIKOST=4\nUHEL=90\nVZDALENOST=6\n[END]\n[END]\n[END]\n"
      "[LINIOVAZNACKA]\nKOD=2002\n[RETEZ]\n[CLANEK]\nVELIKOST=4\nUHEL=-90\nVZDALENOST=6\n[END]\n[END]\n[END]\n"
      "[LINIOVAZNACKA]\nKOD=2003\n[RETEZ]\nHARMONIKA=ANO\n"
      "[CLANEK]\nVELIKOST=5\nUHEL=90\n[END]\n[CLANEK]\nVELIKOST=2\nVZDALENOST=2\n[END]\n"
      "[CLANEK]\nVELIKOST=5\nUHEL=90\n[END]\n[END]\n[END]\n"
      "[LINIOVAZNACKA]\nKOD=2004\n[RETEZ]\n[CLANEK]\nVELIKOST=0.002\nVZDALENOST=0.001\n[END]\n[END]\n[END]\n";
  {
    LineSheet s(lib);
    s.Draw(2001);
    // A tick across the line; the position still moves along it.
    EXPECT_TRUE(s.red(10, 52));
    EXPECT_TRUE(s.red(20, 52));
    EXPECT_FALSE(s.red(15, 50));
  }
  {
    LineSheet s(lib);
    s.Draw(2002);
    // The next tick starts at the tip of the previous one.
    EXPECT_TRUE(s.red(10, 48));
    EXPECT_TRUE(s.red(16, 44));
    EXPECT_FALSE(s.red(16, 48));
  }
  {
    LineSheet s(lib);
    s.Draw(2003);
    EXPECT_TRUE(s.red(10, 53));   // opening tick
    EXPECT_TRUE(s.red(80, 53));   // closing tick
    EXPECT_FALSE(s.red(40, 53));  // only the dashes between
    EXPECT_TRUE(s.red(11, 50));
    EXPECT_FALSE(s.red(13, 50));
  }
  {
    LineSheet s(lib);
    s.Draw(2004);
    for (int x = 10; x < 80; ++x) ASSERT_TRUE(s.red(x, 50)) << x;
  }
}

TEST(LineSymbols, GlyphLinkIsCutAtTheVertex) {
  LineSheet s(
      "[LINIOVAZNACKA]\nKOD=3001\n[RETEZ]\n[PETRKLIC]\nSOUBOR=symb.fnt\nKOD=65\nVELIKOST=10\nVZDALENOST=30\n"
      "[END]\n[END]\n[END]\n");
  s.Draw(3001, {{10, 50}, {16, 50}, {16, 80}});
  EXPECT_TRUE(s.red(13, 50));   // the glyph's stroke up to the vertex
  EXPECT_TRUE(s.red(16, 52));   // its rest turned up the next segment
  EXPECT_FALSE(s.red(16, 56));
}
