#include "gisblock/attribute_table.h"
#include "gisblock/table_file_name.h"
#include "platform/path_resolver.h"
#include "platform/progress_form.h"
#include "platform/tables_read.h"

#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "file_size_limit.h"
#include "killed_run.h"
#include "read_only.h"
#include "table_fixture.h"

using gisblock::AttributeTable;
using gisblock_test::TableDir;
namespace fs = std::filesystem;

using AttributeTableTest = TableDir;

TEST(TableFileName, KindLetterAndFourDigitDruh) {
  EXPECT_EQ(GelixTableFileName("D", 'P', 1600), "D\\P1600.DBF");
  EXPECT_EQ(GelixTableFileName("D", 'L', 110), "D\\L0110.DBF");
  EXPECT_EQ(GelixTableFileName("D", 'B', -5), "D\\B-0005.DBF");
  EXPECT_EQ(GelixTableFileName("D", 'T', -12345), "D\\T-12345.DBF");
  EXPECT_EQ(GelixTableFileName("D", 'P', 123456), "D\\P123456.DBF");
  EXPECT_EQ(gisblock::indexFileName("D\\ab.cd\\P1600.DBF"), "D\\ab.cd\\P1600.IND");
  EXPECT_EQ(gisblock::shortTableName("D\\ab.cd\\P1600.DBF"), "P1600");
  EXPECT_EQ(gisblock::shortTableName("D\\x.y.DBF"), "x");
}

TEST_F(AttributeTableTest, LocatesRowsThroughTheIndexBuiltOnFirstUse) {
  tableWithRows("P1600.DBF", {"3", "1", "3"});
  AttributeTable t(messages);
  EXPECT_TRUE(t.LocateObject(dir.string(), 'P', 1600, 1));
  EXPECT_EQ(t.GetFieldText("nazev"), "row2");
  EXPECT_EQ(bytesOf(path("P1600.IND")).size(), 16u);
  EXPECT_TRUE(t.LocateCislo(3));
  EXPECT_EQ(t.GetFieldText("NAZEV"), "row3");
  EXPECT_FALSE(t.LocateCislo(2));
  EXPECT_FALSE(t.LocateObject(dir.string(), 'P', 1700, 1));  // no such table: nothing changes
  EXPECT_EQ(t.GetShortTableName(), "P1600");
  EXPECT_EQ(shown, std::vector<std::string>{"Tabulka " + path("P1600.DBF") +
                                            ": CISLO 3 je v řádcích 1 a 3; platí poslední řádek"});
}

TEST_F(AttributeTableTest, StaleEntriesRebuildTheIndexOncePerTableFile) {
  const std::string p = tableWithRows("P1600.DBF", {"3", "1", "3"});
  const std::string l = tableWithRows("L0110.DBF", {"1", "2"});
  AttributeTable t(messages);
  ASSERT_TRUE(t.LocateInFile(p, 1));
  t.Close();

  // The row the index names for 3 is deleted meanwhile: the older row of
  // the same number is found after a rebuild.
  platform::DbfTable raw;
  raw.open(p, false);
  raw.moveTo(3);
  raw.deleteRecord();
  raw.close();
  EXPECT_TRUE(t.LocateInFile(p, 3));
  EXPECT_EQ(t.GetFieldText("NAZEV"), "row1");

  // Another table's stale index is still rebuilt (entry 0 names no row).
  t.LocateInFile(l, 1);
  t.Close();
  write(path("L0110.IND"), std::string("\xFF\xFF\xFF\xFF\x00\x00\x00\x00\x02\x00\x00\x00", 12));
  EXPECT_TRUE(t.LocateInFile(l, 1));

  // The rows are found as the table holds them, whatever the .IND file
  // says since; a row added after the one rebuild is found as well: the
  // table written since is read afresh.
  t.Close();
  write(path("P1600.IND"), std::string("\xFF\xFF\xFF\xFF\x09\x00\x00\x00", 8));
  EXPECT_TRUE(t.LocateInFile(p, 1));
  EXPECT_EQ(t.GetFieldText("NAZEV"), "row2");
  EXPECT_EQ(bytesOf(path("P1600.IND")).size(), 8u);
  t.Close();
  raw.open(p, false);
  raw.append();
  raw.setText("CISLO", "5");
  raw.post();
  raw.close();
  EXPECT_TRUE(t.LocateInFile(p, 5));

  // A fresh object rebuilds it; a deleted .IND is built again.
  AttributeTable fresh(messages);
  EXPECT_TRUE(fresh.LocateInFile(p, 5));
  EXPECT_TRUE(fresh.LocateInFile(p, 1));
  fs::remove(path("P1600.IND"));
  AttributeTable next(messages);
  EXPECT_TRUE(next.LocateInFile(p, 3));
  EXPECT_TRUE(fs::exists(path("P1600.IND")));
}

// A table located in row after row reads its index and rows whole after a
// few; the answers stay those of the file, and a rebuild reads the file as
// it is now.
TEST_F(AttributeTableTest, ATableLocatedInOftenAnswersAsItsFileDoes) {
  std::vector<std::string> cisla;
  for (int c = 1; c <= 150; ++c) cisla.push_back(std::to_string(c % 100 + 1));  // 2..51 twice
  const std::string p = tableWithRows("P1600.DBF", cisla);
  AttributeTable t(messages);
  for (int round = 0; round < 2; ++round)
    for (int c = 1; c <= 100; ++c) {
      SCOPED_TRACE(c);
      ASSERT_TRUE(t.LocateInFile(p, c));
      if (c <= 51) {
        EXPECT_EQ(t.GetFieldText("NAZEV"), "row" + std::to_string(c + 99));  // the later row
      }
    }
  platform::DbfTable other;
  other.open(p, false);
  other.append();
  other.setText("CISLO", "300");
  other.setText("NAZEV", "added");
  other.post();
  other.close();
  EXPECT_TRUE(t.LocateInFile(p, 300));
  EXPECT_EQ(t.GetFieldText("NAZEV"), "added");
  EXPECT_FALSE(t.LocateInFile(p, 101));
}

// An office keeps the program open and edits a table in a GIS or a
// spreadsheet between two jobs, its .IND left as it was: the table object
// kept from one job to the next finds every row as the file holds it when
// the next job runs, none told missing or read as the file was.
TEST_F(AttributeTableTest, EachJobFindsTheRowsOfATableEditedSinceTheJobBefore) {
  using Rows = test_support::DbfRows;
  using Edit = std::function<void(Rows&)>;
  const Edit reverse = [](Rows& rows) { std::reverse(rows.begin(), rows.end()); };
  const Edit rotate = [](Rows& rows) { std::rotate(rows.begin(), rows.begin() + 3, rows.end()); };
  const Edit dropThird = [](Rows& rows) { rows.erase(rows.begin() + 2); };
  const Edit dropLast = [](Rows& rows) { rows.pop_back(); };
  const Edit append = [](Rows& rows) { rows.push_back({std::to_string(rows.size() + 1), "added"}); };
  const Edit rename = [](Rows& rows) { rows[4][1] = "renamed"; };
  struct Case {
    const char* what;
    int rows;  // CISLO 1 to rows, NAZEV "row<CISLO>"
    std::vector<Edit> edits;
    bool renamedOver;  // saved beside the table and renamed over it
    bool keepsTime = false;  // in place, its time, size and row count as they were
  };
  const Case cases[] = {
      {"reordered", 9, {reverse}, false},
      {"reordered twice", 9, {reverse, rotate}, false},
      {"a row deleted and the table packed, twice", 9, {dropThird, dropLast}, false},
      {"a row appended, twice", 9, {append, append}, false},
      {"a value changed in a table read whole", 100, {rename}, false},
      {"saved anew and renamed over it, twice", 9, {reverse, rename}, true},
      {"reordered twice, the time kept", 9, {reverse, rotate}, false, true},
      {"a value changed in a table read whole, the time kept", 100, {rename}, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> cisla;
    for (int cislo = 1; cislo <= c.rows; ++cislo) cisla.push_back(std::to_string(cislo));
    const std::string p = tableWithRows("L0021.DBF", cisla);
    AttributeTable t(messages);
    // Every row, and two beyond the table first, once per job.
    auto job = [&] {
      platform::BreakableJob running;
      std::map<int, std::string> held;
      for (const auto& row : test_support::LiveRows(p, {"CISLO", "NAZEV"})) held[std::stoi(row[0])] = row[1];
      for (int cislo = c.rows + 2; cislo >= 1; --cislo) {
        SCOPED_TRACE(cislo);
        bool found = false;
        EXPECT_NO_THROW(found = t.LocateInFile(p, cislo));
        EXPECT_EQ(found, held.count(cislo) == 1);
        if (found && held.count(cislo)) {
          EXPECT_EQ(t.GetFieldText("NAZEV"), held[cislo]);
        }
        EXPECT_EQ(t.LocateError(), "");
      }
    };
    job();
    for (const Edit& edit : c.edits) {
      test_support::RewriteRows(p, edit, c.renamedOver, c.keepsTime);
      job();
    }
    EXPECT_TRUE(shown.empty()) << shown.front();
    EXPECT_TRUE(logged.empty()) << logged.front();
  }
}

// The GIS saves a table while a job reads it: the rows the job looks for
// after the save are found as the file holds them then, whatever row the
// table really lacks was looked for before; that row alone stays missing.
TEST_F(AttributeTableTest, ARowIsToldMissingOnlyWhereTheTableAsSavedLacksIt) {
  using Rows = test_support::DbfRows;
  const struct {
    const char* what;
    bool renamedOver;
    bool keepsTime;
  } saves[] = {{"in place", false, false}, {"renamed over", true, false}, {"in place, the time kept", false, true}};
  for (const auto& save : saves) {
    SCOPED_TRACE(save.what);
    std::vector<std::string> cisla;
    for (int cislo = 1; cislo <= 100; ++cislo)
      if (cislo != 50) cisla.push_back(std::to_string(cislo));
    const std::string p = tableWithRows("L0021.DBF", cisla);
    AttributeTable t(messages);
    platform::BreakableJob running;
    for (int cislo : {1, 2, 3}) EXPECT_TRUE(t.LocateInFile(p, cislo));
    EXPECT_FALSE(t.LocateInFile(p, 50));
    for (int round = 0; round < 2; ++round) {
      test_support::RewriteRows(
          p, [](Rows& rows) { std::rotate(rows.begin(), rows.begin() + 7, rows.end()); }, save.renamedOver,
          save.keepsTime);
      std::map<int, std::string> held;
      for (const auto& row : test_support::LiveRows(p, {"CISLO", "NAZEV"})) held[std::stoi(row[0])] = row[1];
      for (int cislo = 100; cislo >= 1; --cislo) {
        SCOPED_TRACE(cislo);
        EXPECT_EQ(t.LocateInFile(p, cislo), cislo != 50);
        if (cislo != 50) {
          EXPECT_EQ(t.GetFieldText("NAZEV"), held[cislo]);
        }
      }
    }
    EXPECT_TRUE(platform::tableChangedDuringJob());
    EXPECT_TRUE(shown.empty()) << shown.front();
  }
}

// A CISLO of several rows (a row copied in a spreadsheet and changed) finds
// the last of them, as the .IND file every program writes names it, also
// where the file was written before the copy; each read tells of it once,
// with the rows to mend, however many objects locate in the table.
TEST_F(AttributeTableTest, ACisloOfSeveralRowsFindsTheLastWhateverTheIndexFileAndIsToldOncePerRead) {
  const struct {
    const char* what;
    std::vector<std::string> before, after;  // the rows when the .IND is written, and when read
    std::size_t last;                        // the last row of 7
    std::string told, logged;
  } cases[] = {
      {"no index", {}, {"7", "1", "7"}, 3, "CISLO 7 je v řádcích 1 a 3", ""},
      {"an index from before the copy", {"7", "1"}, {"7", "1", "7"}, 3, "CISLO 7 je v řádcích 1 a 3", ""},
      {"three rows", {}, {"7", "7", "1", "7"}, 4, "CISLO 7 je ve 3 řádcích, v prvním 1 a v posledním 4", ""},
      {"two numbers", {"7", "8"}, {"7", "8", "7", "8"}, 3,
       "CISLO 7 je v řádcích 1 a 3 (a 1 další číslo ve více řádcích, viz protokol)", "CISLO 8 je v řádcích 2 a 4"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(path("P1600.IND"));
    if (!c.before.empty()) {
      tableWithRows("P1600.DBF", c.before);
      AttributeTable early(messages);
      ASSERT_TRUE(early.LocateInFile(path("P1600.DBF"), 7));
    }
    const std::string p = tableWithRows("P1600.DBF", c.after);
    shown.clear();
    logged.clear();
    std::set<std::string> toldInRead;
    gisblock::TableMessages read = messages;
    read.firstNotice = [&toldInRead](const std::string& key) { return toldInRead.insert(key).second; };
    for (int object = 0; object < 2; ++object) {
      AttributeTable t(read);
      ASSERT_TRUE(t.LocateInFile(p, 7));
      EXPECT_EQ(t.GetFieldText("NAZEV"), "row" + std::to_string(c.last));
    }
    EXPECT_EQ(shown, std::vector<std::string>{"Tabulka " + p + ": " + c.told + "; platí poslední řádek"});
    EXPECT_EQ(logged, c.logged.empty() ? std::vector<std::string>{}
                                       : std::vector<std::string>{"Tabulka " + p + ": " + c.logged});
    AttributeTable again(messages);
    EXPECT_TRUE(again.LocateInFile(p, 7));
    const std::string index = bytesOf(path("P1600.IND"));
    ASSERT_GE(index.size(), 32u);
    EXPECT_EQ(static_cast<std::size_t>(index[28]), c.last);  // the entry of 7
  }
}

// On a read-only share no index can be written: rows are found through an
// index kept in memory, the user learns that once per table in the log,
// and no box comes up. A table that cannot be read is not a missing row.
TEST_F(AttributeTableTest, WhereNoIndexCanBeWrittenRowsAreFoundThroughOneInMemory) {
  const std::string p = tableWithRows("P1600.DBF", {"3", "1", "3"});
  const std::string l = tableWithRows("L0110.DBF", {"1", "2"});
  write(path("L0110.IND"), std::string("\xFF\xFF\xFF\xFF\x09\x00\x00\x00", 8));  // stale
  write(path("P0001.DBF"), "no table");
  {
    test_support::ReadOnlyTree share(dir);
    AttributeTable t(messages);
    for (int round = 0; round < 2; ++round) {
      ASSERT_TRUE(t.LocateInFile(p, 1));
      EXPECT_EQ(t.GetFieldText("NAZEV"), "row2");
      ASSERT_TRUE(t.LocateInFile(p, 3));
      EXPECT_EQ(t.GetFieldText("NAZEV"), "row3");
      EXPECT_FALSE(t.LocateInFile(p, 2));
      EXPECT_EQ(t.LocateError(), "");
      ASSERT_TRUE(t.LocateInFile(l, 1));
      EXPECT_EQ(t.GetFieldText("NAZEV"), "row1");
    }
    EXPECT_EQ(shown, std::vector<std::string>{"Tabulka " + p + ": CISLO 3 je v řádcích 1 a 3; platí poslední řádek"});
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0].rfind("Index " + path("P1600.IND") + " nelze zapsat: přístup odepřen", 0), 0u) << logged[0];
    EXPECT_EQ(logged[1].rfind("Index " + path("L0110.IND") + " nelze zapsat", 0), 0u) << logged[1];

    EXPECT_FALSE(t.LocateInFile(path("P0001.DBF"), 1));
    EXPECT_NE(t.LocateError().find("P0001.DBF"), std::string::npos) << t.LocateError();
  }
  EXPECT_FALSE(fs::exists(path("P1600.IND")));
}

// The GIS reads the .IND files too: a read killed at any step of writing
// one, or meeting a full disk, leaves the old index whole or the new one,
// under the name it had, and no second file; the rows are found all the
// same.
TEST_F(AttributeTableTest, AnIndexFileIsReplacedWholeOrNotAtAll) {
  std::vector<std::string> cisla;
  for (int c = 1; c <= 40; ++c) cisla.push_back(std::to_string(c));
  const std::string p = tableWithRows("P1600.DBF", {"1", "2"});
  ASSERT_TRUE(AttributeTable(messages).LocateInFile(p, 2));
  const std::string old = bytesOf(path("P1600.IND"));
  tableWithRows("P1600.DBF", cisla);
  fs::remove(path("P1600.IND"));
  ASSERT_TRUE(AttributeTable(messages).LocateInFile(p, 40));
  const std::string fresh = bytesOf(path("P1600.IND"));
  ASSERT_GT(fresh.size(), old.size() + 8);
  auto locate = [&] {
    AttributeTable t(messages);
    ASSERT_TRUE(t.LocateInFile(p, 40));
    EXPECT_EQ(t.GetFieldText("NAZEV"), "row40");
  };
  // What holds the index now, by its name; the table beside it.
  auto indexes = [&] {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir))
      if (entry.path().filename() != "P1600.DBF") files[entry.path().filename().string()] = bytesOf(entry.path());
    return files;
  };
  for (const char* spelled : {"P1600.IND", "p1600.ind"}) {
    SCOPED_TRACE(spelled);
    int steps = 1;
    for (;; ++steps) {
      SCOPED_TRACE("killed after step " + std::to_string(steps));
      fs::remove(path("P1600.IND"));
      write(path(spelled), old);
      const test_support::StepRun run = test_support::RunKilledAfterSteps(steps, locate);
      ASSERT_NE(run, test_support::StepRun::Lost);
      const auto left = indexes();
      ASSERT_EQ(left.size(), 1u);
      EXPECT_EQ(left.begin()->first, spelled);
      EXPECT_TRUE(left.begin()->second == old || left.begin()->second == fresh);
      if (run == test_support::StepRun::Finished) {
        EXPECT_EQ(left.begin()->second, fresh);
        break;
      }
    }
    EXPECT_GT(steps, 1);
  }

  fs::remove(path("p1600.ind"));
  write(path("P1600.IND"), old);
  logged.clear();
  {
    test_support::FileSizeLimit full(old.size() + 4);
    locate();
  }
  EXPECT_EQ(indexes(), (std::map<std::string, std::string>{{"P1600.IND", old}}));
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0].rfind("Index " + path("P1600.IND") + " nelze zapsat: soubor je příliš velký", 0), 0u)
      << logged[0];
}

// An attribute record names the table as the block spells it; a table whose
// rows cannot be indexed is named once, so spelled, with what is wrong, and
// not again in the work for the same cause, by this object or another. One
// that cannot be opened at all (no dBase table, a header at odds with
// itself, a named pipe) is all that is said of its table: not its index,
// nor rows not found.
TEST_F(AttributeTableTest, ATableThatCannotBeIndexedIsNamedOnceAsTheRecordSpellsIt) {
  const std::string sound = bytesOf(tableWithRows("P0001.DBF", {"1"}));
  std::string widthZero = sound, headerLong = sound;
  widthZero[32 + 32 + 16] = 0;  // NAZEV's
  ++headerLong[8];
  test_support::WriteTable(path("P0001.DBF"), {{"CISLO_OBJ", 'N', 8, 0}}, {{"1"}});
  const struct {
    const char* what;
    std::string bytes, fault;  // no bytes: a named pipe
    bool opens;                // only the rows cannot be indexed
  } cases[] = {
      {"no table", "no table", "není tabulka dBase", false},
      {"a width of 0", widthZero, "Poškozená hlavička tabulky: šířka položky \"NAZEV\" je 0", false},
      {"a header length one byte long", headerLong,
       "Poškozená hlavička tabulky: délka hlavičky 98 neodpovídá počtu položek (2), má být 97", false},
      {"no CISLO", bytesOf(path("P0001.DBF")), "tabulka nemá položku CISLO", true},
      {"a named pipe", "", "není soubor, ale pojmenovaná roura", false},
  };
  std::set<std::string> notices;  // of the work under way
  messages.firstNotice = [&](const std::string& key) { return notices.insert(key).second; };
  const std::string spelled = path("p0001.dbf");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.bytes.empty()) {
      fs::remove(path("P0001.DBF"));
      ASSERT_EQ(::mkfifo(path("P0001.DBF").c_str(), 0644), 0);
    } else {
      write(path("P0001.DBF"), c.bytes);
    }
    logged.clear();
    shown.clear();
    notices.clear();
    AttributeTable t(messages);
    EXPECT_FALSE(t.LocateByTableName(spelled, 1));
    const std::string told = "Chyba práce s DBF " + spelled + " při čtení záznamu: " + c.fault;
    EXPECT_EQ(t.LocateError(), told);
    EXPECT_EQ(logged, std::vector<std::string>{told});
    AttributeTable other(messages);
    for (std::int32_t cislo : {1, 2}) {
      EXPECT_FALSE(t.LocateCislo(cislo));
      EXPECT_FALSE(other.LocateByTableName(path("P0001.DBF"), cislo));
      EXPECT_EQ(other.LocateError(), "Chyba práce s DBF " + path("P0001.DBF") + " při čtení záznamu: " + c.fault);
    }
    EXPECT_EQ(logged, std::vector<std::string>{told});
    if (!c.opens) {
      EXPECT_EQ(shown, std::vector<std::string>{});
    }
  }
  fs::remove(path("P0001.DBF"));
}

// A table that is missing is what the user is told of, once, from the first
// object on: not its index, nor a failure to read it, and no LocateError.
TEST_F(AttributeTableTest, AMissingTableIsNamedOnceRatherThanItsIndexOrAFailedRead) {
  const struct {
    const char* what;
    std::string table;
    std::function<void(AttributeTable&)> before;
  } cases[] = {
      {"never there", path("P0110.DBF"), {}},
      {"its index left behind", path("P0120.DBF"),
       [&](AttributeTable&) { write(path("P0120.IND"), std::string(12, '\x01')); }},
      {"deleted after a row was found", path("P0130.DBF"),
       [&](AttributeTable& t) {
         ASSERT_TRUE(t.LocateByTableName(tableWithRows("P0130.DBF", {"1"}), 1));
         t.Close();
         fs::remove(path("P0130.DBF"));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    AttributeTable t(messages);
    if (c.before) c.before(t);
    shown.clear();
    logged.clear();
    for (std::int32_t cislo : {1, 2, 3}) {
      EXPECT_FALSE(t.LocateByTableName(c.table, cislo));
      EXPECT_EQ(t.LocateError(), "");
      EXPECT_EQ(shown, std::vector<std::string>{"Databáze " + c.table + " neexistuje"});
    }
    EXPECT_EQ(logged, std::vector<std::string>{});
  }
}

// One table under several spellings is one table: one open for writing
// stays so, with its index, and keeps the name it was first given.
TEST_F(AttributeTableTest, AnotherSpellingOfTheTableKeepsItAsItIs) {
  const std::string p = tableWithRows("P1600.DBF", {"1", "2"});
  struct Drive {
    explicit Drive(const fs::path& directory) { platform::pathResolver().setDrive('Q', directory); }
    ~Drive() { platform::pathResolver().removeDrive('Q'); }
  } drive(dir);
  const struct {
    const char* what;
    std::string spelled;
  } cases[] = {
      {"case", path("p1600.Dbf")},
      {"drive", "q:\\P1600.dbf"},
      {"dot", (dir / "." / "P1600.DBF").string()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    AttributeTable t(messages);
    t.SetReadOnly(false);
    t.SetTableName(p);
    ASSERT_TRUE(t.OpenFile(c.spelled));
    ASSERT_TRUE(t.LocateInFile(c.spelled, 2));
    ASSERT_TRUE(t.LocateByTableName(c.spelled, 1));
    ASSERT_FALSE(t.ReadOnly());
    EXPECT_EQ(t.TableName(), p);
    t.Edit();
    t.SetFieldText("NAZEV", c.what);
    t.Post();
    t.Close();
    AttributeTable reader(messages);
    ASSERT_TRUE(reader.LocateInFile(p, 1));
    EXPECT_EQ(reader.GetFieldText("NAZEV"), c.what);
  }
  EXPECT_EQ(shown, std::vector<std::string>{});
  EXPECT_EQ(logged, std::vector<std::string>{});
}

TEST_F(AttributeTableTest, NumbersWithoutAPlaceInTheIndexAreNotFound) {
  tableWithRows("P0001.DBF", {"-4", "600000", "2"});
  AttributeTable t(messages);
  EXPECT_FALSE(t.LocateInFile(path("P0001.DBF"), -4));
  EXPECT_FALSE(t.LocateInFile(path("P0001.DBF"), 600000));
  EXPECT_TRUE(t.LocateInFile(path("P0001.DBF"), 2));
  EXPECT_EQ(bytesOf(path("P0001.IND")).size(), 12u);
  EXPECT_EQ(logged.size(), 2u);  // the two rows left out
}

TEST_F(AttributeTableTest, QualifiedFieldNamesAndFormats) {
  platform::DbfTable::create(path("P1600.DBF"), {{"CISLO", 'N', 6, 0}, {"PLOCHA", 'N', 9, 2}});
  platform::DbfTable::create(path("L0110.DBF"), {{"CISLO", 'N', 6, 0}, {"PLOCHA", 'N', 9, 2}});
  AttributeTable t(messages);
  t.SetReadOnly(false);
  t.SetTableName(path("P1600.DBF"));
  t.Open();
  t.Append();
  t.SetFieldText("p1600.plocha", "42,75");
  t.SetFieldText("CISLO", "7");
  t.SetFieldText("NEMA", "x");  // swallowed
  t.Post();
  EXPECT_TRUE(t.HasField("P1600.PLOCHA"));
  EXPECT_TRUE(t.HasField("plocha"));
  EXPECT_FALSE(t.HasField("L0110.PLOCHA"));
  EXPECT_EQ(t.GetFieldText("PLOCHA"), "42.75");
  EXPECT_EQ(t.FormatField("PLOCHA", "%4.4d"), "0043");
  EXPECT_EQ(t.FormatField("CISLO", "č.%-4d|%%"), "č.7   |%");
  EXPECT_EQ(t.FormatField("CISLO", "%s"), "");       // not an integer format
  EXPECT_EQ(t.FormatField("CISLO", "%d %d"), "");    // one value only
  EXPECT_EQ(t.FormatField("NEMA", "%d"), "");
  EXPECT_EQ(t.GetCurrentCislo(), 7);
  EXPECT_TRUE(t.OpenFile(path("L0110.DBF")));
  EXPECT_FALSE(t.HasField("P1600.PLOCHA"));
  EXPECT_TRUE(t.HasField("L0110.PLOCHA"));
  EXPECT_EQ(t.GetFieldText("PLOCHA"), "");  // no row
}

TEST_F(AttributeTableTest, ARefusedValueIsToldOncePerFieldInOneSentence) {
  platform::DbfTable::create(path("P1600.DBF"), {{"CISLO", 'N', 6, 0}, {"PLOCHA", 'N', 6, 2}, {"DATUM", 'D', 8, 0}});
  AttributeTable t(messages);
  t.SetReadOnly(false);
  t.SetTableName(path("P1600.DBF"));
  t.Open();
  const struct {
    const char* field;
    const char* value;
    std::string told;  // empty: the field was told already
  } cases[] = {
      {"PLOCHA", "abc", "Tabulka " + path("P1600.DBF") + ": Hodnotu \"abc\" nelze zapsat do položky PLOCHA: není to číslo"},
      {"plocha", "1234567", ""},
      {"P1600.DATUM", "32.13.2001",
       "Tabulka " + path("P1600.DBF") + ": Hodnotu \"32.13.2001\" nelze zapsat do položky DATUM: není to datum"},
  };
  for (const auto& c : cases) {
    logged.clear();
    t.Append();
    t.SetFieldText(c.field, c.value);
    t.SetFieldText("CISLO", "1");
    t.Post();
    EXPECT_EQ(logged, c.told.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.told}) << c.value;
  }
}
