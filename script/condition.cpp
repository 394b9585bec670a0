#include "script/condition.h"

ZELTO_IMPLEMENT_ELEMENT(TCondition, TOnePtrOperator, ZELTO_NO_PROPERTIES)

bool TCondition::Test() {
  bool answer = false;
  try {
    EvaluateOperand1();
    auto* value = dynamic_cast<TTypeElement*>(GetValue1());
    answer = value && value->GetTyp() == _Boolean && value->GetAsBoolean();
  } catch (...) {
    ResetOperandValues();
    throw;
  }
  ResetOperandValues();
  return answer;
}

void TCondition::DoIt() {
  BeginEvaluation();
  SetOutput(new TBooleanElement(Test()));
}
