#pragma once
// The context list of an expression tree: the elements under test, item 0
// first. It refers to them and never frees them; one list is shared by every
// node of a tree.
#include <vector>

#include "framework/element.h"

class TShortList : public TOwnerElement {
  ZELTO_ELEMENT(TShortList)
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // EListError for an index that was never put.
  TElement* GetItem(int index) const;
  // Fills the entries up to the index with the same element.
  void PutItem(int index, TElement* element);

 private:
  std::vector<TElement*> items_;
};
