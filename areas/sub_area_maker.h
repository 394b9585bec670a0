#pragma once
// Holes to areas: every hole ring of the area quad-tree goes to the
// smallest area that encloses it, so that the area's net area, its inside
// test and its label point account for islands.
#include "areas/area_walkers.h"

class TAreaElement;
class TSpaceEntityQTree;

class TSubAreaMakerInQTree : public TProchazecPlochGauge {
  ZELTO_ELEMENT(TSubAreaMakerInQTree)
 public:
  // Input: the area quad-tree; nothing happens for anything else.
  void DoIt() override;
  void Process(TElement* element) override;

  TSpaceEntityQTree* AreaQTree = nullptr;

 private:
  TAreaElement* SmallestEnclosing(TAreaElement& hole);
};
