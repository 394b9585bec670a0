#include "framework/property_access.h"

#include "framework/element.h"
#include "framework/name_compare.h"
#include "framework/problem_report.h"
#include "framework/string_utils.h"
#include "framework/value_text.h"

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
  if (framework::ParseWholeNumber(text, number)) {
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
      if (info->GetFloat) text = framework::GeneralFloatText(info->GetFloat(o));
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
        if (!framework::ParseWholeNumber(text, v)) v = 0;  // not wholly a number
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
        if (info->SetFloat) info->SetFloat(o, StrToFloatLenient(text));
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
        if (!text.empty() && !(framework::ParseWholeNumber(text, number) && number == 0)) {
          if (!framework::ParseWholeNumber(text, number)) throw FillError{};
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
    zelto::ReportProblem("Vlastnost " + info->Name + " nelze nastavit na text " + text);
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
  return StrToIntOrZero(text);
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
