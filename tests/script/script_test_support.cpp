#include "framework/name_compare.h"
#include "tests/script/script_test_support.h"

#include "framework/class_registry.h"
#include "framework/message_dispatch.h"
#include "framework/type_elements.h"
#include "platform/message_queue.h"
#include "script/expression_keywords.h"

ZELTO_IMPLEMENT_ELEMENT(TExprProbe, TOwnerEntity, [](auto& p) {
  using E = TExprProbe;
  p.Integer("Pocet", &E::Pocet, &E::Pocet);
  p.Boolean("Flag", &E::Flag, &E::Flag);
  p.Float("Scale", &E::Scale, &E::Scale);
  p.String("Label", &E::Label, &E::Label);
  p.Char("Letter", &E::Letter, &E::Letter);
  p.Enumeration("Tint", {"clRed", "clGreen"}, &E::Tint, &E::Tint);
  p.Int64("Wide", &E::Wide, &E::Wide);
  p.Byte("Stupen", &E::Stupen, &E::Stupen);
  p.Object("Target", TElement::StaticClass(), &E::Target, &E::Target);
})

void TExprProbe::GetPropertyText(const std::string& name, std::string& text) {
  auto it = Attributes.find(zelto::UpperAZ(name));
  if (it != Attributes.end()) {
    text = it->second;
    return;
  }
  TOwnerEntity::GetPropertyText(name, text);
}

void ScriptTest::SetUp() {
  static bool registered = false;
  if (!registered) {
    registered = true;
    RegisterElementClasses();
    RegisterTypeElementClasses();
    RegisterZeltoClass(TExprProbe::StaticClass());
  }
  platform::messageQueue().discardAll();
}

void ScriptTest::TearDown() { platform::messageQueue().discardAll(); }
