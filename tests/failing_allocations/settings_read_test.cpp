// The settings file read with its allocations failing one at a time: each
// read fails with std::bad_alloc or gives the value the file holds, never
// the default of a key that is there.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "failing_allocations.h"
#include "files.h"
#include "framework/ini_file.h"
#include "framework/settings.h"
#include "temp_dir.h"

namespace {

TEST(FailingSettingsReadTest, EveryFailedAllocationFailsTheReadOrGivesTheValue) {
  test_support::TempDir dir("windir");
  test_support::ScopedEnv windir("WINDIR", dir.string());
  // Keys enough before the one read that the reading allocates many times.
  std::string text = "[DET]\r\n";
  for (int i = 0; i < 100; ++i) text += "Klic" + std::to_string(i) + "=hodnota " + std::to_string(i) + "\r\n";
  text += "[EXPORT]\r\nMaxPocetSouradnic=250\r\n";
  test_support::WriteFile(dir / "TERGELIX.INI", text);

  const std::vector<std::pair<const char*, std::function<std::string()>>> reads = {
      {"checked", [] {
         std::string error;
         const std::optional<double> value = CheckedSetting("EXPORT", "MaxPocetSouradnic", 100, {2, 1000000}, error);
         return value ? std::to_string(static_cast<int>(*value)) : error;
       }},
      {"integer", [] { return std::to_string(ReadIniInteger("EXPORT", "MaxPocetSouradnic", 100)); }},
      {"own file", [&dir] {
         return TRealIniFile((dir / "TERGELIX.INI").string()).ReadString("EXPORT", "MaxPocetSouradnic", "100");
       }}};
  for (const auto& [name, read] : reads) {
    SCOPED_TRACE(name);
    bool failed = true;
    for (long k = 1; failed; ++k) {
      std::string value;
      bool threw = false;
      try {
        failing_allocations::Armed armed(k);
        value = read();
      } catch (const std::bad_alloc&) {
        threw = true;
      }
      failed = failing_allocations::Failed();
      ASSERT_EQ(threw, failed) << "allocation " << k << " failed and the read went on";
      if (!threw) {
        ASSERT_EQ(value, "250") << "allocation " << k;
      }
    }
  }
}

}  // namespace
