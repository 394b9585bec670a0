#include "platform/path_resolver.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

using platform::PathResolver;
namespace fs = std::filesystem;

class PathResolverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("zelto_paths_" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "Gis" / "Lhc.blk");
    std::ofstream(root / "Gis" / "Lhc.blk" / "tn.crd") << "x";
    resolver.setDrive('g', root);
  }
  void TearDown() override { fs::remove_all(root); }

  fs::path root;
  PathResolver resolver;
};

TEST_F(PathResolverTest, DriveLettersAndBackslashesMapToDirectories) {
  EXPECT_EQ(resolver.mapped("G:\\ZELTO\\TEST.BLK"), root / "ZELTO" / "TEST.BLK");
  EXPECT_EQ(resolver.mapped("x:\\a"), fs::path());  // unmapped drive names no file
  resolver.setCurrentDrive('G');
  EXPECT_EQ(resolver.mapped("\\A\\B.DBF"), root / "A" / "B.DBF");
  EXPECT_EQ(resolver.mapped("sub\\f.txt"), fs::path("sub") / "f.txt");
  EXPECT_EQ(resolver.mapped("/tmp/x"), fs::path("/tmp/x"));
}

TEST_F(PathResolverTest, MessagesSpellPathsAsTheUserChoseThem) {
  EXPECT_EQ(resolver.userSpelling(root / "Gis" / "Lhc.blk" / "tn.crd"), "G:\\Gis\\Lhc.blk\\tn.crd");
  EXPECT_EQ(resolver.userSpelling(root), "G:\\");
  EXPECT_EQ(resolver.userSpelling("/elsewhere/a.txt"), "/elsewhere/a.txt");
  EXPECT_EQ(resolver.userSpelling(root.string() + "x/a"), root.string() + "x/a");  // not under the drive
  // Table names join their block directory with a backslash.
  EXPECT_EQ(resolver.userSpelling(root.string() + "/Gis/Lhc.blk\\P1600.DBF"), "G:\\Gis\\Lhc.blk\\P1600.DBF");
  EXPECT_EQ(resolver.userSpelling("/elsewhere/a.blk\\P1600.DBF"), "/elsewhere/a.blk/P1600.DBF");
}

TEST_F(PathResolverTest, ExistingFilesAreFoundWhateverTheCase) {
  EXPECT_EQ(resolver.existing("G:\\GIS\\LHC.BLK\\TN.CRD"), root / "Gis" / "Lhc.blk" / "tn.crd");
  EXPECT_TRUE(resolver.exists("g:\\gis\\lhc.BLK\\Tn.Crd"));
  EXPECT_FALSE(resolver.exists("G:\\GIS\\LHC.BLK\\TN.LIN"));
  EXPECT_TRUE(resolver.exists((root / "GIS" / "lhc.blk").string()));
}

TEST_F(PathResolverTest, NewNamesAreWrittenInUpperCase) {
  EXPECT_EQ(resolver.forWriting("G:\\gis\\lhc.blk\\p1600.dbf"), root / "Gis" / "Lhc.blk" / "P1600.DBF");
  EXPECT_EQ(resolver.forWriting("G:\\gis\\nový\\tn.lin"), root / "Gis" / "NOVÝ" / "TN.LIN");
  EXPECT_EQ(resolver.forWriting("G:\\gis\\lhc.blk\\TN.crd"), root / "Gis" / "Lhc.blk" / "tn.crd");
}
