#include <cmath>

#include "framework/problem_report.h"
#include "framework/string_list.h"
#include "gelix_block_fixture.h"
#include "gisblock/block_damage.h"
#include "gisblock/crd_record.h"
#include "gisblock/gelix_blok_reader.h"
#include "gisblock/gelix_lin_reader.h"
#include "gisblock/gelix_registers.h"
#include "gisblock/pnt_record.h"
#include "gisblock/tbx_record.h"

namespace {

using namespace gisblock_test;
using gisblock::CrdRecord;
using gisblock::LinRecord;
using gisblock::PntRecord;
using gisblock::TbxRecord;

class GelixReaderTest : public BlockTest {
 protected:
  template <class Record>
  void writeFile(const std::string& name, std::vector<Record> records) {
    std::filesystem::create_directories(block());
    std::ofstream out(block() + "/" + name, std::ios::binary | std::ios::trunc);
    for (const Record& r : records) {
      const auto bytes = r.encode();
      out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
  }
  // A reader filing into `into` (the fixture's model unless told).
  std::unique_ptr<TGeliXBlokReader> reader(TEntity* into = nullptr) {
    std::unique_ptr<TGeliXBlokReader> r(TGeliXBlokReader::CreateForBlock(block()));
    r->SetObjectModel(into ? into : &model);
    return r;
  }
  static std::vector<int> numbers(TEntity* string) {
    std::vector<int> n;
    for (TElement* e : string->Items()) n.push_back(e->GetPropertyInt("Cislo"));
    std::sort(n.begin(), n.end());
    return n;
  }
  static TStringListElement* filterList(const std::string& name, const std::string& value) {
    auto* list = new TStringListElement;
    list->AddNamed("@MinSize", "0");
    list->AddNamed(name, value);
    return list;
  }
  TEntity model;
};

PntRecord point(std::uint32_t cislo, std::int16_t druh, double x, double y, std::uint8_t flags = 0) {
  PntRecord p;
  p.cislo = cislo;
  p.druh = druh;
  p.x = x;
  p.y = y;
  p.flags = flags;
  return p;
}

TEST_F(GelixReaderTest, PointsInRangeAndOfTheKindsTheFilterTakes) {
  writeFile<PntRecord>("TN.PNT", {point(0, 0, 0, 0, 1), point(1, 110, 0, 2000000), point(2, 110, 5, 5, 1),
                                  point(3, 110, 5, -1), point(4, 120, 7, 8), point(5, 130, 2000000.5, 8)});
  std::unique_ptr<TPointString> all(reader()->ReadPoints());
  EXPECT_EQ(numbers(all.get()), (std::vector<int>{1, 4}));
  EXPECT_TRUE(log.saw("Bod.c.3 je mimo rozsah"));
  EXPECT_TRUE(log.saw("Bod.c.5 je mimo rozsah"));
  auto* first = static_cast<TPointElement*>(all->GetItem(0));
  EXPECT_EQ(first->GetAbsRefY(), -2000000.0);
  EXPECT_EQ(all->GetName(), gisblock::normalizeBlockPath(block()) + " PNT");
  std::unique_ptr<TGelixLinReader> missing(TGeliXObjectReader::CreateForBlock<TGelixLinReader>(block()));
  EXPECT_FALSE(missing->HasStream());
  EXPECT_TRUE(log.saw("Čtení bloku: Soubor " + gisblock::normalizeBlockPath(block()) + "/TN.LIN neexistuje !"));

  writeFile<PntRecord>("TN.PNT", {point(0, 0, 0, 0, 1), point(1, 110, 1, 1), point(2, 120, 2, 2), point(3, 130, 3, 3)});
  {
    TEntity fresh;
    std::unique_ptr<TGeliXBlokReader> r = reader(&fresh);
    std::unique_ptr<TStringListElement> settings(filterList("@Barva", "7"));
    r->SetPropertiesFromList(settings.get());
    std::unique_ptr<TPointString> coloured(r->ReadPoints());
    for (TElement* e : coloured->Items()) EXPECT_EQ(e->GetPropertyInt("Barva"), 7);
  }
  for (auto [name, expected] : {std::pair{"!DRUH", std::vector<int>{1, 2}}, {"-Druh", std::vector<int>{3}}}) {
    TEntity fresh;
    std::unique_ptr<TGeliXBlokReader> r = reader(&fresh);
    std::unique_ptr<TStringListElement> list(filterList(name, "110 120"));
    r->SetKindFilter(CreateKindFilter("PNT", list.get()));
    std::unique_ptr<TPointString> some(r->ReadPoints());
    EXPECT_EQ(numbers(some.get()), expected) << name;
    TPointElement bare;  // no DRUH at all
    EXPECT_EQ(r->GetKindFilter()->Accepts('B', &bare), name[0] == '-');
  }
}

TEST_F(GelixReaderTest, LinesSymbolsHiddenDeletedAndBadVertexRanges) {
  std::vector<CrdRecord> crd{{0, 0}};
  for (int i = 1; i <= 9; ++i) crd.push_back({700000.0 + i, 1100000.0 + i});
  writeFile<CrdRecord>("TN.CRD", crd);
  auto line = [](std::uint32_t n, std::int32_t first, std::int32_t last, std::int16_t symbol, std::uint8_t flags = 0) {
    LinRecord r;
    r.cislo = n;
    r.firstCoord = first;
    r.lastCoord = last;
    r.symbol = symbol;
    r.flags = flags;
    r.box = {700000.0 + first, 1100000.0 + first, 700000.0 + last, 1100000.0 + last};
    r.refX = 700005;
    r.refY = 1100005;
    return r;
  };
  LinRecord dummy;
  dummy.flags = 1;
  writeFile<LinRecord>("TN.LIN", {dummy, line(1, 1, 3, 1000), line(2, 1, 3, 1200, 4), line(3, 1, 3, 1000, 1),
                                  line(4, 4, 6, 999), line(5, 7, 9, -5), line(6, 2, 2, 0), line(7, 8, 50, 0),
                                  line(8, 5, 4, 0)});
  std::unique_ptr<TPolyLineString> lines(reader()->ReadLines());
  EXPECT_EQ(numbers(lines.get()), (std::vector<int>{1, 4, 5}));
  EXPECT_EQ(static_cast<TPolyLineElement*>(lines->GetItem(0))->GetCoordsCount(), 3);
  EXPECT_TRUE(log.saw("linie č.7 má souřadnice 8 až 50 mimo soubor TN.CRD"));
  EXPECT_TRUE(log.saw("linie č.8 má souřadnice 5 až 4"));

  std::unique_ptr<TPointString> symbols(reader()->ReadLineSymbols());
  EXPECT_EQ(numbers(symbols.get()), (std::vector<int>{1, 2}));
  EXPECT_EQ(symbols->GetItem(1)->GetPropertyInt("Znacka"), 1200);

  TEntity fresh;
  std::unique_ptr<TGeliXBlokReader> small = reader(&fresh);
  small->MinSize = 2.5;  // boxes below are read as their two end vertices
  std::unique_ptr<TPolyLineString> ends(small->ReadLines());
  EXPECT_EQ(numbers(ends.get()), (std::vector<int>{1, 4, 5, 6}));
  for (TElement* e : ends->Items()) EXPECT_EQ(static_cast<TPolyLineElement*>(e)->GetCoordsCount(), 2);

  auto* window = new TRectEntity;
  window->SetMinX(-700004.5);
  window->SetMinY(-1100004.5);
  window->SetMaxX(-700000);
  window->SetMaxY(-1100000);
  TEntity windowed;
  std::unique_ptr<TGeliXBlokReader> w = reader(&windowed);
  w->SetWindow(window);
  std::unique_ptr<TPolyLineString> inWindow(w->ReadLines());
  EXPECT_EQ(numbers(inWindow.get()), (std::vector<int>{1, 4}));
}

TEST_F(GelixReaderTest, TextLinesStayWithTheirRecordsWhateverTheLineEnds) {
  auto text = [](std::uint32_t n, double slope, std::uint8_t atrib = 0) {
    TbxRecord t;
    t.cislo = n;
    t.slope = slope;
    t.textAtrib = atrib;
    t.x = 700000;
    t.y = 1100000;
    return t;
  };
  writeFile<TbxRecord>("TN.TBX", {text(0, 0, 1), text(1, 0.5), text(2, 0, 1), text(7, -2), text(4, 3)});
  for (const std::string ttx : {"banner\r\none\r\ntwo\r\nthree\r\n", "banner\none\ntwo\nthree", "banner\rone\rtwo\rthree\r"}) {
    TableDir::write(block() + "/TN.TTX", ttx);
    TEntity fresh;
    std::unique_ptr<TGeliXBlokReader> r = reader(&fresh);
    std::unique_ptr<TTextString> texts(r->ReadTexts());
    ASSERT_EQ(texts->GetCount(), 3);
    std::map<int, TTextElement*> byNumber;
    for (TElement* e : texts->Items()) byNumber[e->GetPropertyInt("Cislo")] = static_cast<TTextElement*>(e);
    ASSERT_EQ(byNumber.size(), 3u);  // record 3 carries 7 and is read as 3
    EXPECT_EQ(byNumber[1]->Text, "one");
    EXPECT_EQ(byNumber[3]->Text, "three");
    EXPECT_EQ(byNumber[4]->Text, "");  // beyond the end of TN.TTX
    EXPECT_EQ(byNumber[1]->PropertyText("Slope"), "0");
    EXPECT_DOUBLE_EQ(static_cast<TGelixTextProps*>(byNumber[3]->GetProperties())->Slope, -2 * M_PI / 180);
  }
  // Without TN.TTX no text is read, and the read is damaged.
  std::filesystem::remove(block() + "/TN.TTX");
  std::unique_ptr<TTextString> none(reader()->ReadTexts());
  ASSERT_TRUE(none);
  EXPECT_EQ(none->GetCount(), 0);
  EXPECT_TRUE(gisblock::FindDamagedBlock(none.get()));
  EXPECT_TRUE(log.saw("Chybný soubor Textů -"));
}

// Texts failing the condition leave the string as they are read; the texts
// an earlier read of the model holds stay whole in its string.
TEST_F(GelixReaderTest, TextsFailingTheConditionLeaveTheString) {
  std::vector<TbxRecord> records;
  for (std::uint32_t n = 0; n <= 6; ++n) {
    TbxRecord t;
    t.cislo = n;
    t.textAtrib = n == 0 ? 1 : 0;
    t.x = 700000 + n;
    t.y = 1100000;
    records.push_back(t);
  }
  writeFile<TbxRecord>("TN.TBX", records);
  TableDir::write(block() + "/TN.TTX", "banner\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
  auto odd = [&](TEntity& model) {
    std::unique_ptr<TGeliXBlokReader> r = reader(&model);
    r->Condition = "ODD(Cislo)";
    return std::unique_ptr<TTextString>(r->ReadTexts());
  };
  TEntity fresh;
  std::unique_ptr<TTextString> some = odd(fresh);
  EXPECT_EQ(numbers(some.get()), (std::vector<int>{1, 3, 5}));

  std::unique_ptr<TTextString> all(reader()->ReadTexts());
  ASSERT_EQ(all->GetCount(), 6);
  std::unique_ptr<TTextString> again = odd(model);
  EXPECT_EQ(numbers(again.get()), (std::vector<int>{1, 3, 5}));
  EXPECT_EQ(numbers(all.get()), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  for (TElement* e : all->Items()) EXPECT_EQ(static_cast<TTextElement*>(e)->Text, e->PropertyText("Cislo"));
}

// Areas 1 to 4 in two rows, each ring of four lines; area 1 line numbers
// 1 up, 2 right, 3 down, 4 left, and so on.
Mesh fourSquares() {
  Mesh m;
  for (int j = 0; j < 2; ++j)
    for (int i = 0; i < 2; ++i) {
      const double x = -700000 + 200 * i, y = -1100000 + 200 * j;
      m.areas.push_back({squareLines(m, x, y, x + 100, y + 100), {x + 10, y + 10}});
    }
  return m;
}

TEST_F(GelixReaderTest, LiveAreasAndRingWalksThatGoAstray) {
  fourSquares().write(block());
  patchAre(1, [](auto& a) { a.flags = 8; });      // still live
  patchAre(3, [](auto& a) { a.area = 0.001; });   // not live
  patchAre(4, [](auto& a) { a.flags = 2; });      // not live
  patchAre(2, [](auto& a) { a.lineNo = 1; });     // a line of area 1: found by the scan
  std::unique_ptr<TAreaString> areas(reader()->ReadAreas());
  EXPECT_EQ(numbers(areas.get()), (std::vector<int>{1, 2}));
  EXPECT_EQ(ui->beeps(), 1);

  patchAre(2, [](auto& a) { a.lineNo = 999; });
  patchAre(3, [](auto& a) { a.area = 10000; });
  patchLin(10, [](auto& l) { l.leftNext = {}; });  // an empty link in the ring of area 3
  patchAre(4, [](auto& a) { a.flags = 0; });
  patchLin(15, [](auto& l) { l.leftNext = {14, 1}; });  // area 4 circles 14-15 without end
  for (bool asBoundary : {false, true}) {
    TEntity fresh;
    std::unique_ptr<TGeliXBlokReader> r = reader(&fresh);
    r->ReadAreaAsBoundary = asBoundary;
    log.texts.clear();
    std::unique_ptr<TAreaString> again(r->ReadAreas());
    EXPECT_EQ(numbers(again.get()), (std::vector<int>{1, 2})) << asBoundary;
    EXPECT_TRUE(log.saw("plocha č.2 odkazuje na linii č.999 mimo soubor TN.LIN"));
    if (!asBoundary) {
      EXPECT_TRUE(log.saw(":Pro plochu č.3 a linii č.10 nelze načíst další linii vlevo"));
      EXPECT_TRUE(log.saw(":Nelze načíst linie pro plochu č.3 linii"));
      EXPECT_TRUE(log.saw(":Nelze načíst linie pro plochu č.4 linii"));
    }
  }
}

TEST_F(GelixReaderTest, FathersSelfFathersAndCyclesOfFathers) {
  fourSquares().write(block());
  patchAre(1, [](auto& a) { a.paterNo = 1; });
  patchAre(2, [](auto& a) { a.paterNo = 3; });
  patchAre(3, [](auto& a) { a.paterNo = 2; });
  patchAre(4, [](auto& a) { a.paterNo = 77; });
  std::unique_ptr<TAreaString> areas(reader()->ReadAreas());
  EXPECT_EQ(numbers(areas.get()), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_TRUE(log.saw("Jako otce má plocha č.1 sama sebe !"));
  EXPECT_TRUE(log.saw("plocha č.3 a plocha č.2 jsou navzájem otci"));
  EXPECT_TRUE(log.saw("plocha č.4 má otce č.77 mimo soubor TN.ARE"));
}

TEST_F(GelixReaderTest, TwoIslandsInOneHoleGiveOneHole) {
  Mesh m;
  const double x = -700000, y = -1100000;
  m.areas.push_back({squareLines(m, x, y, x + 100, y + 100), {x + 5, y + 5}});
  const int left = m.line({{x + 20, y + 30}, {x + 20, y + 70}});
  const int topA = m.line({{x + 20, y + 70}, {x + 50, y + 70}});
  const int middle = m.line({{x + 50, y + 70}, {x + 50, y + 30}});
  const int bottomA = m.line({{x + 50, y + 30}, {x + 20, y + 30}});
  const int topB = m.line({{x + 50, y + 70}, {x + 80, y + 70}});
  const int right = m.line({{x + 80, y + 70}, {x + 80, y + 30}});
  const int bottomB = m.line({{x + 80, y + 30}, {x + 50, y + 30}});
  m.areas.push_back({{{left, true}, {topA, true}, {middle, true}, {bottomA, true}}, {x + 30, y + 50}, 0});
  m.areas.push_back({{{middle, false}, {topB, true}, {right, true}, {bottomB, true}}, {x + 70, y + 50}, 0});
  m.write(block());
  std::unique_ptr<TAreaString> areas(reader()->ReadAreas());
  ASSERT_EQ(areas->GetCount(), 3);
  auto* father = static_cast<TAreaElement*>(areas->GetItem(0));
  ASSERT_EQ(father->GetPropertyInt("Cislo"), 1);
  ASSERT_TRUE(father->GetHoles());
  ASSERT_EQ(father->GetHoles()->GetCount(), 1);
  EXPECT_NEAR(father->GetArea1(), 10000 - 2400, 1e-6);
  EXPECT_TRUE(log.texts.empty());
}

// A square of 100 m with an inner ring of 40 m whose lines name the square
// on their outer side: with an island inside, without one (a hole no island
// fills), and with the ring broken.
TEST_F(GelixReaderTest, AnInnerRingIsAHoleOfItsAreaWhetherOrNotAnIslandFillsIt) {
  const double x = -700000, y = -1100000;
  struct Case {
    const char* name;
    bool islandLive;
    bool ringBroken;
    double net;
    int holes;
  };
  for (const Case& c : {Case{"island", true, false, 8400, 1}, Case{"nothing inside", false, false, 8400, 1},
                        Case{"broken ring", false, true, 10000, 0}}) {
    for (bool asBoundary : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (asBoundary ? ", vertices" : ", lines"));
      Mesh m;
      m.areas.push_back({squareLines(m, x, y, x + 100, y + 100), {x + 5, y + 5}});
      const RingRef island = squareLines(m, x + 30, y + 30, x + 70, y + 70);
      m.areas[0].holes.push_back(reversed(island));
      m.areas.push_back({island, {x + 50, y + 50}, 0});
      std::filesystem::remove_all(block());
      m.write(block());
      for (std::int32_t line = 5; line <= 8; ++line)
        patchLin(line, [&](LinRecord& l) {
          l.rightArea = 1;
          if (!c.islandLive) l.leftArea = 0;
          if (c.ringBroken && line == 7) l.rightNext = {};
        });
      if (!c.islandLive) patchAre(2, [](auto& a) { a.flags = 1; });
      TEntity fresh;
      std::unique_ptr<TGeliXBlokReader> r = reader(&fresh);
      r->ReadAreaAsBoundary = asBoundary;
      log.texts.clear();
      std::unique_ptr<TAreaString> areas(r->ReadAreas());
      ASSERT_EQ(areas->GetCount(), c.islandLive ? 2 : 1);
      auto* area = static_cast<TAreaElement*>(areas->GetItem(0));
      ASSERT_EQ(area->GetPropertyInt("Cislo"), 1);
      EXPECT_EQ(area->GetHoles() ? area->GetHoles()->GetCount() : 0, c.holes);
      EXPECT_NEAR(area->GetArea1(), c.net, 1e-6);
      EXPECT_EQ(log.saw("Plocha č.1 má vnitřní hranici s linií č."), c.ringBroken) << log.all();
      EXPECT_FALSE(gisblock::FindDamagedBlock(areas.get()));
    }
  }
}

TEST_F(GelixReaderTest, ConditionIsCompiledOncePerReadAndAFailureReportedOnce) {
  zelto::ProblemTally problems;
  writeFile<PntRecord>("TN.PNT", {point(0, 0, 0, 0, 1), point(1, 110, 1, 1), point(2, 120, 2, 2), point(3, 130, 3, 3)});
  int compiled = 0;
  std::unique_ptr<TGeliXBlokReader> r = reader();
  r->Condition = "DRUH <> 120";
  r->ConditionCompiler = [&](const std::string&) -> gisblock::ConditionTest {
    ++compiled;
    return [](TElement* e) { return e->GetPropertyInt("Druh") != 120; };
  };
  std::unique_ptr<TPointString> some(r->ReadPoints());
  EXPECT_EQ(numbers(some.get()), (std::vector<int>{1, 3}));
  EXPECT_EQ(compiled, 1);

  TEntity fresh;
  std::unique_ptr<TGeliXBlokReader> bad = reader(&fresh);
  bad->Condition = "DRUH <>";
  bad->ConditionCompiler = [](const std::string&) -> gisblock::ConditionTest { throw std::runtime_error("syntax"); };
  std::unique_ptr<TPointString> all(bad->ReadPoints());
  EXPECT_EQ(numbers(all.get()), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(problems.Summary(), "Condition processing Error\r\nDRUH <>\r\nsyntax");
  EXPECT_TRUE(ui->shownTexts().empty());
}

TEST_F(GelixReaderTest, BlocksWithoutAKnownRectangleMeetEveryWindow) {
  std::filesystem::create_directories(block());
  TRectEntity near, far;
  near.SetMinX(-700050);
  near.SetMinY(-1100050);
  near.SetMaxX(-699000);
  near.SetMaxY(-1099000);
  far.SetMinX(0);
  far.SetMinY(0);
  far.SetMaxX(10);
  far.SetMaxY(10);
  EXPECT_TRUE(BlockMeetsWindow(block(), &far));  // no INFO.TXT
  TableDir::write(block() + "/INFO.TXT", "CODEPAGE=852\r\nOPSANYOBDELNIKBLOKU=700000 1100000 700100 1100100\r\n");
  EXPECT_TRUE(BlockMeetsWindow(block(), &near));
  EXPECT_FALSE(BlockMeetsWindow(block(), &far));
  EXPECT_EQ(reader()->GetCodePage(), cpLatin2);
}

TEST_F(GelixReaderTest, ConditionsInTheExpressionLanguage) {
  writeFile<PntRecord>("TN.PNT", {point(0, 0, 0, 0, 1), point(1, 110, 1, 1), point(2, 120, 2, 2), point(3, 130, 3, 3)});
  std::unique_ptr<TGeliXBlokReader> r = reader();
  r->Condition = "(Druh > 110) AND (Druh < 130)";
  std::unique_ptr<TPointString> some(r->ReadPoints());
  EXPECT_EQ(numbers(some.get()), (std::vector<int>{2}));
  EXPECT_TRUE(ui->shownTexts().empty());
}

}  // namespace

// A block register of another class already filed under the block's name
// leaves the reader without a Gelix register: it still reads, unfiled.
TEST_F(GelixReaderTest, AreasReadWithoutAGelixRegisterOfTheirBlock) {
  fourSquares().write(block());
  TEntity model;
  auto* root = new TRegister;
  model.Add(root);
  auto* foreign = new TBlockRegister;
  foreign->SetName(gisblock::normalizeBlockPath(block()));
  root->Add(foreign);
  std::unique_ptr<TGeliXBlokReader> r = reader(&model);
  std::unique_ptr<TAreaString> areas(r->ReadAreas());
  ASSERT_TRUE(areas);
  EXPECT_EQ(areas->GetCount(), 4);
}

// The reader works on the file as it was at open, wherever it goes in it.
TEST_F(GelixReaderTest, SeeksAnywhereTheEndAndAPartialRecordRefuseAReadNotTheNext) {
  std::vector<CrdRecord> crd;
  for (int i = 0; i < 5; ++i) crd.push_back({700000.0 + i, 1100000.0 + i});
  writeFile<CrdRecord>("TN.CRD", crd);
  std::ofstream(block() + "/TN.CRD", std::ios::binary | std::ios::app).write("abc", 3);
  std::unique_ptr<TGelixCoordReader> coords(TGeliXObjectReader::CreateForBlock<TGelixCoordReader>(block()));
  ASSERT_TRUE(coords->HasStream());
  EXPECT_EQ(coords->GetRecordCount(), 5);
  std::vector<std::uint8_t> record;
  auto xAt = [&](std::int32_t n) {
    return coords->ReadRecordAt(n, record) ? CrdRecord::decode(record.data()).x - 700000.0 : -1.0;
  };
  EXPECT_DOUBLE_EQ(xAt(3), 3);
  EXPECT_EQ(xAt(5), -1);  // the partial record
  EXPECT_EQ(xAt(40), -1);
  EXPECT_DOUBLE_EQ(xAt(1), 1);
  ASSERT_TRUE(coords->ReadRecord(record));  // on from where the last read ended
  EXPECT_DOUBLE_EQ(CrdRecord::decode(record.data()).x, 700002.0);
  EXPECT_EQ(coords->LastRecord(), 2);

  // A directory in the file's place holds no record.
  coords.reset();
  std::filesystem::remove(block() + "/TN.CRD");
  std::filesystem::create_directory(block() + "/TN.CRD");
  coords.reset(TGeliXObjectReader::CreateForBlock<TGelixCoordReader>(block()));
  EXPECT_EQ(coords->GetRecordCount(), 0);
  EXPECT_EQ(xAt(0), -1);
}
