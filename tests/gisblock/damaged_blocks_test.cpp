// Damaged block files, attribute tables, indexes and control files read by
// the real readers: every read returns, and damage the format shows is
// reported.
#include <random>

#include "gelix_block_fixture.h"
#include "gisblock/attribute_table.h"
#include "gisblock/block_damage.h"
#include "gisblock/crd_record.h"
#include "gisblock/gelix_blok_reader.h"
#include "gisblock/pnt_record.h"
#include "gisblock/table_creation.h"
#include "gisblock/tbx_record.h"
#include "gisblock/transfer_script.h"
#include "temp_dir.h"
#include "tests/platform/damage.h"
#include "dbf_rows.h"

namespace {

using namespace gisblock_test;

constexpr double X0 = -700000.37, Y0 = -1100000.21;

class DamagedBlockTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    // A long run by hand may damage another block, e.g. one of a generated district.
    if (const char* source = std::getenv("ZELTO_DAMAGE_BLOCK")) {
      std::filesystem::copy(source, block(), std::filesystem::copy_options::recursive);
      readAll();
      for (const auto& entry : std::filesystem::directory_iterator(block()))
        original[entry.path().filename().string()] = damage::read(entry.path());
      return;
    }
    Mesh m;
    const RingRef outer = squareLines(m, X0, Y0, X0 + 100, Y0 + 100);
    m.areas.push_back({outer, {X0 + 10, Y0 + 10}, -1, {}});
    const RingRef island = squareLines(m, X0 + 30, Y0 + 30, X0 + 70, Y0 + 70);
    m.areas[0].holes.push_back(reversed(island));
    m.areas.push_back({island, {X0 + 50, Y0 + 50}, 0, {}});
    m.write(block());
    std::string pnt, tbx;
    for (std::uint32_t n = 0; n < 4; ++n) {
      gisblock::PntRecord p;
      p.cislo = n;
      p.x = 700010 + n, p.y = 1100010 + n;
      p.flags = n == 0 ? p.kDeleted : 0;
      const auto pb = p.encode();
      pnt.append(pb.begin(), pb.end());
      gisblock::TbxRecord t;
      t.cislo = n;
      t.x = 700020 + n, t.y = 1100020 + n;
      t.height = 2, t.slope = 15;
      const auto tb = t.encode();
      tbx.append(tb.begin(), tb.end());
    }
    damage::write(block() + "/TN.PNT", pnt);
    damage::write(block() + "/TN.TBX", tbx);
    damage::write(block() + "/TN.TTX", "nula\r\njedna\r\ndva\r\ntři\r\n");
    damage::write(block() + "/INFO.TXT", "OpsanyObdelnikBloku=700000 1100000 700100 1100100\r\nCodePage=1250\r\n");
    const std::string table = block() + "/P1600.DBF";
    test_support::WriteTable(table, {{"CISLO", 'N', 8, 0}, {"NAZEV", 'C', 10, 0}}, {{"2", "plocha 2"}, {"1", "plocha 1"}});
    readAll();  // builds the index
    for (const char* name : {"TN.ARE", "TN.LIN", "TN.CRD", "TN.PNT", "TN.TBX", "TN.TTX", "INFO.TXT", "P1600.DBF",
                             "P1600.IND"})
      original[name] = damage::read(block() + "/" + name);
  }

  void restore() {
    std::filesystem::remove_all(block());
    std::filesystem::create_directories(block());
    for (const auto& [name, bytes] : original) damage::write(block() + "/" + name, bytes);
  }

  // Every kind of object through the block reader, areas both ways.
  void readAll() {
    for (bool asBoundary : {false, true}) {
      TEntity model;
      std::unique_ptr<TGeliXBlokReader> r(TGeliXBlokReader::CreateForBlock(block()));
      r->SetObjectModel(&model);
      r->ReadAreaAsBoundary = asBoundary;
      r->UseMemory = asBoundary;
      std::unique_ptr<TAreaString> areas(r->ReadAreas());
      if (areas)  // the attribute table and its index through the register
        for (TElement* e : areas->Items()) named += !e->PropertyText("NAZEV").empty();
      std::unique_ptr<TPolyLineString> lines(r->ReadLines());
      std::unique_ptr<TPointString> symbols(r->ReadLineSymbols());
      std::unique_ptr<TPointString> points(r->ReadPoints());
      std::unique_ptr<TTextString> texts(r->ReadTexts());
    }
    zelto::RunMessagesUntilIdle();
  }

  // The damage a read of the areas found, as rings of lines and as rings
  // of vertices: both must find it.
  std::string damageOfAreas() {
    std::string damage[2];
    for (bool asBoundary : {false, true}) {
      TEntity model;
      std::unique_ptr<TGeliXBlokReader> r(TGeliXBlokReader::CreateForBlock(block()));
      r->SetObjectModel(&model);
      r->ReadAreaAsBoundary = asBoundary;
      std::unique_ptr<TAreaString> areas(r->ReadAreas());
      const std::optional<gisblock::DamagedBlock> found = gisblock::FindDamagedBlock(areas.get());
      if (found) {
        EXPECT_EQ(found->Block, block());
      }
      damage[asBoundary] = found ? found->Damage : "";
    }
    EXPECT_EQ(damage[0].empty(), damage[1].empty()) << damage[0] << " / " << damage[1];
    return damage[0].empty() ? damage[1] : damage[0];
  }

  // The damage one read of the block carries (A areas, L lines, S line
  // symbols, P points, T texts), and how many objects it read.
  std::optional<gisblock::DamagedBlock> damageOfRead(char read, int& count) {
    TEntity model;
    std::unique_ptr<TGeliXBlokReader> r(TGeliXBlokReader::CreateForBlock(block()));
    r->SetObjectModel(&model);
    std::unique_ptr<TEntity> string;
    if (read == 'A') string.reset(r->ReadAreas());
    if (read == 'L') string.reset(r->ReadLines());
    if (read == 'S') string.reset(r->ReadLineSymbols());
    if (read == 'P') string.reset(r->ReadPoints());
    if (read == 'T') string.reset(r->ReadTexts());
    if (!string) {
      ADD_FAILURE() << read << ": no string";
      count = -1;
      return std::nullopt;
    }
    count = string->GetCount();
    return gisblock::FindDamagedBlock(string.get());
  }

  // Every read of the block: those of `damaged` carry damage beginning
  // with `expected` (being it, having read nothing, where `whole`), the
  // others none.
  void expectDamagedReads(const std::string& damaged, const std::string& expected, bool whole) {
    for (char read : std::string("ALSPT")) {
      int count = 0;
      const std::optional<gisblock::DamagedBlock> found = damageOfRead(read, count);
      if (damaged.find(read) == std::string::npos) {
        EXPECT_FALSE(found) << read << ": " << found->Damage;
        continue;
      }
      ASSERT_TRUE(found) << read;
      EXPECT_EQ(found->Block, block());
      EXPECT_EQ(found->Damage.substr(0, whole ? std::string::npos : expected.size()), expected) << read;
      if (whole) {
        EXPECT_EQ(count, 0) << read;
      }
    }
  }

  std::map<std::string, std::string> original;
  int named = 0;
};

TEST_F(DamagedBlockTest, EveryReadReturnsWhateverTheDamage) {
  damage::Watchdog watchdog(60);
  if (!std::getenv("ZELTO_DAMAGE_BLOCK")) {
    EXPECT_EQ(named, 4);  // two areas, read two ways
  }
  EXPECT_TRUE(log.texts.empty()) << log.texts.front();
  // Missing, empty, or a directory in the place of each file; the block
  // itself a file.
  for (const auto& [name, bytes] : original) {
    for (int how = 0; how < 3; ++how) {
      watchdog.start(name + " gone " + std::to_string(how));
      restore();
      const std::string file = block() + "/" + name;
      std::filesystem::remove(file);
      if (how == 1) damage::write(file, "");
      if (how == 2) std::filesystem::create_directory(file);
      log.texts.clear();
      readAll();
      if (how == 0 && name.rfind("TN.", 0) == 0) {
        EXPECT_TRUE(log.saw(name == "TN.TTX" ? "Chybný soubor Textů" : name + " neexistuje")) << name;
      }
    }
  }
  std::filesystem::remove_all(block());
  damage::write(block(), "not a directory");
  readAll();

  std::vector<std::string> names;
  for (const auto& entry : original) names.push_back(entry.first);
  std::mt19937 rng(20261206);
  const auto& kinds = damage::kinds();
  for (int i = 0, n = damage::iterations(300); i < n; ++i) {
    restore();
    const std::string name = names[rng() % names.size()];
    const damage::Kind& kind = kinds[rng() % kinds.size()];
    std::string bytes = original[name];
    kind.apply(bytes, rng);
    SCOPED_TRACE(name + ": " + kind.name + " #" + std::to_string(i));
    watchdog.start(name + ": " + kind.name + " #" + std::to_string(i));
    damage::write(block() + "/" + name, bytes);
    readAll();
  }
}

// A record that refers to what its files do not hold, or a file cut inside
// a record, is reported with the file and the record, and the string read
// carries it as the block's damage.
TEST_F(DamagedBlockTest, ReferencesOutsideTheFilesMarkTheBlockDamaged) {
  damage::Watchdog watchdog(60);
  // Vertex record n (line 1 has records 1 and 2, line 2 records 3 and 4).
  // A ring of vertices takes the vertex a line shares with the line before
  // from that line: the damage is put where both ways read it.
  auto patchCrd = [this](std::int32_t n, const std::function<void(gisblock::CrdRecord&)>& change) {
    patch<gisblock::CrdRecord>(block() + "/TN.CRD", n, change);
  };
  EXPECT_EQ(damageOfAreas(), "");
  const struct {
    const char* expected;
    std::function<void()> damage;
  } cases[] = {
      {"TN.LIN: linie č.1 má souřadnice 1 až 2 mimo soubor TN.CRD (1 záznam)",
       [&] { damage::write(block() + "/TN.CRD", original["TN.CRD"].substr(0, 12)); }},
      {"TN.ARE: plocha č.1 odkazuje na linii č.2147483647 mimo soubor TN.LIN (9 záznamů)",
       [&] { patchAre(1, [](gisblock::AreRecord& a) { a.lineNo = 0x7FFFFFFF; }); }},
      {"TN.ARE: plocha č.2 má otce č.1000 mimo soubor TN.ARE (3 záznamy)",
       [&] { patchAre(2, [](gisblock::AreRecord& a) { a.paterNo = 1000; }); }},
      {"TN.LIN: linie č.2 odkazuje na další linii č.500 mimo soubor (9 záznamů)",
       [&] { patchLin(2, [](gisblock::LinRecord& l) { l.leftNext = {500, 1}; }); }},
      {"TN.LIN: linie č.1 má vpravo plochu č.77 mimo soubor TN.ARE (3 záznamy)",
       [&] { patchLin(1, [](gisblock::LinRecord& l) { l.rightArea = 77; }); }},
      {"TN.ARE: délka souboru 212 B není násobkem délky záznamu 71 B",
       [&] { damage::write(block() + "/TN.ARE", original["TN.ARE"].substr(0, 212)); }},
      // Cut on a record boundary, to nothing or to its dummy record: no
      // area is left to read, yet the lines and the table name them.
      {"TN.LIN: linie č.1 má vlevo plochu č.1 mimo soubor TN.ARE (0 záznamů)",
       [&] { damage::write(block() + "/TN.ARE", ""); }},
      {"TN.LIN: linie č.1 má vlevo plochu č.1 mimo soubor TN.ARE (1 záznam)",
       [&] { damage::write(block() + "/TN.ARE", original["TN.ARE"].substr(0, gisblock::AreRecord::kSize)); }},
      // The island's record gone, and no ring read leads to its lines.
      {"TN.LIN: linie č.5 má vlevo plochu č.2 mimo soubor TN.ARE (2 záznamy)",
       [&] { damage::write(block() + "/TN.ARE", original["TN.ARE"].substr(0, 2 * gisblock::AreRecord::kSize)); }},
      {"P1600.DBF: řádek 3 má CISLO 3 mimo soubor TN.ARE (3 záznamy)", [&] {
         test_support::WriteTable(block() + "/P1600.DBF", {{"CISLO", 'N', 8, 0}, {"NAZEV", 'C', 10, 0}},
                                  {{"2", "plocha 2"}, {"1", "plocha 1"}, {"3", "žádná"}});
       }},
      // Vertices far from the box of their line; the 6-byte real has no
      // NaN or infinity, its largest value stands for them.
      {"TN.CRD: záznam č.2: vrchol 1.8e+29 1099900.21 leží mimo obdélník linie č.1, vynechán",
       [&] { patchCrd(2, [](gisblock::CrdRecord& c) { c.x = 1.8e29; }); }},
      {"TN.CRD: záznam č.4: vrchol 699900.37 1e-37 leží mimo obdélník linie č.2, vynechán",
       [&] { patchCrd(4, [](gisblock::CrdRecord& c) { c.y = 1e-37; }); }},
      {"TN.CRD: záznam č.2: vrchol -1.701411835e+38 1099900.21 leží mimo obdélník linie č.1, vynechán",
       [&] {
         std::string crd = original["TN.CRD"];
         damage::put(crd, 24, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
         damage::write(block() + "/TN.CRD", crd);
       }},
      {"TN.LIN: linie č.1 má obdélník 700000.37 1099900.21 až 699000 1100000.21 s minimem nad maximem",
       [&] { patchLin(1, [](gisblock::LinRecord& l) { l.box.maxX = 699000; }); }},
      // A live line of no ring.
      {"TN.LIN: linie č.9 má souřadnice 40 až 41 mimo soubor TN.CRD (17 záznamů)", [&] {
         std::string lin = original["TN.LIN"];
         lin += lin.substr(gisblock::LinRecord::kSize, gisblock::LinRecord::kSize);
         damage::write(block() + "/TN.LIN", lin);
         patchLin(9, [](gisblock::LinRecord& l) {
           l.firstCoord = 40, l.lastCoord = 41;
           l.leftArea = l.rightArea = static_cast<std::uint32_t>(-1);
         });
       }},
  };
  for (const auto& c : cases) {
    restore();
    c.damage();
    log.texts.clear();
    EXPECT_EQ(damageOfAreas().substr(0, std::string(c.expected).size()), c.expected);
    EXPECT_TRUE(log.saw(c.expected)) << log.all();
  }

  // A range the wrong way round lies inside TN.CRD, yet no writer leaves
  // it: the line is left out and the block is damaged.
  restore();
  patchLin(1, [](gisblock::LinRecord& l) { std::swap(l.firstCoord, l.lastCoord); });
  log.texts.clear();
  EXPECT_EQ(damageOfAreas().rfind("TN.LIN: linie č.1 má souřadnice 2 až 1 v obráceném pořadí", 0), 0u);
  const auto reversed = std::count_if(log.texts.begin(), log.texts.end(), [](const std::string& text) {
    return text.find("linie č.1 má souřadnice 2 až 1 v obráceném pořadí") != std::string::npos;
  });
  EXPECT_GT(reversed, 0) << log.all();
}

// A ring whose links lead astray or whose lines do not meet, and an island
// whose father is gone or lies elsewhere: the area would be lost or a hole
// cut where none is, so the read is damaged, naming the file and record.
TEST_F(DamagedBlockTest, RingsThatCannotBeWalkedRoundAndWrongFathersMarkTheBlockDamaged) {
  damage::Watchdog watchdog(60);
  const struct {
    const char* expected;
    std::function<void()> damage;
  } cases[] = {
      {"TN.LIN: linie č.1 vede po hranici plochy č.1 k linii č.5, která má na levé straně plochu č.2",
       [&] { patchLin(1, [](gisblock::LinRecord& l) { l.leftNext = {5, 1}; }); }},
      {"TN.LIN: linie č.1 odkazuje na zrušenou linii č.2",
       [&] { patchLin(2, [](gisblock::LinRecord& l) { l.flags |= gisblock::LinRecord::kDeleted; }); }},
      // Read as a ring of vertices, the ring breaks between lines 2 and 3.
      {"TN.LIN: hranice plochy č.1 se nedá obejít, nelze načíst linii č.2",
       [&] { patchLin(2, [](gisblock::LinRecord& l) { l.lastCoord = l.firstCoord; }); }},
      {"TN.ARE: plocha č.2 má otce č.1, který není platnou plochou",
       [&] { patchAre(1, [](gisblock::AreRecord& a) { a.flags = 1; }); }},
      {"TN.ARE: plocha č.2 nemá obdélník uvnitř obdélníku svého otce č.1", [&] {
         patchAre(2, [](gisblock::AreRecord& a) { a.box.minX -= 500, a.box.maxX -= 500; });
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    restore();
    c.damage();
    log.texts.clear();
    EXPECT_EQ(damageOfAreas().substr(0, std::string(c.expected).size()), c.expected);
    EXPECT_TRUE(log.saw(c.expected)) << log.all();
  }
}

// Lines that share their ends only by rounding still make a ring; a line
// cut short, or an island that borders none of its father, does not.
TEST_F(DamagedBlockTest, ALineCutShortOrAnIslandAwayFromItsFatherIsDamage) {
  // An L-shaped area 1, a square 2 in its notch, an island 3 inside 2.
  Mesh m;
  const double x = X0, y = Y0;
  const int up = m.line({{x, y}, {x, y + 100}});
  const int top = m.line({{x, y + 100}, {x + 60, y + 100}});
  const int notchDown = m.line({{x + 60, y + 100}, {x + 60, y + 80}, {x + 60, y + 60}});
  const int notchRight = m.line({{x + 60, y + 60}, {x + 100, y + 60}});
  const int down = m.line({{x + 100, y + 60}, {x + 100, y}});
  const int bottom = m.line({{x + 100, y}, {x, y}});
  m.areas.push_back({{{up, true}, {top, true}, {notchDown, true}, {notchRight, true}, {down, true}, {bottom, true}},
                     {x + 10, y + 10}});
  const int notchTop = m.line({{x + 60, y + 100}, {x + 100, y + 100}});
  const int notchSide = m.line({{x + 100, y + 100}, {x + 100, y + 60}});
  m.areas.push_back({{{notchDown, false}, {notchTop, true}, {notchSide, true}, {notchRight, false}}, {x + 65, y + 95}});
  const RingRef island = squareLines(m, x + 70, y + 70, x + 90, y + 90);
  m.areas[1].holes.push_back(reversed(island));
  m.areas.push_back({island, {x + 80, y + 80}, 1, {}});
  std::filesystem::remove_all(block());
  m.write(block());
  for (std::int32_t line = 9; line <= 12; ++line) patchLin(line, [](gisblock::LinRecord& l) { l.rightArea = 2; });
  const std::string lin = damage::read(block() + "/TN.LIN"), are = damage::read(block() + "/TN.ARE");
  const std::string crd = damage::read(block() + "/TN.CRD");
  EXPECT_EQ(damageOfAreas(), "");

  // A vertex a millimetre off where its neighbour ends still meets it.
  const std::int32_t corner = test_support::ReadRecord<gisblock::LinRecord>(block() + "/TN.LIN", up + 1)->firstCoord;
  patch<gisblock::CrdRecord>(block() + "/TN.CRD", corner, [](gisblock::CrdRecord& c) { c.y -= 0.0004; });
  EXPECT_EQ(damageOfAreas(), "");
  patchLin(notchDown + 1, [](gisblock::LinRecord& l) { --l.lastCoord; });
  EXPECT_EQ(damageOfAreas(), "TN.LIN: hranice plochy č.1 je přerušena mezi linií č.3 a linií č.4; celkem 2 poškození");

  damage::write(block() + "/TN.LIN", lin);
  damage::write(block() + "/TN.CRD", crd);
  patchAre(3, [](gisblock::AreRecord& a) { a.paterNo = 1; });
  EXPECT_EQ(damageOfAreas(), "TN.ARE: plocha č.3 nesousedí se svým otcem č.1");
  // No hole is cut into area 1 for it.
  TEntity model;
  std::unique_ptr<TGeliXBlokReader> r(TGeliXBlokReader::CreateForBlock(block()));
  r->SetObjectModel(&model);
  std::unique_ptr<TAreaString> areas(r->ReadAreas());
  ASSERT_TRUE(areas);
  ASSERT_GT(areas->GetCount(), 0);
  EXPECT_NEAR(static_cast<TAreaElement*>(areas->GetItem(0))->GetArea1(), 10000 - 1600, 1e-6);
  damage::write(block() + "/TN.ARE", are);
}

// A read whose block lacks a file that read needs gives an empty string
// marked with the file, not one that looks like a block without objects;
// the reads that do not need it are sound.
TEST_F(DamagedBlockTest, AReadLackingAFileItNeedsIsDamaged) {
  const struct {
    const char* file;
    const char* reads;  // A areas, L lines, S line symbols, P points, T texts
    const char* damage;
  } cases[] = {
      {"TN.ARE", "A", "TN.ARE: soubor neexistuje"},       {"TN.LIN", "ALS", "TN.LIN: soubor neexistuje"},
      {"TN.CRD", "ALS", "TN.CRD: soubor neexistuje"},     {"TN.PNT", "P", "TN.PNT: soubor neexistuje"},
      {"TN.TBX", "T", "TN.TBX: soubor neexistuje"},       {"TN.TTX", "T", "TN.TTX: soubor nelze otevřít"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    restore();
    std::filesystem::remove(block() + "/" + c.file);
    expectDamagedReads(c.reads, c.damage, true);
  }
}

// A file cut to nothing, or to its dummy record, holds none of the records
// the block's other files and its tables name: every read that takes the
// file is damaged, naming the first record that names beyond it, however
// few records the read visits; the reads that do not take it are sound. A
// block that holds no such records, and names none, reads clean.
TEST_F(DamagedBlockTest, AFileCutShortOfWhatTheBlockNamesDamagesTheReadsThatTakeIt) {
  const std::vector<platform::DbfField> cislo = {{"CISLO", 'N', 8, 0}};
  // The rows of the lines (Druh 1), points and texts (Druh 0) of the block.
  auto writeTables = [&](bool withRows) {
    for (const auto& [table, count] : {std::pair{"L0001.DBF", 8}, {"B0000.DBF", 3}, {"T0000.DBF", 3}}) {
      test_support::DbfRows rows;
      for (int n = 1; withRows && n <= count; ++n) rows.push_back({std::to_string(n)});
      test_support::WriteTable(block() + "/" + table, cislo, rows);
    }
  };
  auto cut = [&](const char* file, std::size_t bytes) {
    damage::write(block() + "/" + file, original[file].substr(0, bytes));
  };
  const struct {
    const char* what;
    std::function<void()> damage;
    const char* reads;  // A areas, L lines, S line symbols, P points, T texts
    const char* expected;
  } cases[] = {
      {"TN.ARE to nothing", [&] { cut("TN.ARE", 0); }, "A",
       "TN.LIN: linie č.1 má vlevo plochu č.1 mimo soubor TN.ARE (0 záznamů)"},
      {"TN.LIN to nothing", [&] { cut("TN.LIN", 0); }, "ALS",
       "TN.ARE: plocha č.1 odkazuje na linii č.1 mimo soubor TN.LIN (0 záznamů)"},
      // A block of lines alone, as the situation lines are.
      {"TN.LIN of a block without areas to its dummy record",
       [&] {
         cut("TN.ARE", gisblock::AreRecord::kSize);
         std::filesystem::remove(block() + "/P1600.DBF");
         cut("TN.LIN", gisblock::LinRecord::kSize);
       },
       "LS", "L0001.DBF: řádek 1 má CISLO 1 mimo soubor TN.LIN (1 záznam)"},
      {"TN.PNT to nothing", [&] { cut("TN.PNT", 0); }, "P",
       "B0000.DBF: řádek 1 má CISLO 1 mimo soubor TN.PNT (0 záznamů)"},
      {"TN.TBX to nothing", [&] { cut("TN.TBX", 0); }, "T",
       "T0000.DBF: řádek 1 má CISLO 1 mimo soubor TN.TBX (0 záznamů)"},
      {"a block without objects, its files empty and no tables",
       [&] {
         for (const char* file : {"TN.ARE", "TN.LIN", "TN.CRD", "TN.PNT", "TN.TBX", "TN.TTX"}) cut(file, 0);
         for (const char* table : {"P1600.DBF", "L0001.DBF", "B0000.DBF", "T0000.DBF"})
           std::filesystem::remove(block() + "/" + table);
       },
       "", ""},
      {"a block without objects, its files and tables holding their dummies alone",
       [&] {
         cut("TN.ARE", gisblock::AreRecord::kSize);
         cut("TN.LIN", gisblock::LinRecord::kSize);
         cut("TN.CRD", gisblock::CrdRecord::kSize);
         cut("TN.PNT", gisblock::PntRecord::kSize);
         cut("TN.TBX", gisblock::TbxRecord::kSize);
         cut("TN.TTX", 6);
         writeTables(false);
         test_support::WriteTable(block() + "/P1600.DBF", cislo, {});
       },
       "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    restore();
    writeTables(true);
    c.damage();
    expectDamagedReads(c.reads, c.expected, false);
    zelto::RunMessagesUntilIdle();
    if (*c.expected) {
      EXPECT_TRUE(log.saw(c.expected)) << log.all();
    }
  }
}

// A line's links to the next lines of its rings end a ring where they name
// no line of the block: lines written from another block keep the links
// they had there at their ends without a node. Only a ring walk that
// follows such a link is broken by it; the reads of lines and of line
// symbols walk no ring, and a link no ring takes names nothing.
TEST_F(DamagedBlockTest, ALinkIsJudgedOnlyWhereARingWalkFollowsIt) {
  // As lines come from an extraction: each of the four links at the end of
  // the block's n records or beyond, or at 0.
  auto linksElsewhere = [&](std::int32_t n, std::int32_t line) {
    patchLin(line, [n, line](gisblock::LinRecord& l) {
      l.link1 = {n, 1}, l.leftNext = {n + 19, 0}, l.rightNext = {0, 1}, l.link4 = {2 * n + line, 0};
    });
  };
  const struct {
    const char* what;
    std::function<void()> change;
    const char* reads;  // A areas, L lines, S line symbols, P points, T texts
    const char* expected;
  } cases[] = {
      {"the links no ring walk follows, of every line",
       [&] {
         for (std::int32_t n = 1; n <= 8; ++n)
           patchLin(n, [](gisblock::LinRecord& l) { l.link1 = {500, 1}, l.link4 = {-7, 0}; });
       },
       "", ""},
      {"every link of a live line of no ring",
       [&] {
         std::string lin = original["TN.LIN"];
         lin += lin.substr(gisblock::LinRecord::kSize, gisblock::LinRecord::kSize);
         damage::write(block() + "/TN.LIN", lin);
         patchLin(9, [](gisblock::LinRecord& l) { l.leftArea = l.rightArea = static_cast<std::uint32_t>(-1); });
         linksElsewhere(10, 9);
       },
       "", ""},
      // Read as lines alone, as the noding reads an extraction; an area
      // read still finds the sides naming areas the block does not hold.
      {"every link of every line, in a block without areas",
       [&] {
         damage::write(block() + "/TN.ARE", original["TN.ARE"].substr(0, gisblock::AreRecord::kSize));
         std::filesystem::remove(block() + "/P1600.DBF");
         for (std::int32_t line = 1; line <= 8; ++line) linksElsewhere(9, line);
       },
       "A", "TN.LIN: linie č.1 má vlevo plochu č.1 mimo soubor TN.ARE (1 záznam)"},
      {"a link a ring walk follows", [&] { patchLin(2, [](gisblock::LinRecord& l) { l.leftNext = {500, 1}; }); },
       "A", "TN.LIN: linie č.2 odkazuje na další linii č.500 mimo soubor (9 záznamů)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    restore();
    c.change();
    expectDamagedReads(c.reads, c.expected, false);
  }
}

// Text record k takes line k of TN.TTX; a file with fewer lines than the
// records gives the texts beyond its end an empty string, and the read is
// sound.
TEST_F(DamagedBlockTest, TextsBeyondTheEndOfTheirStringFileAreEmpty) {
  const struct {
    const char* what;
    std::string ttx;
    std::vector<std::string> texts;  // of records 1 to 3
  } cases[] = {
      {"every line", "nula\r\njedna\r\ndva\r\ntři\r\n", {"jedna", "dva", "tři"}},
      {"cut before its last line", "nula\r\njedna\r\ndva\r\n", {"jedna", "dva", ""}},
      {"the last line without its end", "nula\r\njedna\r\ndva", {"jedna", "dva", ""}},
      {"its first line alone", "nula\r\n", {"", "", ""}},
      {"empty", "", {"", "", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    restore();
    damage::write(block() + "/TN.TTX", c.ttx);
    expectDamagedReads("", "", false);
    TEntity model;
    std::unique_ptr<TGeliXBlokReader> r(TGeliXBlokReader::CreateForBlock(block()));
    r->SetObjectModel(&model);
    std::unique_ptr<TTextString> texts(r->ReadTexts());
    ASSERT_TRUE(texts);
    std::vector<std::string> read;
    // This block's record 0 is live: its text is line 0.
    for (TElement* e : texts->Items())
      if (static_cast<TGelixTextProps*>(static_cast<TTextElement*>(e)->GetProperties())->Cislo > 0)
        read.push_back(static_cast<TTextElement*>(e)->Text);
    EXPECT_EQ(read, c.texts);
  }
}

// A block file that is there but whose read fails (a share gone mid-way;
// /proc/self/mem fails so from its first byte) damages the read as one
// that cannot be opened does, read into memory or not.
TEST_F(DamagedBlockTest, AFileWhoseReadFailsIsDamagedEitherWayItIsRead) {
  const struct {
    const char* file;
    char read;  // A areas, L lines, P points, T texts
  } cases[] = {{"TN.ARE", 'A'}, {"TN.LIN", 'L'}, {"TN.CRD", 'L'}, {"TN.PNT", 'P'}, {"TN.TBX", 'T'}};
  for (const auto& c : cases) {
    restore();
    std::filesystem::remove(block() + "/" + c.file);
    std::filesystem::create_symlink("/proc/self/mem", block() + "/" + c.file);
    for (bool inMemory : {false, true}) {
      SCOPED_TRACE(std::string(c.file) + (inMemory ? " in memory" : ""));
      TEntity model;
      std::unique_ptr<TGeliXBlokReader> r(TGeliXBlokReader::CreateForBlock(block()));
      r->SetObjectModel(&model);
      r->UseMemory = inMemory;
      std::unique_ptr<TEntity> string;
      if (c.read == 'A') string.reset(r->ReadAreas());
      if (c.read == 'L') string.reset(r->ReadLines());
      if (c.read == 'P') string.reset(r->ReadPoints());
      if (c.read == 'T') string.reset(r->ReadTexts());
      ASSERT_TRUE(string);
      const std::optional<gisblock::DamagedBlock> found = gisblock::FindDamagedBlock(string.get());
      ASSERT_TRUE(found);
      EXPECT_EQ(found->Damage, std::string(c.file) + ": soubor nelze otevřít");
    }
  }
}

// Tables, their .IND indexes, .CRT definitions and .TDS transfer lists.
using DamagedTableTest = TableDir;

TEST_F(DamagedTableTest, TablesIndexesAndControlFilesReadWhateverTheDamage) {
  damage::Watchdog watchdog(60);
  test_support::ScopedWorkingDirectory inside(dir);  // a file made by a relative name lands here
  const std::string table = tableWithRows("P1600.DBF", {"3", "1", "3", "7", "-2"});
  {
    gisblock::AttributeTable t(messages);
    ASSERT_TRUE(t.LocateObject(dir.string(), 'P', 1600, 1));
  }
  const std::string dbf = damage::read(table), ind = damage::read(path("P1600.IND"));
  const std::string crt = "; definice\r\nCISLO N 8 0\r\nNAZEV C 40 0\r\nPLOCHA N 12 2\r\nDATUM D 8 0\r\n";
  const std::string tds = "; prenos\r\nNAZEV NAZEV\r\n*Druh PLOCHA\r\n";
  std::mt19937 rng(1600);
  const auto& kinds = damage::kinds();
  for (int i = 0, n = damage::iterations(300); i < n; ++i) {
    const damage::Kind& kind = kinds[rng() % kinds.size()];
    const int target = static_cast<int>(rng() % 4);
    std::string bytes = target == 0 ? dbf : target == 1 ? ind : target == 2 ? crt : tds;
    kind.apply(bytes, rng);
    SCOPED_TRACE(std::to_string(target) + ": " + kind.name + " #" + std::to_string(i));
    watchdog.start(std::to_string(target) + ": " + kind.name + " #" + std::to_string(i));
    damage::write(table, target == 0 ? bytes : dbf);
    damage::write(path("P1600.IND"), target == 1 ? bytes : ind);
    damage::write(path("DEF.CRT"), target == 2 ? bytes : crt);
    damage::write(path("MOVE.TDS"), target == 3 ? bytes : tds);
    gisblock::AttributeTable t(messages);
    for (std::int32_t cislo : {1, 3, 7, 0, 2, 500000}) {
      if (t.LocateObject(dir.string(), 'P', 1600, cislo)) {
        for (const platform::DbfField& f : t.Fields().fields()) t.GetFieldText(f.name);
        t.FormatField("CISLO", "%4.4d");
      }
    }
    gisblock::CreateTableFromCRT(path("DEF.CRT"), path("NEW.DBF"), messages);
    gisblock::CreateTableFromDBF(table, path("COPY.DBF"), messages);
    gisblock::TransferScript script;
    script.load(path("MOVE.TDS"));
  }
  // A table cut inside its header is reported.
  damage::write(table, dbf.substr(0, 10));
  damage::write(path("P1600.IND"), ind);
  logged.clear();
  EXPECT_FALSE(gisblock::AttributeTable(messages).LocateObject(dir.string(), 'P', 1600, 7));
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_NE(logged[0].find("není tabulka dBase"), std::string::npos) << logged[0];
  // Directories in the places of the files read as missing files.
  for (const char* name : {"DEF.CRT", "MOVE.TDS", "P1600.IND"}) {
    std::filesystem::remove_all(path(name));
    std::filesystem::create_directory(path(name));
  }
  damage::write(table, dbf);
  EXPECT_FALSE(gisblock::CreateTableFromCRT(path("DEF.CRT"), path("NEW.DBF"), messages));
  EXPECT_FALSE(gisblock::TransferScript().load(path("MOVE.TDS")));
  gisblock::AttributeTable t(messages);
  EXPECT_TRUE(t.LocateObject(dir.string(), 'P', 1600, 7));
}

TEST_F(DamagedBlockTest, ALongChainOfFathersEndsWithAWarning) {
  // A row of squares, each the father of the one before it.
  const int n = 300;
  Mesh m;
  for (int i = 0; i < n; ++i)
    m.areas.push_back({squareLines(m, X0 + 2 * i, Y0, X0 + 2 * i + 1, Y0 + 1), {X0 + 2 * i + 0.5, Y0 + 0.5},
                       i + 1 < n ? i + 1 : -1, {}});
  std::filesystem::remove_all(block());
  m.write(block());
  TEntity model;
  std::unique_ptr<TGeliXBlokReader> r(TGeliXBlokReader::CreateForBlock(block()));
  r->SetObjectModel(&model);
  std::unique_ptr<TAreaString> areas(r->ReadAreas());
  ASSERT_TRUE(areas);
  EXPECT_EQ(areas->GetCount(), n);
  zelto::RunMessagesUntilIdle();
  EXPECT_TRUE(log.saw("má řetěz otců delší než 256 ploch"));
}

TEST_F(DamagedBlockTest, ARingThatGoesRoundInCirclesIsGivenUpAtOnce) {
  // The second line of the outer ring leads to itself on both sides.
  for (std::int32_t line = 1; line <= 8; ++line)
    patchLin(line, [](gisblock::LinRecord& l) {
      l.leftNext = {2, 1};
      l.rightNext = {2, 0};
    });
  readAll();
  EXPECT_TRUE(log.saw("nelze načíst další linii vlevo"));
}
}  // namespace
