#include <gtest/gtest.h>

#include "framework/element_model.h"
#include "framework/property_access.h"
#include "framework/service_classes.h"
#include "framework/system_register.h"
#include "tests/framework/test_support.h"

namespace {

class Models : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterFrameworkServiceClasses();
  }
  static std::string rootNames(TInheritanceModel& m) {
    std::string names;
    for (TElement* e : m.GetItems()->Items()) names += e->GetName() + ";";
    return names;
  }
};

}  // namespace

TEST_F(Models, InheritanceTreesFollowTheClassHierarchyInAnyOrder) {
  for (bool elementFirst : {false, true}) {
    TRegisterClassModels reg;
    if (elementFirst) SetPropTextByName(&reg, "NewClassName", "TElement");
    SetPropTextByName(&reg, "NewClassName", "TEntity");
    if (!elementFirst) SetPropTextByName(&reg, "NewClassName", "TElement");
    EXPECT_EQ(rootNames(reg), "TElement;");
    auto* element = static_cast<TInheritanceModel*>(reg.GetItems()->GetItem(0));
    EXPECT_EQ(rootNames(*element), "TEntity;");

    reg.SetFindClassName("TOwnerEntity");
    EXPECT_EQ(reg.Error, 0);
    EXPECT_EQ(reg.ActualItem()->GetName(), "TEntity");
  }
  TRegisterClassModels reg;
  reg.SetNewClassName("TEntity");
  reg.SetFindClassName("TElement");
  EXPECT_EQ(reg.Error, 1);
  reg.SetNewClassName("TNoSuchClass");
  EXPECT_EQ(reg.Error, 2);
  EXPECT_EQ(reg.ActualItem(), nullptr);
  reg.SetNewClassName("");
  EXPECT_EQ(reg.Error, 0);
  EXPECT_EQ(reg.GetActualClassName(), "NIL");
  EXPECT_EQ(reg.Error, 3);
  EXPECT_TRUE(reg.GetIsError());
}

TEST_F(Models, ModelsOfUnknownClassesAreAppendedAndNeverSearched) {
  TRegisterClassModels reg;
  auto* unknown = new TRegisterClassModel();
  unknown->SetElementClassName("TGone");
  unknown->SetName("TGone");
  reg.SetNextItem(unknown);
  reg.SetNewClassName("TEntity");
  reg.SetNewClassName("TElement");
  EXPECT_EQ(rootNames(reg), "TGone;TElement;");
  reg.SetFindClassName("TOwnerEntity");
  ASSERT_NE(reg.ActualItem(), nullptr);
  EXPECT_EQ(reg.ActualItem()->GetName(), "TEntity");
}

TEST_F(Models, ReplacingTheActualClassKeepsTheModelsBelowIt) {
  TRegisterClassModels reg;
  reg.SetNewClassName("TEntity");
  reg.SetNewClassName("TOwnerEntity");
  reg.SetFindClassName("TEntity");
  reg.SetActualClassName("TElement");
  EXPECT_EQ(reg.Error, 0);
  EXPECT_EQ(reg.GetActualClassName(), "TElement");
  reg.SetFindClassName("TOwnerEntity");
  EXPECT_EQ(reg.ActualItem()->GetName(), "TOwnerEntity");

  reg.SetDeleteActualItem(false);
  EXPECT_EQ(reg.ActualItem(), nullptr);
  EXPECT_EQ(reg.Error, 3);

  reg.SetItemClassName("TElementModel");
  EXPECT_EQ(reg.GetItemClassName(), "TInheritanceModel");
}

TEST_F(Models, GroupsAreFoundByNameBeforeTheyAreCreated) {
  TRegisterClassModel model;
  auto* loaded = new TOwnerEntity();
  loaded->SetName("PROPERTY MODELS");
  loaded->Add(new TRegisterPropertyModel());
  model.Add(loaded);
  EXPECT_EQ(model.GetPropertyModels(), loaded);
  EXPECT_EQ(model.GetShell(), model.GetShell());
  EXPECT_EQ(model.GetCount(), 2);

  TSystemRegister reg;
  EXPECT_EQ(reg.GetImages(), reg.GetImages());
  reg.GetRaster()->SetValueByName("MEMORY_TILE", "1000");
  EXPECT_EQ(reg.GetRaster()->GetIntegerByName("MEMORY_TILE"), 1000);
  EXPECT_NE(reg.GetClassModels(), nullptr);
  EXPECT_EQ(reg.GetCount(), 3);
}

TEST_F(Models, ToolModelsAreBuiltThroughPropertyWrites) {
  TToolModel model;
  EXPECT_TRUE(model.GetNoModelProperties());
  EXPECT_EQ(model.GetCount(), 0);
  model.GetModelProperties();
  EXPECT_TRUE(model.GetNoModelProperties());
  SetPropTextByName(&model, "NewPropertyName", "Kind");
  TElement* last = GetObjectPropByName(&model, "LastPropertyModel");
  ASSERT_NE(last, nullptr);
  SetPropTextByName(last, "Value", "12");
  SetPropTextByName(&model, "NewToolName", "Reader");
  TElement* tool = GetObjectPropByName(&model, "LastToolModel");
  SetPropTextByName(tool, "ElementClassName", "TTool");
  SetPropTextByName(&model, "NewImage", "a.bmp");
  EXPECT_FALSE(model.GetNoModelProperties());
  EXPECT_EQ(model.GetLastPropertyModel()->Value, "12");
  EXPECT_EQ(model.GetLastToolModel()->ElementClassName, "TTool");
  EXPECT_EQ(model.GetImages()->GetItemValue(0), "a.bmp");
}
