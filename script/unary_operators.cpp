#include "script/unary_operators.h"

#include <cmath>
#include <limits>

using script::IsIntegral;
using script::IsNumeric;

ZELTO_IMPLEMENT_ELEMENT(TAbsValOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TRoundOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TTruncOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TCosOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TSinOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TArcTanOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TExpOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TFracOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TLnOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TSqrOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TSqrtOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TOddOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TUnMinusOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TNotOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TNaBooleanOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TNaCharOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TNaByteOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TNaIntegerOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TNaFloatOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TNaStringOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)

namespace {

constexpr double kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr double kIntMax = std::numeric_limits<std::int32_t>::max();

// A float result; none where the double range was left.
TTypeElement* floatResult(double value) { return std::isfinite(value) ? new TFloatElement(value) : nullptr; }

// A 32-bit result from a float; none outside the range.
TTypeElement* integerFromFloat(double value) {
  if (!(value >= kIntMin && value <= kIntMax)) return nullptr;
  return new TIntegerElement(static_cast<std::int32_t>(value));
}

// The negation or absolute value of the smallest integer does not fit
// 32 bits: it becomes a float.
TTypeElement* integerOrFloat(std::int64_t value) {
  if (value < kIntMin || value > kIntMax) return new TFloatElement(static_cast<double>(value));
  return new TIntegerElement(static_cast<std::int32_t>(value));
}

// The rule of the float functions: any numeric operand, a float result.
template <class F>
TTypeElement* floatFunction(const TTypeElement& a, F&& f) {
  if (!IsNumeric(a.GetTyp())) return nullptr;
  return floatResult(f(a.GetAsFloat()));
}

}  // namespace

TTypeElement* TAbsValOperator::Compute(const TTypeElement& a) {
  switch (a.GetTyp()) {
    case _Byte: return new TByteElement(a.GetAsByte());
    case _Integer: return integerOrFloat(std::abs(static_cast<std::int64_t>(a.GetAsInteger())));
    case _Float: return new TFloatElement(std::fabs(a.GetAsFloat()));
    default: return nullptr;
  }
}
void TAbsValOperator::DeduceTypes() {
  for (TType t : {_Byte, _Integer, _Float})
    if (May(GetOperand1(), t)) Allow(t);
}

TTypeElement* TRoundOperator::Compute(const TTypeElement& a) {
  switch (a.GetTyp()) {
    case _Byte: return new TByteElement(a.GetAsByte());
    case _Integer: return new TIntegerElement(a.GetAsInteger());
    // The default rounding mode rounds halves to even.
    case _Float: return integerFromFloat(std::nearbyint(a.GetAsFloat()));
    default: return nullptr;
  }
}
void TRoundOperator::DeduceTypes() {
  if (May(GetOperand1(), _Byte)) Allow(_Byte);
  if (May(GetOperand1(), _Integer) || May(GetOperand1(), _Float)) Allow(_Integer);
}

TTypeElement* TTruncOperator::Compute(const TTypeElement& a) {
  switch (a.GetTyp()) {
    case _Byte: return new TByteElement(a.GetAsByte());
    case _Integer: return new TIntegerElement(a.GetAsInteger());
    case _Float: return integerFromFloat(std::trunc(a.GetAsFloat()));
    default: return nullptr;
  }
}
void TTruncOperator::DeduceTypes() {
  if (May(GetOperand1(), _Byte)) Allow(_Byte);
  if (May(GetOperand1(), _Integer) || May(GetOperand1(), _Float)) Allow(_Integer);
}

namespace {
void deduceFloatFunction(TOperator* operand, TOperator& node) {
  for (TType t : {_Byte, _Integer, _Float})
    if (operand && operand->GetTypeFlag(t)) node.SetTypeFlag(_Float, true);
}
}  // namespace

TTypeElement* TCosOperator::Compute(const TTypeElement& a) {
  return floatFunction(a, [](double x) { return std::cos(x); });
}
void TCosOperator::DeduceTypes() { deduceFloatFunction(GetOperand1(), *this); }

TTypeElement* TSinOperator::Compute(const TTypeElement& a) {
  return floatFunction(a, [](double x) { return std::sin(x); });
}
void TSinOperator::DeduceTypes() { deduceFloatFunction(GetOperand1(), *this); }

TTypeElement* TArcTanOperator::Compute(const TTypeElement& a) {
  return floatFunction(a, [](double x) { return std::atan(x); });
}
void TArcTanOperator::DeduceTypes() { deduceFloatFunction(GetOperand1(), *this); }

TTypeElement* TExpOperator::Compute(const TTypeElement& a) {
  return floatFunction(a, [](double x) { return std::exp(x); });
}
void TExpOperator::DeduceTypes() { deduceFloatFunction(GetOperand1(), *this); }

TTypeElement* TFracOperator::Compute(const TTypeElement& a) {
  return floatFunction(a, [](double x) { return x - std::trunc(x); });
}
void TFracOperator::DeduceTypes() { deduceFloatFunction(GetOperand1(), *this); }

TTypeElement* TLnOperator::Compute(const TTypeElement& a) {
  if (!IsNumeric(a.GetTyp()) || !(a.GetAsFloat() > 0)) return nullptr;
  return floatResult(std::log(a.GetAsFloat()));
}
void TLnOperator::DeduceTypes() { deduceFloatFunction(GetOperand1(), *this); }

TTypeElement* TSqrOperator::Compute(const TTypeElement& a) {
  return floatFunction(a, [](double x) { return x * x; });
}
void TSqrOperator::DeduceTypes() { deduceFloatFunction(GetOperand1(), *this); }

TTypeElement* TSqrtOperator::Compute(const TTypeElement& a) {
  if (!IsNumeric(a.GetTyp()) || !(a.GetAsFloat() >= 0)) return nullptr;
  return floatResult(std::sqrt(a.GetAsFloat()));
}
void TSqrtOperator::DeduceTypes() { deduceFloatFunction(GetOperand1(), *this); }

TTypeElement* TOddOperator::Compute(const TTypeElement& a) {
  if (!IsIntegral(a.GetTyp())) return nullptr;
  return new TBooleanElement((a.GetAsInteger() & 1) != 0);
}
void TOddOperator::DeduceTypes() {
  if (May(GetOperand1(), _Byte) || May(GetOperand1(), _Integer)) Allow(_Boolean);
}

TTypeElement* TUnMinusOperator::Compute(const TTypeElement& a) {
  if (IsIntegral(a.GetTyp())) return integerOrFloat(-static_cast<std::int64_t>(a.GetAsInteger()));
  if (a.GetTyp() == _Float) return new TFloatElement(-a.GetAsFloat());
  return nullptr;
}
void TUnMinusOperator::DeduceTypes() {
  if (May(GetOperand1(), _Byte) || May(GetOperand1(), _Integer)) Allow(_Integer);
  if (May(GetOperand1(), _Float)) Allow(_Float);
}

TTypeElement* TNotOperator::Compute(const TTypeElement& a) {
  if (a.GetTyp() != _Boolean) return nullptr;
  return new TBooleanElement(!a.GetAsBoolean());
}
void TNotOperator::DeduceTypes() {
  if (May(GetOperand1(), _Boolean)) Allow(_Boolean);
}

namespace {
bool oneOf(TType t, std::initializer_list<TType> types) {
  for (TType x : types)
    if (t == x) return true;
  return false;
}
void deduceConversion(TOperator* operand, TOperator& node, std::initializer_list<TType> from, TType to) {
  for (TType t : from)
    if (operand && operand->GetTypeFlag(t)) node.SetTypeFlag(to, true);
}
}  // namespace

TTypeElement* TNaBooleanOperator::Compute(const TTypeElement& a) {
  if (!oneOf(a.GetTyp(), {_Boolean, _Byte, _Integer})) return nullptr;
  return new TBooleanElement(a.GetAsBoolean());
}
void TNaBooleanOperator::DeduceTypes() { deduceConversion(GetOperand1(), *this, {_Byte, _Boolean, _Integer}, _Boolean); }

TTypeElement* TNaCharOperator::Compute(const TTypeElement& a) {
  if (!oneOf(a.GetTyp(), {_Char, _Byte})) return nullptr;
  return new TCharElement(a.GetAsChar());
}
void TNaCharOperator::DeduceTypes() { deduceConversion(GetOperand1(), *this, {_Byte, _Char}, _Char); }

TTypeElement* TNaByteOperator::Compute(const TTypeElement& a) {
  if (!oneOf(a.GetTyp(), {_Boolean, _Char, _Byte, _Integer})) return nullptr;
  return new TByteElement(a.GetAsByte());
}
void TNaByteOperator::DeduceTypes() {
  deduceConversion(GetOperand1(), *this, {_Byte, _Boolean, _Char, _Integer}, _Byte);
}

TTypeElement* TNaIntegerOperator::Compute(const TTypeElement& a) {
  if (!oneOf(a.GetTyp(), {_Char, _Byte, _Float, _Integer})) return nullptr;
  return new TIntegerElement(a.GetAsInteger());
}
void TNaIntegerOperator::DeduceTypes() {
  deduceConversion(GetOperand1(), *this, {_Byte, _Float, _Char, _Integer}, _Integer);
}

TTypeElement* TNaFloatOperator::Compute(const TTypeElement& a) {
  if (!IsNumeric(a.GetTyp())) return nullptr;
  return new TFloatElement(a.GetAsFloat());
}
void TNaFloatOperator::DeduceTypes() { deduceConversion(GetOperand1(), *this, {_Byte, _Float, _Integer}, _Float); }

TTypeElement* TNaStringOperator::Compute(const TTypeElement& a) {
  if (a.GetTyp() == _Pointer || a.GetTyp() == _Other) return nullptr;
  return new TStringElement(a.GetAsString());
}
void TNaStringOperator::DeduceTypes() {
  deduceConversion(GetOperand1(), *this, {_Byte, _Float, _Char, _Integer, _Boolean, _String}, _String);
}
