#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "framework/directory_element.h"
#include "framework/file_model.h"
#include "framework/memory_element.h"
#include "framework/property_access.h"
#include "framework/tick_clock.h"
#include "framework/timer_elements.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

fs::path freshDirectory(const std::string& name) {
  const fs::path dir = test_support::ProcessDirectory() / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

}  // namespace

TEST(FileElements, ADirectoryListsItsTreeOnceAndKnowsSourceUnits) {
  const fs::path dir = freshDirectory("tree");
  fs::create_directories(dir / "Sub");
  std::ofstream(dir / "Sub" / "unit.PAS") << "[Unit_Description]\nVersion=1.2\nAdmin = Novák\n";
  std::ofstream(dir / "other.pas") << "";
  std::ofstream(dir / "data.TXT") << "12345";
  fs::create_directory_symlink(dir / "Sub", dir / "zlink");
  framework::SetDriveDirectory('T', dir.parent_path());
  const std::string root = "T:\\" + dir.filename().string();

  TDirectoryElement listing;
  SetPropTextByName(&listing, "FileName", root);
  ASSERT_EQ(listing.GetCount(), 4);  // Sub, data.TXT, other.pas, zlink
  auto* sub = dynamic_cast<TDirectoryElement*>(listing.FindElementByName("Sub"));
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->GetFileName(), root + "\\Sub");
  ASSERT_EQ(sub->GetCount(), 1);
  auto* unit = dynamic_cast<TPascalUnitElement*>(sub->GetItem(0));
  ASSERT_NE(unit, nullptr);
  EXPECT_EQ(unit->PropertyText("Version"), "1.2");
  EXPECT_EQ(unit->PropertyText("Admin"), "Novák");
  EXPECT_EQ(listing.FindElementByName("other.pas")->ClassName(), "TFileElement");
  auto* link = listing.FindElementByName("zlink");
  EXPECT_EQ(link->ClassName(), "TFileElement");
  auto* data = dynamic_cast<TFileElement*>(listing.FindElementByName("data.TXT"));
  EXPECT_EQ(data->GetFileExt(), "TXT");
  EXPECT_EQ(data->GetFileSize(), 5);
  EXPECT_TRUE(data->GetExists());

  // The same name in other letters lists nothing again.
  data->ID = 42;
  listing.SetFileName(root.substr(0, 3) + "TREE");
  EXPECT_EQ(listing.FindElementByName("data.TXT")->ID, 42);

  TDirectoryElement dirsOnly;
  dirsOnly.DirOnly = true;
  dirsOnly.SetFileName(root);
  EXPECT_EQ(dirsOnly.GetCount(), 1);

  framework::RemoveDrive('T');
}

TEST(FileElements, NamesExtensionsRenamesAndTimes) {
  const fs::path dir = freshDirectory("names");
  std::ofstream(dir / "a.txt") << "x";
  TFileElement file;
  file.SetFileName((dir / "a.txt").string());
  EXPECT_EQ(file.GetName(), "a.txt");
  EXPECT_EQ(file.GetFilePath(), dir.string() + "/");
  file.SetName("b.txt");
  EXPECT_TRUE(fs::exists(dir / "b.txt"));
  EXPECT_EQ(file.GetFileName(), (dir / "b.txt").string());
  file.SetName("missing/c.txt");
  EXPECT_EQ(file.GetName(), "b.txt");
  std::ofstream(dir / "taken.txt") << "keep";
  file.SetName("taken.txt");
  EXPECT_EQ(file.GetName(), "b.txt");
  EXPECT_EQ(fs::file_size(dir / "taken.txt"), 4u);

  TFileElement dotted;
  dotted.SetFileName("C:\\X\\name.");
  EXPECT_EQ(dotted.GetFileExt(), "");

  file.SetReadInfo(true);
  file.SetFileTimeString("24.12.2020 18:30:10");
  EXPECT_EQ(file.GetFileTimeString(), "24.12.2020 18:30:10");
  EXPECT_NEAR(file.GetFileTime(), 44189.7709490741, 1e-9);
  file.SetFileTimeString("31.2.2020 10:00:00");
  EXPECT_EQ(file.GetFileTimeString(), "24.12.2020 18:30:10");
  TFileElement fresh;
  fresh.SetFileName(file.GetFileName());
  fresh.SetReadInfo(true);
  EXPECT_EQ(fresh.GetFileTimeString(), "24.12.2020 18:30:10");
}

TEST(FileElements, FileBasedEntitiesReportTheirErrorCodes) {
  TFileBasedEntity entity;
  entity.SetFileName("");
  EXPECT_EQ(entity.Error, 11);
  const test_support::TempDir dir("files");
  entity.SetFileName((dir / "zelto_none.txt").string());
  EXPECT_EQ(entity.Error, 12);
  entity.SetFileName(dir.string());
  EXPECT_EQ(entity.Error, 0);

  TFileModel model;
  model.SetFileName("C:\\GIS\\ZELTO.ZLT");
  EXPECT_EQ(model.GetPath(), "C:\\GIS\\");
  model.SetPath("D:\\NEW");
  EXPECT_EQ(model.GetFileName(), "D:\\NEW\\ZELTO.ZLT");
}

TEST(EnvironmentElements, MemoryValuesAreClampedNotWrapped) {
  EXPECT_EQ(TMemoryElement::Clamp(5ull << 32), 4294967295u);
  EXPECT_EQ(TMemoryElement::Clamp(12345), 12345u);
}

TEST(EnvironmentElements, TickTimersAlarmOnceTheIntervalHasPassed) {
  std::uint64_t now = 5'000'000'000ull;  // beyond 32 bits of milliseconds
  framework::ScopedTickSource clock([&now] { return now; });
  TTickElement tick;
  tick.Interval = 100;
  now += 100;
  EXPECT_FALSE(tick.GetAlarm());
  now += 1;
  EXPECT_TRUE(tick.GetAlarm());
  EXPECT_FALSE(tick.GetAlarm());
  tick.Pause = true;
  now += 1000;
  EXPECT_FALSE(tick.GetAlarm());
  tick.Restart();
  tick.Interval = 0;
  EXPECT_FALSE(tick.GetAlarm());
  now += 1;
  EXPECT_TRUE(tick.GetAlarm());
}

TEST(EnvironmentElements, TimeIntervalsReadBackAndCountMissedAlarms) {
  std::uint64_t now = 1000;
  framework::ScopedTickSource clock([&now] { return now; });
  TTimeElement timer;
  timer.SetInterval("5:30");
  EXPECT_EQ(timer.GetInterval(), "0:5:30.0");
  timer.SetInterval("45");
  EXPECT_EQ(timer.GetInterval(), "0:0:45.0");
  timer.SetInterval("1:2:3.250");
  EXPECT_EQ(timer.GetInterval(), "1:2:3.250");
  EXPECT_THROW(timer.SetInterval("25:00:00"), std::invalid_argument);
  EXPECT_THROW(timer.SetInterval("a:b"), std::invalid_argument);

  timer.SetInterval("0:0:1");
  timer.MultiAlarm = true;
  timer.GetAlarm();
  now += 1000;
  EXPECT_FALSE(timer.GetAlarm());
  now += 3100;
  EXPECT_TRUE(timer.GetAlarm());
  EXPECT_EQ(timer.AlarmCount, 2);
}
