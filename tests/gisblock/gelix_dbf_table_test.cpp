#include "gisblock/gelix_dbf_table.h"
#include "gisblock/gisblock_classes.h"
#include "gisblock/moved_item_container.h"

#include "framework/class_registry.h"

#include "framework/type_elements.h"
#include "geometry/space_entity.h"
#include "geometry/space_entity_props.h"

#include "table_fixture.h"

using gisblock_test::TableDir;

namespace {

// An attribute record that names its table, as the block's records do.
class TTableProps : public TSpaceEntityProps {
  ZELTO_ELEMENT(TTableProps)
 public:
  std::string GetDBFName() const override { return dbfName; }
  std::string dbfName;
  std::int32_t cislo = 0;
};

ZELTO_IMPLEMENT_ELEMENT(TTableProps, TSpaceEntityProps, [](auto& p) { p.Integer("Cislo", &TTableProps::cislo); })

class GelixDBFTableTest : public TableDir {
 protected:
  TPointElement* pointOf(const std::string& dbfName, std::int32_t cislo) {
    auto* props = new TTableProps;
    props->dbfName = dbfName;
    props->cislo = cislo;
    point.SetProperties(props);
    return &point;
  }
  TPointElement point;
};

}  // namespace

TEST_F(GelixDBFTableTest, PublishedPropertiesCreateNameAndPosition) {
  write(path("P1600.CRT"), "NAZEV C 12 0\r\nPLOCHA N 8 2\r\n");
  TGelixDBFTable table(messages);
  table.SetPropertyText("CreateFileName", path("P1600.CRT"));
  ASSERT_TRUE(table.CreateTable(path("P1600.DBF")));
  table.SetTableName(path("P1600.DBF"));
  table.SetReadOnly(false);
  table.Open();
  for (auto [cislo, nazev] : {std::pair{"4", "Dub"}, {"9", "Buk"}}) {
    table.Append();
    table.SetFieldText("CISLO", cislo);
    table.SetFieldText("NAZEV", nazev);
    table.Post();
  }
  EXPECT_EQ(table.PropertyText("ShortTableName"), "P1600");
  EXPECT_EQ(table.PropertyText("TableName"), path("P1600.DBF"));
  table.SetPropertyInt("Cislo", 9);
  std::string text;
  table.GetFieldText("nazev", text);
  EXPECT_EQ(text, "Buk");
  table.FormatField("CISLO", "%3.3d", text);
  EXPECT_EQ(text, "009");
  EXPECT_TRUE(table.SplitQualifiedName("p1600.NAZEV", text));
  EXPECT_EQ(text, "NAZEV");
}

TEST_F(GelixDBFTableTest, ElementsAreLocatedThroughTheirAttributeRecord) {
  tableWithRows("L0110.DBF", {"7", "3"});
  TGelixDBFTable table(messages);
  EXPECT_TRUE(table.LocateElement(pointOf(path("L0110.DBF"), 3)));
  std::string text;
  table.GetFieldText("NAZEV", text);
  EXPECT_EQ(text, "row2");

  // A record naming a missing table switches to it and finds nothing.
  EXPECT_FALSE(table.LocateElement(pointOf(path("L0999.DBF"), 3)));
  EXPECT_EQ(table.GetTableName(), path("L0999.DBF"));
  EXPECT_FALSE(table.Active());
  EXPECT_FALSE(table.HasField("NAZEV"));

  TPointElement bare;
  EXPECT_FALSE(table.LocateElement(&bare));
  EXPECT_FALSE(table.LocateElement(nullptr));
}

TEST_F(GelixDBFTableTest, FieldsFromStarredPairsAndTypedValues) {
  platform::DbfTable::create(path("P0001.DBF"), {{"CISLO_OBJ", 'N', 6, 0}, {"NAZEV", 'C', 10, 0}, {"VEK", 'N', 3, 0}});
  write(path("P0001.TDS"), "*Cislo CISLO_OBJ\r\n");
  TGelixDBFTable table(messages);
  table.SetPropertyText("TransferScript", path("P0001.TDS"));
  table.SetTableName(path("P0001.DBF"));
  table.SetReadOnly(false);
  table.Open();
  table.Append();
  table.CopyStarredFrom(pointOf("", 321));
  TEntity values;
  auto* name = new TStringElement("Jedle");
  name->SetName("nazev");
  auto* age = new TIntegerElement(85);
  age->SetName("Vek");
  values.Add(name);
  values.Add(age);
  table.SetFieldsFromList(nullptr, &values);
  table.Post();
  EXPECT_EQ(table.Fields().text("CISLO_OBJ"), "321");
  EXPECT_EQ(table.Fields().text("NAZEV"), "Jedle");
  EXPECT_EQ(table.Fields().text("VEK"), "85");
}

TEST_F(GelixDBFTableTest, TransferListAsElements) {
  write(path("A.TDS"), "lhc LHC_KOD\r\n*Cislo CISLO\r\n");
  TMovedItemContainer list;
  list.SetPropertyText("FileName", path("A.TDS"));
  ASSERT_EQ(list.GetCount(), 2);
  std::string text;
  list.GetSourceName(1, text);
  EXPECT_EQ(text, "*CISLO");
  list.GetTargetName(0, text);
  EXPECT_EQ(text, "LHC_KOD");
  list.GetTargetName(2, text);
  EXPECT_EQ(text, "");
  list.SetFileName(path("MISSING.TDS"));
  EXPECT_EQ(list.PropertyText("FileName"), path("A.TDS"));
}
