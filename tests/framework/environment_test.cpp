#include "framework/directory_listing.h"
#include "framework/drive_map.h"
#include "framework/file_version.h"
#include "framework/memory_status.h"
#include "framework/remove_directory_tree.h"

#include <gtest/gtest.h>

#include "platform/scripted_user_interaction.h"
#include "temp_dir.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

fs::path freshDirectory(const std::string& name) {
  const fs::path dir = test_support::ProcessDirectory() / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

void touch(const fs::path& file, const std::string& text = "x") { std::ofstream(file) << text; }

}  // namespace

TEST(DirectoryTree, ListedWithoutFollowingLinksAndRemovedWhole) {
  platform::ScopedScriptedUi ui;
  const fs::path outside = freshDirectory("outside");
  touch(outside / "keep.txt");
  const fs::path dir = freshDirectory("tree");
  fs::create_directories(dir / "sub" / "deeper");
  touch(dir / "a.txt", "hello");
  touch(dir / "sub" / "b.pas");
  touch(dir / "sub" / "deeper" / "c.dat");
  fs::create_directory_symlink(outside, dir / "link");

  const auto all = framework::ListDirectory(dir, false);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].Name, "a.txt");
  EXPECT_EQ(all[0].Size, 5);
  EXPECT_TRUE(all[0].Attr & framework::faArchive);
  EXPECT_EQ(all[1].Name, "link");
  EXPECT_FALSE(all[1].Attr & framework::faDirectory);
  EXPECT_TRUE(all[2].Attr & framework::faDirectory);
  const auto dirs = framework::ListDirectory(dir, true);
  ASSERT_EQ(dirs.size(), 1u);
  EXPECT_EQ(dirs[0].Name, "sub");

  framework::SetDriveDirectory('Q', dir.parent_path());
  const std::string windowsName = "Q:\\" + dir.filename().string() + "\\";
  EXPECT_TRUE(RemoveDirectoryTree(windowsName));
  EXPECT_FALSE(fs::exists(dir));
  EXPECT_TRUE(fs::exists(outside / "keep.txt"));
  EXPECT_TRUE(RemoveDirectoryTree(windowsName));  // gone already
  EXPECT_TRUE(ui->shown().empty());
  framework::RemoveDrive('Q');
}

TEST(DirectoryTree, EmptyNamesAndRootsAreRefused) {
  platform::ScopedScriptedUi ui;
  const fs::path dir = freshDirectory("root");
  touch(dir / "precious");
  framework::SetDriveDirectory('R', dir);
  EXPECT_FALSE(RemoveDirectoryTree(""));
  EXPECT_FALSE(RemoveDirectoryTree("/"));
  EXPECT_FALSE(RemoveDirectoryTree("\\"));
  EXPECT_FALSE(RemoveDirectoryTree("R:\\"));
  EXPECT_FALSE(RemoveDirectoryTree("R:"));
  EXPECT_FALSE(RemoveDirectoryTree(dir.string()));
  EXPECT_TRUE(fs::exists(dir / "precious"));
  ASSERT_EQ(ui->shown().size(), 6u);
  EXPECT_EQ(ui->shown()[0].text, "Adresář nelze zrušit !");
  EXPECT_EQ(ui->shown()[3].text, "Adresář R:\\nelze zrušit !");
  framework::RemoveDrive('R');
}

TEST(DirectoryListing, PackedTimesRoundTripToTwoSeconds) {
  const std::time_t now = 1700000000;  // 2023-11-14
  const std::int32_t packed = framework::PackDateTime(now);
  EXPECT_EQ(packed >> 25, 2023 - 1980);
  EXPECT_LE(now - framework::UnpackDateTime(packed), 1);
}

TEST(Drives, MappedLettersFormTheDriveMask) {
  const fs::path dir = freshDirectory("drive");
  framework::SetDriveDirectory('c', dir);
  framework::SetDriveDirectory('E', dir / "missing");
  EXPECT_EQ(framework::LogicalDriveMask() & 0b10100, 0b10100u);
  EXPECT_EQ(framework::DriveTypeOf("C:\\"), framework::TDriveType::HardDisk);
  EXPECT_EQ(framework::DriveTypeOf("E:\\"), framework::TDriveType::DontExists);
  EXPECT_EQ(framework::DriveTypeOf("Z:\\"), framework::TDriveType::DontExists);
  fs::create_directories(dir / "gis");
  EXPECT_EQ(framework::ResolvePath("c:\\GIS\\X.BLK"), dir / "gis/X.BLK");
  EXPECT_EQ(framework::ResolvePath("Z:\\GIS"), fs::path());
  framework::RemoveDrive('C');
  framework::RemoveDrive('E');
}

TEST(MemoryStatus, CountsAboveFourGigabytesDoNotWrap) {
  const auto s = framework::ParseMemoryStatus(
      "MemTotal:       16000000 kB\nMemFree:  100 kB\nMemAvailable:    6000000 kB\n"
      "SwapTotal:       2000000 kB\nSwapFree:        1500000 kB\n",
      "Name: x\nVmSize:  1000000 kB\n", std::uint64_t{1} << 47);
  EXPECT_EQ(s.TotalPhys, 16000000ull * 1024);
  EXPECT_EQ(s.AvailMemory(), 6000000ull * 1024);
  EXPECT_EQ(s.MemoryLoad, 62u);
  EXPECT_EQ(s.AlocatedMemory(), (10000000ull + 500000ull + 10000000ull) * 1024);
  EXPECT_EQ(s.AvailVirtual, (std::uint64_t{1} << 47) - 1000000ull * 1024);

  const auto live = framework::ReadMemoryStatus();
  EXPECT_GT(live.TotalPhys, 0u);
  EXPECT_LE(live.AvailPhys, live.TotalPhys);
}

TEST(FileVersion, OnlyTheProgramCarriesVersionInformation) {
  TFileVersion v;
  EXPECT_EQ(v.Error(), "Empty FileName");
  const fs::path dir = freshDirectory("version");
  touch(dir / "other.exe");
  v.SetFileName((dir / "other.exe").string());
  EXPECT_EQ(v.Error(), "InfoSize=0");
  EXPECT_EQ(v.MajorVersion(), 0);
  EXPECT_EQ(v.ProductName(), "");

  v.SetFileName(framework::ProgramFile());
  EXPECT_EQ(v.Error(), "");
  EXPECT_EQ(v.ProductName(), "zeltoexport");
  EXPECT_EQ(v.FileVersion(), std::to_string(v.MajorVersion()) + "." +
                                std::to_string(v.MinorVersion()) + "." +
                                std::to_string(v.Release()) + "." + std::to_string(v.Build()));
  EXPECT_GT(v.MajorVersion() + v.MinorVersion() + v.Release(), 0);
  EXPECT_EQ(v.CompanyName(), "No CompanyName");
  EXPECT_EQ(v.InfoString("Unknown"), "");
}
