#include "gisblock/attribute_table.h"
#include "gisblock/table_creation.h"
#include "gisblock/transfer_script.h"
#include "platform/path_resolver.h"

#include "table_fixture.h"

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>

#include "dbf_rows.h"
#include "file_size_limit.h"
#include "temp_dir.h"

using namespace gisblock;
using gisblock_test::TableDir;
namespace fs = std::filesystem;

namespace {

// The text as Notepad's "Unicode" saves it: UTF-16 with its byte-order mark.
std::string Utf16(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) bytes += std::string{c, '\0'};
  return bytes;
}

class TableCreationTest : public TableDir {
 protected:
  void SetUp() override {
    TableDir::SetUp();
    inside.emplace(dir);  // a file made by a relative name lands here
    platform::pathResolver().setDrive('G', dir);
    fs::create_directories(dir / "blk");
    fs::create_directories(dir / "src");
  }
  void TearDown() override {
    inside.reset();
    TableDir::TearDown();
  }
  // The block's table T, open for rows that the script T.TDS fills.
  static void OpenForCopy(AttributeTable& target) {
    target.SetReadOnly(false);
    target.SetTableName("G:\\BLK\\T.DBF");
    target.SetTransferScript("G:\\T.TDS");
    target.Open();
  }
  std::optional<test_support::ScopedWorkingDirectory> inside;
};

}  // namespace

// The statement file is a by-product: where it cannot be written, each
// export says so once, however many tables it makes.
TEST_F(TableCreationTest, AStatementFileThatCannotBeWrittenIsToldOncePerExport) {
  write(path("P1600.CRT"), "NAZEV C 30 0\r\n");
  fs::create_directories(dir / "Create.sql");  // takes no file
  for (int run = 0; run < 2; ++run) {
    std::set<std::string> told;  // what this export has told
    TableMessages once = messages;
    once.firstNotice = [&told](const std::string& key) { return told.insert(key).second; };
    logged.clear();
    for (const char* table : {"G:\\BLK\\P1600.DBF", "G:\\BLK\\P1700.DBF"}) {
      AttributeTable target(once);
      target.CreateFileName = "G:\\P1600.CRT";
      EXPECT_TRUE(target.CreateTable(table)) << table;
    }
    ASSERT_EQ(logged.size(), 1u) << run;
    EXPECT_EQ(logged[0].rfind("Soubor Create.sql nelze zapsat: ", 0), 0u) << logged[0];
  }
}

TEST_F(TableCreationTest, CrtDefinesTheTableAndTdsFillsIt) {
  write(path("P1600.CRT"),
        "; pole ploch\r\n\r\nNAZEV C 30 0\r\nKOD N 20 0\r\nPOPIS c 40 0\r\nPLOCHA N 10 2\r\n");
  AttributeTable target(messages);
  target.CreateFileName = "G:\\P1600.CRT";
  ASSERT_TRUE(target.CreateTable("G:\\BLK\\P1600.DBF"));
  // The statement is kept in the current directory, in the code page of
  // the system it came from.
  EXPECT_EQ(bytesOf(dir / "Create.sql"),
            "create table \"G:\\BLK\\P1600.DBF\"\r\n(\r\nNAZEV char(30),\r\nKOD decimal(14,0),\r\nPOPIS char(40),\r\n"
            "PLOCHA decimal(10,2),\r\nCISLO decimal(6,0))\r\n");
  EXPECT_TRUE(fs::exists(dir / "blk" / "P1600.DBF"));

  // The source rows, as an older block's table holds them.
  test_support::WriteTable(path("src/P1600.DBF"),
                           {{"CISLO", 'N', 6, 0}, {"NAZEV_S", 'C', 20, 0}, {"KOD", 'N', 14, 0}, {"PLOCHA", 'N', 8, 2}},
                           {{"5", "Bukový porost", "12345678901234", "3.5"}, {"2", "Smrčina", "7", "12"}});
  platform::DbfTable source;
  source.open(path("src/P1600.DBF"), false);
  write(path("P1600.TDS"), "nazev_s   NAZEV\r\nkod KOD\r\n plocha PLOCHA \r\n*Cislo CISLO\r\n*Popis POPIS\r\n"
                           "; KOD\r\nsamotne\r\n");
  target.SetReadOnly(false);
  target.SetTableName("G:\\BLK\\P1600.DBF");
  target.SetTransferScript("G:\\p1600.tds");
  ASSERT_NE(target.GetTransferScript(), nullptr);
  target.Open();
  for (bool row = source.first(); row; row = source.next()) {
    const std::map<std::string, std::string> props{{"CISLO", source.text("CISLO")}, {"POPIS", "Žlutý kůň"}};
    target.Append();
    target.CopyFieldsFrom(source);
    target.CopyStarredFrom([&](const std::string& name) -> std::optional<std::string> {
      const auto it = props.find(name);
      return it == props.end() ? std::nullopt : std::optional(it->second);
    });
    target.Post();
  }
  target.Close();

  AttributeTable reader(messages);
  ASSERT_TRUE(reader.LocateObject("G:\\BLK", 'P', 1600, 2));
  EXPECT_EQ(reader.GetFieldText("NAZEV"), "Smrčina");
  EXPECT_EQ(reader.GetFieldText("PLOCHA"), "12");
  fs::remove(dir / "blk" / "P1600.IND");
  AttributeTable again(messages);
  ASSERT_TRUE(again.LocateObject("g:\\blk", 'P', 1600, 5));
  EXPECT_EQ(again.GetFieldText("NAZEV"), "Bukový porost");
  EXPECT_EQ(again.GetFieldText("KOD"), "12345678901234");
  EXPECT_EQ(again.GetFieldText("PLOCHA"), "3.5");
  EXPECT_EQ(again.GetFieldText("POPIS"), "Žlutý kůň");
  EXPECT_TRUE(fs::exists(dir / "blk" / "P1600.IND"));
  EXPECT_TRUE(shown.empty());
}

TEST_F(TableCreationTest, CrtErrorsNameTheirLinesCountingComments) {
  write(path("T.CRT"), "; komentar\r\n\r\n{ blok\r\nKOD X 5\r\n   \r\nNAZEV C 10 0\r\nPOPIS\r\n");
  EXPECT_TRUE(CreateTableFromCRT("G:\\T.CRT", "G:\\BLK\\T.DBF", messages));
  EXPECT_EQ(shown, (std::vector<std::string>{"T.CRT: Spatny typ polozky, radek c.4",
                                             "T.CRT: Spatne jmeno polozky, radek c.5",
                                             "T.CRT: Spatny typ polozky, radek c.7"}));
  platform::DbfTable t;
  t.open(path("blk/T.DBF"), true);
  ASSERT_EQ(t.fields().size(), 2u);
  EXPECT_EQ(t.fields()[1].name, "CISLO");
}

// As DOS and Windows editors leave them: a Ctrl-Z after the last line,
// tabs between the columns, "Unicode".
TEST_F(TableCreationTest, CrtEndsAtCtrlZAndTakesTabsAsBlanks) {
  const std::string text = "NAZEV\tC\t30\t0\r\nKOD N 5 0\r\n\x1A";
  for (const std::string& bytes : {text, Utf16(text)}) {
    write(path("T.CRT"), bytes);
    EXPECT_TRUE(CreateTableFromCRT("G:\\T.CRT", "G:\\BLK\\T.DBF", messages));
    EXPECT_EQ(shown, std::vector<std::string>{});
    platform::DbfTable t;
    t.open(path("blk/T.DBF"), true);
    ASSERT_EQ(t.fields().size(), 3u);
    EXPECT_EQ(t.fields()[0].name, "NAZEV");
    EXPECT_EQ(t.fields()[0].width, 30);
    EXPECT_EQ(t.fields()[1].name, "KOD");
  }
}

TEST_F(TableCreationTest, NoTableMeansNoSuccess) {
  write(path("ONLY.CRT"), "CISLO N 8 0\r\n");
  EXPECT_FALSE(CreateTableFromCRT("G:\\ONLY.CRT", "G:\\BLK\\A.DBF", messages));
  EXPECT_FALSE(fs::exists(dir / "blk" / "A.DBF"));
  EXPECT_FALSE(fs::exists(dir / "Create.sql"));  // no table was to be made

  write(path("WIDE.CRT"), "NAZEV C 300 0\r\n");
  EXPECT_FALSE(CreateTableFromCRT("G:\\WIDE.CRT", "G:\\BLK\\B.DBF", messages));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].rfind("Nemohu vytvořit tabulku G:\\BLK\\B.DBF\nChybové hlášení: \n", 0), 0u) << shown[0];

  write(path("HUGE.CRT"), "NAZEV C 70000 0\r\n");
  EXPECT_FALSE(CreateTableFromCRT("G:\\HUGE.CRT", "G:\\BLK\\C.DBF", messages));
  EXPECT_EQ(shown.back(), "Problém s vytvořením DBF dle G:\\HUGE.CRT");
  EXPECT_FALSE(CreateTableFromCRT("G:\\MISSING.CRT", "G:\\BLK\\D.DBF", messages));

  // A disk that fills up while the table is written: no table, and the
  // cause, not a table that later reads as none.
  std::string wide;
  for (int i = 0; i < 40; ++i) wide += "POLE" + std::to_string(i) + " C 10 0\r\n";
  write(path("FULL.CRT"), wide);
  {
    test_support::FileSizeLimit limit(1024);  // the statement fits, the table's header does not
    EXPECT_FALSE(CreateTableFromCRT("G:\\FULL.CRT", "G:\\BLK\\E.DBF", messages));
  }
  EXPECT_NE(shown.back().find("soubor je příliš velký"), std::string::npos) << shown.back();
  EXPECT_FALSE(fs::exists(dir / "blk" / "E.DBF"));
}

TEST_F(TableCreationTest, GroupFieldsStayOutOfTheStatement) {
  std::vector<FieldDefinition> defs{{"A", 'C', 5, 0}, {"B", 'N', 20, 3}, {"group", 'C', 5, 0}};
  EXPECT_EQ(createTableStatement("x.DBF", defs),
            (std::vector<std::string>{"create table \"x.DBF\"", "(", "A char(5),", "B decimal(14,3))"}));
  EXPECT_EQ(defs[1].width, 14);
}

TEST_F(TableCreationTest, StructureCopiedFromAnotherTable) {
  platform::DbfTable::create(path("src/L0110.DBF"), {{"DRUH", 'N', 4, 0}, {"JMENO", 'C', 12, 0}, {"DATUM", 'D', 8, 0}});
  AttributeTable t(messages);
  platform::DbfTable copy;
  // The file is a table however its name is spelled, as every name in the tree.
  for (const char* spelled : {"G:\\SRC\\L0110.DBF", "g:\\src\\l0110.dbf", "G:\\Src\\L0110.Dbf"}) {
    SCOPED_TRACE(spelled);
    t.CreateFileName = spelled;
    ASSERT_TRUE(t.CreateTable("G:\\BLK\\L0110.DBF"));
    copy.open(path("blk/L0110.DBF"), true);
    ASSERT_EQ(copy.fields().size(), 3u);  // no CISLO added on this path
    EXPECT_EQ(copy.fields()[1].name, "JMENO");
    EXPECT_EQ(copy.fields()[1].width, 12);
    EXPECT_EQ(copy.fields()[2].type, 'D');
    copy.close();
    EXPECT_EQ(test_support::ReadFile(path("blk/L0110.DBF"))[29], '\xC8');
  }
  EXPECT_EQ(shown, std::vector<std::string>{});

  // A table written on DOS passes its code page on with its structure.
  test_support::RecodeAsDos(path("src/L0110.DBF"));
  ASSERT_TRUE(t.CreateTable("G:\\BLK\\L0110.DBF"));
  copy.open(path("blk/L0110.DBF"), false);
  EXPECT_EQ(copy.codePage(), platform::CodePage::Latin2);
  copy.append();
  copy.setText("JMENO", "Řeka");
  copy.post();
  copy.close();
  EXPECT_EQ(test_support::ReadFile(path("blk/L0110.DBF")).substr(32 + 3 * 32 + 1 + 1 + 4, 4), "\xFC\x65ka");
}

// A structure file at odds with itself would make a table whose fields are
// shifted or nameless, and every row written through it would be wrong: it
// is refused as a .CRT that defines no table is, saying what is wrong.
TEST_F(TableCreationTest, AStructureFileWhoseHeaderContradictsItselfMakesNoTable) {
  platform::DbfTable::create(path("src/L0110.DBF"), {{"DRUH", 'N', 4, 0}, {"JMENO", 'C', 12, 0}, {"DATUM", 'D', 8, 0}});
  const std::string sound = bytesOf(dir / "src" / "L0110.DBF");
  constexpr std::size_t kJmeno = 32 + 32;  // its descriptor
  const struct {
    const char* what;
    std::function<void(std::string&)> damage;
    std::string told;
  } cases[] = {
      {"a width lowered", [](std::string& b) { b[32 + 16] = 3; },
       "Poškozená hlavička tabulky: položky se značkou řádku zabírají 24 bajtů, hlavička uvádí délku věty 25"},
      {"a width of 0", [](std::string& b) { b[kJmeno + 16] = 0; },
       "Poškozená hlavička tabulky: šířka položky \"JMENO\" je 0"},
      {"a blank name", [](std::string& b) { b.replace(kJmeno, 11, 11, '\0'); },
       "Poškozená hlavička tabulky: 2. položka nemá jméno"},
      {"a name given twice", [](std::string& b) { b.replace(kJmeno, 11, std::string("DRUH\0\0\0\0\0\0\0", 11)); },
       "Poškozená hlavička tabulky: položka \"DRUH\" je v ní dvakrát"},
      {"a header length one byte long", [](std::string& b) { ++b[8]; },
       "Poškozená hlavička tabulky: délka hlavičky 130 neodpovídá počtu položek (3), má být 129"},
      {"too short for a header", [](std::string& b) { b.resize(20); }, "není tabulka dBase"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = sound;
    c.damage(bytes);
    write(dir / "src" / "L0110.DBF", bytes);
    shown.clear();
    AttributeTable t(messages);
    t.CreateFileName = "G:\\SRC\\L0110.DBF";
    EXPECT_FALSE(t.CreateTable("G:\\BLK\\L0110.DBF"));
    EXPECT_EQ(shown, std::vector<std::string>{"Problém s vytvořením DBF dle G:\\SRC\\L0110.DBF: " + c.told});
    EXPECT_FALSE(fs::exists(dir / "blk" / "L0110.DBF"));
  }
}

TEST(TransferScript, PairsAreTrimmedAndUpperCased) {
  const auto pairs = TransferScript::parse(" lhc   LHC_KOD \r\nsamotne\r\n*Cislo CISLO_OBJ\r\n;x Y\r\n\r\n");
  EXPECT_EQ(pairs, (std::vector<TransferPair>{{"LHC", "LHC_KOD", 1}, {"*CISLO", "CISLO_OBJ", 3}, {";X", "Y", 4}}));
}

// As Windows and DOS editors leave them: tabs after the names, a Ctrl-Z
// after the last line, "Unicode".
TEST(TransferScript, TabsAreBlanksAndCtrlZEndsTheScript) {
  const std::string text = "; prenos\r\nODDELENI\tODD\t\r\n\tDILEC \t DIL\r\n\x1A";
  const std::vector<TransferPair> expected{{";", "PRENOS", 1}, {"ODDELENI", "ODD", 2}, {"DILEC", "DIL", 3}};
  EXPECT_EQ(TransferScript::parse(text), expected);
  EXPECT_EQ(TransferScript::parse(Utf16(text)), expected);
  EXPECT_EQ(TransferScript::parse("SKUPINA PSK\x1APOROST POR\r\n"), (std::vector<TransferPair>{{"SKUPINA", "PSK", 1}}));
}

// A pair that would leave its field empty in every row is told once per
// export, naming the script, the line and the field; a missing script is
// silent.
TEST_F(TableCreationTest, APairThatCopiesNothingIsToldOncePerExportWithItsLine) {
  test_support::WriteTable(path("src/S.DBF"), {{"CISLO", 'N', 6, 0}, {"ODDELENI", 'N', 4, 0}, {"SKUPINA", 'C', 3, 0}},
                           {{"1", "7", "1a"}, {"2", "8", "2b"}, {"3", "9", "3c"}});
  platform::DbfTable::create(path("blk/T.DBF"), {{"CISLO", 'N', 6, 0}, {"ODD", 'N', 4, 0}, {"PSK", 'C', 3, 0},
                                                 {"DRUH_PUV", 'N', 6, 0}});
  write(path("T.TDS"), "; prenos\r\nODDELENI\tODD\t\r\nNEEXISTUJE PSK\r\nSKUPINA PSX\r\n*Druh DRUH_PUV\r\n"
                       "*Cislo CISLO_OBJ\r\nSKUPINA JINA.PSK\r\n");
  platform::DbfTable source;
  source.open(path("src/S.DBF"), true);
  const std::string sourceName = platform::pathResolver().userSpelling(source.path());
  const std::vector<std::string> told{
      "Přenos položek dle G:\\T.TDS, řádek 3: zdrojová tabulka " + sourceName + " nemá položku NEEXISTUJE",
      "Přenos položek dle G:\\T.TDS, řádek 4: nová tabulka G:\\BLK\\T.DBF nemá položku PSX",
      "Přenos položek dle G:\\T.TDS, řádek 6: nová tabulka G:\\BLK\\T.DBF nemá položku CISLO_OBJ"};
  for (const char* script : {"G:\\T.TDS", "G:\\MISSING.TDS"}) {
    for (int run = 0; run < 2; ++run) {
      SCOPED_TRACE(std::string(script) + " export " + std::to_string(run));
      std::set<std::string> toldHere;
      TableMessages once = messages;
      once.firstNotice = [&toldHere](const std::string& key) { return toldHere.insert(key).second; };
      shown.clear();
      AttributeTable target(once);
      target.SetReadOnly(false);
      target.SetTableName("G:\\BLK\\T.DBF");
      target.SetTransferScript(script);
      target.Open();
      for (bool row = source.first(); row; row = source.next()) {
        target.Append();
        target.CopyFieldsFrom(source);
        target.CopyStarredFrom([](const std::string&) { return std::optional<std::string>("110"); });
        target.Post();
      }
      target.Close();
      if (std::string(script) == "G:\\T.TDS") {
        EXPECT_EQ(shown, told);
        EXPECT_EQ(test_support::LiveRows(dir / "blk" / "T.DBF", {"ODD", "DRUH_PUV"}).back(),
                  (std::vector<std::string>{"9", "110"}));
      } else {
        EXPECT_EQ(shown, std::vector<std::string>{});
      }
    }
  }
}

// Random bytes make pairs of names no table has, each one told; where a
// Ctrl-Z among them leaves no pair at all, the script is told.
TEST_F(TableCreationTest, AScriptOfRandomBytesTellsEveryPair) {
  test_support::WriteTable(path("src/S.DBF"), {{"CISLO", 'N', 6, 0}, {"SKUPINA", 'C', 3, 0}}, {{"1", "1a"}});
  platform::DbfTable::create(path("blk/T.DBF"), {{"CISLO", 'N', 6, 0}, {"PSK", 'C', 3, 0}});
  std::mt19937 rng(29);
  std::string bytes(8000, '\0');
  for (char& c : bytes) {
    const auto byte = static_cast<char>(rng() % 256);
    c = byte == '\x1A' ? 'x' : byte;  // the end of the file comes below
  }
  platform::DbfTable source;
  source.open(path("src/S.DBF"), true);
  source.first();
  for (const std::string& script : {bytes, "x\x1A" + bytes}) {
    write(path("T.TDS"), script);
    const std::vector<TransferPair> pairs = TransferScript::parse(script);
    shown.clear();
    AttributeTable target(messages);
    OpenForCopy(target);
    target.Append();
    target.CopyFieldsFrom(source);
    target.CopyStarredFrom([](const std::string&) { return std::nullopt; });
    target.Cancel();
    if (script != bytes) {
      EXPECT_EQ(shown, std::vector<std::string>{"Přenos položek dle G:\\T.TDS: soubor neobsahuje žádnou dvojici položek"});
      continue;
    }
    ASSERT_GT(pairs.size(), 10u);
    for (const TransferPair& pair : pairs) {
      if (pair.source[0] == ';') continue;  // a comment
      const std::string line = "řádek " + std::to_string(pair.line) + ": ";
      EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [&](const std::string& s) { return s.find(line) != s.npos; }))
          << line;
    }
  }
}

TEST_F(TableCreationTest, TransferScriptLoadsOnceAndCopiesWithoutScriptByName) {
  write(path("A.TDS"), "X Y\r\n");
  AttributeTable t(messages);
  t.SetTransferScript("G:\\A.TDS");
  write(path("A.TDS"), "X Z\r\n");
  t.SetTransferScript("G:\\A.TDS");
  EXPECT_EQ(t.GetTransferScript()->GetTargetName(0), "Y");
  EXPECT_EQ(t.GetTransferScript()->GetTargetName(1), "");
  t.SetTransferScript("");
  EXPECT_EQ(t.GetTransferScript(), nullptr);

  test_support::WriteTable(path("src/S.DBF"), {{"CISLO", 'N', 6, 0}, {"JMENO", 'C', 8, 0}, {"JINE", 'C', 3, 0}},
                           {{"9", "Jedle"}});
  platform::DbfTable::create(path("blk/T.DBF"), {{"CISLO", 'N', 6, 0}, {"JMENO", 'C', 8, 0}, {"VEK", 'N', 3, 0}});
  platform::DbfTable s;
  s.open(path("src/S.DBF"), false);
  s.first();
  t.SetReadOnly(false);
  t.SetTableName("G:\\BLK\\T.DBF");
  t.Open();
  t.Append();
  t.CopyFieldsFrom(s);
  t.SetFieldsFromList({{"vek", "120"}, {"nic", "1"}});
  t.Post();
  EXPECT_EQ(t.GetFieldText("JMENO"), "Jedle");
  EXPECT_EQ(t.GetFieldText("CISLO"), "");  // the key is never copied
  EXPECT_EQ(t.GetFieldText("VEK"), "120");
}

// A source value the target field would keep only rounded ("1,5" in a
// compartment field without decimals would name compartment 2), cut short
// or with a letter its code page lacks turned into '?', is refused, not
// written: the field stays empty and the log says so once, naming the
// source table, row and field, where the value is mended. A value the field
// holds whole is copied, decimals and all.
TEST_F(TableCreationTest, ASourceValueTheTargetWouldRoundIsToldWithTheSourceRow) {
  // The target made from a DOS program's table: code page 852.
  platform::DbfTable::create(path("blk/T.DBF"),
                             {{"CISLO", 'N', 6, 0}, {"ODD", 'N', 4, 0}, {"PLOCHA", 'N', 6, 1}, {"NAZEV", 'C', 8, 0}},
                             platform::dbf::kLanguageLatin2);
  write(path("T.TDS"), "ODDELENI ODD\r\nVYMERA PLOCHA\r\nPOPIS NAZEV\r\n");
  const struct {
    const char *oddeleni, *vymera, *popis;
    std::vector<std::string> written;  // ODD, PLOCHA, NAZEV
    const char* told;
  } cases[] = {
      {"7", "2,50", "Bukový l", {"7", "2.5", "Bukový l"}, nullptr},
      {"1,5", "1", "Buk", {"", "1", "Buk"},
       "položka ODDELENI: Hodnotu \"1,5\" nelze zapsat do položky ODD: není celé číslo"},
      {"7", "1.25", "Buk", {"7", "", "Buk"},
       "položka VYMERA: Hodnotu \"1.25\" nelze zapsat do položky PLOCHA: má více desetinných míst, než položka pojme"},
      {"7", "1", "Bukový les", {"7", "1", ""},
       "položka POPIS: Hodnotu \"Bukový les\" nelze zapsat do položky NAZEV: text je delší, než položka pojme (šířka 8)"},
      {"7", "1", "„Buk“", {"7", "1", ""},
       "položka POPIS: Hodnotu \"„Buk“\" nelze zapsat do položky NAZEV: obsahuje znaky, které tabulka neumí uložit"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.oddeleni) + " " + c.vymera + " " + c.popis);
    // The source as a foreign program leaves it: text where numbers belong.
    test_support::WriteTable(path("src/S.DBF"),
                             {{"CISLO", 'N', 6, 0}, {"ODDELENI", 'C', 4, 0}, {"VYMERA", 'C', 6, 0}, {"POPIS", 'C', 20, 0}},
                             {{"1", "8", "1", "Smrk"}, {"2", c.oddeleni, c.vymera, c.popis}});
    platform::DbfTable source;
    source.open(path("src/S.DBF"), true);
    source.moveTo(2);
    logged.clear();
    AttributeTable target(messages);
    OpenForCopy(target);
    target.Append();
    target.CopyFieldsFrom(source);
    target.Post();
    EXPECT_EQ((std::vector<std::string>{target.GetFieldText("ODD"), target.GetFieldText("PLOCHA"),
                                        target.GetFieldText("NAZEV")}),
              c.written);
    target.Close();
    const std::string where = platform::pathResolver().userSpelling(source.path()) + ": řádek 2, ";
    EXPECT_EQ(logged, c.told ? std::vector<std::string>{where + c.told} : std::vector<std::string>{});
  }
}
