// The hatch library on a file and a memory-raster device: symbols read once
// and kept, missing ones answered without a symbol.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "render/area_symbol.h"
#include "render/device.h"
#include "render/hatch_library.h"
#include "render/memory_raster.h"
#include "temp_dir.h"

namespace {

class HatchLibraryTest : public testing::Test {
 protected:
  void SetUp() override {
    file = test_support::ProcessDirectory() / "Srafy.txt";
    std::ofstream(file) << "; hatch library\n"
                           "[PlosnaZnacka]\nKOD = 1201\nNAZEV=Pastvina\nPODKLAD=10\n"
                           "[VrstvaSraf]\nUHEL=0\n[Srafa]\nSIRKA=0.2\nBARVA=13\nVZDALENOST=0.6\n[End]\n[End]\n"
                           "[End]\n";
    // 254 dots per inch and scale 10000: one metre a pixel; 1 mm of the map
    // is 5 pixels.
    raster.SetLogPixels(254, 254);
    device.SetCanvas(&raster);
    device.GetProjection()->Setup({50, 50}, device.GetPage(), 10000);
    library.SetName(file.string());
    library.SetDevice(&device);
  }

  std::filesystem::path file;
  TMemoryRaster raster{100, 100};
  TCanvasDevice device;
  TPlosneZnacky library;
};

TEST_F(HatchLibraryTest, SymbolsAreReadOnceAndMissingOnesGiveNothing) {
  TPlosnaZnacka* s = library.FindSymbol(1201);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->Nazev, "Pastvina");
  ASSERT_EQ(s->Vrstvy.size(), 1u);
  EXPECT_EQ(s->Vrstvy[0]->Hatches[0]->Vzdalenost, 3);
  std::filesystem::remove(file);
  EXPECT_EQ(library.FindSymbol(1201), s);
  EXPECT_FALSE(library.FindSymbol(1202));
  TPlosneZnacky nowhere("/nonexistent/Srafy.txt");
  nowhere.SetDevice(&device);
  EXPECT_FALSE(nowhere.FindSymbol(1201));
}

}  // namespace
