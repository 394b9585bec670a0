#include <gtest/gtest.h>

#include "framework/property_access.h"
#include "framework/string_utils.h"
#include "tests/framework/test_support.h"

namespace {

class PropertyAccess : public FrameworkTest {
 protected:
  void TearDown() override {
    framework::SetDecimalSeparator(savedSeparator);
    FrameworkTest::TearDown();
  }
  char savedSeparator = framework::DecimalSeparator();
  TProbe probe;
};

TEST_F(PropertyAccess, IntegersInDecimalAndHexadecimalForms) {
  const struct {
    const char* text;
    int value;
  } cases[] = {{"12", 12},       {"  -7", -7},   {"$1F", 31},   {"x10", 16}, {"0x10", 16}, {"-$10", -16},
               {"$FFFFFFFF", -1}, {"12a", 0},     {"abc", 0},    {"", 0},     {"1 ", 0},    {"99999999999", 0},
               {"+5", 5},        {"-2147483648", -2147483647 - 1}};
  for (const auto& c : cases) {
    probe.Count = 99;
    probe.SetPropertyText("number", c.text);
    EXPECT_EQ(probe.Count, c.value) << c.text;
  }
  probe.Count = 5;
  EXPECT_EQ(probe.PropertyText("NUMBER"), "5");
  EXPECT_TRUE(ui->shown().empty());
}

TEST_F(PropertyAccess, LeadingIntegersKeepTheirSign) {
  probe.Label = "-12a";
  EXPECT_EQ(probe.GetPropertyInt("Label"), -12);
  probe.Label = "$1Fz";
  EXPECT_EQ(probe.GetPropertyInt("Label"), 31);
  probe.Label = "word";
  EXPECT_EQ(probe.GetPropertyInt("Label"), 0);
  probe.SetPropertyInt("Number", -3);
  EXPECT_EQ(probe.Count, -3);
}

TEST_F(PropertyAccess, EnumerationsByNameOrOrdinal) {
  probe.SetPropertyText("Tint", "CLGREEN");
  EXPECT_EQ(probe.Tint, TProbe::Colour::Green);
  EXPECT_EQ(probe.PropertyText("Tint"), "clGreen");
  probe.SetPropertyText("Tint", "2");
  EXPECT_EQ(probe.Tint, TProbe::Colour::Blue);
  // A name that matches nothing, or an ordinal out of range, changes nothing.
  probe.SetPropertyText("Tint", "clPurple");
  probe.SetPropertyText("Tint", "7");
  EXPECT_EQ(probe.Tint, TProbe::Colour::Blue);
  EXPECT_EQ(problems.Summary(), "Vlastnost Tint nelze nastavit na text clPurple\n"
                                "Vlastnost Tint nelze nastavit na text 7");

  probe.SetPropertyText("Bits", "5");
  EXPECT_EQ(probe.PropertyText("Bits"), "5");
  probe.SetPropertyText("Bits", "bB");
  EXPECT_EQ(probe.Bits, 2);
}

TEST_F(PropertyAccess, Booleans) {
  probe.SetPropertyBool("Flag", true);
  EXPECT_EQ(probe.PropertyText("Flag"), "True");
  EXPECT_TRUE(probe.GetPropertyBool("Flag"));
  probe.SetPropertyText("Flag", "false");
  EXPECT_FALSE(probe.Flag);
  probe.SetPropertyText("Flag", "1");
  EXPECT_TRUE(probe.Flag);
  probe.Label = "tak";
  EXPECT_TRUE(probe.GetPropertyBool("Label"));
  probe.Label = "";
  EXPECT_FALSE(probe.GetPropertyBool("Label"));
}

TEST_F(PropertyAccess, FloatsWithEitherSeparator) {
  for (char separator : {'.', ','}) {
    framework::SetDecimalSeparator(separator);
    probe.SetPropertyText("Scale", "1.25");
    EXPECT_EQ(probe.Scale, 1.25);
    probe.SetPropertyText("Scale", " -1,5 ");
    EXPECT_EQ(probe.Scale, -1.5);
  }
  framework::SetDecimalSeparator(',');
  EXPECT_EQ(probe.PropertyText("Scale"), "-1,5");
  probe.SetPropertyText("Scale", "");
  EXPECT_EQ(probe.Scale, 0);
  probe.Scale = 7;
  probe.SetPropertyText("Scale", "x");
  EXPECT_EQ(probe.Scale, 0);
  probe.SetPropertyText("Scale", "2.5E3");
  EXPECT_EQ(probe.Scale, 2500);
}

TEST_F(PropertyAccess, ElementReferencesCrossTextAsHandlesOfLiveElements) {
  auto* target = new TOwnerEntity();
  std::string handle = std::to_string(target->GetHandle());
  probe.SetPropertyText("Target", handle);
  EXPECT_EQ(probe.Target, target);
  EXPECT_EQ(probe.PropertyText("Target"), handle);
  EXPECT_EQ(probe.EvaluatePath("Target"), target);

  // An address never works; an unknown or dead handle changes nothing.
  probe.SetPropertyText("Target", std::to_string(reinterpret_cast<std::uintptr_t>(target)));
  EXPECT_EQ(probe.Target, target);
  delete target;
  probe.SetPropertyText("Target", handle);
  EXPECT_EQ(probe.Target, target);  // unchanged (and dangling: ours to clear)
  EXPECT_EQ(problems.total(), 2u);
  probe.SetPropertyText("Target", "0");
  EXPECT_EQ(probe.Target, nullptr);
  EXPECT_EQ(probe.PropertyText("Target"), "0");

  // An element of a class the property does not take is refused.
  TOwnerElement notEntity;
  probe.SetPropertyText("Target", std::to_string(notEntity.GetHandle()));
  EXPECT_EQ(probe.Target, nullptr);
  EXPECT_FALSE(SetObjectPropByName(&probe, "Target", &notEntity));
  EXPECT_FALSE(SetObjectPropByName(&probe, "Count", &probe));
}

TEST_F(PropertyAccess, CharactersAndHandlersAreReadOnlyAsText) {
  EXPECT_EQ(probe.PropertyText("Letter"), "A");
  probe.SetPropertyText("Letter", "B");
  EXPECT_EQ(probe.Letter, 'A');
  EXPECT_EQ(probe.PropertyText("OnChange"), "0;0");
  probe.SetPropertyText("OnChange", "1;2");
  EXPECT_FALSE(probe.HandlerAssigned);
}

TEST_F(PropertyAccess, UnknownNamesAreNotErrors) {
  EXPECT_FALSE(probe.HasProperty("Nope"));
  EXPECT_TRUE(probe.HasProperty("nAmE"));
  std::string text = "kept";
  probe.GetPropertyText("Nope", text);
  EXPECT_EQ(text, "kept");
  EXPECT_FALSE(SetPropTextByName(&probe, "Nope", "1"));
  probe.SetPropertyText("Nope", "1");
  EXPECT_TRUE(ui->shown().empty());
  std::string name = "x";
  PropNameByIndex(&probe, 1000, name);
  EXPECT_EQ(name, "");
}

TEST_F(PropertyAccess, WriteOnlyPropertiesBuildModelTrees) {
  TOwnerEntity parent, source;
  auto* a = new TOwnerElement();
  auto* b = new TOwnerElement();
  source.Add(a);
  source.Add(b);
  parent.SetPropertyText("AddAllFrom", std::to_string(source.GetHandle()));
  EXPECT_EQ(parent.GetCount(), 2);
  EXPECT_EQ(parent.PropertyText("AddAllFrom"), "");
  parent.SetPropertyText("ElementToRemove", std::to_string(a->GetHandle()));
  EXPECT_EQ(parent.GetCount(), 1);
  platform::Handle hb = b->GetHandle();
  parent.SetPropertyText("ElementToFree", std::to_string(hb));
  source.SetPropertyText("ElementToFree", std::to_string(hb));
  EXPECT_FALSE(Alive(hb));
  EXPECT_EQ(source.PropertyText("Count"), "1");
}

}  // namespace

// A descendant that publishes a name its ancestor publishes too.
class TProbeRepublished : public TProbe {
  ZELTO_ELEMENT(TProbeRepublished)
 public:
  std::int32_t Doubled() const { return Count * 2; }
};
ZELTO_IMPLEMENT_ELEMENT(TProbeRepublished, TProbe, [](auto& p) {
  p.Integer("number", &TProbeRepublished::Doubled);
})

TEST_F(PropertyAccess, ARepublishedNameReachesTheDescendantsProperty) {
  TProbeRepublished probe;
  probe.Count = 21;
  EXPECT_EQ(probe.PropertyText("Number"), "42");
  const auto& props = TProbeRepublished::StaticClass().Properties();
  EXPECT_EQ(props.size(), TProbe::StaticClass().Properties().size());
  EXPECT_EQ(TProbeRepublished::StaticClass().IndexOfProperty("NUMBER"),
            TProbe::StaticClass().IndexOfProperty("Number"));
}

// Integer fields narrower than the text's number.
class TNarrowFields : public TProbe {
  ZELTO_ELEMENT(TNarrowFields)
 public:
  std::uint8_t Small = 5;
  std::int16_t Medium = 5;
};
ZELTO_IMPLEMENT_ELEMENT(TNarrowFields, TProbe, [](auto& p) {
  p.Integer("Small", &TNarrowFields::Small, &TNarrowFields::Small);
  p.Integer("Medium", &TNarrowFields::Medium, &TNarrowFields::Medium);
})

TEST_F(PropertyAccess, ANumberAFieldCannotHoldLeavesItUnchanged) {
  TNarrowFields narrow;
  narrow.SetPropertyText("Small", "300");
  narrow.SetPropertyText("Medium", "-40000");
  EXPECT_EQ(narrow.Small, 5);
  EXPECT_EQ(narrow.Medium, 5);
  narrow.SetPropertyText("Small", "255");
  narrow.SetPropertyText("Medium", "-32768");
  EXPECT_EQ(narrow.Small, 255);
  EXPECT_EQ(narrow.Medium, -32768);
}
