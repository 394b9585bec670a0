#include "gisblock/cislo_index.h"

#include "platform/dbase_value.h"

#include "table_fixture.h"

using gisblock::CisloIndex;
using gisblock_test::TableDir;

using CisloIndexTest = TableDir;

TEST_F(CisloIndexTest, EntriesNameTheLastPhysicalRecordOfEachCislo) {
  platform::DbfTable t;
  t.open(tableWithRows("P1600.DBF", {"3", "1", "3"}), true);
  const auto built = CisloIndex::build(t);
  const std::vector<std::uint8_t> golden{0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0};
  EXPECT_EQ(built.index.encode(), golden);
  EXPECT_TRUE(built.warnings.empty());

  t.open(tableWithRows("EMPTY.DBF", {}), true);
  EXPECT_TRUE(CisloIndex::build(t).index.encode().empty());
}

TEST_F(CisloIndexTest, DeletedStrayAndUnreadableNumbersStayOut) {
  const std::string file = tableWithRows("L0110.DBF", {"2", "-5", "9999999", "", "2"});
  platform::DbfTable t;
  t.open(file, false);
  t.moveTo(5);
  t.deleteRecord();
  const auto built = CisloIndex::build(t);
  EXPECT_EQ(built.index.entry(2), 1);  // row 5 is deleted
  EXPECT_EQ(built.index.entry(0), 4);  // an empty CISLO counts as 0
  EXPECT_EQ(built.index.encode().size(), 12u);
  ASSERT_EQ(built.warnings.size(), 2u);
  EXPECT_NE(built.warnings[0].find("záporným"), std::string::npos);
  EXPECT_NE(built.warnings[1].find("500000"), std::string::npos);
}

TEST(CisloIndex, ReadingBeyondTheFileIsAGap) {
  std::istringstream in(std::string("\xFF\xFF\xFF\xFF\x02\x00\x00\x00", 8));
  EXPECT_EQ(gisblock::readIndexEntry(in, 1), 2);
  EXPECT_EQ(gisblock::readIndexEntry(in, 0), -1);
  EXPECT_EQ(gisblock::readIndexEntry(in, 2), -1);
  EXPECT_EQ(gisblock::readIndexEntry(in, -1), -1);
  const CisloIndex decoded = CisloIndex::decode({0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 7});
  EXPECT_EQ(decoded.entry(1), 2);
  EXPECT_EQ(decoded.entry(2), -1);  // a partial entry is none
  EXPECT_EQ(gisblock::cisloFromText("12"), 12);
  EXPECT_EQ(gisblock::cisloFromText("1a"), 0);
}

// A CISLO read from a row's bytes in place is the one its text gives, for
// the digits a table holds and for whatever else a field may hold.
TEST(CisloIndex, AFieldReadInPlaceGivesTheCisloOfItsText) {
  const platform::DbfField number{"CISLO", 'N', 12, 0, 0}, text{"CISLO", 'C', 12, 0, 0};
  for (const char* bytes : {"          12", "000000000012", "   123456789", "  1234567890", "999999999999",
                            "        -12 ", "        12.0", "       1,5  ", "            ", "   12 a     "}) {
    for (const platform::DbfField& field : {number, text}) {
      SCOPED_TRACE(std::string(1, field.type) + " '" + bytes + "'");
      EXPECT_EQ(gisblock::cisloFromField(field, bytes, platform::CodePage::Windows1250),
                gisblock::cisloFromText(platform::dbf::fieldText(field, bytes, platform::CodePage::Windows1250)));
    }
  }
}
