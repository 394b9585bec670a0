#include "gisblock/gelix_writers.h"

#include "file_size_limit.h"
#include "gelix_block_fixture.h"
#include "gisblock/gelix_blok_reader.h"
#include "platform/real48.h"

namespace {

using namespace gisblock_test;

constexpr double X0 = -700000.37, Y0 = -1100000.21;

// Four 100 m squares in two rows and an island in the first.
Mesh gridWithIsland() {
  Mesh m;
  auto x = [](int i) { return X0 + 100 * i; };
  auto y = [](int j) { return Y0 + 100 * j; };
  int h[2][3], v[3][2];
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 2; ++i) h[i][j] = m.line({{x(i), y(j)}, {x(i) + 50, y(j)}, {x(i + 1), y(j)}});
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 2; ++j) v[i][j] = m.line({{x(i), y(j)}, {x(i), y(j + 1)}});
  for (int j = 0; j < 2; ++j)
    for (int i = 0; i < 2; ++i)
      m.areas.push_back({{{v[i][j], true}, {h[i][j + 1], true}, {v[i + 1][j], false}, {h[i][j], false}},
                         {x(i) + 15, y(j) + 15}});
  const RingRef island = squareLines(m, X0 + 30, Y0 + 30, X0 + 70, Y0 + 70);
  m.areas[0].holes.push_back(reversed(island));
  m.areas.push_back({island, {X0 + 50, Y0 + 50}, 0});
  return m;
}

double stored(double world) { return -platform::roundReal48(-world); }

class GelixWriterTest : public BlockTest {};

TEST_F(GelixWriterTest, GridWithIslandReadsBackAsRingsOfLinesAndOfVertices) {
  gridWithIsland().write(block());
  const double cell = (stored(X0 + 100) - stored(X0)) * (stored(Y0 + 100) - stored(Y0));
  const double island = (stored(X0 + 70) - stored(X0 + 30)) * (stored(Y0 + 70) - stored(Y0 + 30));

  for (bool asBoundary : {false, true}) {
    SCOPED_TRACE(asBoundary ? "ring of vertices" : "ring of lines");
    TEntity model;
    std::unique_ptr<TGeliXBlokReader> reader(TGeliXBlokReader::CreateForBlock(block()));
    reader->SetObjectModel(&model);
    reader->ReadAreaAsBoundary = asBoundary;
    reader->UseMemory = asBoundary;
    std::unique_ptr<TAreaString> areas(reader->ReadAreas());
    ASSERT_TRUE(areas);
    ASSERT_EQ(areas->GetCount(), 5);
    std::map<int, TAreaElement*> byNumber;
    for (TElement* e : areas->Items()) {
      auto* a = static_cast<TAreaElement*>(e);
      byNumber[static_cast<TGelixAreaProps*>(a->GetProperties())->Cislo] = a;
    }
    ASSERT_EQ(byNumber.size(), 5u);
    for (int n = 1; n <= 4; ++n) EXPECT_NEAR(byNumber[n]->GetWholeArea(), cell, 1e-6) << n;
    EXPECT_NEAR(byNumber[5]->GetWholeArea(), island, 1e-6);
    ASSERT_TRUE(byNumber[1]->GetHoles());
    EXPECT_EQ(byNumber[1]->GetHoles()->GetCount(), 1);
    EXPECT_NEAR(byNumber[1]->GetArea1(), cell - island, 1e-6);
    for (int n = 2; n <= 5; ++n) EXPECT_TRUE(!byNumber[n]->GetHoles() || byNumber[n]->GetHoles()->GetCount() == 0);
    EXPECT_EQ(byNumber[5]->GetPropertyInt("PaterNo"), 1);
    EXPECT_TRUE(byNumber[1]->GetPropertyBool("HasChildren"));
    EXPECT_EQ(byNumber[1]->PropertyText("Druh"), "1600");
    if (!asBoundary) {  // lines read afterwards are the ring lines, shared
      std::unique_ptr<TPolyLineString> lines(reader->ReadLines());
      ASSERT_EQ(lines->GetCount(), 16);
      EXPECT_GE(lines->IndexOf(byNumber[5]->GetItem(0)), 0);
    }
  }
  EXPECT_TRUE(log.texts.empty()) << log.texts.front();
}

TEST_F(GelixWriterTest, WrittenBlocksKeepTheirDummiesAndFillGapsWithThem) {
  gridWithIsland().write(block());
  const std::string lin = bytesOf(block() + "/TN.LIN");
  const std::string crd = bytesOf(block() + "/TN.CRD");
  ASSERT_EQ(lin.size(), 17u * 103);
  EXPECT_EQ(lin[7], 1);  // dummy record 0 is deleted
  EXPECT_EQ(crd.substr(0, 12), std::string(12, '\0'));
  const auto first = gisblock::LinRecord::decode(reinterpret_cast<const std::uint8_t*>(lin.data()) + 103);
  EXPECT_EQ(first.firstCoord, 1);
  EXPECT_EQ(first.lastCoord, 3);
  EXPECT_EQ(first.box.minX, -platform::roundReal48(X0 + 100));  // smallest stored X first
  EXPECT_EQ(static_cast<std::int32_t>(first.rightArea), 1);     // bottom of the first square
  EXPECT_EQ(static_cast<std::int32_t>(first.leftArea), -1);     // outside

  // A number written beyond the end leaves dummies between, not phantom lines.
  std::unique_ptr<TGelixLinWriter> w(TGelixLinWriter::CreateForBlock(block(), false));
  TPolyLineElement line;
  line.AddVertex(X0, Y0);
  line.AddVertex(X0 + 10, Y0 + 10);
  auto* p = new TGelixLineProps;
  p->Cislo = 20;
  line.SetProperties(p);
  EXPECT_TRUE(w->WriteLineRecordOnly(&line));
  line.ID = 0;
  EXPECT_FALSE(w->WriteLine(&line));  // would overwrite the dummy
  EXPECT_TRUE(log.saw("nelze zapsat"));
  line.ID = 21;
  line.AddVertex(1e39, 0);  // beyond the 6-byte real
  EXPECT_FALSE(w->WriteLine(&line));
  EXPECT_TRUE(log.saw("linie č.21 nezapsána, vrchol 2"));
  w.reset();
  const std::string after = bytesOf(block() + "/TN.LIN");
  ASSERT_EQ(after.size(), 21u * 103);
  for (int n = 17; n < 20; ++n) EXPECT_EQ(after[static_cast<std::size_t>(n * 103 + 7)], 1) << n;
  EXPECT_EQ(bytesOf(block() + "/TN.CRD").size(), crd.size() + 2 * 12);  // nothing of line 21

  TEntity model;
  std::unique_ptr<TGeliXBlokReader> reader(TGeliXBlokReader::CreateForBlock(block()));
  reader->SetObjectModel(&model);
  auto* window = new TRectEntity;
  window->SetMinX(X0 + 5);
  window->SetMinY(Y0 + 5);
  window->SetMaxX(X0 + 6);
  window->SetMaxY(Y0 + 6);
  reader->SetWindow(window);  // meets only the line written without links
  std::unique_ptr<TPolyLineString> lines(reader->ReadLines());
  ASSERT_EQ(lines->GetCount(), 1);
  EXPECT_EQ(lines->GetItem(0)->GetPropertyInt("Cislo"), 20);
}

// A block named in another letter case is the block on the disk: its lines
// go on after its last, and no second directory is made beside it.
TEST_F(GelixWriterTest, ABlockNamedInAnotherCaseIsAppendedToNotMadeAgain) {
  gridWithIsland().write(block());
  for (const std::string& spelled : {block("r.blk"), block("R.Blk")}) {
    SCOPED_TRACE(spelled);
    const std::size_t records = bytesOf(block() + "/TN.LIN").size() / 103;
    std::unique_ptr<TGelixLinWriter> w(TGelixLinWriter::CreateForBlock(spelled, false));
    ASSERT_TRUE(w);
    TPolyLineElement line;
    line.AddVertex(X0, Y0);
    line.AddVertex(X0 + 10, Y0 + 10);
    auto* p = new TGelixLineProps;
    p->Cislo = static_cast<std::int32_t>(records);
    line.SetProperties(p);
    EXPECT_TRUE(w->WriteLineRecordOnly(&line));
    w.reset();
    EXPECT_EQ(bytesOf(block() + "/TN.LIN").size(), (records + 1) * 103);
  }
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"R.BLK"});
}

TEST_F(GelixWriterTest, OnlyARewritingWriterMakesAMissingFileAndNoWriterWritesNowhere) {
  std::filesystem::create_directories(block());  // made beforehand, empty
  // Appending to a file that is not there is reported as the reader does.
  EXPECT_EQ(TGelixAreaWriter::CreateForBlock(block(), false), nullptr);
  EXPECT_TRUE(log.saw("Čtení bloku: Soubor " + block() + "/TN.ARE neexistuje !"));
  EXPECT_FALSE(std::filesystem::exists(block() + "/TN.ARE"));

  std::unique_ptr<TGelixAreaWriter> aw(TGelixAreaWriter::CreateForBlock(block(), true));
  ASSERT_TRUE(aw);
  TAreaElement area;
  for (auto [x, y] : {Pt{X0, Y0}, {X0, Y0 + 10}, {X0 + 10, Y0 + 10}, {X0 + 10, Y0}}) area.AddVertex(x, y);
  auto* p = new TGelixAreaProps;
  p->Cislo = 2;
  area.SetProperties(p);
  EXPECT_TRUE(aw->WriteArea(&area));
  aw.reset();
  std::string are = bytesOf(block() + "/TN.ARE");
  ASSERT_EQ(are.size(), 3u * 71);
  EXPECT_EQ(are[6], 4);
  EXPECT_EQ(are[71 + 6], 4);  // the gap
  aw.reset(TGelixAreaWriter::CreateForBlock(block(), true));
  aw.reset();
  EXPECT_EQ(bytesOf(block() + "/TN.ARE").size(), 71u);

  // An empty name or a drive without a directory would write into the
  // working directory: refused, with the name.
  const auto before = std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator());
  EXPECT_EQ(TGelixLinWriter::CreateForBlock("", true), nullptr);
  EXPECT_FALSE(CreateEmptyBlock(""));
  EXPECT_EQ(TGelixLinWriter::CreateForBlock("Q:\\ZELTO\\TEST.BLK", false), nullptr);
  EXPECT_TRUE(log.saw("Blok Q:\\ZELTO\\TEST.BLK nelze zapsat"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()), before);
}

// Records wait and reach the file together; a file that refuses them is
// known at the flush at the latest, and names itself and the cause.
TEST_F(GelixWriterTest, WaitingRecordsCountAndAFailedFlushIsKnown) {
  std::unique_ptr<TGelixLinWriter> w(TGelixLinWriter::CreateForBlock(block(), true));
  ASSERT_TRUE(w);
  std::vector<std::unique_ptr<TPolyLineElement>> lines;
  auto writeLines = [&](int from, int to) {
    bool all = true;
    for (int n = from; n <= to; ++n) {
      auto line = std::make_unique<TPolyLineElement>();
      for (int k = 0; k < 3; ++k) line->AddVertex(X0 + n, Y0 + k);
      line->SetProperties(new TGelixLineProps);
      line->ID = n;
      all = w->WriteLine(line.get()) && all;
      lines.push_back(std::move(line));
    }
    return all;
  };
  EXPECT_TRUE(writeLines(1, 50));
  EXPECT_EQ(w->GetRecordCount(), 51);
  EXPECT_TRUE(w->FlushWrites());
  EXPECT_EQ(bytesOf(block() + "/TN.LIN").size(), 51u * 103);
  EXPECT_EQ(bytesOf(block() + "/TN.CRD").size(), 151u * 12);  // after the dummy
  std::string file, cause;
  {
    test_support::FileSizeLimit limit(56 * 103);
    writeLines(51, 100);
    EXPECT_FALSE(w->FlushWrites());
  }
  ASSERT_TRUE(w->Failed(file, cause));
  EXPECT_EQ(file, "TN.LIN");
  EXPECT_EQ(cause, "soubor je příliš velký");
}

}  // namespace
