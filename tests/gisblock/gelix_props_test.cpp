#include "gisblock/gelix_props.h"

#include "geometry/area_element.h"
#include "gisblock/are_record.h"
#include "gisblock/attribute_table.h"
#include "gisblock/table_file_name.h"
#include "gisblock/gelix_classes.h"
#include "gisblock/gelix_dbf_table.h"
#include "gisblock/gelix_registers.h"
#include "attribute_edits.h"
#include "framework/problem_report.h"
#include "platform/codepage.h"
#include "table_fixture.h"

namespace {

class GelixPropsTest : public gisblock_test::TableDir {
 protected:
  void SetUp() override {
    TableDir::SetUp();
    RegisterGelixClasses();
  }
  TAreaElement* area(std::int32_t cislo, std::int16_t druh) {
    auto* a = new TAreaElement;
    auto* props = new TGelixAreaProps;
    props->Cislo = cislo;
    props->Druh = druh;
    a->SetProperties(props);
    return a;
  }
  TEntity model;
};

TEST_F(GelixPropsTest, RegistersNameTheirOwnersAfterTheFirstGelixObject) {
  TGelixBlockRegister* block = gisblock::gelixBlockRegister(model, dir.string() + "/");
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block, gisblock::gelixBlockRegister(model, dir.string()));  // one key per block
  EXPECT_EQ(block, gisblock::gelixBlockRegister(model, platform::upperUtf8(dir.string())));  // whatever the case
  EXPECT_EQ(block->GetName(), dir.string());

  TAreaElement* a = area(4, 1600);
  block->Register(a);
  TObjectRegister* p = block->GetObjectRegister('P');
  ASSERT_TRUE(p->Is<TGelixObjectRegister>());
  ASSERT_EQ(p->GetCount(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(p->GetItem(i)->Is<TGelixObjectOwner>());
  EXPECT_EQ(p->GetItem(4)->GetName(), "P4:1600");
  EXPECT_FALSE(p->GetItem(3)->HasName());

  TAreaElement* piece = area(4, 1700);  // a later piece leaves the name alone
  block->Register(piece);
  EXPECT_EQ(p->GetItem(4)->GetName(), "P4:1600");

  auto* line = new TPolyLineElement;
  auto* lp = new TGelixLineProps;
  lp->Cislo = 7;
  lp->Druh = -1;
  line->SetProperties(lp);
  block->Register(line);
  EXPECT_EQ(block->GetObjectRegister('L')->GetItem(7)->GetName(), "L7:-1");
  ASSERT_TRUE(p->GetDBF() && p->GetDBF()->Is<TGelixDBFTable>());
  EXPECT_EQ(p->GetDBF(), p->GetDBF());
  EXPECT_TRUE(static_cast<TGelixDBFTable*>(p->GetDBF())->GetReadOnly());
}

TEST_F(GelixPropsTest, ColumnsOfTheRowReadAndWriteAsNamedPropertiesByOriginalNumber) {
  tableWithRows("P1600.DBF", {"1", "2", "3"});
  TGelixBlockRegister* block = gisblock::gelixBlockRegister(model, dir.string());
  TAreaElement* a = area(2, 1600);
  TAreaElement* piece = area(2, 1700);  // second piece: table of the first piece's Druh
  block->Register(a);
  block->Register(piece);
  auto* props = static_cast<TGelixProps*>(a->GetProperties());

  EXPECT_EQ(a->PropertyText("NAZEV"), "row2");
  EXPECT_EQ(piece->PropertyText("nazev"), "row2");
  EXPECT_EQ(props->GetDBFName(), GelixTableFileName(dir.string(), 'P', 1600));

  // An exporter renumbers the object; the write still lands on its own row.
  props->Cislo = 3;
  a->SetPropertyText("NAZEV", "changed");
  EXPECT_TRUE(props->AttributeTable()->ReadOnly());  // left closed and read-only
  EXPECT_FALSE(props->AttributeTable()->Active());
  EXPECT_EQ(a->PropertyText("NAZEV"), "changed");

  platform::DbfTable t;
  t.open(path("P1600.DBF"), true);
  t.moveTo(3);
  EXPECT_EQ(t.text("NAZEV"), "row3");

  a->SetPropertyText("Cislo", "9");  // a field of the record, not a column
  EXPECT_EQ(props->Cislo, 9);
  props->SetPropertyText("IsDone", "TRUE");
  EXPECT_TRUE(props->IsDone);
  EXPECT_FALSE(static_cast<TSpaceEntityProps*>(props)->IsDone);
  EXPECT_EQ(a->PropertyText("NOSUCH"), "");
}

// A value the row does not take as given is told, with the field, the
// object and the table, and the table stays as it was; afterwards the
// object reads what the table holds.
TEST_F(GelixPropsTest, AnEditTheRowDoesNotTakeAsGivenIsToldAndChangesNothing) {
  for (const test_support::FailedEdit& edit : test_support::FailedEdits()) {
    SCOPED_TRACE(edit.way);
    test_support::AttributeBlock block(dir / edit.way, edit.cislo, edit.filed);
    edit.prepare(block);
    const bool hasTable = std::filesystem::exists(block.Table());
    const std::string before = hasTable ? bytesOf(block.Table()) : std::string();
    zelto::ProblemTally problems;
    test_support::GiveValue(edit, block, [&] { block.area->SetPropertyText(edit.field, edit.value); });

    ASSERT_EQ(problems.total(), 1u);
    const std::string told = problems.Summary();
    EXPECT_NE(told.find(std::string("Položku ") + edit.field + " objektu CISLO " + std::to_string(edit.cislo)),
              std::string::npos)
        << told;
    EXPECT_NE(told.find(edit.why), std::string::npos) << told;
    if (edit.filed) {
      EXPECT_NE(told.find("P1600.DBF"), std::string::npos) << told;
    }
    if (hasTable) {
      EXPECT_EQ(bytesOf(block.Table()), before);
    }
    EXPECT_EQ(block.area->PropertyText(edit.field), edit.held ? edit.held : "");
    if (auto* table = static_cast<TGelixProps*>(block.area->GetProperties())->AttributeTable()) {
      EXPECT_TRUE(table->ReadOnly());
    }
  }
}

// What the field keeps exactly is written, whatever the way it is written.
TEST_F(GelixPropsTest, AValueTheFieldKeepsAsGivenIsWritten) {
  const struct {
    const char* field;
    const char* value;
    const char* held;
  } edits[] = {{"PLOCHA", "7,50", "7.5"}, {"PLOCHA", "-3", "-3"}, {"NAZEV", "Lesní ", "Lesní"}, {"NAZEV", "", ""}};
  test_support::AttributeBlock block(dir / "ok", 2, true);
  for (const auto& edit : edits) {
    SCOPED_TRACE(edit.value);
    zelto::ProblemTally problems;
    block.area->SetPropertyText(edit.field, edit.value);
    EXPECT_TRUE(problems.empty()) << problems.Summary();
    EXPECT_EQ(block.area->PropertyText(edit.field), edit.held);
  }
}

TEST_F(GelixPropsTest, KindLettersHectaresAndLiveAreaRecords) {
  auto* point = new TPointElement;
  point->SetProperties(new TGelixLineProps);
  auto* lp = static_cast<TGelixProps*>(point->GetProperties());
  EXPECT_EQ(lp->GetObjectType(), 'L');
  EXPECT_EQ(lp->GetPhysicalObjectType(), 'B');
  point->SetProperties(new TGelixProps);
  EXPECT_EQ(point->PropertyText("ObjectType"), "B");
  delete point;

  TAreaElement* a = area(1, 1);
  for (auto [x, y] : {std::pair{0.0, 0.0}, {0.0, 250.0}, {100.0, 250.0}, {100.0, 0.0}}) a->AddVertex(x, y);
  auto* hole = new TAreaElement;
  for (auto [x, y] : {std::pair{0.0, 0.0}, {0.0, 50.0}, {100.0, 50.0}, {100.0, 0.0}}) hole->AddVertex(x, y);
  a->AddHole(hole);
  EXPECT_DOUBLE_EQ(static_cast<TGelixAreaProps*>(a->GetProperties())->GetHektars(), 2.0);
  delete a;

  auto live = [](std::uint8_t flags, double areaValue) {
    gisblock::AreRecord r;
    r.flags = flags;
    r.area = areaValue;
    return IsLiveAreaRecord(r.encode().data());
  };
  EXPECT_FALSE(live(1, 5));
  EXPECT_FALSE(live(2, 5));
  EXPECT_FALSE(live(4, 5));
  EXPECT_FALSE(live(0, 0.001));
  EXPECT_TRUE(live(8, 0.5));
}

}  // namespace
