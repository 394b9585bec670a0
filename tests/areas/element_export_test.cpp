// Attribute rows, tables per kind, errors of single objects, the text export.
#include <fstream>
#include <memory>
#include <sstream>

#include "areas/export_dbf_class.h"
#include "areas/export_elements.h"
#include "export_fixture.h"
#include "files.h"
#include "framework/dynamic_properties.h"
#include "framework/problem_report.h"
#include "framework/world.h"
#include "geometry/space_registers.h"
#include "gisblock/staged_block.h"

namespace areas_test {
namespace {

TAreaElement* KindArea(double x0, double y0, double x1, double y1, int druh) {
  TAreaElement* a = Box(x0, y0, x1, y1);
  auto* p = new TGelixAreaProps;
  p->Druh = static_cast<std::int16_t>(druh);
  a->SetProperties(p);
  return a;
}

class ElementExportTest : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    control = controlDir();
    if (control.empty()) GTEST_SKIP() << "no generated control files";
    fs::create_directories(block());
    e.BlockName = block();
    e.ControlDir = control;
    e.ExportDBF = true;
  }
  void exportAll(TEntity& objects) {
    int n = 0;
    for (TElement* o : objects.Items()) {
      o->ID = ++n;
      static_cast<TGelixProps*>(static_cast<TSpaceEntity*>(o)->GetProperties())->Cislo = n;
      e.ExportObject(static_cast<TSpaceEntity*>(o));
    }
  }
  std::string control;
  TExportGelixElements e;
};

TEST_F(ElementExportTest, RowsGoToTheTableOfTheirKindWithTheStandardFields) {
  TEntity objects;
  objects.Add(KindArea(-700, -900, -600.0, -776.544, 1600));  // 12345.6 m²
  objects.Add(KindArea(0, 0, 10, 10, 1400));
  objects.Add(KindArea(0, 0, 20, 10, 1600));
  objects.Add(Line({{-700, -900}, {-700, -800}}, 1600));
  exportAll(objects);
  // One writer per table, the third area reusing the first one's.
  EXPECT_TRUE(e.FindElementByName("P1600"));
  EXPECT_TRUE(e.FindElementByName("P1400"));
  EXPECT_TRUE(e.FindElementByName("L1600"));
  auto p1600 = rows(dir / "OUT.BLK" / "P1600.DBF", {"CISLO", "PLOCHA", "X", "Y"});
  ASSERT_EQ(p1600.size(), 2u);
  EXPECT_EQ(std::stoi(p1600[0].at("CISLO")), 1);
  EXPECT_NEAR(std::stod(p1600[0].at("PLOCHA")), 12345.6, 1e-6);
  EXPECT_DOUBLE_EQ(std::stod(p1600[0].at("X")), 900);  // the reference point is the lower-left corner
  EXPECT_DOUBLE_EQ(std::stod(p1600[0].at("Y")), 700);
  EXPECT_EQ(std::stoi(p1600[1].at("CISLO")), 3);
  EXPECT_EQ(rows(dir / "OUT.BLK" / "P1400.DBF", {"CISLO"}).size(), 1u);
  auto l1600 = rows(dir / "OUT.BLK" / "L1600.DBF", {"CISLO", "DELKA"});
  ASSERT_EQ(l1600.size(), 1u);  // a row although there is no source table and no value to carry
  EXPECT_DOUBLE_EQ(std::stod(l1600[0].at("DELKA")), 100);
}

TEST_F(ElementExportTest, OneKindHectaresAndDynamicValues) {
  TEntity objects;
  objects.Add(KindArea(-700, -900, -600.0, -776.544, 1400));
  objects.Add(KindArea(0, 0, 10, 10, 1300));
  e.JedenDruh = 1600;
  e.PlochyVHa = true;
  e.GetDynamicProps()->SetPropertyText("LHC_KOD", "0042");
  exportAll(objects);
  EXPECT_FALSE(fs::exists(dir / "OUT.BLK" / "P1400.DBF"));
  auto p1600 = rows(dir / "OUT.BLK" / "P1600.DBF", {"PLOCHA", "LHC_KOD", "DRUH"});
  ASSERT_EQ(p1600.size(), 2u);
  EXPECT_NEAR(std::stod(p1600[0].at("PLOCHA")), 1.23456, 1e-6);
  EXPECT_EQ(p1600[0].at("LHC_KOD"), "0042");
  EXPECT_EQ(std::stoi(p1600[1].at("DRUH")), 1300);  // the object's own kind
}

TEST_F(ElementExportTest, AFailingObjectIsReportedAndTheNextOneWritten) {
  zelto::ProblemTally problems;
  TEntity objects;
  objects.Add(KindArea(0, 0, 10, 10, 1600));
  objects.Add(KindArea(-2e70, 0, -2e70 + 10, 10, 1600));  // Y beyond the field and any buffer
  objects.Add(KindArea(0, 0, 10, 10, 1600));
  objects.GetItem(1)->SetName("Plocha");
  exportAll(objects);
  EXPECT_TRUE(ui->shownTexts().empty());
  ASSERT_EQ(problems.total(), 1u);
  const std::string told = problems.Summary();
  EXPECT_EQ(told.rfind("Chyba exportu objektu Plocha 2\r\n-2000000000000000", 0), 0u) << told;
  EXPECT_NE(told.find(" 0\r\nHodnotu \"2000000000000000"), std::string::npos) << told;
  EXPECT_EQ(told.find('\0'), std::string::npos);
  auto p1600 = rows(dir / "OUT.BLK" / "P1600.DBF", {"CISLO"});
  ASSERT_EQ(p1600.size(), 2u);  // the failed row is not left behind
  EXPECT_EQ(std::stoi(p1600[1].at("CISLO")), 3);
}

// A table of the block being written that can no longer be opened when its
// kind comes round again fails the block, which names the table once.
TEST_F(ElementExportTest, ATableOfAStagedBlockThatCannotBeOpenedAgainIsNamedOnce) {
  TEntity objects;
  objects.Add(KindArea(0, 0, 10, 10, 1600));
  objects.Add(KindArea(0, 0, 20, 10, 1400));
  gisblock::StagedBlock staged(block());
  ASSERT_TRUE(staged.ok()) << staged.error();
  TExportDBFClass writer;
  writer.ExpBlockName = staged.stagingPath();
  writer.ControlDir = control;
  writer.Staged = &staged;
  for (int druh : {1600, 1400}) {
    writer.Druh = static_cast<std::int16_t>(druh);
    writer.WriteRow(objects.GetItem(druh == 1600 ? 0 : 1));
  }
  test_support::WriteFile(staged.staging() / "P1600.DBF", "no table");
  writer.Druh = 1600;
  writer.WriteRow(objects.GetItem(0));
  EXPECT_FALSE(staged.commit());
  EXPECT_EQ(staged.error(), "Blok " + block() + " nebyl zapsán, soubor " + block() +
                                "/P1600.DBF: není tabulka dBase. Původní blok zůstává beze změny.");
}

TEST_F(ElementExportTest, WithoutRowsNothingIsRegistered) {
  TWorld world;
  struct Restore {
    TWorld* previous = GetWorld();
    ~Restore() { SetWorld(previous); }
  } restore;
  SetWorld(&world);
  TEntity objects;
  objects.Add(KindArea(0, 0, 10, 10, 1600));
  e.ExportDBF = false;
  e.RegisterObject = true;
  exportAll(objects);
  EXPECT_FALSE(fs::exists(dir / "OUT.BLK" / "P1600.DBF"));
  EXPECT_EQ(objects.GetItem(0)->GetOwnersCount(), 1);

  // With rows the object is filed in the register of the target block.
  e.ExportDBF = true;
  exportAll(objects);
  TRegister* reg = GetWorld()->GetObjectModel()->FindElementByClass<TRegister>();
  ASSERT_TRUE(reg);
  TBlockRegister* blockReg = reg->FindBlock(block());
  ASSERT_TRUE(blockReg);
  EXPECT_EQ(blockReg->FindObject('P', 1), objects.GetItem(0));
}

TEST_F(ExportTest, TextExportWritesOneLinePerChild) {
  TSpaceEntity points;
  points.Add(Box(1, 2, 3, 4));
  points.Add(Box(5, 6, 7, 8));
  TExportElementsToText text;
  text.FileName = (dir / "BODY.TXT").string();
  text.SetNextPropName("ID");
  text.SetNextPropName("-MinX");
  text.SetDelimiter(";");
  text.SetInput(&points);
  text.DoIt();
  std::ifstream in(dir / "BODY.TXT", std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  EXPECT_EQ(all.str(), "0;-1\r\n1;-5\r\n");

  TSpaceEntity none;
  text.SetInput(&none);
  text.DoIt();
  EXPECT_EQ(fs::file_size(dir / "BODY.TXT"), 0u);

  // A file that cannot be made is said to be so, with the cause.
  text.FileName = (dir / "MISSING" / "BODY.TXT").string();
  text.DoIt();
  ASSERT_EQ(ui->shownTexts().size(), 1u);
  EXPECT_EQ(ui->shownTexts()[0], "Soubor " + text.FileName + " nelze zapsat: soubor nebo adresář neexistuje");
}

}  // namespace
}  // namespace areas_test
