#include "script/operator.h"

ZELTO_IMPLEMENT_ELEMENT(TOperator, TTechnology, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TNoPtrOperator, TOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TOnePtrOperator, TNoPtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TTwoPtrOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)

namespace {

// Frees the operands' values however the evaluation ends.
class ResetGuard {
 public:
  explicit ResetGuard(TOperator& node) : node_(node) {}
  ~ResetGuard() { node_.ResetOperandValues(); }
  ResetGuard(const ResetGuard&) = delete;
  ResetGuard& operator=(const ResetGuard&) = delete;

 private:
  TOperator& node_;
};

void replaceOperand(TTechnology& owner, TOperator*& field, TOperator* node) {
  if (field) owner.DeleteTool(field);
  field = node;
  if (node) owner.AppendTool(node);
}

}  // namespace

void TNoPtrOperator::SetContextList(TShortList* list) {
  if (list == contextList_) return;
  if (contextList_) Delete(contextList_);
  contextList_ = list;
  if (list) Add(list);
}

TShortList* TNoPtrOperator::GetContextList() {
  if (!contextList_) {
    contextList_ = new TShortList();
    Add(contextList_);
  }
  return contextList_;
}

bool TNoPtrOperator::GetTypeFlag(int code) const {
  return typeFlags_ && code >= 0 && code < 8 && (*typeFlags_)[static_cast<std::size_t>(code)];
}

void TNoPtrOperator::SetTypeFlag(int code, bool flag) {
  if (!typeFlags_) typeFlags_ = std::make_unique<TTypeFlags>();
  if (code >= 0 && code < 8) (*typeFlags_)[static_cast<std::size_t>(code)] = flag;
}

TTypeFlags TNoPtrOperator::GetTypeFlags() const { return typeFlags_ ? *typeFlags_ : TTypeFlags{}; }

void TNoPtrOperator::SetTypeFlags(const TTypeFlags& flags) { typeFlags_ = std::make_unique<TTypeFlags>(flags); }

void TNoPtrOperator::SetContextItem(int index, TElement* element) { GetContextList()->PutItem(index, element); }

TElement* TNoPtrOperator::GetContextItem(int index) { return GetContextList()->GetItem(index); }

void TNoPtrOperator::ClearResult() {
  TElement* output = Output();
  if (output && output->GetOwnersCount() == 0) delete output;
  SetOutput(nullptr);
}

bool TNoPtrOperator::AnyTypePossible() {
  InferTypes();
  bool any = false;
  for (bool flag : GetTypeFlags()) any = any || flag;
  FreeTypeFlags();
  return any;
}

void TNoPtrOperator::InferTypes() {
  typeFlags_ = std::make_unique<TTypeFlags>();
  TOperator* operands[] = {GetOperand1(), GetOperand2()};
  for (TOperator* operand : operands)
    if (operand) operand->InferTypes();
  typeFlags_->fill(false);
  DeduceTypes();
  for (TOperator* operand : operands)
    if (operand) operand->FreeTypeFlags();
}

void TOnePtrOperator::SetOperand1(TOperator* node) { replaceOperand(*this, operand1_, node); }

void TOnePtrOperator::ResetOperandValues() {
  if (operand1_) operand1_->ClearResult();
  value1_ = nullptr;
}

void TOnePtrOperator::SetContextList(TShortList* list) {
  TNoPtrOperator::SetContextList(list);
  if (operand1_) operand1_->SetContextList(list);
}

void TOnePtrOperator::EvaluateOperand1() {
  if (!operand1_) {
    value1_ = nullptr;
    return;
  }
  operand1_->DoIt();
  value1_ = operand1_->Output();
}

void TOnePtrOperator::BeginEvaluation() {
  TTechnology::DoIt();
  SetOutput(nullptr);
}

void TOnePtrOperator::Finish(TTypeElement* result) { SetOutput(result); }

void TOnePtrOperator::DoIt() {
  BeginEvaluation();
  ResetGuard reset(*this);
  EvaluateOperand1();
  if (TTypeElement* a = Typed1()) Finish(Compute(*a));
}

void TTwoPtrOperator::SetOperand2(TOperator* node) { replaceOperand(*this, operand2_, node); }

void TTwoPtrOperator::ResetOperandValues() {
  TOnePtrOperator::ResetOperandValues();
  if (operand2_) operand2_->ClearResult();
  value2_ = nullptr;
}

void TTwoPtrOperator::SetContextList(TShortList* list) {
  TOnePtrOperator::SetContextList(list);
  if (operand2_) operand2_->SetContextList(list);
}

void TTwoPtrOperator::EvaluateOperand2() {
  if (!operand2_ || !GetValue1()) {
    value2_ = nullptr;
    return;
  }
  operand2_->DoIt();
  value2_ = operand2_->Output();
}

void TTwoPtrOperator::DoIt() {
  BeginEvaluation();
  ResetGuard reset(*this);
  EvaluateOperand1();
  EvaluateOperand2();
  TTypeElement* a = Typed1();
  TTypeElement* b = Typed2();
  if (a && b) Finish(Compute(*a, *b));
}
