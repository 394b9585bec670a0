#include <gtest/gtest.h>

#include "framework/errors.h"
#include "tests/framework/test_support.h"

namespace {

// A model: root with a probe "LES" (Target pointing at a "Model" entity
// with three named children).
class PathLanguage : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    les = new TProbe();
    les->SetName("LES");
    root.Add(les);
    model = new TOwnerEntity();
    model->SetName("Model");
    for (const char* n : {"a", "b", "c"}) {
      auto* child = new TOwnerElement();
      child->SetName(n);
      model->Add(child);
    }
    root.Add(model);
    les->Target = model;
  }

  std::string FailureOf(const std::function<void()>& f) {
    try {
      f();
    } catch (const EZeltoError& e) {
      return e.what();
    }
    return "(no failure)";
  }

  TOwnerEntity root;
  TProbe* les = nullptr;
  TOwnerEntity* model = nullptr;
};

TEST_F(PathLanguage, PathsReachPropertiesThroughCallsAndReferences) {
  EXPECT_EQ(root.EvaluatePathText("Name"), "TOwnerEntity");
  EXPECT_EQ(root.EvaluatePathText(" FINDELEMENTBYNAME( les ).Name "), "LES");
  EXPECT_EQ(root.EvaluatePathText("findelementbyclass(TProbe).Target.Count"), "3");
  EXPECT_EQ(root.EvaluatePathText("FINDELEMENTBYNAME(LES).Target.FINDELEMENTBYNAME(b).Name"), "b");
  EXPECT_EQ(root.EvaluatePathText("FINDELEMENTBYNAME(LES).Nothing"), "");
}

TEST_F(PathLanguage, EvaluatePathReturnsObjects) {
  EXPECT_EQ(root.EvaluatePath("FINDELEMENTBYNAME(LES)"), les);
  EXPECT_EQ(root.EvaluatePath("FINDELEMENTBYNAME(LES).Target"), model);
  EXPECT_EQ(root.EvaluatePath("FINDELEMENTBYNAME(LES).Name"), nullptr);  // not an object
  EXPECT_EQ(root.EvaluatePath("FINDELEMENTBYNAME(zz)"), nullptr);
  EXPECT_EQ(root.EvaluatePath("OTHERFUNCTION(a)"), nullptr);
}

TEST_F(PathLanguage, ListsOverChildren) {
  EXPECT_EQ(les->EvaluatePathList("Target.ELEMENT.Name"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(root.EvaluatePathList("FINDELEMENTBYNAME(Model).element.Name"),
            (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(root.EvaluatePathList("Count"), (std::vector<std::string>{"2"}));
  EXPECT_EQ(FailureOf([&] { model->GetItem(0)->EvaluatePathList("ELEMENT.Name"); }),
            "Poslední objekt není Entita - nelze vytvořit seznam !");
  EXPECT_EQ(FailureOf([&] { model->EvaluatePathList("ELEMENT.Name.x"); }), "Chybné zakončení příkazu: .");
}

TEST_F(PathLanguage, FailuresCarryTheirTextsAndPositions) {
  EXPECT_EQ(FailureOf([&] { root.EvaluatePathText("X.Name"); }), "Chyba ... nenalezl jsem objekt Name");
  EXPECT_EQ(FailureOf([&] { root.EvaluatePathText("FINDELEMENTBYNAME(zz).Name"); }),
            "Chyba ... nenalezl jsem objekt Name");
  EXPECT_EQ(FailureOf([&] { root.EvaluatePathText("FINDELEMENTBYNAME(LES)"); }),
            "Chyba syntaxe. .. na pozici 22 očekávám \".\"");
  EXPECT_EQ(FailureOf([&] { root.EvaluatePathText("FINDELEMENTBYNAME(LES"); }),
            "Chyba syntaxe. .. na pozici 22 očekávám \")\"");
  EXPECT_EQ(FailureOf([&] { root.EvaluatePathText("FINDELEMENTBYNAME(Model).FINDELEMENTBYNAME(a).FINDELEMENTBYNAME(x).Name"); }),
            "Objekt na pozici 63 není Entita ... nelze prohledávat");
  EXPECT_EQ(FailureOf([&] { root.EvaluatePathText("FINDELEMENTBYCLASS(TNic).Name"); }),
            "Zelto nenašel třídu TNic");
  EXPECT_THROW(root.EvaluatePath("FINDELEMENTBYCLASS(TNic)"), EClassNotFound);
}

}  // namespace
