#include "framework/integer_list.h"

#include <memory>

#include "framework/string_utils.h"
#include "framework/text_line_reader.h"
#include "framework/type_elements.h"
#include "framework/value_text.h"

ZELTO_IMPLEMENT_ELEMENT(TIntegerListElement, TOwnerEntity, ZELTO_NO_PROPERTIES)

std::int32_t TIntegerListElement::GetValue(int index) const {
  auto* e = dynamic_cast<TTypeElement*>(GetItem(index));
  return e ? e->GetAsInteger() : 0;
}

bool TIntegerListElement::Contains(std::int32_t value) const {
  for (int i = 0; i < GetCount(); ++i)
    if (GetValue(i) == value) return true;
  return false;
}

void TIntegerListElement::AddValue(std::int32_t value) {
  if (!Sorted) {
    Adopt(new TIntegerElement(value));
    return;
  }
  if (!AllowDuplicates && Contains(value)) return;
  for (int i = 0; i < GetCount(); ++i) {
    if (GetValue(i) > value) {
      Insert(i, new TIntegerElement(value));
      return;
    }
  }
  Adopt(new TIntegerElement(value));
}

void TIntegerListElement::AddCommaText(const std::string& text) {
  std::string rest = text, head;
  bool more = true;
  while (more) {
    more = SplitAtChar(rest, ',', head, rest);
    std::int32_t v = 0;
    if (framework::ParseWholeNumber(head, v)) AddValue(v);
  }
}

TIntegerListElement* IntegerListFromText(const std::string& name, const std::string& text) {
  TCtiRadekClass reader(text);
  std::unique_ptr<TIntegerListElement> list;
  for (;;) {
    const std::int32_t v = reader.ReadInteger();
    if (reader.AtEnd()) break;
    if (!list) {
      list = std::make_unique<TIntegerListElement>();
      list->SetName(name);
    }
    list->AddValue(v);
  }
  return list.release();
}
