// The area export written into a block and read back by the block reader.
#include <cmath>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <memory>

#include "areas/export_areas.h"
#include "areas/node_area_classes.h"
#include "areas/node_area_pipeline.h"
#include "block_records.h"
#include "export_fixture.h"
#include "file_size_limit.h"
#include "files.h"
#include "log_probe.h"
#include "framework/dynamic_properties.h"
#include "geometry/qtree.h"
#include "gisblock/are_record.h"
#include "gisblock/gelix_blok_reader.h"
#include "platform/path_resolver.h"

namespace areas_test {
namespace {

using LinkPair = std::pair<std::int32_t, int>;

LinkPair linkAt(const TGelixLineProps* p, int k) {
  std::uint32_t n = 0;
  for (int b = 0; b < 4; ++b) n |= static_cast<std::uint32_t>(p->Links[5 * k + b]) << (8 * b);
  return {static_cast<std::int32_t>(n), p->Links[5 * k + 4]};
}

class AreaExportTest : public ExportTest {
 protected:
  std::unique_ptr<TExportAreasToGelix> exporter(const std::string& control) {
    auto e = std::make_unique<TExportAreasToGelix>();
    e->BlockName = block();
    e->ControlDir = control;
    e->ExportDBF = true;
    e->DBFLinii = true;
    e->DruhPloch = 1600;
    e->DruhLinii = 1600;
    e->PlochyVHa = true;
    e->GetDynamicProps()->SetPropertyText("LHC_KOD", "1234");
    return e;
  }
  // The block's areas as rings of lines, or as rings of vertices, into the model.
  std::unique_ptr<TAreaString> readAreas(TEntity& model, bool asBoundary) const {
    std::unique_ptr<TGeliXBlokReader> r(TGeliXBlokReader::CreateForBlock(block()));
    r->SetObjectModel(&model);
    r->ReadAreaAsBoundary = asBoundary;
    return std::unique_ptr<TAreaString>(r->ReadAreas());
  }
};

TEST_F(AreaExportTest, LevelReadsBackWithNumbersSidesHolesAndRows) {
  const std::string control = controlDir();
  if (control.empty()) GTEST_SKIP() << "no generated control files";
  ExportLevel level;
  auto e = exporter(control);
  e->SetInput(level.input);
  e->DoIt();

  // Holes are never numbered; the island, listed first, names its father.
  EXPECT_EQ(level.islandArea->ID, 1);
  EXPECT_EQ(level.cell[0][0]->ID, 2);
  EXPECT_EQ(level.hole->ID, -1);
  EXPECT_EQ(level.cell[1][1]->ID, 5);
  EXPECT_EQ(level.islandArea->GetPropertyInt("PaterNo"), 2);
  EXPECT_TRUE(level.cell[0][0]->GetPropertyBool("HasChildren"));

  // Sides and links of the lines as the reader sees them; "none" is 0.
  {
    std::unique_ptr<TGeliXBlokReader> r(TGeliXBlokReader::CreateForBlock(block()));
    TEntity model;
    r->SetObjectModel(&model);
    std::unique_ptr<TPolyLineString> lines(r->ReadLines());
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->GetCount(), 14);
    std::map<std::int32_t, const TGelixLineProps*> byNumber;
    for (TElement* l : lines->Items()) {
      auto* p = static_cast<TGelixLineProps*>(static_cast<TSpaceEntity*>(l)->GetProperties());
      byNumber[p->Cislo] = p;
      EXPECT_EQ(p->Druh, 1600);
    }
    auto sides = [&](TPolyLineElement* l) {
      const TGelixLineProps* p = byNumber.at(l->ID);
      return std::make_pair(p->LeftArea, p->RightArea);
    };
    EXPECT_EQ(sides(level.v[1][0]), std::make_pair(3, 2));  // between the lower squares
    EXPECT_EQ(sides(level.h[0][1]), std::make_pair(2, 4));  // above the island's father
    EXPECT_EQ(sides(level.v[0][0]), std::make_pair(2, 0));  // on the outer edge
    EXPECT_EQ(sides(level.h[0][0]), std::make_pair(0, 2));
    EXPECT_EQ(sides(level.island[0]), std::make_pair(1, 2));  // the father on the outer side
    // The centre node, in angle order: up (pi/2), left (pi), down, right (2 pi).
    const TGelixLineProps* centre = byNumber.at(level.v[1][0]->ID);
    EXPECT_EQ(linkAt(centre, 1), LinkPair(level.h[1][1]->ID, 1));  // after it, at its end
    EXPECT_EQ(linkAt(centre, 3), LinkPair(level.h[0][1]->ID, 0));  // before it, at its end
    // The island's lines meet at two nodes of two branches each.
    const TGelixLineProps* ring = byNumber.at(level.island[0]->ID);
    EXPECT_EQ(linkAt(ring, 0), LinkPair(level.island[1]->ID, 0));
    EXPECT_EQ(linkAt(ring, 2), LinkPair(level.island[1]->ID, 0));
  }

  // Areas as rings of lines and as rings of vertices: net areas, the hole.
  for (bool asBoundary : {false, true}) {
    TEntity model;
    std::unique_ptr<TAreaString> read = readAreas(model, asBoundary);
    ASSERT_TRUE(read) << asBoundary;
    std::map<std::int32_t, TAreaElement*> byNumber;
    for (TElement* a : read->Items()) byNumber[a->GetPropertyInt("Cislo")] = static_cast<TAreaElement*>(a);
    ASSERT_EQ(byNumber.size(), 5u) << asBoundary;
    EXPECT_NEAR(byNumber[1]->GetArea1(), 1600, 1e-6);
    EXPECT_NEAR(byNumber[2]->GetArea1(), 10000 - 1600, 1e-6) << asBoundary;
    for (int n : {3, 4, 5}) EXPECT_NEAR(byNumber[n]->GetArea1(), 10000, 1e-6);
    EXPECT_EQ(byNumber[1]->GetPropertyInt("PaterNo"), 2);
    EXPECT_EQ(byNumber[3]->GetPropertyInt("PaterNo"), 0);
    EXPECT_EQ(byNumber[3]->GetPropertyInt("Druh"), 1600);
  }

  // One row per area and per line, numbered as the records.
  auto areaRows = rows(dir / "OUT.BLK" / "P1600.DBF", {"CISLO", "PLOCHA", "X", "Y", "LHC_KOD", "DRUH"});
  EXPECT_TRUE(ui->shownTexts().empty()) << ui->shownTexts().front();
  ASSERT_EQ(areaRows.size(), 5u);
  for (std::size_t k = 0; k < 5; ++k) {
    EXPECT_EQ(std::stoi(areaRows[k].at("CISLO")), static_cast<int>(k + 1));
    EXPECT_EQ(areaRows[k].at("LHC_KOD"), "1234");
    EXPECT_EQ(std::stoi(areaRows[k].at("DRUH")), 1600);
  }
  EXPECT_NEAR(std::stod(areaRows[1].at("PLOCHA")), 0.84, 1e-9);
  EXPECT_NEAR(std::stod(areaRows[1].at("X")), -level.cell[0][0]->GetAbsRefY(), 0.006);
  EXPECT_NEAR(std::stod(areaRows[1].at("Y")), -level.cell[0][0]->GetAbsRefX(), 0.006);
  auto lineRows = rows(dir / "OUT.BLK" / "L1600.DBF", {"CISLO", "DELKA"});
  ASSERT_EQ(lineRows.size(), 14u);
  EXPECT_NEAR(std::stod(lineRows[level.island[0]->ID - 1].at("DELKA")), 80, 1e-9);
}

TEST_F(AreaExportTest, RowsTakeTheValuesOfTheAreaAroundTheReferencePoint) {
  const std::string control = controlDir();
  if (control.empty()) GTEST_SKIP() << "no generated control files";
  ExportLevel level;
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j) {
      level.cell[i][j]->SetAbsRefX(level.gx(i) + 50);
      level.cell[i][j]->SetAbsRefY(level.gy(j) + 50);
    }
  TEntity holder;
  auto* old = Box(level.gx(1), level.gy(1), level.gx(2), level.gy(2));  // over the upper-right square
  holder.Add(old);
  old->SetProperties(new TDynamicProperties);
  old->SetPropertyText("ODDELENI", "12");
  old->SetPropertyText("POROST", "3b");
  TSpaceEntityQTree tree;
  tree.InitRootSquare(level.gx(0), level.gy(0), level.gx(2), level.gy(2));
  tree.SetNextSpaceEntity(old);

  TExportAreasToGelixPropsFromAreaQTree e;
  e.BlockName = block();
  e.ControlDir = control;
  e.ExportDBF = true;
  e.DruhPloch = 1600;
  e.AreaQTree = &tree;
  e.SetInput(level.input);
  e.DoIt();
  auto areaRows = rows(dir / "OUT.BLK" / "P1600.DBF", {"CISLO", "ODD", "POR"});
  ASSERT_EQ(areaRows.size(), 5u);
  EXPECT_EQ(std::stoi(areaRows[4].at("ODD")), 12);
  EXPECT_EQ(areaRows[4].at("POR"), "3b");
  EXPECT_EQ(areaRows[3].at("POR"), "");
}

std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(root)) {
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path().filename().string()] = {std::istreambuf_iterator<char>(in), {}};
  }
  return files;
}

TEST_F(AreaExportTest, ABlockThatCannotBeWrittenWholeLeavesTheOldOneAndIsNamedAsTheUserNamedIt) {
  const std::string control = controlDir();
  if (control.empty()) GTEST_SKIP() << "no generated control files";
  test_support::LogProbe log;
  ExportLevel level;
  auto e = exporter(control);
  e->SetInput(level.input);
  e->DoIt();
  zelto::RunMessagesUntilIdle();
  EXPECT_TRUE(e->LastRun().Written);
  ASSERT_FALSE(log.texts.empty());
  EXPECT_EQ(log.texts.back(), "; Blok " + block() + " zapsán: 5 ploch, 14 linií, 19 řádků tabulek");
  // The record of the table made last names it in the block, not where it was made.
  EXPECT_EQ(test_support::ReadFile("Create.sql").rfind("create table \"" + block() + "/P1600.DBF\"\r\n(\r\n", 0), 0u);
  const auto before = Snapshot(block());
  ASSERT_EQ(before.size(), 8u);  // six TN files and two tables

  platform::pathResolver().setDrive('T', dir);
  e->BlockName = "T:\\OUT.BLK";
  {
    test_support::FileSizeLimit limit(1024);
    e->DoIt();
  }
  platform::pathResolver().removeDrive('T');
  EXPECT_FALSE(e->LastRun().Written);
  EXPECT_EQ(Snapshot(block()), before);
  for (const auto& entry : fs::directory_iterator(dir))  // nothing left beside the block
    EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
  ASSERT_EQ(ui->shownTexts().size(), 1u);
  EXPECT_EQ(ui->shownTexts()[0].rfind("Blok T:\\OUT.BLK nebyl zapsán, soubor T:\\OUT.BLK\\TN.LIN: soubor je příliš velký", 0), 0u)
      << ui->shownTexts()[0];
}

// A table that cannot take every row whole fails the block: a value too
// wide for its field, a disk that fills up while the table is made. The
// old block stays, and the user is told once which table failed and why.
TEST_F(AreaExportTest, ATableThatCannotTakeEveryRowKeepsTheOldBlock) {
  const std::string control = controlDir();
  if (control.empty()) GTEST_SKIP() << "no generated control files";
  ExportLevel level;
  fs::create_directories(block());
  std::ofstream(block() + "/TN.ARE", std::ios::binary) << "old areas";
  const auto old = Snapshot(block());
  auto e = exporter(control);
  e->SetInput(level.input);
  auto expectKept = [&](const std::vector<std::string>& told) {
    EXPECT_FALSE(e->LastRun().Written);
    EXPECT_EQ(Snapshot(block()), old);
    ASSERT_EQ(ui->shownTexts().size(), 1u);
    const std::string text = ui->shownTexts()[0];
    EXPECT_EQ(text.rfind("Blok " + block() + " nebyl zapsán, soubor " + block() + "/P1600.DBF: ", 0), 0u) << text;
    for (const std::string& part : told) EXPECT_NE(text.find(part), std::string::npos) << text;
    ui->clear();
  };

  // Square metres where hectares were meant: the third area's 10000 does not fit.
  e->PlochyVHa = false;
  test_support::WriteFile(fs::path(control) / "P1600.CRT", "CISLO N 8 0\r\nPLOCHA N 6 1\r\n");
  e->DoIt();
  expectKept({"Hodnotu \"10000", "do položky PLOCHA: číslo se do položky nevejde"});

  std::string wide;
  for (int i = 0; i < 60; ++i) wide += "POLE" + std::to_string(i) + " C 10 0\r\n";
  test_support::WriteFile(fs::path(control) / "P1600.CRT", wide);
  {
    test_support::FileSizeLimit limit(1800);  // the line files fit, the table's header does not
    e->DoIt();
  }
  expectKept({"soubor je příliš velký"});
}

TEST_F(AreaExportTest, AnExportTheUserBreaksOffKeepsTheOldBlock) {
  ExportLevel level;
  fs::create_directories(block());
  std::ofstream(block() + "/TN.ARE", std::ios::binary) << "old areas";
  forms->closeAfterSteps(3);
  forms->queueBreakAnswer(true);
  auto e = exporter("");
  e->SetInput(level.input);
  e->DoIt();
  EXPECT_FALSE(e->LastRun().Written);
  EXPECT_EQ(Snapshot(block()), (std::map<std::string, std::string>{{"TN.ARE", "old areas"}}));
  for (const auto& entry : fs::directory_iterator(dir)) EXPECT_NE(entry.path().filename().string().front(), '.');
}

// Numbering the areas with their islands and linking the lines run a while
// on a large level before anything is written: each shows its progress, and
// a break there keeps the old block as a break in the writing does.
TEST_F(AreaExportTest, ThePreparationOfALevelShowsItsProgressAndMayBeBrokenOff) {
  {
    ExportLevel level;
    auto e = exporter("");
    e->SetInput(level.input);
    e->DoIt();
    ASSERT_TRUE(e->LastRun().Written);
    std::vector<std::pair<std::string, int>> shown;
    for (const auto& s : forms->showings()) shown.emplace_back(s.caption, s.maxValue);
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown[0], std::pair(std::string("Příprava ploch k exportu"), level.input->GetCount()));
    EXPECT_EQ(shown[1], std::pair(std::string("Příprava linií k exportu"), 14));
    EXPECT_EQ(shown[2].first, "Export lines");
  }
  ExportLevel level;
  std::ofstream(block() + "/TN.ARE", std::ios::binary) << "old areas";
  const auto old = Snapshot(block());
  // Asked in the areas' numbering, the user goes on; in the lines' linking, stops.
  forms->closeAfterSteps(1);
  forms->queueBreakAnswer(false);
  forms->queueBreakAnswer(true);
  const std::size_t shownBefore = forms->showings().size();
  auto e = exporter("");
  e->SetInput(level.input);
  e->DoIt();
  EXPECT_FALSE(e->LastRun().Written);
  EXPECT_EQ(forms->breakQuestions(), (std::vector<std::string>{"Přerušit export ploch ?", "Přerušit export linií ?"}));
  for (std::size_t i = shownBefore; i < forms->showings().size(); ++i)
    EXPECT_EQ(forms->showings()[i].caption.rfind("Příprava", 0), 0u) << forms->showings()[i].caption;
  EXPECT_EQ(Snapshot(block()), old);
}

// Islands touching the square around them, the first its side, the second
// the first: the walk round the square goes round both, and they have no
// hole ring. They are written as the square's islands, and read back the
// square is not holed a second time.
TEST_F(AreaExportTest, IslandsTouchingTheirFathersRingAreWrittenUnderItAndReadBackOnce) {
  RegisterNodeAreaClasses();
  auto at = [](double x, double y) { return std::pair{ExportLevel::X0 + x, ExportLevel::Y0 + y}; };
  TPolyLineString lines;
  for (TPolyLineElement* l :
       {Line({at(0, 0), at(0, 100), at(100, 100), at(100, 0), at(50, 0)}), Line({at(50, 0), at(0, 0)}),
        Line({at(50, 0), at(30, 30), at(50, 60)}), Line({at(50, 60), at(70, 30), at(50, 0)}),
        Line({at(50, 60), at(40, 70), at(50, 80)}), Line({at(50, 80), at(60, 70), at(50, 60)})})
    lines.AddAndExtend(l);
  nodearea::Network net = nodearea::BuildAreasOfLines(lines, {});
  ASSERT_TRUE(net.AreaList);
  ASSERT_EQ(SortedAreasOf(net.AreaList), (std::vector<double>{200, 1200, 8600}));
  auto e = exporter("");
  e->SetInput(net.AreaList);
  e->DoIt();
  ASSERT_TRUE(e->LastRun().Written);

  for (bool asBoundary : {false, true}) {
    TEntity model;
    std::unique_ptr<TAreaString> read = readAreas(model, asBoundary);
    ASSERT_TRUE(read) << asBoundary;
    std::map<long, TAreaElement*> bySize;
    for (TElement* a : read->Items()) bySize[std::lround(static_cast<TAreaElement*>(a)->GetArea1())] = static_cast<TAreaElement*>(a);
    ASSERT_EQ(bySize.size(), 3u) << asBoundary;
    TAreaElement* square = bySize[8600];
    ASSERT_TRUE(square) << asBoundary;
    EXPECT_TRUE(square->GetPropertyBool("HasChildren"));
    EXPECT_EQ(square->GetHoles() ? square->GetHoles()->GetCount() : 0, 0) << asBoundary;
    for (long island : {1200L, 200L}) {
      ASSERT_TRUE(bySize[island]) << island;
      EXPECT_EQ(bySize[island]->GetPropertyInt("PaterNo"), square->GetPropertyInt("Cislo")) << island;
    }
  }
}

// Built, placed and written as a level is, and read back: a U whose
// rectangle centre lies half a stored step beside the inner corner of its
// notch, the area filling the notch, and a square whose centre lies as near
// the edge of its island. Each label point, as TN.ARE holds it, lies
// strictly inside its area and outside the area's holes as the block holds
// them.
TEST_F(AreaExportTest, LabelPointsAreStoredStrictlyInsideTheirAreas) {
  RegisterNodeAreaClasses();
  const double ux = std::ldexp(1.0, -20), uy = std::ldexp(1.0, -19);  // a step of the 6-byte real here
  const double right = 90 + ux, top = 90 + uy;
  auto at = [](double x, double y) { return std::pair{ExportLevel::X0 + x, ExportLevel::Y0 + y}; };
  TPolyLineString lines;
  for (TPolyLineElement* l :
       {Line({at(0, 0), at(0, top), at(20, top)}), Line({at(20, top), at(20, 45), at(45, 45), at(45, top)}),
        Line({at(45, top), at(right, top), at(right, 0), at(0, 0)}), Line({at(20, top), at(45, top)}),
        Line({at(200, 0), at(200, 100), at(300 + ux, 100)}), Line({at(300 + ux, 100), at(300 + ux, 0), at(200, 0)}),
        Line({at(230, 20), at(230, 80), at(250, 80)}), Line({at(250, 80), at(250, 20), at(230, 20)})})
    lines.AddAndExtend(l);
  nodearea::Network net = nodearea::BuildAreasOfLines(lines, {});
  ASSERT_TRUE(net.AreaList);
  ASSERT_EQ(net.AreaList->GetCount(), 4);
  auto e = exporter("");
  e->SetInput(net.AreaList);
  e->DoIt();
  ASSERT_TRUE(e->LastRun().Written);

  using Ring = std::vector<geometry::PointD>;
  for (bool asBoundary : {false, true}) {
    TEntity model;
    std::unique_ptr<TAreaString> read = readAreas(model, asBoundary);
    ASSERT_TRUE(read) << asBoundary;
    ASSERT_EQ(read->GetCount(), 4) << asBoundary;
    for (TElement* element : read->Items()) {
      auto* area = static_cast<TAreaElement*>(element);
      const std::int32_t cislo = area->GetPropertyInt("Cislo");
      const auto record = test_support::ReadRecord<gisblock::AreRecord>(dir / "OUT.BLK" / "TN.ARE", cislo);
      ASSERT_TRUE(record) << cislo;
      Ring outer;
      area->CollectRing(outer);
      std::vector<Ring> holes;
      if (THolesEntity* h = area->GetHoles())
        for (TElement* hole : h->Items()) static_cast<TAreaElement*>(hole)->CollectRing(holes.emplace_back());
      // The blocks' S-JTSK negates: the stored point in the reader's plane.
      EXPECT_TRUE(StrictlyInside(outer, holes, -record->refX, -record->refY))
          << "area " << cislo << (asBoundary ? " of vertices" : " of lines") << std::setprecision(17) << " at "
          << -record->refX << " " << -record->refY;
    }
  }
}

TEST_F(AreaExportTest, WithoutBoundaryLinesNothingIsWritten) {
  TEntity input;
  auto* a = new TPolyLineAreaElement;
  input.Add(a);
  auto e = exporter("");
  e->SetInput(&input);
  e->DoIt();
  EXPECT_EQ(a->ID, 1);
  EXPECT_FALSE(fs::exists(dir / "OUT.BLK"));
}

}  // namespace
}  // namespace areas_test
