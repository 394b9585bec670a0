#include "script/binary_operators.h"

#include <cmath>
#include <limits>

#include "platform/codepage.h"

using script::IsIntegral;
using script::IsNumeric;

ZELTO_IMPLEMENT_ELEMENT(TPlusOperator, TTwoPtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TMinusOperator, TTwoPtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TKratOperator, TTwoPtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TDelenoOperator, TTwoPtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TModOperator, TTwoPtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TDivOperator, TTwoPtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TAndOperator, TTwoPtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TOrOperator, TTwoPtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TCompareOperator, TTwoPtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TVetsiOperator, TCompareOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TMensiOperator, TCompareOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TRovnoOperator, TCompareOperator, ZELTO_NO_PROPERTIES)

namespace {

constexpr double kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr double kIntMax = std::numeric_limits<std::int32_t>::max();

bool isText(TType t) { return t == _String || t == _Char; }

TTypeElement* floatResult(double value) { return std::isfinite(value) ? new TFloatElement(value) : nullptr; }

TTypeElement* integerOrFloat(std::int64_t value) {
  if (value < kIntMin || value > kIntMax) return new TFloatElement(static_cast<double>(value));
  return new TIntegerElement(static_cast<std::int32_t>(value));
}

// One float and the other numeric.
bool floatMix(TType a, TType b) {
  return (a == _Float && IsNumeric(b)) || (b == _Float && IsNumeric(a));
}

bool may(const TOperator* operand, TType t) { return operand && operand->GetTypeFlag(t); }
bool mayIntegral(const TOperator* operand) { return may(operand, _Byte) || may(operand, _Integer); }
bool mayNumeric(const TOperator* operand) { return mayIntegral(operand) || may(operand, _Float); }
bool mayFloatMix(const TOperator* a, const TOperator* b) {
  return (may(a, _Float) && mayNumeric(b)) || (may(b, _Float) && mayNumeric(a));
}

}  // namespace

TTypeElement* TPlusOperator::Compute(const TTypeElement& a, const TTypeElement& b) {
  const TType ta = a.GetTyp(), tb = b.GetTyp();
  if (IsIntegral(ta) && IsIntegral(tb))
    return integerOrFloat(static_cast<std::int64_t>(a.GetAsInteger()) + b.GetAsInteger());
  if (floatMix(ta, tb)) return floatResult(a.GetAsFloat() + b.GetAsFloat());
  if (isText(ta) && isText(tb)) return new TStringElement(a.GetAsString() + b.GetAsString());
  return nullptr;
}
void TPlusOperator::DeduceTypes() {
  TOperator *l = GetOperand1(), *r = GetOperand2();
  if (mayIntegral(l) && mayIntegral(r)) Allow(_Integer);
  if (mayFloatMix(l, r)) Allow(_Float);
  if ((may(l, _String) || may(l, _Char)) && (may(r, _String) || may(r, _Char))) Allow(_String);
}

TTypeElement* TMinusOperator::Compute(const TTypeElement& a, const TTypeElement& b) {
  const TType ta = a.GetTyp(), tb = b.GetTyp();
  if (IsIntegral(ta) && IsIntegral(tb))
    return integerOrFloat(static_cast<std::int64_t>(a.GetAsInteger()) - b.GetAsInteger());
  if (floatMix(ta, tb)) return floatResult(a.GetAsFloat() - b.GetAsFloat());
  return nullptr;
}
void TMinusOperator::DeduceTypes() {
  TOperator *l = GetOperand1(), *r = GetOperand2();
  if (mayIntegral(l) && mayIntegral(r)) Allow(_Integer);
  if (mayFloatMix(l, r)) Allow(_Float);
}

TTypeElement* TKratOperator::Compute(const TTypeElement& a, const TTypeElement& b) {
  const TType ta = a.GetTyp(), tb = b.GetTyp();
  if (!IsNumeric(ta) || !IsNumeric(tb)) return nullptr;
  const double product = a.GetAsFloat() * b.GetAsFloat();
  if (ta == _Float || tb == _Float || std::fabs(product) > kIntMax) return floatResult(product);
  return new TIntegerElement(a.GetAsInteger() * b.GetAsInteger());
}
void TKratOperator::DeduceTypes() {
  TOperator *l = GetOperand1(), *r = GetOperand2();
  if (mayNumeric(l) && mayNumeric(r)) Allow(_Float);
  if (mayIntegral(l) && mayIntegral(r)) Allow(_Integer);
}

TTypeElement* TDelenoOperator::Compute(const TTypeElement& a, const TTypeElement& b) {
  if (!IsNumeric(a.GetTyp()) || !IsNumeric(b.GetTyp()) || b.GetAsFloat() == 0) return nullptr;
  return floatResult(a.GetAsFloat() / b.GetAsFloat());
}
void TDelenoOperator::DeduceTypes() {
  if (mayNumeric(GetOperand1()) && mayNumeric(GetOperand2())) Allow(_Float);
}

// C++ division truncates toward zero, as the language wants; the one
// quotient that leaves 32 bits (the smallest integer DIV -1) is widened.
TTypeElement* TModOperator::Compute(const TTypeElement& a, const TTypeElement& b) {
  if (!IsIntegral(a.GetTyp()) || !IsIntegral(b.GetTyp()) || b.GetAsInteger() == 0) return nullptr;
  return integerOrFloat(static_cast<std::int64_t>(a.GetAsInteger()) % b.GetAsInteger());
}
void TModOperator::DeduceTypes() {
  if (mayIntegral(GetOperand1()) && mayIntegral(GetOperand2())) Allow(_Integer);
}

TTypeElement* TDivOperator::Compute(const TTypeElement& a, const TTypeElement& b) {
  if (!IsIntegral(a.GetTyp()) || !IsIntegral(b.GetTyp()) || b.GetAsInteger() == 0) return nullptr;
  return integerOrFloat(static_cast<std::int64_t>(a.GetAsInteger()) / b.GetAsInteger());
}
void TDivOperator::DeduceTypes() {
  if (mayIntegral(GetOperand1()) && mayIntegral(GetOperand2())) Allow(_Integer);
}

namespace {

// The short-circuit frame of AND (decisive false) and OR (decisive true).
void shortCircuit(TTwoPtrOperator& node, bool decisive) {
  TTypeElement* result = nullptr;
  try {
    node.EvaluateOperand1();
    auto* a = dynamic_cast<TTypeElement*>(node.GetValue1());
    if (a && a->GetTyp() == _Boolean) {
      if (a->GetAsBoolean() == decisive) {
        result = new TBooleanElement(decisive);
      } else {
        node.EvaluateOperand2();
        auto* b = dynamic_cast<TTypeElement*>(node.GetValue2());
        if (b && b->GetTyp() == _Boolean) result = new TBooleanElement(b->GetAsBoolean());
      }
    }
  } catch (...) {
    node.ResetOperandValues();
    throw;
  }
  node.SetOutput(result);
  node.ResetOperandValues();
}

}  // namespace

void TAndOperator::DoIt() {
  BeginEvaluation();
  shortCircuit(*this, false);
}
void TAndOperator::DeduceTypes() {
  if (may(GetOperand1(), _Boolean) && may(GetOperand2(), _Boolean)) Allow(_Boolean);
}

void TOrOperator::DoIt() {
  BeginEvaluation();
  shortCircuit(*this, true);
}
void TOrOperator::DeduceTypes() {
  if (may(GetOperand1(), _Boolean) && may(GetOperand2(), _Boolean)) Allow(_Boolean);
}

TTypeElement* TCompareOperator::Compute(const TTypeElement& a, const TTypeElement& b) {
  const TType ta = a.GetTyp(), tb = b.GetTyp();
  const bool numeric = IsNumeric(ta) && IsNumeric(tb);
  if (ta != tb && !numeric) return nullptr;
  if (numeric) {
    const double x = a.GetAsFloat(), y = b.GetAsFloat();
    return Decide(x < y ? -1 : x > y ? 1 : 0, std::fabs(x - y) < 1e-13, true);
  }
  switch (ta) {
    case _Boolean:
      return Decide(0, a.GetAsBoolean() == b.GetAsBoolean(), false);
    case _Char: {
      const int x = a.GetAsChar(), y = b.GetAsChar();
      return Decide(x < y ? -1 : x > y ? 1 : 0, x == y, true);
    }
    case _String: {
      const int order = platform::compareByCp1250(a.GetAsString(), b.GetAsString());
      return Decide(order, a.GetAsString() == b.GetAsString(), true);
    }
    case _Pointer: {
      const std::int32_t x = a.GetAsInteger(), y = b.GetAsInteger();
      return Decide(x < y ? -1 : x > y ? 1 : 0, x == y, true);
    }
    default:
      return nullptr;
  }
}
void TCompareOperator::DeduceTypes() {
  TOperator *l = GetOperand1(), *r = GetOperand2();
  if ((mayNumeric(l) && mayNumeric(r)) || (may(l, _Char) && may(r, _Char)) ||
      (may(l, _Pointer) && may(r, _Pointer)) || (may(l, _String) && may(r, _String)))
    Allow(_Boolean);
}

TTypeElement* TVetsiOperator::Decide(int order, bool, bool ordered) {
  return ordered ? new TBooleanElement(order > 0) : nullptr;
}
TTypeElement* TMensiOperator::Decide(int order, bool, bool ordered) {
  return ordered ? new TBooleanElement(order < 0) : nullptr;
}
TTypeElement* TRovnoOperator::Decide(int, bool equal, bool) { return new TBooleanElement(equal); }
