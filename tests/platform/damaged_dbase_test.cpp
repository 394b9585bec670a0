// Damaged dBase tables opened, walked, read and edited: every call returns
// or throws DbfError, and a header that cannot be right is refused.
#include <gtest/gtest.h>

#include <random>
#include <string_view>
#include <vector>

#include "platform/dbase_table.h"
#include "temp_dir.h"
#include "tests/platform/damage.h"

using platform::DbfError;
using platform::DbfTable;
namespace fs = std::filesystem;

namespace {

class DamagedDbfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file = dir / "P1600.DBF";
    DbfTable::create(file, {{"CISLO", 'N', 8, 0}, {"PLOCHA", 'N', 12, 2}, {"NAZEV", 'C', 20, 0},
                            {"DATUM", 'D', 8, 0}, {"PLATNY", 'L', 1, 0}});
    DbfTable t;
    t.open(file, false);
    for (int i = 1; i <= 4; ++i) {
      t.append();
      t.setText("CISLO", std::to_string(i));
      t.setText("PLOCHA", "12,5");
      t.setText("NAZEV", "porost " + std::to_string(i));
      t.setText("DATUM", "1.2.2003");
      t.setText("PLATNY", "T");
      t.post();
    }
    t.moveTo(2);
    t.deleteRecord();
    t.close();
    valid = damage::read(file);
  }

  // Opens the file and uses every part of it; false when it was refused.
  bool useAll(bool readOnly) {
    DbfTable t;
    try {
      t.open(file, readOnly);
    } catch (const DbfError& e) {
      refusal = e.what();
      EXPECT_NE(refusal, "");
      return false;
    }
    try {
      for (bool row = t.first(); row; row = t.next())
        for (int f = 0; f < static_cast<int>(t.fields().size()); ++f) t.text(f);
      for (std::uint32_t r = 0; r <= t.recordCount() + 1 && r < 10; ++r) {
        try {
          t.moveTo(r);
          t.text(0);
        } catch (const DbfError&) {
        }
      }
      if (!readOnly) {
        t.append();
        for (int f = 0; f < static_cast<int>(t.fields().size()); ++f) {
          try {
            t.setText(f, f % 2 ? "123456.75" : "x");
          } catch (const DbfError&) {
          }
        }
        t.post();
      }
    } catch (const DbfError&) {
    }
    return true;
  }

  test_support::TempDir scratch{"damaged_dbf"};
  fs::path dir = scratch.path(), file;
  std::string valid;
  std::string refusal;  // why the last open was refused
};

// A header that disagrees with itself would read every field after the
// fault from its neighbour's bytes: it is refused, saying what is wrong.
TEST_F(DamagedDbfTest, HeadersThatCannotBeRightAreRefused) {
  constexpr std::size_t kWidth = 16;  // in a descriptor
  auto field = [](std::size_t n) { return 32 + 32 * n; };
  struct Case {
    const char* what;
    std::size_t at;
    std::vector<std::uint8_t> bytes;
    std::string told;
  } cases[] = {
      {"record length 0", 10, {0, 0}, ""},
      {"record length 1", 10, {1, 0}, ""},
      {"header length 0", 8, {0, 0}, ""},
      {"header length 31", 8, {31, 0}, ""},
      {"header length past the file", 8, {0xFF, 0xFF}, ""},
      {"field wider than the record", field(0) + kWidth, {0xFF}, ""},
      {"width lowered", field(0) + kWidth, {7}, ": položky se značkou řádku zabírají 49 bajtů, hlavička uvádí délku věty 50"},
      {"width 0", field(4) + kWidth, {0}, ": šířka položky \"PLATNY\" je 0"},
      {"record length one byte long", 10, {51, 0}, ": položky se značkou řádku zabírají 50 bajtů, hlavička uvádí délku věty 51"},
      {"header length one byte long", 8, {194, 0}, ": délka hlavičky 194 neodpovídá počtu položek (5), má být 193"},
      {"header length short of the last descriptor", 8, {161, 0}, ": popis položek nekončí v délce hlavičky"},
      {"header length short of the end mark", 8, {192, 0}, ": popis položek nekončí v délce hlavičky"},
      {"Visual FoxPro header one byte long", 0, {0x30, 103, 2, 1, 4, 0, 0, 0, 194, 0},
       ": délka hlavičky 194 neodpovídá počtu položek (5), má být 193 nebo 456"},
      {"blank name", field(2), {0, 0, 0, 0, 0}, ": 3. položka nemá jméno"},
      {"name of spaces", field(2), {' ', ' ', ' ', ' ', ' '}, ": 3. položka nemá jméno"},
      {"name given twice", field(2), {'c', 'i', 's', 'l', 'o'}, ": položka \"cislo\" je v ní dvakrát"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = valid;
    damage::put(bytes, c.at, c.bytes);
    damage::write(file, bytes);
    EXPECT_FALSE(useAll(true));
    EXPECT_NE(refusal.find("P1600.DBF: Poškozená hlavička tabulky" + c.told), std::string::npos) << refusal;
  }
  // A count beyond the file: only the rows present are offered.
  std::string bytes = valid;
  damage::put(bytes, 4, {0xFF, 0xFF, 0xFF, 0x7F});
  damage::write(file, bytes);
  DbfTable t;
  t.open(file, true);
  EXPECT_EQ(t.recordCount(), 4u);
}

// Rows the header counts but the file lacks, or a row that starts with
// neither ' ' nor '*', are named; a sound table, deleted row included, has
// none.
TEST_F(DamagedDbfTest, RowsCutShortOrWithoutTheirMarkAreNamed) {
  auto damageOf = [&](const std::string& bytes) {
    damage::write(file, bytes);
    DbfTable t;
    t.open(file, true);
    return t.rowDamage();
  };
  EXPECT_EQ(damageOf(valid), "");
  const std::size_t length = 1 + 8 + 12 + 20 + 8 + 1;
  const std::size_t rows = valid.size() - 1 - 4 * length;  // where the first row starts
  EXPECT_EQ(damageOf(valid.substr(0, rows + 2 * length + 10)), "soubor končí po 2. z 4 řádků, které uvádí hlavička");
  std::string bytes = valid;
  damage::put(bytes, rows + 2 * length, {'#'});
  EXPECT_EQ(damageOf(bytes), "řádek 3 nezačíná značkou řádku");
}

// A header that counts fewer rows than the file holds hides the rest from
// every walk: whole rows before the end-of-file mark are named, whatever
// follows the mark or does not make a row is not.
TEST_F(DamagedDbfTest, RowsTheHeaderDoesNotCountAreNamed) {
  auto damageOf = [&](std::uint8_t count, const std::string& tail) {
    std::string bytes = valid.substr(0, valid.size() - 1) + tail;
    damage::put(bytes, 4, {count, 0, 0, 0});
    damage::write(file, bytes);
    DbfTable t;
    t.open(file, true);
    return t.rowDamage();
  };
  const std::string row = valid.substr(valid.size() - 1 - (1 + 8 + 12 + 20 + 8 + 1), 1 + 8 + 12 + 20 + 8 + 1);
  EXPECT_EQ(damageOf(3, "\x1A"), "soubor drží i 4. řádek, který hlavička neuvádí");
  EXPECT_EQ(damageOf(1, "\x1A"), "soubor drží i řádky 2. až 4., které hlavička neuvádí");
  EXPECT_EQ(damageOf(0, ""), "soubor drží i řádky 1. až 4., které hlavička neuvádí");
  EXPECT_EQ(damageOf(4, "\x1A" + row + row), "");
  EXPECT_EQ(damageOf(4, std::string(row.size() * 2, '\0')), "");
  EXPECT_EQ(damageOf(4, row.substr(0, row.size() - 1)), "");
}

// A look at each live row goes with the walk that judges the marks, in the
// same read of the file: the rows it is given, and what it finds where the
// marks are sound; a fault of the marks comes first. Without the marks the
// look alone is taken, over the rows the file holds.
TEST_F(DamagedDbfTest, ALookAtEveryLiveRowGoesWithTheMarksInOneRead) {
  const std::size_t length = 1 + 8 + 12 + 20 + 8 + 1;
  const std::size_t first = valid.size() - 1 - 4 * length;  // where the first row starts
  const std::string row = valid.substr(first, length);
  std::vector<std::uint32_t> seen;
  // Row 3 is what the look finds fault with.
  const DbfTable::RowCheck live = [&](std::uint32_t recNo, std::string_view bytes) {
    seen.push_back(recNo);
    EXPECT_EQ(bytes.size(), length);
    return bytes.substr(1, 8) == "       3" ? "řádek " + std::to_string(recNo) + " je třetí" : std::string();
  };
  auto withMark = [&](std::size_t n, char mark) {
    std::string bytes = valid;
    bytes[first + (n - 1) * length] = mark;
    return bytes;
  };
  const struct {
    const char* what;
    std::string bytes;
    bool marks;
    std::string told;
    std::vector<std::uint32_t> seen;  // the rows looked at
  } cases[] = {
      {"the rows, the second deleted", valid, true, "řádek 3 je třetí", {1, 3}},
      {"the look alone", valid, false, "řádek 3 je třetí", {1, 3}},
      {"a row without its mark after the look's find", withMark(4, '#'), true, "řádek 4 nezačíná značkou řádku", {1, 3}},
      {"a row without its mark, the look alone", withMark(1, '#'), false, "řádek 3 je třetí", {1, 3}},
      {"a row the header does not count", valid.substr(0, valid.size() - 1) + row + "\x1A", true,
       "soubor drží i 5. řádek, který hlavička neuvádí", {1, 3}},
      {"cut in the third row", valid.substr(0, first + 2 * length + 5), true,
       "soubor končí po 2. z 4 řádků, které uvádí hlavička", {}},
      {"cut in the third row, the look alone", valid.substr(0, first + 2 * length + 5), false, "", {1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    damage::write(file, c.bytes);
    DbfTable t;
    t.open(file, true);
    seen.clear();
    EXPECT_EQ(c.marks ? t.rowDamage(live) : t.liveRowFault(live), c.told);
    EXPECT_EQ(seen, c.seen);
  }
}

TEST_F(DamagedDbfTest, FieldsOfWidthsDBaseDoesNotGiveThemKeepTheRowLength) {
  DbfTable::create(file, {{"CISLO", 'N', 8, 0}, {"POPIS", 'C', 200, 0}, {"DATUM", 'D', 8, 0}, {"PLATNY", 'L', 1, 0}});
  std::string bytes = damage::read(file);
  damage::put(bytes, 32 + 32 + 11, {'N'});  // POPIS a number of 200 digits
  damage::put(bytes, 32 + 64 + 16, {6});    // DATUM two bytes short
  damage::put(bytes, 32 + 96 + 16, {3});    // PLATNY two bytes long
  damage::write(file, bytes);
  DbfTable t;
  t.open(file, false);
  t.append();
  t.setText("POPIS", "-1234");
  EXPECT_THROW(t.setText("DATUM", "1.2.2003"), DbfError);
  t.setText("PLATNY", "T");
  t.setText("CISLO", "5");
  t.post();
  ASSERT_TRUE(t.first());
  EXPECT_EQ(t.text("POPIS"), "-1234");
  EXPECT_EQ(t.text("PLATNY"), "TRUE");
  EXPECT_EQ(t.text("CISLO"), "5");
  EXPECT_EQ(fs::file_size(file), bytes.size() + 1 + 8 + 200 + 8 + 1);
}

TEST_F(DamagedDbfTest, EveryCallReturnsWhateverTheDamage) {
  damage::Watchdog watchdog(60);
  std::mt19937 rng(1250);
  const auto& kinds = damage::kinds();
  for (int i = 0, n = damage::iterations(400); i < n; ++i) {
    const damage::Kind& kind = kinds[rng() % kinds.size()];
    std::string bytes = valid;
    // Most damage in the header, where it does the most harm.
    if (rng() % 2) {
      std::string head = bytes.substr(0, std::min<std::size_t>(bytes.size(), 32 * 7));
      kind.apply(head, rng);
      bytes = head + (head.size() == 32 * 7 ? bytes.substr(32 * 7) : std::string());
    } else {
      kind.apply(bytes, rng);
    }
    SCOPED_TRACE(std::string(kind.name) + " #" + std::to_string(i));
    watchdog.start(std::string(kind.name) + " #" + std::to_string(i));
    damage::write(file, bytes);
    useAll(i % 3 != 0);
  }
  fs::remove(file);
  EXPECT_FALSE(useAll(true));
  fs::create_directory(file);
  EXPECT_FALSE(useAll(true));
}

}  // namespace
