#include "framework/type_elements.h"

#include <memory>

#include <cmath>

#include "framework/class_registry.h"
#include "framework/integer_list.h"
#include "framework/name_compare.h"
#include "framework/string_list.h"
#include "framework/string_utils.h"
#include "framework/value_text.h"

namespace {

// The UTF-8 text of a character code 0..255.
std::string charText(std::uint8_t code) {
  if (code < 0x80) return std::string(1, static_cast<char>(code));
  std::string text;
  text += static_cast<char>(0xC0 | (code >> 6));
  text += static_cast<char>(0x80 | (code & 0x3F));
  return text;
}

// The first character of a UTF-8 text when its code point is below 256.
bool firstChar(const std::string& text, std::uint8_t& code) {
  if (text.empty()) return false;
  const auto b0 = static_cast<unsigned char>(text[0]);
  if (b0 < 0x80) {
    code = b0;
    return true;
  }
  if ((b0 & 0xE0) == 0xC0 && text.size() >= 2 && b0 <= 0xC3) {
    code = static_cast<std::uint8_t>(((b0 & 0x1F) << 6) | (static_cast<unsigned char>(text[1]) & 0x3F));
    return true;
  }
  return false;
}

bool fitsInt32(double v) { return std::isfinite(v) && v > -2147483649.0 && v < 2147483648.0; }

}  // namespace

ZELTO_IMPLEMENT_ELEMENT(TTypeElement, TOwnerElement, [](auto& p) {
  using E = TTypeElement;
  p.Enumeration("Typ", {"_Boolean", "_Char", "_Byte", "_Float", "_String", "_Integer", "_Pointer", "_Other"},
                &E::GetTyp)
      .Stored(false);
  p.String("TypeAsString", &E::GetTypeAsString).Stored(false);
  p.Integer("AsByte", &E::GetAsByte,
            [](E& e, std::int64_t v) {
              if (v >= 0 && v <= 255) e.SetAsByte(static_cast<std::uint8_t>(v));
            })
      .Stored(false);
  p.Integer("AsInteger", &E::GetAsInteger, &E::SetAsInteger).Stored(false);
  p.Char("AsChar", &E::GetAsChar, &E::SetAsChar).Stored(false);
  p.String("AsString", &E::GetAsString, &E::SetAsString).Stored(false);
  p.Float("AsFloat", &E::GetAsFloat, &E::SetAsFloat).Stored(false);
  p.Boolean("AsBoolean", &E::GetAsBoolean, &E::SetAsBoolean).Stored(false);
  p.String("Text", &E::GetAsString, &E::SetAsString).Stored(false);
  p.String("UpperName", &E::GetUpperName).Stored(false);
})

ZELTO_IMPLEMENT_ELEMENT(TBooleanElement, TTypeElement, [](auto& p) {
  p.Boolean("Value", &TBooleanElement::GetAsBoolean, &TBooleanElement::SetAsBoolean);
})
ZELTO_IMPLEMENT_ELEMENT(TCharElement, TTypeElement,
                        [](auto& p) { p.Char("Value", &TCharElement::GetAsChar, &TCharElement::SetAsChar); })
ZELTO_IMPLEMENT_ELEMENT(TByteElement, TTypeElement, [](auto& p) {
  p.Byte("Value", &TByteElement::GetAsByte, &TByteElement::SetAsByte);
})
ZELTO_IMPLEMENT_ELEMENT(TFloatElement, TTypeElement,
                        [](auto& p) { p.Float("Value", &TFloatElement::GetAsFloat, &TFloatElement::SetAsFloat); })
ZELTO_IMPLEMENT_ELEMENT(TStringElement, TTypeElement, [](auto& p) {
  p.String("Value", &TStringElement::GetAsString, &TStringElement::SetAsString);
  p.String("NameIsValue", &TStringElement::GetNameIsValue, &TStringElement::SetNameIsValue);
})
ZELTO_IMPLEMENT_ELEMENT(TPathElement, TStringElement, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TIntegerElement, TTypeElement, [](auto& p) {
  p.Integer("Value", &TIntegerElement::GetAsInteger, &TIntegerElement::SetAsInteger);
})
ZELTO_IMPLEMENT_ELEMENT(TPointerElement, TTypeElement, ZELTO_NO_PROPERTIES)

std::string TTypeElement::GetUpperName() const { return zelto::UpperAZ(GetName()); }

// --- TBooleanElement ---------------------------------------------------------

void TBooleanElement::SetAsString(const std::string& text) {
  if (text == "true") Value = true;
  else if (text == "false") Value = false;
}

TTypeElement* TBooleanElement::Clone() const {
  auto* copy = CloneAs<TBooleanElement>();
  copy->Value = Value;
  return copy;
}

// --- TCharElement ------------------------------------------------------------

void TCharElement::SetAsInteger(std::int32_t v) {
  if (v > 0 && v < 256) Value = static_cast<std::uint8_t>(v);
}

std::string TCharElement::GetAsString() const { return charText(Value); }

void TCharElement::SetAsString(const std::string& text) {
  std::uint8_t code = 0;
  if (firstChar(text, code)) Value = code;
}

TTypeElement* TCharElement::Clone() const {
  auto* copy = CloneAs<TCharElement>();
  copy->Value = Value;
  return copy;
}

// --- TByteElement ------------------------------------------------------------

void TByteElement::SetAsInteger(std::int32_t v) {
  if (v >= 0 && v <= 255) Value = static_cast<std::uint8_t>(v);
}

void TByteElement::SetAsString(const std::string& text) {
  std::int32_t v = 0;
  if (framework::ParseWholeNumber(text, v)) SetAsInteger(v);
}

void TByteElement::SetAsFloat(double v) {
  const double t = std::trunc(v);
  if (t >= 0 && t <= 255) Value = static_cast<std::uint8_t>(t);
}

TTypeElement* TByteElement::Clone() const {
  auto* copy = CloneAs<TByteElement>();
  copy->Value = Value;
  return copy;
}

// --- TFloatElement -----------------------------------------------------------

std::int32_t TFloatElement::GetAsInteger() const {
  const double t = std::trunc(Value);
  return fitsInt32(t) ? static_cast<std::int32_t>(t) : 0;
}

std::string TFloatElement::GetAsString() const { return framework::ScientificFloatText(Value); }

void TFloatElement::SetAsString(const std::string& text) {
  if (auto v = framework::ParseFixedPoint(text)) Value = *v;
}

TTypeElement* TFloatElement::Clone() const {
  auto* copy = CloneAs<TFloatElement>();
  copy->Value = Value;
  return copy;
}

// --- TStringElement ----------------------------------------------------------

TStringElement* TStringElement::CreateNamed(const std::string& name, const std::string& text) {
  std::unique_ptr<TStringElement> e(new TStringElement(text));
  e->SetName(name);
  return e.release();
}

TStringElement* TStringElement::CreateNamed(const TElementClass& cls, const std::string& name,
                                            const std::string& text) {
  std::unique_ptr<TStringElement> e;
  if (cls.InheritsFrom(TStringElement::StaticClass())) e.reset(dynamic_cast<TStringElement*>(cls.Create()));
  if (!e) e.reset(new TStringElement());
  e->Value = text;
  e->SetName(name);
  return e.release();
}

TStringElement* TStringElement::CreateNameIsValue(const std::string& text) {
  std::unique_ptr<TStringElement> e(new TStringElement());
  e->SetNameIsValue(text);
  return e.release();
}

std::int32_t TStringElement::GetAsInteger() const {
  std::int32_t v = 0;
  return framework::ParseWholeNumber(Value, v) ? v : 0;
}

double TStringElement::GetAsFloat() const { return StrToFloatLenient(Value); }

void TStringElement::SetAsFloat(double v) { Value = framework::GeneralFloatText(v); }

bool TStringElement::GetAsBoolean() const {
  if (IsFloatText(Value)) return GetAsFloat() != 0;
  const std::string upper = zelto::UpperAZ(Value);
  return upper == "TRUE" || upper == "ANO";
}

TTypeElement* TStringElement::Clone() const {
  auto* copy = CloneAs<TStringElement>();
  copy->Value = Value;
  return copy;
}

std::string TStringElement::GetNameIsValue() const { return GetName() + "=" + Value; }

void TStringElement::SetNameIsValue(const std::string& text) {
  if (text.empty()) return;
  std::string name, value;
  SplitNameValue(text, name, value);
  if (name.empty()) return;
  if (!value.empty()) {
    SetName(name);
    Value = value;
  } else {
    Value = name;
  }
}

std::int32_t TStringElement::TryGetInteger(bool& ok) const {
  std::int32_t v = 0;
  ok = framework::ParseWholeNumber(Value, v);
  return v;
}

TIntegerListElement* TStringElement::ToIntegerList() const {
  return IntegerListFromText(StoredName(), Value);
}

// --- TIntegerElement ---------------------------------------------------------

std::uint8_t TIntegerElement::GetAsByte() const {
  return Value >= 0 && Value <= 255 ? static_cast<std::uint8_t>(Value) : 0;
}

void TIntegerElement::SetAsString(const std::string& text) {
  std::int32_t v = 0;
  if (framework::ParseWholeNumber(text, v)) Value = v;
}

void TIntegerElement::SetAsFloat(double v) {
  const double t = std::trunc(v);
  if (fitsInt32(t)) Value = static_cast<std::int32_t>(t);
}

TTypeElement* TIntegerElement::Clone() const {
  auto* copy = CloneAs<TIntegerElement>();
  copy->Value = Value;
  return copy;
}

// --- TPointerElement ---------------------------------------------------------

void TPointerElement::SetAsString(const std::string& text) {
  std::int32_t v = 0;
  framework::ParseWholeNumber(text, v);
  Value = v;
}

TTypeElement* TPointerElement::Clone() const {
  auto* copy = CloneAs<TPointerElement>();
  copy->Value = Value;
  return copy;
}

void RegisterTypeElementClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TTypeElement::StaticClass());
  RegisterZeltoClass(TBooleanElement::StaticClass());
  RegisterZeltoClass(TCharElement::StaticClass());
  RegisterZeltoClass(TByteElement::StaticClass());
  RegisterZeltoClass(TFloatElement::StaticClass());
  RegisterZeltoClass(TIntegerListElement::StaticClass());
  RegisterZeltoClass(TStringElement::StaticClass());
  RegisterZeltoClass(TIntegerElement::StaticClass());
  RegisterZeltoClass(TPointerElement::StaticClass());
  RegisterZeltoClass(TStringListElement::StaticClass());
  RegisterZeltoClass(TPathElement::StaticClass());
  RegisterZeltoClass(TPropertyList::StaticClass());
}
