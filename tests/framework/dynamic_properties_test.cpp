#include "framework/dynamic_properties.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/rect_entity.h"
#include "framework/type_elements.h"

TEST(DynamicProperties, TheFirstWriteFixesTheType) {
  TDynamicProperties set;
  set.SetPropertyInt("Kod", 5);
  set.SetPropertyText("kod", "abc");
  EXPECT_EQ(set.GetPropertyInt("KOD"), 5);
  set.SetPropertyText("Popis", "abc");
  set.SetPropertyInt("Popis", 5);
  EXPECT_EQ(set.PropertyText("popis"), "5");
  set.SetPropertyText("Les", "ANO");
  EXPECT_TRUE(set.GetPropertyBool("Les"));
  set.SetPropertyBool("Holina", true);
  EXPECT_EQ(set.FindAttribute("Holina")->ClassName(), "TBooleanElement");
  EXPECT_EQ(set.GetItem(0)->GetName(), "Kod");
  EXPECT_EQ(set.GetCount(), 4);

  EXPECT_FALSE(set.HasProperty("Name"));
  EXPECT_EQ(set.PropertyText("Missing"), "");
  EXPECT_EQ(set.GetPropertyInt("Missing"), 0);
  EXPECT_FALSE(set.GetPropertyBool("Missing"));
}

TEST(InstanceProperties, ShowsAnotherObjectsPropertiesByNameAndAsAList) {
  TInstanceProperties view;
  EXPECT_EQ(view.GetInstClassName(), "Unknown class");
  TRectEntity target;
  target.SetMaxX(10);
  view.SetInstance(&target);
  EXPECT_EQ(view.GetName(), "TRectEntity_Instance");
  EXPECT_GT(view.PropCount(), 10);

  view.SetPropIndex(2);
  const std::string third = view.GetPropName();
  view.SetPropName("NoSuchProperty");
  EXPECT_EQ(view.GetPropName(), third);

  view.SetPropName("maxx");
  EXPECT_EQ(view.GetPropKind(), 4);
  view.SetPropString("12");
  EXPECT_EQ(target.GetMaxX(), 12);
  view.SetPropertyText("Index", "7");
  EXPECT_EQ(target.Index, 7);
  EXPECT_EQ(view.PropertyText("InstClassName"), "TRectEntity");

  view.SetIsList(true);
  view.SetIsList(true);
  EXPECT_EQ(view.GetCount(), view.PropCount());
  EXPECT_EQ(view.GetValueByName("Index"), "7");
  view.SetIsList(false);
  EXPECT_EQ(view.GetCount(), 0);
}

TEST(InstanceProperties, ReadNothingThroughAFreedInstance) {
  TInstanceProperties view;
  auto target = std::make_unique<TRectEntity>();
  view.SetInstance(target.get());
  view.SetPropName("Index");
  TProperty* selected = view.ActualProperty();
  ASSERT_NE(selected, nullptr);
  target.reset();
  EXPECT_EQ(view.GetPropString(), "");
  EXPECT_EQ(selected->GetPropLongInt(), 0);
  EXPECT_FALSE(selected->GetIsStored());
  view.SetPropString("3");  // nothing to write into
  view.SetIsList(true);
  EXPECT_EQ(view.GetCount(), 0);
  EXPECT_EQ(view.GetInstClassName(), "Unknown class");
}
