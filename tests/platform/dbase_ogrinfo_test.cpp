// Tables this layer writes go to other GIS programs; GDAL's reader stands in
// for them.
#include "platform/dbase_table.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "process.h"
#include "temp_dir.h"

using platform::DbfTable;

TEST(DbfOgrinfo, GdalReadsTypesAndCzechValues) {
  if (std::system("command -v ogrinfo >/dev/null 2>&1") != 0) GTEST_SKIP() << "ogrinfo not installed";
  const test_support::TempDir dir("ogr");
  const auto file = dir / "L0110.DBF";
  DbfTable::create(file, {{"NAZEV", 'C', 20, 0}, {"PLOCHA", 'N', 8, 2}, {"CISLO", 'N', 6, 0}, {"DATUM", 'D', 8, 0},
                          {"KOD", 'N', 14, 0}});
  {
    DbfTable t;
    t.open(file, false);
    t.append();
    t.setText("NAZEV", "Příliš žluťoučký kůň");
    t.setText("PLOCHA", "12,5");
    t.setText("CISLO", "3");
    t.setText("DATUM", "5.3.2024");
    t.setText("KOD", "12345678901234");
    t.post();
    t.append();
    t.setText("CISLO", "-7");
    t.post();
  }
  const std::string out = test_support::Capture("ogrinfo -al '" + file.string() + "' 2>&1");
  for (const char* expected : {"Feature Count: 2", "NAZEV: String (20.0)", "PLOCHA: Real (8.2)", "CISLO: Integer (6.0)",
                               "DATUM: Date", "NAZEV (String) = Příliš žluťoučký kůň", "PLOCHA (Real) = 12.50",
                               "CISLO (Integer) = 3", "DATUM (Date) = 2024/03/05", "CISLO (Integer) = -7",
                               "KOD: Integer64 (14.0)", "KOD (Integer64) = 12345678901234"})
    EXPECT_NE(out.find(expected), std::string::npos) << expected << "\n" << out;
}
