// The DET-GIS comparison over hand-made tables and over the generated sample
// district: what is listed, in which words and bytes, and which rows stay.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <tuple>

#include <gtest/gtest.h>

#include "areas/det_gis_compare.h"
#include "areas/det_gis_compare_merge.h"
#include "framework/drive_map.h"
#include "platform/dbase_group_sum.h"
#include "platform/message_queue.h"
#include "platform/scripted_user_interaction.h"
#include "platform/tables_read.h"
#include "dbf_rows.h"
#include "files.h"
#include "sample_tree.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Rows = test_support::DbfRows;
using platform::DbfField;

const std::vector<DbfField> kDetFields = {
    {"LHC", 'C', 4}, {"ODDELENI", 'N', 4}, {"DILEC", 'C', 1}, {"SKUPINA", 'C', 3}, {"PLOCHA", 'N', 14, 6}};
const std::vector<DbfField> kDilFields = {{"ODD", 'N', 4}, {"DIL", 'C', 1}, {"PLOCHA", 'N', 14, 6}};

using test_support::LiveRows;
using test_support::WriteTable;

class DetGisCompareTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir / "work");
    platform::messageQueue().discardAll();
  }
  void TearDown() override { platform::messageQueue().discardAll(); }
  // Compares at once, as the all-levels check does; else only prepares the
  // work tables, as a window opened on one level does before "Porovnej".
  std::unique_ptr<TKompDETGIS> run(const std::string& level, const fs::path& det, const fs::path& gis,
                                   bool allLevels = true) {
    auto form = std::make_unique<TKompDETGIS>(detgis::GroupLimits{}, dir / "work");
    form->LevelCode = level;
    form->DETTableName = det.string();
    form->GISTableName = gis.string();
    form->AllLevels = allLevels;
    form->FormShow();
    return form;
  }
  test_support::TempDir scratch{"detgis"};
  fs::path dir = scratch.path();
  platform::ScopedScriptedUi ui;
};

TEST_F(DetGisCompareTest, KeysPairInTheOrderOfTheSumsSoNumericCompartmentsAndLetterCaseMatch) {
  WriteTable(dir / "det.dbf", kDetFields,
             {{"4107", "9", "a", "1", "1"}, {"4107", "10", "a", "1", "2"}, {"4107", "11", "b", "1", "3"}});
  WriteTable(dir / "G/P1400.DBF", kDilFields, {{"10", "a", "2"}, {"11", "B", "3"}});
  auto form = run("DIL", dir / "det.dbf", dir / "G/P1400.DBF");
  EXPECT_EQ(form->Memo, std::vector<std::string>{"9a: 1 v GIS neexistuje"});
  EXPECT_EQ(form->lbCount, "1");
  EXPECT_EQ(test_support::ReadFile(dir / "G/P1400.ERR"), "9a: 1 v GIS neexistuje\r\n");
  EXPECT_EQ(LiveRows(form->WorkTable("COPYDET.DBF"), {"ODDELENI"}), Rows{{"9"}});
  EXPECT_TRUE(LiveRows(form->WorkTable("COPYGIS.DBF"), {"ODD"}).empty());
  EXPECT_FALSE(form->btPorovnejEnabled);
  EXPECT_FALSE(form->bbprerusEnabled);
  EXPECT_EQ(form->QDET.at(0), "Select ODDELENI,DILEC,SUM(PLOCHA) from \"" + (dir / "det.dbf").string() + "\"");
  EXPECT_EQ(form->QGIS.at(1), "Group By ODD,DIL");
  EXPECT_EQ(form->QGIS.at(2), "Order By ODD,DIL");
}

// Units whose letters differ in case on the two sides, with other units
// between them in code order ("B" < "a" < "b"), still pair; on one side
// they are one unit, summed once.
TEST_F(DetGisCompareTest, UnitsThatDifferOnlyInLetterCaseAreOneUnitWhateverLiesBetweenThem) {
  WriteTable(dir / "det.dbf", kDetFields,
             {{"4107", "5", "B", "1", "2"}, {"4107", "5", "a", "1", "1"}, {"4107", "5", "b", "1", "0.5"}});
  WriteTable(dir / "P1400.DBF", kDilFields, {{"5", "A", "1"}, {"5", "b", "2.5"}});
  auto form = run("DIL", dir / "det.dbf", dir / "P1400.DBF");
  EXPECT_TRUE(form->Memo.empty()) << form->Memo.front();
  EXPECT_TRUE(LiveRows(form->WorkTable("COPYDET.DBF"), {"DILEC"}).empty());
}

// Compartments kept as numbers on one side and as text on the other (2, 10
// and 100 order differently as text) still pair, whichever side holds
// which; a text compartment that is no number is a unit of its own.
TEST_F(DetGisCompareTest, CompartmentsPairWhenOneSideKeepsThemAsNumbersAndTheOtherAsText) {
  std::vector<DbfField> textDet = kDetFields, textDil = kDilFields;
  textDet[1].type = textDil[0].type = 'C';
  const Rows units = {{"100", "a", "3"}, {"2", "a", "1"}, {"10", "b", "2"}, {"10", "a", "4"}};
  Rows detRows;
  for (const auto& u : units) detRows.push_back({"4107", u[0], u[1], "1", u[2]});
  for (const auto& [detFields, gisFields, textUnit] :
       {std::tuple{kDetFields, textDil, "5x"}, std::tuple{textDet, kDilFields, "7"}}) {
    SCOPED_TRACE(textUnit);
    WriteTable(dir / "det.dbf", detFields, detRows);
    Rows gisRows = units;
    gisRows.push_back({textUnit, "a", "6"});
    WriteTable(dir / "P1400.DBF", gisFields, gisRows);
    auto form = run("DIL", dir / "det.dbf", dir / "P1400.DBF");
    EXPECT_EQ(form->Memo, std::vector<std::string>{"V DET neexistuje " + std::string(textUnit) + "a: 6"});
    EXPECT_EQ(LiveRows(form->WorkTable("COPYDET.DBF"), {"ODDELENI"}), Rows{});
  }
}

// A value that is no number is refused before anything is compared, naming
// the table and the row the user can mend; no sum counts it as 0 or as its
// leading digits.
TEST_F(DetGisCompareTest, AValueThatIsNoNumberIsRefusedNamingItsTableAndRow) {
  WriteTable(dir / "det.dbf", kDetFields, {{"4107", "5", "a", "1", "1"}, {"4107", "5", "b", "1", "2"}});
  const std::vector<DbfField> textual = {{"ODD", 'C', 4}, {"DIL", 'C', 1}, {"PLOCHA", 'C', 14}};
  for (const auto& [odd, plocha, field] : {std::tuple{"5", "abc", "PLOCHA"}, std::tuple{"5", "1.5x7", "PLOCHA"},
                                          std::tuple{"5", "nan", "PLOCHA"}, std::tuple{"x5", "2", "ODD"}}) {
    SCOPED_TRACE(plocha);
    // Numbers stored as the bytes of a damaged or foreign table hold them.
    const fs::path gis = dir / "P1400.DBF";
    WriteTable(gis, textual, {{"5", "a", "1"}, {odd, "b", plocha}});
    std::string bytes = test_support::ReadFile(gis);
    bytes[32 + 11] = bytes[32 + 64 + 11] = 'N';
    test_support::WriteFile(gis, bytes);
    ui->clear();
    auto form = run("DIL", dir / "det.dbf", gis);
    EXPECT_FALSE(form->Prepared());
    EXPECT_TRUE(form->Memo.empty());
    EXPECT_FALSE(fs::exists(dir / "P1400.ERR"));
    EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Tabulka " + gis.string() + ", řádek 2: hodnota \"" +
                                                         (field == std::string("ODD") ? odd : plocha) +
                                                         "\" položky " + field + " není číslo"});
  }
}

// A key its own field holds only rounded ("1.5" where the field has no
// decimals, as a spreadsheet may leave it) would be summed with the unit it
// rounds to, and a key field renamed leaves nothing to pair: both are
// refused before anything is compared, naming the table and the row or the
// field.
TEST_F(DetGisCompareTest, AKeyThatIsNoWholeNumberOrAKeyFieldTheTableLacksIsRefusedNamingItsPlace) {
  const fs::path det = dir / "det.dbf", gis = dir / "P1400.DBF";
  const struct {
    fs::path table;
    const char* field;
    const char* value;  // none: the field renamed
    const char* told;   // after the table's name
  } cases[] = {
      {det, "ODDELENI", "1.5", ", řádek 2: hodnota \"1.5\" položky ODDELENI není celé číslo"},
      {det, "ODDELENI", "1,5", ", řádek 2: hodnota \"1,5\" položky ODDELENI není číslo"},
      {gis, "ODD", "2.50", ", řádek 2: hodnota \"2.5\" položky ODD není celé číslo"},
      {det, "DILEC", nullptr, " není"},
      {gis, "DIL", nullptr, " není"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " " + (c.value ? c.value : "renamed"));
    WriteTable(det, kDetFields, {{"4107", "1", "a", "1", "1"}, {"4107", "2", "a", "1", "2"}});
    WriteTable(gis, kDilFields, {{"1", "a", "1"}, {"2", "a", "2"}});
    if (c.value)
      test_support::SetRawField(c.table, 2, c.field, c.value);
    else
      test_support::RenameField(c.table, c.field, std::string(c.field) + "_1");
    ui->clear();
    auto form = run("DIL", det, gis);
    EXPECT_FALSE(form->Prepared());
    EXPECT_TRUE(form->Memo.empty());
    const std::string where =
        c.value ? "Tabulka " + c.table.string() : "Položka " + std::string(c.field) + " v tabulce " + c.table.string();
    EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{where + c.told});
  }
}

TEST_F(DetGisCompareTest, SumsAgreeBelowOneHundredthAndEveryOtherPairIsListed) {
  EXPECT_TRUE(detgis::sumsAgree(12.345, 12.35));
  EXPECT_FALSE(detgis::sumsAgree(12.34, 12.35));
  EXPECT_FALSE(detgis::sumsAgree(0.35, 0.36));
  WriteTable(dir / "det.dbf", kDetFields,
             {{"4107", "1", "a", "1", "12.345"}, {"4107", "2", "a", "1", "12.34"}, {"4107", "3", "a", "1", "12.34"}});
  WriteTable(dir / "P1400.DBF", kDilFields, {{"1", "a", "12.35"}, {"2", "a", "12.36"}, {"3", "a", "12.35"}});
  auto form = run("DIL", dir / "det.dbf", dir / "P1400.DBF");
  EXPECT_EQ(form->Memo, (std::vector<std::string>{"2a:  12.34 <> 12.36", "3a:  12.34 <> 12.35"}));
  EXPECT_EQ(LiveRows(form->WorkTable("COPYGIS.DBF"), {"ODD", "SUM_OF_PLO"}), (Rows{{"2", "12.36"}, {"3", "12.35"}}));
}

// The window stands open while the office edits a table in another
// program: "Porovnej" compares the tables as they are when it is pressed,
// also where the work tables under the window were packed meanwhile.
TEST_F(DetGisCompareTest, AComparisonAskedForLaterComparesTheTablesAsTheyAreThen) {
  using Edit = std::function<void(Rows&)>;
  auto drop = [](std::size_t row) -> Edit { return [row](Rows& rows) { rows.erase(rows.begin() + static_cast<long>(row)); }; };
  struct Case {
    const char* what;
    const char* table;  // in the scratch directory
    Edit edit;
    std::vector<std::string> listed;
    bool keepsTime = false;  // saved in place with its old time, size and row count
  };
  const Case cases[] = {
      {"an area of the DET table changed", "det.dbf", [](Rows& rows) { rows[1][4] = "4"; }, {"2a:  4 <> 3"}},
      {"a row of the GIS table deleted and packed", "P1400.DBF", drop(1), {"2a: 3 v GIS neexistuje"}},
      {"a row of a work table deleted and packed", "work/COPYDET.DBF", drop(0), {}},
      {"a work table reordered", "work/COPYGIS.DBF", [](Rows& rows) { std::swap(rows[0], rows[1]); }, {}},
      {"an area of the DET table changed, the time kept", "det.dbf", [](Rows& rows) { rows[1][4] = "4"; },
       {"2a:  4 <> 3"}, true},
      {"a work table reordered, the time kept", "work/COPYGIS.DBF",
       [](Rows& rows) { std::swap(rows[0], rows[1]); }, {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteTable(dir / "det.dbf", kDetFields, {{"4107", "1", "a", "1", "5"}, {"4107", "2", "a", "1", "3"}});
    WriteTable(dir / "P1400.DBF", kDilFields, {{"1", "a", "5"}, {"2", "a", "3"}});
    const auto form = run("DIL", dir / "det.dbf", dir / "P1400.DBF", false);
    ASSERT_TRUE(form->Prepared());
    test_support::RewriteRows(dir / c.table, c.edit, false, c.keepsTime);
    form->btPorovnejClick();
    EXPECT_TRUE(ui->shownTexts().empty()) << ui->shownTexts().front();
    EXPECT_EQ(form->Memo, c.listed);
    ui->clear();
  }
}

// A table another program saves once the window has taken the tables'
// marks, before it has summed them, gives sums of neither version: the
// window compares nothing and says which table; opened again, it compares.
TEST_F(DetGisCompareTest, ATableSavedWhileItIsSummedIsToldAndNothingIsCompared) {
  struct Case {
    const char* what;
    const char* table;
    bool renamedOver;
    bool keepsTime;
  };
  const Case cases[] = {
      {"the DET table renamed over", "det.dbf", true, false},
      {"the GIS table in place, its time kept", "P1400.DBF", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteTable(dir / "det.dbf", kDetFields, {{"4107", "1", "a", "1", "5"}, {"4107", "2", "a", "1", "3"}});
    WriteTable(dir / "P1400.DBF", kDilFields, {{"1", "a", "5"}, {"2", "a", "4"}});
    ui->clear();
    platform::atTableRead(dir / c.table, [&] {
      test_support::RewriteRows(
          dir / c.table, [](Rows& rows) { std::swap(rows[0], rows[1]); }, c.renamedOver, c.keepsTime);
    });
    auto refused = run("DIL", dir / "det.dbf", dir / "P1400.DBF");
    platform::atTableRead({}, {});
    EXPECT_FALSE(refused->Prepared());
    EXPECT_TRUE(refused->Memo.empty());
    EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Tabulka " + (dir / c.table).string() +
                                                         " byla během práce změněna jiným programem; porovnání "
                                                         "lze spustit znovu"});
    refused.reset();
    EXPECT_EQ(run("DIL", dir / "det.dbf", dir / "P1400.DBF")->Memo, std::vector<std::string>{"2a:  3 <> 4"});
  }
}

TEST_F(DetGisCompareTest, RegionRowsPairInOrderAndAnExtraDetRowIsMissingInGis) {
  WriteTable(dir / "det.dbf", kDetFields, {{"4107", "1", "a", "1", "5"}, {"4108", "1", "a", "1", "3"}});
  WriteTable(dir / "P9400.DBF", {{"LHC_KOD", 'C', 4}, {"PLOCHA", 'N', 14, 6}}, {{"9999", "5"}});
  auto form = run("REG", dir / "det.dbf", dir / "P9400.DBF");
  EXPECT_EQ(form->Memo, std::vector<std::string>{": 3 v GIS neexistuje"});
}

// The empty lines a spreadsheet leaves below the rows of a DET table are no
// unit: no level lists them, and the district's rows, which no key pairs,
// still meet the exported district's. A row with a blank key that holds an
// area is a unit of its own.
TEST_F(DetGisCompareTest, EmptyLinesOfTheDetTableAreNoUnitOfAnyLevel) {
  const Rows rows = {{"4107", "1", "a", "1", "5"}, {"", "", "", "", ""}, {"4107", "2", "a", "1", "3"},
                     {"", "", "", "", ""}};
  WriteTable(dir / "det.dbf", kDetFields, rows);
  WriteTable(dir / "P9400.DBF", {{"LHC_KOD", 'C', 4}, {"PLOCHA", 'N', 14, 6}}, {{"4107", "8"}});
  WriteTable(dir / "P1400.DBF", kDilFields, {{"1", "a", "5"}, {"2", "a", "3"}});
  WriteTable(dir / "P1600.DBF", {{"ODD", 'N', 4}, {"DIL", 'C', 1}, {"PSK", 'C', 3}, {"PLOCHA", 'N', 14, 6}},
             {{"1", "a", "1", "5"}, {"2", "a", "1", "3"}});
  for (const auto& [level, gis] : {std::pair{"REG", "P9400.DBF"}, std::pair{"DIL", "P1400.DBF"},
                                   std::pair{"ODD", "P1400.DBF"}, std::pair{"PSK", "P1600.DBF"}}) {
    SCOPED_TRACE(level);
    auto form = run(level, dir / "det.dbf", dir / gis);
    ASSERT_TRUE(form->Prepared());
    EXPECT_TRUE(form->Memo.empty()) << form->Memo.front();
  }
  WriteTable(dir / "det.dbf", kDetFields, {{"4107", "1", "a", "1", "5"}, {"", "", "", "", "0.5"}, {"4107", "2", "a", "1", "3"}});
  auto form = run("DIL", dir / "det.dbf", dir / "P1400.DBF");
  EXPECT_EQ(form->Memo, std::vector<std::string>{": 0.5 v GIS neexistuje"});
}

TEST_F(DetGisCompareTest, GroupNumbersSplitTheDetRowsAsTheForestHierarchyDoes) {
  const detgis::GroupLimits limits;
  using detgis::DetRows;
  EXPECT_TRUE(detgis::keepsDetRow(DetRows::StandGroups, "099", limits));
  EXPECT_FALSE(detgis::keepsDetRow(DetRows::StandGroups, "100", limits));  // non-forest land
  EXPECT_TRUE(detgis::keepsDetRow(DetRows::StandGroups, "x1", limits));
  EXPECT_TRUE(detgis::keepsDetRow(DetRows::NonForest, "100", limits));
  EXPECT_FALSE(detgis::keepsDetRow(DetRows::NonForest, "x1", limits));
  EXPECT_TRUE(detgis::keepsDetRow(DetRows::Other, "500", limits));
  EXPECT_FALSE(detgis::keepsDetRow(DetRows::Remaining, "899", limits));
  EXPECT_TRUE(detgis::keepsDetRow(DetRows::Remaining, "9001", limits));  // first three characters

  WriteTable(dir / "det.dbf", kDetFields,
             {{"4107", "1", "a", "099", "1"}, {"4107", "1", "a", "100", "2"}, {"4107", "1", "a", "x1", "3"},
              {"4107", "1", "a", "500", "4"}});
  const std::vector<DbfField> psk = {{"ODD", 'N', 4}, {"DIL", 'C', 1}, {"PSK", 'C', 3}, {"PLOCHA", 'N', 14, 6}};
  WriteTable(dir / "P1600.DBF", psk, {{"1", "a", "099", "1"}, {"1", "a", "x1", "3"}});
  EXPECT_TRUE(run("PSK", dir / "det.dbf", dir / "P1600.DBF")->Memo.empty());
  const std::vector<DbfField> jp = {{"ODD", 'N', 4}, {"DIL", 'C', 1}, {"JP", 'C', 3}, {"PLOCHA", 'N', 14, 6}};
  WriteTable(dir / "P1800.DBF", jp, {{"1", "a", "500", "4"}});
  EXPECT_TRUE(run("jp", dir / "det.dbf", dir / "P1800.DBF")->Memo.empty());
}

TEST_F(DetGisCompareTest, ABreakStopsTheWalkWithTheInterruptionLineInWindows1250) {
  WriteTable(dir / "det.dbf", kDetFields, {{"4107", "1", "a", "1", "1"}, {"4107", "2", "a", "1", "2"}});
  WriteTable(dir / "P1400.DBF", kDilFields, {{"1", "a", "1"}, {"2", "a", "2"}});
  const auto prepared = run("DIL", dir / "det.dbf", dir / "P1400.DBF", false);
  TKompDETGIS& form = *prepared;
  ASSERT_TRUE(form.Prepared());
  EXPECT_TRUE(form.Memo.empty());  // not compared before the button

  struct Press : platform::PostedTask {
    TKompDETGIS& form;
    bool compare;
    Press(TKompDETGIS& f, bool c) : form(f), compare(c) {}
    void run() override { compare ? form.btPorovnejClick() : form.bbprerusClick(); }
  };
  // "Porovnej" pressed again during the walk starts no second walk.
  platform::messageQueue().post(std::make_unique<Press>(form, true));
  platform::messageQueue().post(std::make_unique<Press>(form, false));
  form.btPorovnejClick();
  EXPECT_TRUE(form.Interrupted());
  EXPECT_EQ(form.Memo, std::vector<std::string>{detgis::kInterruptedLine});
  EXPECT_EQ(test_support::ReadFile(dir / "P1400.ERR"), "! ... proces ru\xE8n\xEC p\xF8\x65ru\x9A\x65n ! \r\n");
  EXPECT_EQ(LiveRows(form.WorkTable("COPYDET.DBF"), {"ODDELENI"}).size(), 2u);
  EXPECT_FALSE(form.btPorovnejEnabled);
}

TEST_F(DetGisCompareTest, TableAndListingFailuresAreShownAndNothingIsCompared) {
  WriteTable(dir / "det.dbf", kDetFields, {{"4107", "1", "a", "1", "1"}});
  WriteTable(dir / "P1300.DBF", {{"ODDIL", 'N', 4}, {"PLOCHA", 'N', 14, 6}}, {{"1", "1"}});
  auto noField = run("ODD", dir / "det.dbf", dir / "P1300.DBF");
  EXPECT_FALSE(noField->Prepared());
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_NE(ui->shown()[0].text.find("ODD"), std::string::npos);

  // The listing is named as the user named the table, with the cause.
  ui->clear();
  WriteTable(dir / "P1400.DBF", kDilFields, {{"2", "a", "1"}});
  fs::create_directories(dir / "P1400.ERR");  // cannot be created as a file
  framework::SetDriveDirectory('D', dir);
  auto noListing = run("DIL", dir / "det.dbf", "D:\\P1400.DBF");
  framework::RemoveDrive('D');
  ASSERT_EQ(ui->shownTexts().size(), 1u);
  const std::string told = ui->shownTexts()[0];
  EXPECT_EQ(told.rfind("Soubor D:\\P1400.ERR nelze vytvořit: ", 0), 0u) << told;
  EXPECT_GT(told.size(), std::string("Soubor D:\\P1400.ERR nelze vytvořit: ").size()) << told;
  EXPECT_EQ(told.find("Success"), std::string::npos) << told;
  EXPECT_TRUE(noListing->Memo.empty());
  EXPECT_TRUE(noListing->btPorovnejEnabled);
}

// A table whose header or rows are at odds with themselves would be summed
// from the wrong bytes or without some rows: either is told in one form, the
// table named as the user named it, and nothing is compared.
TEST_F(DetGisCompareTest, ADamagedTableIsToldInOneFormAndNothingIsCompared) {
  WriteTable(dir / "det.dbf", kDetFields, {{"4107", "2", "a", "1", "1"}});
  WriteTable(dir / "P1400.DBF", kDilFields, {{"2", "a", "1"}, {"3", "b", "2"}});
  const std::string sound = test_support::ReadFile(dir / "P1400.DBF");
  const struct {
    const char* what;
    std::size_t at;
    char byte;
    std::string told;
  } cases[] = {
      {"a width of 0", 32 + 16, 0, "Poškozená hlavička tabulky: šířka položky \"ODD\" je 0"},
      {"a record length one byte long", 10, 21,
       "Poškozená hlavička tabulky: položky se značkou řádku zabírají 20 bajtů, hlavička uvádí délku věty 21"},
      {"a header length one byte long", 8, static_cast<char>(32 + 3 * 32 + 2),
       "Poškozená hlavička tabulky: délka hlavičky 130 neodpovídá počtu položek (3), má být 129"},
      {"rows the header does not count", 4, 1, "soubor drží i 2. řádek, který hlavička neuvádí"},
  };
  framework::SetDriveDirectory('D', dir);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = sound;
    bytes[c.at] = c.byte;
    test_support::WriteFile(dir / "P1400.DBF", bytes);
    ui->clear();
    auto form = run("DIL", dir / "det.dbf", "D:\\P1400.DBF");
    EXPECT_FALSE(form->Prepared());
    EXPECT_TRUE(form->Memo.empty());
    EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Tabulka D:\\P1400.DBF je poškozena: " + c.told});
  }
  framework::RemoveDrive('D');
  EXPECT_FALSE(fs::exists(dir / "P1400.ERR"));
}

// The generated district against a GIS table made from its own rows.
class SampleDetGisTest : public DetGisCompareTest {
 protected:
  void SetUp() override {
    DetGisCompareTest::SetUp();
    if (test_support::GeneratedSample().empty()) GTEST_SKIP() << "python3 not installed";
    const fs::path out = dir / "sample";
    ASSERT_TRUE(test_support::CopySample(out));
    det = out / "GIS" / "4107" / "01" / "DET.BLK" / "P0110.DBF";
    detRows = LiveRows(det, {"ODDELENI", "DILEC", "PLOCHA"});
    ASSERT_GT(detRows.size(), 10u);
  }
  fs::path det;
  Rows detRows;
};

TEST_F(SampleDetGisTest, EqualSumsLeaveNothingAndAlteredUnitsAreListedExactly) {
  WriteTable(dir / "out/01_14DIL.BLK/P1400.DBF", kDilFields, detRows);
  auto same = run("DIL", det, dir / "out/01_14DIL.BLK/P1400.DBF");
  EXPECT_TRUE(same->Memo.empty());
  EXPECT_EQ(test_support::ReadFile(dir / "out/01_14DIL.BLK/P1400.ERR"), "");
  EXPECT_TRUE(LiveRows(same->WorkTable("COPYDET.DBF"), {"ODDELENI"}).empty());
  EXPECT_TRUE(LiveRows(same->WorkTable("COPYGIS.DBF"), {"ODD"}).empty());
  same.reset();

  // The DET sums as the grouped work table reads them, per unit in key order.
  platform::writeGroupedSum(det, {"ODDELENI", "DILEC"}, "PLOCHA", dir / "units.dbf");
  const Rows units = LiveRows(dir / "units.dbf", {"ODDELENI", "DILEC", "SUM_OF_PLO"});
  ASSERT_GE(units.size(), 3u);
  const auto unitOf = [](const std::vector<std::string>& r) { return r[0] + r[1]; };
  Rows gis;
  bool nudged = false;
  for (auto row : detRows) {
    if (unitOf(row) == unitOf(units[0]) || unitOf(row) == unitOf(units[1])) continue;  // replaced, missing
    if (unitOf(row) == unitOf(units[2]) && !nudged) {
      row[2] = std::to_string(std::stod(row[2]) + 0.004);
      nudged = true;
    }
    gis.push_back(row);
  }
  gis.push_back({units[0][0], units[0][1], "1.5"});
  gis.push_back({"9999", "z", "2.25"});
  WriteTable(dir / "P1400.DBF", kDilFields, gis);
  auto altered = run("DIL", det, dir / "P1400.DBF");
  const std::vector<std::string> expected = {
      unitOf(units[0]) + ":  " + units[0][2] + " <> 1.5",
      unitOf(units[1]) + ": " + units[1][2] + " v GIS neexistuje",
      "V DET neexistuje 9999z: 2.25",
  };
  EXPECT_EQ(altered->Memo, expected);
  EXPECT_EQ(test_support::ReadFile(dir / "P1400.ERR"), expected[0] + "\r\n" + expected[1] + "\r\n" + expected[2] + "\r\n");
  EXPECT_EQ(LiveRows(altered->WorkTable("COPYDET.DBF"), {"ODDELENI"}).size(), 2u);
  EXPECT_EQ(LiveRows(altered->WorkTable("COPYGIS.DBF"), {"ODD"}).size(), 2u);
}

}  // namespace

namespace {

// "Přeruš" stops a running comparison only: pressed before one, it is
// not remembered to stop the one the user starts next, which could not be
// started again in that window.
TEST_F(DetGisCompareTest, ABreakPressedWhileNothingRunsStopsNothing) {
  WriteTable(dir / "det.dbf", kDetFields, {{"4107", "1", "a", "1", "1"}, {"4107", "2", "a", "1", "2"}});
  WriteTable(dir / "P1400.DBF", kDilFields, {{"1", "a", "1"}, {"2", "a", "3"}});
  TKompDETGIS form(detgis::GroupLimits{}, dir / "work");
  form.LevelCode = "DIL";
  form.DETTableName = (dir / "det.dbf").string();
  form.GISTableName = (dir / "P1400.DBF").string();
  EXPECT_FALSE(form.bbprerusEnabled);
  form.FormShow();
  ASSERT_TRUE(form.Prepared());
  EXPECT_FALSE(form.bbprerusEnabled);
  form.bbprerusClick();
  form.btPorovnejClick();
  EXPECT_FALSE(form.Interrupted());
  EXPECT_EQ(form.Memo, std::vector<std::string>{"2a:  2 <> 3"});
  EXPECT_FALSE(form.bbprerusEnabled);
}

}  // namespace

namespace {

// Two comparisons started from one directory (two copies of the program)
// share the names of the work tables: the second must not write its sums
// into the tables the first walks, nor delete rows of its own in them.
TEST_F(DetGisCompareTest, ASecondComparisonInTheSameDirectoryLeavesTheFirstsWorkTablesAlone) {
  WriteTable(dir / "det.dbf", kDetFields, {{"4107", "1", "a", "1", "1"}, {"4107", "2", "a", "1", "2"}});
  WriteTable(dir / "P1400.DBF", kDilFields, {{"1", "a", "1"}, {"2", "a", "3"}});
  WriteTable(dir / "P1300.DBF", {{"ODD", 'N', 4}, {"PLOCHA", 'N', 14, 6}}, {{"1", "1"}, {"2", "2"}});
  auto form = [&](const char* level, const char* gis) {
    auto made = std::make_unique<TKompDETGIS>(detgis::GroupLimits{}, dir / "work");
    made->LevelCode = level;
    made->DETTableName = (dir / "det.dbf").string();
    made->GISTableName = (dir / gis).string();
    made->FormShow();
    return made;
  };
  auto first = form("DIL", "P1400.DBF");
  ASSERT_TRUE(first->Prepared());
  auto second = form("ODD", "P1300.DBF");
  EXPECT_FALSE(second->Prepared());
  EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Pracovní tabulky COPYDET.DBF a COPYGIS.DBF v adresáři " +
                                                       (dir / "work").string() +
                                                       " právě používá jiné porovnání DET-GIS; zkuste to znovu, "
                                                       "až skončí"});
  first->btPorovnejClick();
  EXPECT_EQ(first->Memo, std::vector<std::string>{"2a:  2 <> 3"});
  EXPECT_EQ(LiveRows(first->WorkTable("COPYDET.DBF"), {"ODDELENI", "DILEC"}), (Rows{{"2", "a"}}));
  // Once the first is closed the tables are free again.
  first.reset();
  auto third = form("ODD", "P1300.DBF");
  ASSERT_TRUE(third->Prepared());
  third->btPorovnejClick();
  EXPECT_TRUE(third->Memo.empty()) << third->Memo.front();
}

}  // namespace
