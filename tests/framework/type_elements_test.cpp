#include "framework/type_elements.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "framework/integer_list.h"
#include "framework/property_access.h"
#include "framework/string_list.h"
#include "framework/string_utils.h"
#include "files.h"
#include "temp_dir.h"

TEST(TypeElements, BooleansAndStringsReadTruthTheirOwnWay) {
  TBooleanElement b;
  b.SetAsString("TRUE");
  EXPECT_FALSE(b.Value);
  b.SetAsString("True");
  EXPECT_FALSE(b.Value);
  b.SetAsString("true");
  EXPECT_TRUE(b.Value);
  EXPECT_EQ(b.GetAsInteger(), 0);

  TStringElement s;
  for (const char* yes : {"ano", "AnO", "TRUE", "2", "1,5"}) {
    s.Value = yes;
    EXPECT_TRUE(s.GetAsBoolean()) << yes;
  }
  for (const char* no : {"0.0", "0,0", "yes", ""}) {
    s.Value = no;
    EXPECT_FALSE(s.GetAsBoolean()) << no;
  }
  s.Value = "-7x";
  EXPECT_EQ(s.GetAsInteger(), 0);
  s.SetAsBoolean(false);
  EXPECT_EQ(s.Value, "FALSE");
}

TEST(TypeElements, FloatsUseTheScientificTextBothWays) {
  TFloatElement f(1.0);
  EXPECT_EQ(f.GetAsString(), " 1.00000000000000E+0000");
  EXPECT_EQ(f.GetAsString().size(), 23u);
  f.Value = 5;
  f.SetAsString(" 1.00000000000000E+0000");
  EXPECT_EQ(f.Value, 1.0);
  f.SetAsString("abc");
  EXPECT_EQ(f.Value, 1.0);
  f.Value = 3e10;
  EXPECT_EQ(f.GetAsInteger(), 0);
  f.Value = -2.7;
  EXPECT_EQ(f.GetAsInteger(), -2);
}

TEST(TypeElements, BytesAndCharactersRefuseWhatTheyCannotHold) {
  TByteElement b(9);
  b.SetAsString("300");
  EXPECT_EQ(b.Value, 9);
  b.SetAsInteger(300);
  EXPECT_EQ(b.Value, 9);
  b.SetAsFloat(-1);
  EXPECT_EQ(b.Value, 9);
  b.SetAsString("255");
  EXPECT_EQ(b.Value, 255);
  SetPropTextByName(&b, "Value", "256");
  EXPECT_EQ(b.Value, 255);

  TCharElement c('x');
  c.SetAsInteger(0);
  EXPECT_EQ(c.Value, 'x');
  c.SetAsString("");
  EXPECT_EQ(c.Value, 'x');
  c.SetAsString("č");  // beyond code point 255
  EXPECT_EQ(c.Value, 'x');
  c.SetAsString("á");
  EXPECT_EQ(c.Value, 0xE1);
  EXPECT_EQ(c.GetAsString(), "á");
}

TEST(TypeElements, IntegersAndPointers) {
  TIntegerElement i(300);
  EXPECT_EQ(i.GetAsByte(), 0);
  i.SetAsString("12x");
  EXPECT_EQ(i.Value, 300);
  i.SetAsFloat(1e12);
  EXPECT_EQ(i.Value, 300);
  i.SetAsFloat(-3.9);
  EXPECT_EQ(i.Value, -3);

  TPointerElement p;
  p.SetAsString("12x");
  EXPECT_EQ(p.Value, 12);
  p.SetAsString("-5");
  EXPECT_EQ(p.Value, -5);
  p.SetAsString("-7x");
  EXPECT_EQ(p.Value, -7);
}

TEST(TypeElements, ClonesKeepClassNameAndValue) {
  TPathElement path("C:\\GIS");
  path.SetName("Root");
  std::unique_ptr<TTypeElement> copy(path.Clone());
  EXPECT_EQ(copy->ClassName(), "TStringElement");
  EXPECT_EQ(copy->GetName(), "Root");
  EXPECT_EQ(copy->GetAsString(), "C:\\GIS");
  EXPECT_EQ(copy->GetUpperName(), "ROOT");
  EXPECT_EQ(TTypeElement().Clone(), nullptr);

  std::unique_ptr<TStringElement> dir(TStringElement::CreateNamed(TPathElement::StaticClass(), "Dir", "D:\\"));
  EXPECT_EQ(dir->ClassName(), "TPathElement");
  EXPECT_EQ(dir->GetName(), "Dir");
  EXPECT_EQ(dir->Value, "D:\\");
}

TEST(TypeElements, NameIsValueSplitsAndTrims) {
  TStringElement s;
  s.SetName("keep");
  s.SetNameIsValue("=x");
  EXPECT_EQ(s.GetName(), "keep");
  EXPECT_EQ(s.Value, "");
  s.SetNameIsValue("  Barva  = 12 ");
  EXPECT_EQ(s.GetName(), "Barva");
  EXPECT_EQ(s.Value, "12");
  s.SetNameIsValue("Druh=");
  EXPECT_EQ(s.GetName(), "Barva");
  EXPECT_EQ(s.Value, "Druh");
}

TEST(StringList, EntriesActAsPropertiesOfTheList) {
  TStringListElement list;
  SetPropTextByName(&list, "NextNameIsValue", "Barva=5");
  SetPropTextByName(&list, "NextValue", "free");
  list.SetPropertyText("Druh", "12");
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.PropertyText("barva"), "5");
  EXPECT_EQ(list.GetIntegerByName("DRUH"), 12);
  EXPECT_EQ(list.GetItemName(1), "");
  EXPECT_EQ(list.GetItemValue(1), "free");
  list.SetValueByName("Druh", "-4x");
  EXPECT_EQ(list.GetIntegerByName("Druh"), -4);
}

TEST(StringList, FilesRoundTripNamedEmptyAndUnnamedEntries) {
  const auto file = test_support::ProcessDirectory() / "string_list.txt";
  TStringListElement list;
  list.AddNamed("Kraj", "");
  list.AddNamed("", "hodnota");
  list.AddNamed("A", "1 = 2");
  list.SetSaveToFile(file.string());
  EXPECT_EQ(test_support::ReadFile(file), "Kraj=\r\n=hodnota\r\nA=1 = 2\r\n");
  TStringListElement back;
  back.SetLoadFromFile(file.string());
  ASSERT_EQ(back.GetCount(), 3);
  EXPECT_EQ(back.GetItemName(0), "Kraj");
  EXPECT_EQ(back.GetItemValue(0), "");
  EXPECT_EQ(back.GetItemName(1), "");
  EXPECT_EQ(back.GetItemValue(1), "hodnota");
  EXPECT_EQ(back.GetItemValue(2), "1 = 2");
  std::filesystem::remove(file);
  back.SetLoadFromFile(file.string());  // missing: nothing
  EXPECT_EQ(back.GetCount(), 3);
}

TEST(PropertyList, FillsEntriesFromAnElementWithNegation) {
  TStringListElement source;
  source.AddNamed("X", "-3");
  source.AddNamed("Y", "4");
  TPropertyList props;
  props.Delimiter = ";";
  props.SetNextName("Y");
  props.SetNextName("-X");
  props.SetNextName("-Y");
  props.SetElement(&source);
  EXPECT_EQ(props.GetCatenation(), "4;3;-4");
}

TEST(IntegerList, CommaTextsAndNumbersFoundInText) {
  TIntegerListElement list;
  list.AddCommaText("1, 2,, x, $10");
  ASSERT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.GetValue(2), 16);
  EXPECT_TRUE(list.Contains(2));

  std::unique_ptr<TIntegerListElement> found(IntegerListFromText("L", "druhy 5-3, 7"));
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->GetCount(), 3);
  EXPECT_EQ(found->GetValue(1), -3);
  EXPECT_EQ(IntegerListFromText("L", "none"), nullptr);

  TIntegerListElement sorted;
  sorted.Sorted = true;
  for (int v : {5, 1, 5, 3}) sorted.AddValue(v);
  EXPECT_EQ(sorted.GetCount(), 3);
  EXPECT_EQ(sorted.GetValue(0), 1);
  EXPECT_EQ(sorted.GetValue(2), 5);
}
