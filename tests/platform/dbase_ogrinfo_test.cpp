// Tables this layer writes go to other GIS programs; GDAL's reader stands in
// for them.
#include "platform/dbase_table.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include "process.h"

using platform::DbfTable;
namespace fs = std::filesystem;

namespace {


}  // namespace

TEST(DbfOgrinfo, GdalReadsTypesAndCzechValues) {
  if (std::system("command -v ogrinfo >/dev/null 2>&1") != 0) GTEST_SKIP() << "ogrinfo not installed";
  const fs::path dir = fs::temp_directory_path() / ("zelto_ogr_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path file = dir / "L0110.DBF";
  DbfTable::create(file, {{"NAZEV", 'C', 20, 0}, {"PLOCHA", 'N', 8, 2}, {"CISLO", 'N', 6, 0}, {"DATUM", 'D', 8, 0}});
  {
    DbfTable t;
    t.open(file, false);
    t.append();
    t.setText("NAZEV", "Příliš žluťoučký kůň");
    t.setText("PLOCHA", "12,5");
    t.setText("CISLO", "3");
    t.setText("DATUM", "5.3.2024");
    t.post();
    t.append();
    t.setText("CISLO", "-7");
    t.post();
  }
  const std::string summary = test_support::Capture("ogrinfo -so -al '" + file.string() + "' 2>&1");
  EXPECT_NE(summary.find("Feature Count: 2"), std::string::npos) << summary;
  EXPECT_NE(summary.find("NAZEV: String (20.0)"), std::string::npos) << summary;
  EXPECT_NE(summary.find("PLOCHA: Real (8.2)"), std::string::npos) << summary;
  EXPECT_NE(summary.find("CISLO: Integer (6.0)"), std::string::npos) << summary;
  EXPECT_NE(summary.find("DATUM: Date"), std::string::npos) << summary;

  const std::string rows = test_support::Capture("ogrinfo -q -al '" + file.string() + "' 2>&1");
  EXPECT_NE(rows.find("NAZEV (String) = Příliš žluťoučký kůň"), std::string::npos) << rows;
  EXPECT_NE(rows.find("PLOCHA (Real) = 12.50"), std::string::npos) << rows;
  EXPECT_NE(rows.find("CISLO (Integer) = 3"), std::string::npos) << rows;
  EXPECT_NE(rows.find("DATUM (Date) = 2024/03/05"), std::string::npos) << rows;
  EXPECT_NE(rows.find("CISLO (Integer) = -7"), std::string::npos) << rows;
  fs::remove_all(dir);
}
