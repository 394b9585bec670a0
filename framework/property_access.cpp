#include "framework/property_access.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "framework/element.h"
#include "framework/name_compare.h"
#include "platform/decimal_separator.h"
#include "platform/user_interaction.h"

namespace zelto {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads an optionally signed decimal or hexadecimal integer from pos on.
// Returns the number of characters consumed for digits (0: none); `value`
// holds what was read, `overflow` tells whether it ran out of 32 bits.
struct IntScan {
  std::int64_t value = 0;
  std::size_t end = 0;  // position after the last digit taken
  bool digits = false;
  bool overflow = false;
};

IntScan ScanInteger(const std::string& text) {
  IntScan r;
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    ++i;
  } else if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  std::uint64_t magnitude = 0;
  // Hexadecimal may fill all 32 bits (a bit pattern); decimal must fit.
  const std::uint64_t limit = hex ? 0xFFFFFFFFULL : (negative ? 0x80000000ULL : 0x7FFFFFFFULL);
  while (i < text.size()) {
    int d = hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (d < 0) break;
    std::uint64_t next = magnitude * (hex ? 16 : 10) + static_cast<std::uint64_t>(d);
    if (next > limit) {
      r.overflow = true;
      break;
    }
    magnitude = next;
    r.digits = true;
    ++i;
  }
  r.end = i;
  std::int64_t v = hex ? static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude))
                       : static_cast<std::int64_t>(magnitude);
  r.value = negative ? -v : v;
  return r;
}

}  // namespace

bool TextToInteger(const std::string& text, std::int32_t& value) {
  IntScan r = ScanInteger(text);
  if (!r.digits || r.overflow || r.end != text.size()) return false;
  value = static_cast<std::int32_t>(r.value);
  return true;
}

std::int32_t LeadingInteger(const std::string& text) {
  IntScan r = ScanInteger(text);
  return r.digits ? static_cast<std::int32_t>(r.value) : 0;
}

std::string FloatToText(double value, char separator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
  std::string sci(buf, res.ptr);  // [-]d.dddddddddddddde[+-]xx
  bool negative = sci[0] == '-';
  if (negative) sci.erase(0, 1);
  std::size_t e = sci.find('e');
  std::string digits = sci.substr(0, 1) + sci.substr(2, e - 2);
  int exp10 = std::stoi(sci.substr(e + 1));
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out = negative ? "-" : "";
  // Fixed notation while the number has at most 15 integer digits and is
  // not smaller than 0.0001; scientific otherwise.
  if (exp10 + 1 > 15 || exp10 + 1 < -3) {
    out += digits[0];
    if (digits.size() > 1) {
      out += separator;
      out += digits.substr(1);
    }
    out += 'E';
    if (exp10 < 0) out += '-';
    out += std::to_string(std::abs(exp10));
    return out;
  }
  if (exp10 >= 0) {
    std::size_t intDigits = static_cast<std::size_t>(exp10) + 1;
    if (digits.size() <= intDigits) {
      out += digits + std::string(intDigits - digits.size(), '0');
    } else {
      out += digits.substr(0, intDigits);
      out += separator;
      out += digits.substr(intDigits);
    }
  } else {
    out += '0';
    out += separator;
    out += std::string(static_cast<std::size_t>(-exp10 - 1), '0');
    out += digits;
  }
  return out;
}

bool TextToFloat(const std::string& text, double& value) {
  std::size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  std::string t = text.substr(b, e - b);
  if (t.empty()) return false;
  // One separator of either kind; the exponent needs digits.
  int separators = 0;
  for (char& c : t)
    if (c == ',' || c == '.') {
      c = '.';
      ++separators;
    }
  if (separators > 1) return false;
  std::size_t start = (t[0] == '+') ? 1 : 0;
  if (start == 1 && t.size() > 1 && t[1] == '-') return false;
  double v = 0;
  auto res = std::from_chars(t.data() + start, t.data() + t.size(), v, std::chars_format::general);
  if (res.ec != std::errc() || res.ptr != t.data() + t.size()) return false;
  value = v;
  return true;
}

}  // namespace zelto

// --- by index and by name -------------------------------------------------------

namespace {

const TPropInfo* InfoAt(TElement* object, int index) {
  return object ? object->ClassType().Property(index) : nullptr;
}

const TPropInfo* InfoNamed(TElement* object, const std::string& name) {
  if (!object || name.empty()) return nullptr;
  return InfoAt(object, object->ClassType().IndexOfProperty(name));
}

std::string OrdinalText(TElement& object, const TPropInfo& info) {
  try {
    std::int64_t v = info.GetOrd(object);
    switch (info.Kind) {
      case TTypeKind::tkChar:
        return std::string(1, static_cast<char>(v));
      case TTypeKind::tkEnumeration:
        if (v < 0 || v >= static_cast<std::int64_t>(info.EnumNames.size())) return "Err Ord Value";
        return info.EnumNames[static_cast<std::size_t>(v)];
      case TTypeKind::tkMethod:
        return v ? "1;0" : "0;0";
      default:
        return std::to_string(v);
    }
  } catch (...) {
    return "Err Ord Value";
  }
}

// The ordinal of an enumeration (or set element) named or numbered by text;
// false when it names nothing.
bool EnumOrdinal(const TPropInfo& info, const std::string& text, std::int64_t& ordinal) {
  std::int32_t number = 0;
  if (zelto::TextToInteger(text, number)) {
    ordinal = number;
    return info.Kind == TTypeKind::tkSet || (number >= 0 && number < static_cast<std::int32_t>(info.EnumNames.size()));
  }
  for (std::size_t i = 0; i < info.EnumNames.size(); ++i)
    if (zelto::SameTextAZ(info.EnumNames[i], text)) {
      ordinal = static_cast<std::int64_t>(i);
      if (info.Kind == TTypeKind::tkSet) ordinal = std::int64_t{1} << i;
      return true;
    }
  return false;
}

struct FillError {};

}  // namespace

int PropCount(TElement* object) { return object ? object->ClassType().PropertyCount() : 0; }

void PropNameByIndex(TElement* object, int index, std::string& name) {
  const TPropInfo* info = InfoAt(object, index);
  name = info ? info->Name : std::string();
}

int IndexOfProp(TElement* object, const std::string& name) {
  return object ? object->ClassType().IndexOfProperty(name) : -1;
}

void GetPropTextByIndex(TElement* object, int index, std::string& text) {
  const TPropInfo* info = InfoAt(object, index);
  text.clear();
  if (!info) return;
  TElement& o = *object;
  switch (info->Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkInt64:
    case TTypeKind::tkChar:
    case TTypeKind::tkEnumeration:
    case TTypeKind::tkSet:
    case TTypeKind::tkMethod:
      if (info->GetOrd) text = OrdinalText(o, *info);
      break;
    case TTypeKind::tkFloat:
      if (info->GetFloat) text = zelto::FloatToText(info->GetFloat(o), platform::decimalSeparator());
      break;
    case TTypeKind::tkString:
    case TTypeKind::tkLString:
    case TTypeKind::tkWString:
      if (info->GetStr) text = info->GetStr(o);
      break;
    case TTypeKind::tkClass:
      if (info->GetObj) {
        TElement* held = info->GetObj(o);
        text = std::to_string(held ? held->GetHandle() : 0);
      }
      break;
    default:
      break;
  }
}

void GetPropTextByName(TElement* object, const std::string& name, std::string& text) {
  if (!object || name.empty()) return;
  int index = IndexOfProp(object, name);
  if (index >= 0) GetPropTextByIndex(object, index, text);
}

void SetPropTextByIndex(TElement* object, int index, const std::string& text) {
  const TPropInfo* info = InfoAt(object, index);
  if (!info || !info->HasSetter()) return;
  TElement& o = *object;
  try {
    switch (info->Kind) {
      case TTypeKind::tkInteger:
      case TTypeKind::tkInt64: {
        std::int32_t v = 0;
        if (!zelto::TextToInteger(text, v)) v = 0;
        if (info->SetOrd) info->SetOrd(o, v);
        break;
      }
      case TTypeKind::tkEnumeration:
      case TTypeKind::tkSet: {
        std::int64_t ordinal = 0;
        if (!EnumOrdinal(*info, text, ordinal)) throw FillError{};
        if (info->SetOrd) info->SetOrd(o, ordinal);
        break;
      }
      case TTypeKind::tkFloat: {
        double v = 0;
        if (!text.empty() && !zelto::TextToFloat(text, v)) v = 0;
        if (info->SetFloat) info->SetFloat(o, v);
        break;
      }
      case TTypeKind::tkString:
      case TTypeKind::tkLString:
      case TTypeKind::tkWString:
        if (info->SetStr) info->SetStr(o, text);
        break;
      case TTypeKind::tkClass: {
        // Only handles of live elements of the declared class cross text.
        std::int32_t number = 0;
        TElement* value = nullptr;
        if (!text.empty() && !(zelto::TextToInteger(text, number) && number == 0)) {
          if (!zelto::TextToInteger(text, number)) throw FillError{};
          value = TElement::FromHandle(static_cast<platform::Handle>(number));
          if (!value) throw FillError{};
          if (info->ObjectClass && !value->InheritsFrom(*info->ObjectClass)) throw FillError{};
        }
        if (info->SetObj) info->SetObj(o, value);
        break;
      }
      default:
        // Characters and event handlers are not written from text.
        break;
    }
  } catch (...) {
    platform::showError("Error filling property " + info->Name + " by string " + text);
  }
}

bool SetPropTextByName(TElement* object, const std::string& name, const std::string& text) {
  int index = IndexOfProp(object, name);
  if (index < 0) return false;
  SetPropTextByIndex(object, index, text);
  return true;
}

TElement* GetObjectPropByName(TElement* object, const std::string& name) {
  const TPropInfo* info = InfoNamed(object, name);
  if (!info || info->Kind != TTypeKind::tkClass || !info->GetObj) return nullptr;
  return info->GetObj(*object);
}

bool SetObjectPropByName(TElement* object, const std::string& name, TElement* value) {
  const TPropInfo* info = InfoNamed(object, name);
  if (!info || info->Kind != TTypeKind::tkClass || !info->SetObj) return false;
  if (value && info->ObjectClass && !value->InheritsFrom(*info->ObjectClass)) return false;
  info->SetObj(*object, value);
  return true;
}

// --- the element's operations ------------------------------------------------

bool TElement::HasProperty(const std::string& name) { return IndexOfProp(this, name) != -1; }

void TElement::GetPropertyText(const std::string& name, std::string& text) { GetPropTextByName(this, name, text); }

void TElement::SetPropertyText(const std::string& name, const std::string& text) {
  SetPropTextByName(this, name, text);
}

std::int32_t TElement::GetPropertyInt(const std::string& name) {
  std::string text;
  GetPropertyText(name, text);
  return zelto::LeadingInteger(text);
}

void TElement::SetPropertyInt(const std::string& name, std::int32_t value) {
  SetPropertyText(name, std::to_string(value));
}

bool TElement::GetPropertyBool(const std::string& name) {
  std::string text;
  GetPropertyText(name, text);
  return !text.empty() && (text[0] == 'T' || text[0] == 't');
}

void TElement::SetPropertyBool(const std::string& name, bool value) {
  SetPropertyText(name, value ? "TRUE" : "FALSE");
}
