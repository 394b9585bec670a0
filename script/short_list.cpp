#include "script/short_list.h"

#include <string>

#include "framework/errors.h"

ZELTO_IMPLEMENT_ELEMENT(TShortList, TOwnerElement, ZELTO_NO_PROPERTIES)

TElement* TShortList::GetItem(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return items_[static_cast<std::size_t>(index)];
}

void TShortList::PutItem(int index, TElement* element) {
  if (index < 0) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  while (Count() < index + 1) items_.push_back(element);
  items_[static_cast<std::size_t>(index)] = element;
}
