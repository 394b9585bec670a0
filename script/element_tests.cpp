#include "framework/name_compare.h"
#include "script/element_tests.h"

#include "script/expression_keywords.h"

ZELTO_IMPLEMENT_ELEMENT(TClassIsOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TIsAncestorOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TPropExistsOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)

namespace {

// The name operand's text, or false when the operand gave no string.
bool nameOperand(TOnePtrOperator& node, std::string& name) {
  auto* value = dynamic_cast<TTypeElement*>(node.GetValue1());
  if (!value || value->GetTyp() != _String) return false;
  name = value->GetAsString();
  return true;
}

// Base DoIt, output nil, operand 1, and the operands' values freed at the end.
template <class F>
void runTest(TOnePtrOperator& node, F&& test) {
  node.SetOutput(nullptr);
  node.EvaluateOperand1();
  std::string name;
  TTypeElement* result = nullptr;
  try {
    if (nameOperand(node, name)) result = test(name);
  } catch (...) {
    node.ResetOperandValues();
    throw;
  }
  node.SetOutput(result);
  node.ResetOperandValues();
}

}  // namespace

void TClassIsOperator::DoIt() {
  TTechnology::DoIt();
  runTest(*this, [this](const std::string& name) -> TTypeElement* {
    TElement* item = Item();
    if (!item) return nullptr;
    return new TBooleanElement(zelto::UpperAZ(name) == zelto::UpperAZ(item->ClassName()));
  });
}

void TIsAncestorOperator::DoIt() {
  TTechnology::DoIt();
  runTest(*this, [this](const std::string& name) -> TTypeElement* {
    TElement* item = Item();
    if (!item) return nullptr;
    const std::string wanted = zelto::UpperAZ(name);
    for (const TElementClass* cls = &item->ClassType(); cls; cls = cls->ClassParent())
      if (zelto::UpperAZ(cls->ClassName()) == wanted) return new TBooleanElement(true);
    return new TBooleanElement(false);
  });
}

void TPropExistsOperator::DoIt() {
  TTechnology::DoIt();
  runTest(*this, [this](const std::string& name) -> TTypeElement* {
    if (name.empty()) return new TBooleanElement(false);
    TElement* item = Item();
    if (!item) return nullptr;
    return new TBooleanElement(item->ClassType().IndexOfProperty(name) >= 0);
  });
}
