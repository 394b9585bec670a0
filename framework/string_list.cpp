#include "framework/string_list.h"

#include "framework/name_compare.h"
#include "framework/property_access.h"
#include "framework/string_utils.h"
#include "framework/value_text.h"
#include "platform/codepage.h"
#include "platform/regular_file.h"

namespace {

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// Pascal strings held at most 255 characters after the sign.
std::string dropSign(const std::string& text) { return text.substr(1, 255); }

}  // namespace

ZELTO_IMPLEMENT_ELEMENT(TStringListElement, TOwnerEntity, [](auto& p) {
  using E = TStringListElement;
  p.String("NextValue", nullptr, &E::SetNextValue);
  p.String("NextName", nullptr, &E::SetNextName);
  p.String("NextNameIsValue", nullptr, &E::SetNextNameIsValue);
  p.String("NextStringList", nullptr,
           [](E& e, const std::string& text) { e.SetNextStringList(splitLines(text)); });
  p.String("LoadFromFile", nullptr, &E::SetLoadFromFile);
  p.String("SaveToFile", nullptr, &E::SetSaveToFile);
})

ZELTO_IMPLEMENT_ELEMENT(TPropertyList, TStringListElement, [](auto& p) {
  p.String("Delimiter", &TPropertyList::Delimiter, &TPropertyList::Delimiter);
  p.Object("Element", TElement::StaticClass(), nullptr, &TPropertyList::SetElement);
  p.String("Catenation", &TPropertyList::GetCatenation);
})

TStringElement* TStringListElement::GetItem(int index) const {
  return dynamic_cast<TStringElement*>(TEntity::GetItem(index));
}

std::string TStringListElement::GetItemName(int index) const {
  TStringElement* e = GetItem(index);
  return e && e->HasName() ? e->GetName() : std::string();
}

std::string TStringListElement::GetItemUpperName(int index) const {
  return zelto::UpperAZ(GetItemName(index));
}

std::string TStringListElement::GetItemValue(int index) const {
  TStringElement* e = GetItem(index);
  return e ? e->GetAsString() : std::string();
}

void TStringListElement::SetItemValue(int index, const std::string& text) {
  if (TStringElement* e = GetItem(index)) e->SetAsString(text);
}

TStringElement* TStringListElement::FindByName(const std::string& name) const {
  const std::string upper = zelto::UpperAZ(name);
  for (TElement* child : Items()) {
    auto* e = dynamic_cast<TStringElement*>(child);
    if (e && e->HasName() && zelto::UpperAZ(e->GetName()) == upper) return e;
  }
  return nullptr;
}

std::string TStringListElement::GetValueByName(const std::string& name) const {
  TStringElement* e = FindByName(name);
  return e ? e->GetAsString() : std::string();
}

std::int32_t TStringListElement::GetIntegerByName(const std::string& name) const {
  TStringElement* e = FindByName(name);
  if (!e) return 0;
  std::int32_t v = 0;
  framework::ParseWholeNumber(e->GetAsString(), v);
  return v;
}

void TStringListElement::SetValueByName(const std::string& name, const std::string& text) {
  TStringElement* e = FindByName(name);
  if (!e) e = AddNamed(name, "");
  e->SetAsString(text);
}

TStringElement* TStringListElement::AddNamed(const std::string& name, const std::string& value) {
  TStringElement* e = TStringElement::CreateNamed(name, value);
  Add(e);
  return e;
}

void TStringListElement::SetNextValue(const std::string& text) { Adopt(new TStringElement(text)); }

void TStringListElement::SetNextName(const std::string& text) { AddNamed(text, ""); }

void TStringListElement::SetNextNameIsValue(const std::string& text) {
  if (text.find('=') != std::string::npos) Add(TStringElement::CreateNameIsValue(text));
}

void TStringListElement::SetNextStringList(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (line.empty()) continue;
    if (line.find('=') == std::string::npos) SetNextName(line);
    else SetNextNameIsValue(line);
  }
}

void TStringListElement::SetLoadFromFile(const std::string& fileName) {
  platform::RegularFileStream in(fileName, std::ios::in);
  if (!in) return;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (!framework::IsValidUtf8(line)) line = platform::toUtf8(line, platform::CodePage::Windows1250);
    std::string name, value;
    if (SplitNameValue(line, name, value)) AddNamed(name, value);
    else SetNextName(line);
  }
}

void TStringListElement::SetSaveToFile(const std::string& fileName) {
  platform::RegularFileStream out(fileName, std::ios::out | std::ios::trunc);
  for (int i = 0; i < GetCount(); ++i) out << GetItemName(i) << '=' << GetItemValue(i) << "\r\n";
}

void TStringListElement::GetPropertyText(const std::string& name, std::string& text) {
  std::string own;
  TElement::GetPropertyText(name, own);
  if (!own.empty()) {
    text = own;
    return;
  }
  // An empty property value, or no such property: the entry answers.
  if (IndexOfProp(this, name) != -1 || FindByName(name)) text = GetValueByName(name);
}

void TStringListElement::SetPropertyText(const std::string& name, const std::string& text) {
  const int index = IndexOfProp(this, name);
  if (index != -1) SetPropTextByIndex(this, index, text);
  else SetValueByName(name, text);
}

void TPropertyList::SetElement(TElement* element) {
  if (!element || GetCount() == 0) return;
  for (int i = 0; i < GetCount(); ++i) {
    std::string name = GetItemName(i);
    bool negated = false;
    if (!name.empty() && name[0] == '-') {
      name = dropSign(name);
      negated = true;
    }
    std::string value;
    element->GetPropertyText(name, value);
    if (negated && !value.empty()) value = value[0] == '-' ? dropSign(value) : "-" + value;
    SetItemValue(i, value);
  }
}

std::string TPropertyList::GetCatenation() const {
  std::string text;
  for (int i = 0; i < GetCount(); ++i) {
    if (i > 0) text += Delimiter;
    text += GetItemValue(i);
  }
  return text;
}
