#include "areas/leaf_walkers.h"

#include <memory>

#include "geometry/line_end_cells.h"

ZELTO_IMPLEMENT_ELEMENT(TProchazecListuQTree, TProchazecObjektu, [](auto& p) {
  p.Integer("LeavesCount", &TProchazecListuQTree::GetLeavesCount);
})
ZELTO_IMPLEMENT_ELEMENT(TProchazecListuQTreeGauge, TProchazecListuQTree, [](auto&) {})

namespace {
bool IsCell(const TElement* element) { return element->Is<TSpaceLineBegEndCell>(); }
}  // namespace

bool TProchazecListuQTree::QGoInside(TElement* element) { return IsCell(element); }

bool TProchazecListuQTree::QProcessBefore(TElement* element) {
  return IsCell(element) && static_cast<TSpaceLineBegEndCell*>(element)->GetLast();
}

void TProchazecListuQTree::Process(TElement*) { ++Count; }

void TProchazecListuQTreeGauge::DoIt() {
  std::int32_t leaves = 0;
  {
    auto counter = std::make_unique<TProchazecListuQTree>();
    counter->SetInput(Input());
    counter->DoIt();
    leaves = counter->Count;
  }
  if (leaves > kGaugeThreshold) {
    SetGaugeMax(leaves);
    ShowGauge();
  }
  Count = 0;
  TProchazecObjektu::DoIt();
  HideGauge();
}
