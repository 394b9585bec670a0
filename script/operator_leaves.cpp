#include "script/operator_leaves.h"

#include <cmath>
#include <limits>

#include "framework/name_compare.h"
#include "framework/string_utils.h"
#include "script/element_tests.h"

ZELTO_IMPLEMENT_ELEMENT(TConstOperator, TNoPtrOperator, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TReadPropOperator, TOnePtrOperator, ZELTO_NO_PROPERTIES)

void TConstOperator::SetConstant(TTypeElement* element) {
  if (constant_ == element) return;
  if (constant_) Delete(constant_);
  constant_ = element;
  if (element) Add(element);
}

void TConstOperator::DeduceTypes() {
  if (constant_) Allow(constant_->GetTyp());
}

TReadPropOperator::TReadPropOperator() {
  auto* exists = new TPropExistsOperator();
  exists->SetOperand1(new TConstOperator());
  SetOperand1(exists);
}

void TReadPropOperator::SetPropName(const std::string& name) {
  PropName = name;
  auto* exists = dynamic_cast<TPropExistsOperator*>(GetOperand1());
  if (!exists) return;
  auto* constant = dynamic_cast<TConstOperator*>(exists->GetOperand1());
  if (constant) constant->SetConstant(new TStringElement(name));
}

void TReadPropOperator::DeduceTypes() {
  for (int code = 0; code < 8; ++code) SetTypeFlag(code, true);
}

namespace {

bool typeNamed(const TPropInfo& info, const char* upperName) {
  return zelto::UpperAZ(info.TypeName) == upperName;
}

TTypeElement* integerOrFloat(double value) {
  if (value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max())
    return new TIntegerElement(static_cast<std::int32_t>(value));
  return new TFloatElement(value);
}

// The value of a published property by the kind of its type.
TTypeElement* publishedValue(TElement& item, const TPropInfo& info) {
  switch (info.Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkInt64:
      if (!info.GetOrd) return nullptr;
      if (typeNamed(info, "BYTE")) {
        const std::int64_t v = info.GetOrd(item);
        return v >= 0 && v <= 255 ? new TByteElement(static_cast<std::uint8_t>(v)) : nullptr;
      }
      return integerOrFloat(static_cast<double>(info.GetOrd(item)));
    case TTypeKind::tkChar:
      if (!info.GetOrd) return nullptr;
      return new TCharElement(static_cast<std::uint8_t>(info.GetOrd(item)));
    case TTypeKind::tkEnumeration:
      if (!info.GetOrd || !typeNamed(info, "BOOLEAN")) return nullptr;
      return new TBooleanElement(info.GetOrd(item) != 0);
    case TTypeKind::tkFloat:
      if (!info.GetFloat) return nullptr;
      return new TFloatElement(info.GetFloat(item));
    case TTypeKind::tkString:
    case TTypeKind::tkLString:
      if (!info.GetStr) return nullptr;
      return new TStringElement(info.GetStr(item));
    default:
      return nullptr;
  }
}

}  // namespace

namespace script {
TTypeElement* ValueOfPropertyText(const std::string& text) {
  if (text.empty()) return nullptr;
  if (IsFloatText(text)) {
    const double value = StrToFloatLenient(text);
    // A whole number too large for 32 bits (a long DBF number) stays a float.
    if (value == std::nearbyint(value)) return integerOrFloat(value);
    return new TFloatElement(value);
  }
  return new TStringElement(text);
}
}  // namespace script

void TReadPropOperator::DoIt() {
  BeginEvaluation();
  TTypeElement* result = nullptr;
  try {
    EvaluateOperand1();
    TElement* item = Item();
    auto* published = dynamic_cast<TTypeElement*>(GetValue1());
    if (item && published && published->GetTyp() == _Boolean && published->GetAsBoolean()) {
      const TElementClass& cls = item->ClassType();
      result = publishedValue(*item, *cls.Property(cls.IndexOfProperty(PropName)));
    } else if (item) {
      std::string text;
      item->GetPropertyText(PropName, text);
      result = script::ValueOfPropertyText(text);
    }
  } catch (...) {
    ResetOperandValues();
    throw;
  }
  Finish(result);
  ResetOperandValues();
}
