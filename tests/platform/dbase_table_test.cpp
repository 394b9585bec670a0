#include "platform/dbase_table.h"

#include <gtest/gtest.h>

#include <fstream>

#include "file_size_limit.h"
#include "files.h"
#include "read_only.h"
#include "temp_dir.h"

using platform::DbfError;
using platform::DbfField;
using platform::DbfTable;
namespace fs = std::filesystem;

namespace {

class DbfTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file = dir / "P1600.DBF";
  }

  void createSample() {
    DbfTable::create(file, {{"nazev", 'C', 5, 0}, {"Plocha", 'N', 6, 2}, {"CISLO", 'N', 4, 0}});
  }

  test_support::TempDir scratch{"dbf"};
  fs::path dir = scratch.path(), file;
};

}  // namespace

TEST_F(DbfTableTest, CreatedFileIsDbaseThreeByteForByte) {
  createSample();
  DbfTable t;
  t.open(file, false);
  t.append();
  t.setText("NAZEV", "Šum");
  t.setText("plocha", "1,5");
  t.setText("cislo", "42");
  t.post();
  t.close();

  const std::string b = test_support::ReadFile(file);
  ASSERT_EQ(b.size(), 32u + 3 * 32 + 1 + 16 + 1);
  EXPECT_EQ(b[0], '\x03');
  EXPECT_EQ(b.substr(4, 8), std::string("\x01\0\0\0\x81\0\x10\0", 8));  // 1 row, header 129, row 16
  EXPECT_EQ(b[29], '\xC8');                                              // Windows-1250
  EXPECT_EQ(b.substr(32, 12), std::string("NAZEV\0\0\0\0\0\0C", 12));
  EXPECT_EQ(b.substr(64 + 16, 2), std::string("\x06\x02", 2));
  EXPECT_EQ(b[128], '\x0D');
  EXPECT_EQ(b.substr(129, 16), " \x8Aum    1.50  42");
  EXPECT_EQ(b.back(), '\x1A');
}

// A table marked as written on DOS holds its text in code page 852: it is
// read and written so, names included, and a new table copying its mark
// is made so; any other mark is read as Windows-1250, as this program
// writes.
TEST_F(DbfTableTest, TextIsReadAndWrittenInTheCodePageTheHeaderNames) {
  DbfTable::create(file, {{"NAZEV", 'C', 6, 0}, {"POVRCH", 'C', 6, 0}}, platform::dbf::kLanguageLatin2);
  std::string b = test_support::ReadFile(file);
  EXPECT_EQ(b[29], '\x64');
  b.replace(32, 5, "N\xB5ZEV");  // "NÁZEV"
  test_support::WriteFile(file, b);
  {
    DbfTable t;
    t.open(file, false);
    EXPECT_EQ(t.fields()[0].name, "NÁZEV");
    t.append();
    t.setText(0, "Žluť");
    t.setText(1, "štěrk");
    t.post();
  }
  b = test_support::ReadFile(file);
  EXPECT_EQ(b.substr(b.size() - 14, 13), " \xA6lu\x9C  \xE7t\xD8rk ");
  DbfTable t;
  t.open(file, true);
  ASSERT_TRUE(t.first());
  EXPECT_EQ(t.text(1), "štěrk");
  t.close();
  for (const char mark : {'\xC8', '\x00', '\x57'}) {
    b[29] = mark;
    test_support::WriteFile(file, b);
    t.open(file, true);
    ASSERT_TRUE(t.first());
    EXPECT_EQ(t.text(1), "çtŘrk") << int(static_cast<unsigned char>(mark));
    t.close();
  }
}

TEST_F(DbfTableTest, PhysicalRecordNumbersCountDeletedRows) {
  createSample();
  {
    DbfTable t;
    t.open(file, false);
    for (const char* cislo : {"3", "1", "3"}) {
      t.append();
      t.setText("CISLO", cislo);
      t.post();
    }
    t.moveTo(2);
    t.deleteRecord();
  }
  DbfTable t;
  t.open(file, true);
  EXPECT_EQ(t.recordCount(), 3u);
  std::vector<std::uint32_t> walked;
  for (bool ok = t.first(); ok; ok = t.next()) walked.push_back(t.recNo());
  EXPECT_EQ(walked, (std::vector<std::uint32_t>{1, 3}));
  t.moveTo(2);
  EXPECT_TRUE(t.isDeleted());
  EXPECT_EQ(t.text("cislo"), "1");
  EXPECT_THROW(t.moveTo(4), DbfError);
  EXPECT_THROW(t.edit(), DbfError);  // read-only
}

TEST_F(DbfTableTest, EditRewritesTheRowInPlace) {
  createSample();
  DbfTable t;
  t.open(file, false);
  t.append();
  t.setText("NAZEV", "a");
  t.post();
  t.append();
  t.setText("NAZEV", "b");
  t.post();
  t.moveTo(1);
  t.edit();
  t.setText("NAZEV", "Žán");
  t.post();
  t.append();
  t.setText("NAZEV", "lost");
  t.cancel();
  t.open(file, true);
  EXPECT_EQ(t.recordCount(), 2u);
  EXPECT_EQ(t.text("NAZEV"), "Žán");
  EXPECT_TRUE(t.next());
  EXPECT_EQ(t.text("NAZEV"), "b");
  EXPECT_FALSE(t.next());
  EXPECT_TRUE(t.atEnd());
  EXPECT_THROW(t.text("NAZEV"), DbfError);
}

TEST_F(DbfTableTest, VariantHeadersOpenByTheirLengths) {
  // A dBase IV style header: other version byte, the NUL of early dBase III
  // after the descriptor end, and a header that claims more rows than the
  // file has.
  std::string b(32, '\0');
  b[0] = '\x8B';
  b[4] = 5;                      // five rows claimed, one present
  b[8] = 32 + 32 + 2;            // header length
  b[10] = 4;                     // row length
  std::string d(32, '\0');
  d.replace(0, 3, "KOD");
  d[11] = 'C';
  d[16] = 3;
  b += d + "\x0D" + std::string(1, '\0') + " abc" + "\x1A";
  std::ofstream(file, std::ios::binary) << b;
  DbfTable t;
  t.open(file, true);
  EXPECT_EQ(t.recordCount(), 1u);
  EXPECT_EQ(t.text("kod"), "abc");

  // Visual FoxPro: the 263 bytes of the database backlink end the header;
  // some libraries mark a table so and leave them out. Either is read, and
  // rows written into it go where its header length puts them, the header
  // keeping all but its date and count.
  const struct {
    const char* what;
    std::string afterEnd;  // the bytes the header length counts after the end mark
  } foxPro[] = {
      {"with its backlink", std::string(263, '\0')},
      {"without it", ""},
      {"without it, a NUL after the end mark", std::string(1, '\0')},
  };
  for (const auto& c : foxPro) {
    SCOPED_TRACE(c.what);
    const std::size_t length = 32 + 32 + 1 + c.afterEnd.size();
    b = std::string(32, '\0');
    b[0] = '\x30';
    b[4] = 1;
    b[8] = static_cast<char>(length & 0xFF);
    b[9] = static_cast<char>(length >> 8);
    b[10] = 4;
    b += d + "\x0D" + c.afterEnd + " xyz" + "\x1A";
    std::ofstream(file, std::ios::binary | std::ios::trunc) << b;
    t.open(file, true);
    EXPECT_EQ(t.recordCount(), 1u);
    EXPECT_EQ(t.text("kod"), "xyz");

    t.open(file, false);
    t.edit();
    t.setText("KOD", "uvw");
    t.post();
    t.append();
    t.setText("KOD", "new");
    t.post();
    t.close();
    const std::string written = test_support::ReadFile(file);
    EXPECT_EQ(written.substr(length), " uvw new\x1A");
    EXPECT_EQ(written[0], '\x30');
    EXPECT_EQ(written[4], 2);
    EXPECT_EQ(written.substr(8, length - 8), b.substr(8, length - 8));
    t.open(file, true);
    EXPECT_EQ(t.recordCount(), 2u);
    EXPECT_EQ(t.text("kod"), "uvw");
    ASSERT_TRUE(t.next());
    EXPECT_EQ(t.text("kod"), "new");
  }
}

TEST_F(DbfTableTest, CreationEnforcesDbaseLimits) {
  auto refuse = [&](std::vector<DbfField> fields) {
    EXPECT_THROW(DbfTable::create(file, std::move(fields)), DbfError);
  };
  refuse({{"ABCDEFGHIJK", 'C', 5, 0}});
  refuse({{"A", 'C', 5, 0}, {"a", 'N', 5, 0}});
  refuse({{"A", 'C', 0, 0}});
  refuse({{"A", 'C', 255, 0}});
  refuse({{"A", 'X', 5, 0}});
  refuse({});
  DbfTable::create(file, {{"D", 'D', 3, 1}, {"L", 'l', 9, 0}, {"C", 'C', 254, 0}});
  DbfTable t;
  t.open(file, true);
  EXPECT_EQ(t.fields()[0].width, 8);
  EXPECT_EQ(t.fields()[1].width, 1);
  EXPECT_EQ(t.fields()[1].type, 'L');
}

// Buffered appends: posted rows read as posted, reach the file together
// (the same bytes as rows written one by one), and a file that refuses them
// is known at the flush, naming the first row that did not fit.
TEST_F(DbfTableTest, BufferedRowsReachTheFileTogetherOrFailAtTheFlush) {
  createSample();
  const fs::path plain = dir / "PLAIN.DBF";
  fs::copy_file(file, plain);
  const auto empty = fs::file_size(file);
  DbfTable buffered, direct;
  buffered.open(file, false);
  buffered.bufferAppends(true);
  direct.open(plain, false);
  for (const char* cislo : {"7", "8", "9"})
    for (DbfTable* t : {&buffered, &direct}) {
      t->append();
      t->setText("CISLO", cislo);
      t->post();
    }
  EXPECT_EQ(fs::file_size(file), empty);
  EXPECT_EQ(buffered.recordCount(), 3u);
  buffered.moveTo(2);
  EXPECT_EQ(buffered.text("CISLO"), "8");
  buffered.flush();
  EXPECT_EQ(test_support::ReadFile(file), test_support::ReadFile(plain));

  const auto three = fs::file_size(file);
  for (int i = 0; i < 20; ++i) {
    buffered.append();
    buffered.setText("NAZEV", "x");
    buffered.post();
  }
  {
    test_support::FileSizeLimit limit(three + 16 * 5);
    try {
      buffered.flush();
      ADD_FAILURE() << "no error";
    } catch (const DbfError& e) {
      const std::string text = e.what();
      EXPECT_EQ(text.rfind("Větu 4 tabulky " + file.string() + " nelze zapsat", 0), 0u) << text;
      EXPECT_NE(text.find("soubor je příliš velký"), std::string::npos) << text;
    }
  }
  EXPECT_EQ(buffered.recordCount(), 3u);
  buffered.close();
  buffered.open(file, true);
  EXPECT_EQ(buffered.recordCount(), 3u);
}

// A full disk: the failed write names the file and its cause, a table made
// only in part is not left to pass for one, and a row that did not fit
// leaves the table as it was before it.
TEST_F(DbfTableTest, WritesThatFailNameTheFileAndTheirCause) {
  auto expectCause = [&](const auto& write) {
    try {
      write();
      ADD_FAILURE() << "no error";
    } catch (const DbfError& e) {
      const std::string text = e.what();
      EXPECT_NE(text.find(file.string()), std::string::npos) << text;
      EXPECT_NE(text.find("soubor je příliš velký"), std::string::npos) << text;
    }
  };
  std::vector<DbfField> wide;
  for (int i = 0; i < 19; ++i) wide.push_back({"F" + std::to_string(i), 'C', 200, 0});
  {
    test_support::FileSizeLimit limit(500);  // less than the header
    expectCause([&] { DbfTable::create(file, wide); });
  }
  EXPECT_FALSE(fs::exists(file));

  DbfTable::create(file, wide);
  const auto empty = fs::file_size(file);
  DbfTable t;
  t.open(file, false);
  {
    test_support::FileSizeLimit limit(empty + 6000);  // one row of 3801 bytes, not two
    t.append();
    t.post();
    t.append();
    expectCause([&] { t.post(); });
  }
  t.close();
  t.open(file, true);
  EXPECT_EQ(t.recordCount(), 1u);
}

// A table the user may not write, in a directory they may: one made anew
// under its name is refused, and the table stays as it was rather than go.
TEST_F(DbfTableTest, ATableThatCannotBeMadeAnewStaysAsItWas) {
  DbfTable::create(file, {{"CISLO", 'N', 4, 0}});
  const std::string before = test_support::ReadFile(file);
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  test_support::FilePermissionOverride(false);
  EXPECT_THROW(DbfTable::create(file, {{"NAZEV", 'C', 6, 0}}), DbfError);
  test_support::FilePermissionOverride(true);
  EXPECT_EQ(test_support::ReadFile(file), before);
}
