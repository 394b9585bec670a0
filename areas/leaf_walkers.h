#pragma once
// Walkers over the leaf cells of a begin/end cell index.
#include <cstdint>

#include "areas/object_walker.h"

class TProchazecListuQTree : public TProchazecObjektu {
  ZELTO_ELEMENT(TProchazecListuQTree)
 public:
  std::int32_t GetLeavesCount() const { return Count; }
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
};

// Counts the leaves first and shows the form above 100 of them.
class TProchazecListuQTreeGauge : public TProchazecListuQTree {
  ZELTO_ELEMENT(TProchazecListuQTreeGauge)
 public:
  void DoIt() override;
};
