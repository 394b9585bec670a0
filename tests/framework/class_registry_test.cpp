#include <gtest/gtest.h>

#include "framework/errors.h"
#include "tests/framework/test_support.h"

namespace {

class ClassRegistry : public FrameworkTest {};

TEST_F(ClassRegistry, EntriesStaySortedWhateverTheRegistrationOrder) {
  TZeltoClasses registry;
  registry.RegisterClass(TEntity::StaticClass());
  registry.RegisterClass(TProbe::StaticClass());
  registry.RegisterClass(TElement::StaticClass());
  registry.RegisterClass(TAliases::StaticClass());
  registry.RegisterClass(TOwnerEntity::StaticClass());
  std::vector<std::string> names;
  for (TElement* e : registry.Items()) names.push_back(e->GetName());
  EXPECT_EQ(names, (std::vector<std::string>{"TAliases", "TElement", "TEntity", "TOwnerEntity", "TProbe"}));
  EXPECT_EQ(registry.EntryAt(4)->ID, 1);  // registration number
  // A second registration sits next to the first.
  registry.RegisterClass(TEntity::StaticClass());
  EXPECT_EQ(registry.EntryAt(2)->GetName(), "TEntity");
  EXPECT_EQ(registry.EntryAt(3)->GetName(), "TEntity");
  EXPECT_EQ(registry.FindClass("tentity"), &TEntity::StaticClass());
  EXPECT_EQ(registry.FindClass("TEntit"), nullptr);
  EXPECT_EQ(registry.FindClass("TZ"), nullptr);
  EXPECT_EQ(registry.FindClass("A"), nullptr);
}

TEST_F(ClassRegistry, LookupIgnoresCaseAndCreationRetriesWithT) {
  EXPECT_EQ(FindZeltoClass("tentity"), &TEntity::StaticClass());
  TElement* created = CreateElementByClassName("OwnerEntity");
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(created->ClassName(), "TOwnerEntity");
  delete created;
  EXPECT_TRUE(ui->shown().empty());

  EXPECT_EQ(CreateElementByClassName("Nothing"), nullptr);
  EXPECT_EQ(problems.Summary(), "Neregistrovaný element: TNothing");

  // AddNew does not retry and says nothing.
  TOwnerEntity parent;
  EXPECT_EQ(parent.AddNew("OwnerEntity", "x"), nullptr);
  TElement* added = parent.AddNew("townerentity", "x");
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->GetName(), "x");
  EXPECT_EQ(problems.total(), 1u);
  EXPECT_TRUE(ui->shown().empty());

  try {
    GetZeltoClass("TNic");
    FAIL();
  } catch (const EClassNotFound& e) {
    EXPECT_STREQ(e.what(), "Zelto nenašel třídu TNic");
  }
}

TEST_F(ClassRegistry, EntriesDescribeClassesAndTheirProperties) {
  TZeltoClass* entry = ZeltoClasses().FindClassEntry("TOwnerEntity");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->PropertyText("ElementClassName"), "TOwnerEntity");
  EXPECT_EQ(entry->PropertyText("AncestorClassName"), "TNameEntity");

  TZeltoClass* probe = ZeltoClasses().FindClassEntry("TProbe");
  ASSERT_NE(probe, nullptr);
  // Ancestors' properties first, in declaration order.
  EXPECT_EQ(probe->PropName(0), "ID");
  EXPECT_EQ(probe->PropName(5), "NextElement");
  int count = probe->IndexOfProperty("number");
  ASSERT_GT(count, 5);
  EXPECT_EQ(probe->PropKind(count), TTypeKind::tkInteger);
  EXPECT_EQ(probe->PropKind(probe->IndexOfProperty("Tint")), TTypeKind::tkEnumeration);
  EXPECT_EQ(probe->PropKind(probe->IndexOfProperty("Label")), TTypeKind::tkLString);
  EXPECT_EQ(probe->PropClass(probe->IndexOfProperty("Target")), &TEntity::StaticClass());
  EXPECT_FALSE(probe->IsStoredProp(probe->IndexOfProperty("Label")));
  EXPECT_TRUE(probe->IsReadOnlyProp(probe->IndexOfProperty("WholeCount")));
  EXPECT_TRUE(probe->IsReadOnlyProp(probe->IndexOfProperty("NextElement")));
  EXPECT_FALSE(probe->IsReadOnlyProp(count));
  // The registry lists one property element per published property.
  EXPECT_EQ(probe->GetCount(), probe->PropCount());
  auto* prop = dynamic_cast<TZeltoClassProperty*>(probe->FindElementByName("Tint"));
  ASSERT_NE(prop, nullptr);
  EXPECT_EQ(prop->GetPropertyInt("TypeKind"), 3);

  TZeltoInstance instance;
  TProbe object;
  instance.SetInstance(&object);
  instance.SetOrdValue(count, 42);
  instance.SetStrValue(instance.IndexOfProperty("Label"), "text");
  instance.SetObjValue(instance.IndexOfProperty("Target"), &instance);  // wrong class: ignored
  EXPECT_EQ(object.Count, 42);
  EXPECT_EQ(object.Label, "text");
  EXPECT_EQ(object.Target, &instance);  // TZeltoInstance is an entity
}

}  // namespace
