// Lines written with their links and rows, the group boundary selection and
// the test block of all lines.
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <memory>

#include "areas/export_all_lines.h"
#include "areas/export_lines.h"
#include "areas/node_area_drivers.h"
#include "geometry/line_end_cells.h"
#include "gisblock/gelix_props.h"
#include "export_fixture.h"
#include "file_size_limit.h"
#include "files.h"
#include "gisblock/staged_block.h"
#include "gisblock/gelix_blok_reader.h"
#include "platform/path_resolver.h"

namespace areas_test {
namespace {

// The lines of a block, read into `model`.
std::unique_ptr<TPolyLineString> BlockLines(const std::string& blockDir, TEntity& model) {
  std::unique_ptr<TGeliXBlokReader> r(TGeliXBlokReader::CreateForBlock(blockDir));
  r->SetObjectModel(&model);
  return std::unique_ptr<TPolyLineString>(r->ReadLines());
}

// One integer property of each line of a block.
std::vector<std::int32_t> LineValues(const std::string& blockDir, const char* property) {
  TEntity model;
  std::vector<std::int32_t> values;
  if (auto lines = BlockLines(blockDir, model))
    for (TElement* l : lines->Items()) values.push_back(l->GetPropertyInt(property));
  return values;
}

TEST_F(ExportTest, LinesTakeOneKindAndADanglingEndKeepsItsLinks) {
  const std::string control = controlDir();
  if (control.empty()) GTEST_SKIP() << "no generated control files";
  ExportLevel level;
  // A dangling line: its free end has no node.
  TPolyLineElement* spur = Line({{level.gx(0), level.gy(0)}, {level.gx(0) - 50, level.gy(0) - 50}}, 3);
  level.lineList->Add(spur);
  level.node(level.gx(0), level.gy(0))->AddLine(spur, true);
  auto* spurProps = static_cast<TGelixLineProps*>(spur->GetProperties());
  const GelixLinkBlock before = spurProps->Links;

  TExportLinesToGelix e;
  e.BlockName = block();
  e.ControlDir = control;
  e.ExportDBF = true;
  e.JedenDruh = 2100;
  e.Barva = 5;
  e.SetInput(level.lineList);
  e.DoIt();

  EXPECT_EQ(spur->ID, 15);
  EXPECT_TRUE(std::equal(before.begin() + 5, before.begin() + 10, spurProps->Links.begin() + 5));
  EXPECT_TRUE(std::equal(before.begin() + 15, before.end(), spurProps->Links.begin() + 15));
  EXPECT_FALSE(std::equal(before.begin(), before.begin() + 5, spurProps->Links.begin()));
  EXPECT_EQ(spurProps->Barva, 5);
  EXPECT_EQ(LineValues(block(), "Druh"), std::vector<std::int32_t>(15, 2100));
  EXPECT_EQ(rows(dir / "OUT.BLK" / "L2100.DBF", {"CISLO"}).size(), 15u);
  EXPECT_FALSE(fs::exists(dir / "OUT.BLK" / "L0007.DBF"));
}

// A job that stages the block itself and hands the exporter the staging
// directory learns of a failed write through its commit, which refuses.
TEST_F(ExportTest, AnExporterWritingIntoAnotherJobsStagingMakesItsCommitRefuse) {
  ExportLevel level;
  fs::create_directories(block());
  std::ofstream(block() + "/TN.LIN", std::ios::binary) << "old lines";
  platform::pathResolver().setDrive('T', dir);
  for (const bool full : {true, false}) {
    gisblock::StagedBlock staged("T:\\OUT.BLK");
    ASSERT_TRUE(staged.ok());
    TExportLinesToGelix e;
    e.BlockName = staged.stagingPath();
    e.SetInput(level.lineList);
    {
      test_support::FileSizeLimit limit(full ? 512 : 1 << 20);
      e.DoIt();
    }
    EXPECT_TRUE(ui->shownTexts().empty());  // the job tells the user
    EXPECT_EQ(staged.commit(), !full);
    if (full) {  // named as the job's user named the block
      EXPECT_EQ(staged.error().rfind("Blok T:\\OUT.BLK nebyl zapsán, soubor T:\\OUT.BLK\\TN.LIN: soubor je příliš velký", 0), 0u)
          << staged.error();
    }
    std::ifstream in(block() + "/TN.LIN", std::ios::binary);
    const std::string lin((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(lin == "old lines", full);
  }
  platform::pathResolver().removeDrive('T');
  EXPECT_EQ(LineValues(block(), "Druh").size(), 14u);
  for (const auto& entry : fs::directory_iterator(dir)) EXPECT_NE(entry.path().filename().string().front(), '.');
}

// Stopped while the links are made, the export writes no line with half
// of them: the old block stays.
TEST_F(ExportTest, ALineExportBrokenOffWhileItsLinksAreMadeKeepsTheOldBlock) {
  ExportLevel level;
  fs::create_directories(block());
  std::ofstream(block() + "/TN.LIN", std::ios::binary) << "old lines";
  forms->closeAfterSteps(2);
  forms->queueBreakAnswer(true);
  TExportLinesToGelix e;
  e.BlockName = block();
  e.SetInput(level.lineList);
  e.DoIt();
  EXPECT_FALSE(e.LastRun().Written);
  ASSERT_FALSE(forms->showings().empty());
  EXPECT_EQ(forms->showings()[0].caption, "Příprava linií k exportu");
  EXPECT_EQ(forms->breakQuestions(), std::vector<std::string>{"Přerušit export linií ?"});
  EXPECT_EQ(test_support::ReadFile(block() + "/TN.LIN"), "old lines");
}

TEST_F(ExportTest, GroupBoundaryLinesAreSelected) {
  // Three squares side by side; the left two form group 99.
  TEntity root;
  auto* group = new TEntity;
  group->ID = 99;
  root.Add(group);
  std::vector<TPolyLineElement*> verticals;
  for (int i = 0; i < 4; ++i) verticals.push_back(Line({{i * 10.0, 0}, {i * 10.0, 10}}));
  std::vector<TPolyLineAreaElement*> squares;
  for (int i = 0; i < 3; ++i) {
    TPolyLineAreaElement* a = ExportLevel::area({{verticals[i], true}, {verticals[i + 1], false}});
    root.Add(a);
    if (i < 2) group->Add(a);
    squares.push_back(a);
  }
  auto* lines = new TPolyLineString;
  root.Add(lines);
  for (TPolyLineElement* l : verticals) lines->Add(l);
  TSelectLinesFromGroups select;
  auto* out = new TPolyLineString;
  root.Add(out);
  select.GroupId = 99;
  select.SetInput(lines);
  select.SetOutput(out);
  select.DoIt();
  ASSERT_EQ(out->GetCount(), 2);
  EXPECT_EQ(out->GetItem(0), verticals[0]);  // the edge of the data
  EXPECT_EQ(out->GetItem(1), verticals[2]);  // between the group and the rest
}

class TestBlockTest : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    old = platform::pathResolver().currentDrive();
    platform::pathResolver().setDrive('Q', dir);
    platform::pathResolver().setCurrentDrive('Q');
  }
  void TearDown() override {
    platform::pathResolver().setCurrentDrive(old);
    platform::pathResolver().removeDrive('Q');
    ExportTest::TearDown();
  }
  char old = 'C';
};

TEST_F(TestBlockTest, AllLinesAreAppendedOnceEachAndNumberedOn) {
  ExportLevel level;
  TOwnerEntity walked;  // each line is reached through its list and its areas
  walked.Add(level.lineList);
  walked.Add(level.input);
  auto run = [&](bool rewrite) {
    std::unique_ptr<TExportAllLines> tool(TExportAllLines::CreateWithRewrite(rewrite));
    tool->SetInput(&walked);
    tool->DoIt();
  };
  run(true);
  const std::string testBlock = platform::pathResolver().existing(TExportAllLines::kTestBlock).string();
  EXPECT_EQ(LineValues(testBlock, "Cislo").size(), 14u);
  run(false);
  const std::vector<std::int32_t> numbers = LineValues(testBlock, "Cislo");
  ASSERT_EQ(numbers.size(), 28u);
  EXPECT_EQ(numbers.back(), 28);
  run(true);
  EXPECT_EQ(LineValues(testBlock, "Cislo").size(), 14u);
}


TEST_F(ExportTest, RoadsReadFromABlockCarryTheirRowsIntoTheExtraction) {
  const std::string control = controlDir();
  if (control.empty()) GTEST_SKIP() << "no generated control files";
  TEntity model;
  std::unique_ptr<TPolyLineString> roads = BlockLines(control + "/4107/01/CES.BLK", model);
  ASSERT_TRUE(roads);
  ASSERT_GT(roads->GetCount(), 0);
  std::string name;
  std::int32_t druh = 0;
  for (TElement* l : roads->Items())
    if (l->GetPropertyInt("Druh") == 350) {
      l->GetPropertyText("NAZEV", name);
      druh = 350;
      break;
    }
  ASSERT_EQ(druh, 350);
  ASSERT_FALSE(name.empty());

  TExportLinesToGelix e;
  e.BlockName = block();
  e.ControlDir = control;
  e.ExportDBF = true;
  e.JedenDruh = 2100;
  e.SetInput(roads.get());
  e.DoIt();
  auto rowsOut = rows(dir / "OUT.BLK" / "L2100.DBF", {"CISLO", "NAZEV", "DRUH_PUV"});
  ASSERT_EQ(rowsOut.size(), static_cast<std::size_t>(roads->GetCount()));
  bool found = false;
  for (auto& row : rowsOut) found |= std::stoi(row.at("DRUH_PUV")) == 350 && row.at("NAZEV") == name;
  EXPECT_TRUE(found) << name;
  EXPECT_TRUE(ui->shownTexts().empty());
}


// Line number and begin flag of each link of the block's lines, by number.
std::map<std::int32_t, std::vector<std::pair<std::int32_t, int>>> BlockLinks(const std::string& blockDir) {
  std::map<std::int32_t, std::vector<std::pair<std::int32_t, int>>> links;
  TEntity model;
  std::unique_ptr<TPolyLineString> lines = BlockLines(blockDir, model);
  if (!lines) return links;
  for (TElement* l : lines->Items()) {
    auto* props = static_cast<TGelixLineProps*>(static_cast<TPolyLineElement*>(l)->GetProperties());
    auto& entry = links[props->Cislo];
    for (int k = 0; k < 4; ++k) {
      std::int32_t number = 0;
      for (int b = 0; b < 4; ++b) number |= std::int32_t(props->Links[5 * k + b]) << (8 * b);
      entry.emplace_back(number, props->Links[5 * k + 4]);
    }
  }
  return links;
}

// Three lines meeting at one node (a T), noded.
struct NodedT {
  TSpaceEntity lines;
  TMakeNodes noding;
  NodedT() {
    for (Pts pts : {Pts{{0, 0}, {50, 0}}, Pts{{50, 0}, {100, 0}}, Pts{{50, 0}, {50, 40}}}) lines.AddAndExtend(Line(pts, 7));
    noding.SetInput(&lines);
    noding.DoIt();
  }
};

TEST_F(ExportTest, NodedLinesAreWrittenWithTheirLinksAndAppendedLinesNumberOn) {
  NodedT t;
  ASSERT_NE(t.noding.NodesQTree(), nullptr);
  TExportNodedLines exporter;
  exporter.BlockDirectory = block();
  exporter.Rewrite = true;
  exporter.SetInput(t.noding.NodesQTree());
  exporter.DoIt();
  auto links = BlockLinks(block());
  ASSERT_EQ(links.size(), 3u);
  // At the T every line sees the other two; at its free end only itself.
  for (const auto& [number, four] : links) {
    std::set<std::int32_t> others;
    for (const auto& [to, begin] : four) {
      EXPECT_TRUE(to >= 1 && to <= 3) << number << " -> " << to;
      if (to != number) others.insert(to);
    }
    EXPECT_EQ(others.size(), 2u) << number;
  }
  exporter.Rewrite = false;
  exporter.DoIt();
  links = BlockLinks(block());
  ASSERT_EQ(links.size(), 6u);
  for (std::int32_t number = 4; number <= 6; ++number)
    for (const auto& [to, begin] : links[number]) EXPECT_TRUE(to == -1 || (to >= 4 && to <= 6)) << to;
  // A line file that cannot grow: the user learns that the block is short.
  {
    test_support::FileSizeLimit limit(fs::file_size(block() + "/TN.LIN"));
    exporter.DoIt();
  }
  ASSERT_FALSE(ui->shownTexts().empty());
  EXPECT_EQ(ui->shownTexts().back(),
            "Blok " + block() + " není úplný, soubor TN.LIN nelze zapsat: soubor je příliš velký");
}

TEST_F(ExportTest, ANeighbourThatIsNotWrittenGetsTheEmptyLink) {
  NodedT t;
  // Numbers from an earlier export, which the block about to be written
  // does not hold.
  for (TElement* line : t.lines.Items()) line->ID = 40;
  TPolyLineString two;
  two.Add(t.lines.GetItem(0));
  two.Add(t.lines.GetItem(1));
  TExportLinesToGelix exporter;
  exporter.BlockName = block();
  exporter.SetInput(&two);
  exporter.DoIt();
  const auto links = BlockLinks(block());
  ASSERT_EQ(links.size(), 2u);
  for (const auto& [number, four] : links)
    for (const auto& [to, begin] : four) EXPECT_TRUE(to == -1 || to == 1 || to == 2) << number << " -> " << to;
  for (TElement* line : std::vector<TElement*>(two.Items())) two.Remove(line);
}

}  // namespace
}  // namespace areas_test
