#include "areas/sub_area_maker.h"

#include "framework/coordinate.h"
#include "geometry/area_element.h"
#include "geometry/qtree.h"

ZELTO_IMPLEMENT_ELEMENT(TSubAreaMakerInQTree, TProchazecPlochGauge, [](auto& p) {
  p.Object("AreaQTree", TSpaceEntityQTree::StaticClass(), &TSubAreaMakerInQTree::AreaQTree,
           &TSubAreaMakerInQTree::AreaQTree);
})

namespace {

// Whether the area is the one whose own boundary is this ring: the lines
// of a ring are owned by both areas along them.
bool SharesLineWith(const TAreaElement& hole, const TAreaElement& area) {
  for (const TElement* e : hole.Items())
    if (e && e->HasOwner(&area)) return true;
  return false;
}

bool HoldsRect(const TRectEntity& outer, const TRectEntity& inner) {
  return outer.GetMinX() <= inner.GetMinX() && outer.GetMinY() <= inner.GetMinY() &&
         outer.GetMaxX() >= inner.GetMaxX() && outer.GetMaxY() >= inner.GetMaxY();
}

}  // namespace

void TSubAreaMakerInQTree::DoIt() {
  auto* tree = dynamic_cast<TSpaceEntityQTree*>(Input());
  if (!tree) return;
  AreaQTree = tree;
  TProchazecPlochGauge::DoIt();
}

void TSubAreaMakerInQTree::Process(TElement* element) {
  if (!IsWalkedArea(element)) return;
  ++Count;
  StepGauge(Count);
  auto* hole = static_cast<TAreaElement*>(element);
  if (hole->GetIsDone() || !hole->IsHole) return;
  if (TAreaElement* winner = SmallestEnclosing(*hole)) winner->AddHole(hole);
  hole->SetIsDone(true);
}

TAreaElement* TSubAreaMakerInQTree::SmallestEnclosing(TAreaElement& hole) {
  if (!AreaQTree) return nullptr;
  const T2DCoordinate* p = hole.GetCoord(0);
  if (!p) return nullptr;
  const double x = p->X, y = p->Y;
  const double holeSize = -hole.GetWholeArea();
  TAreaElement* best = nullptr;
  double bestSize = 0.0;
  TQTreeWalker walker;
  for (TElement* e = walker.FindFirst(AreaQTree, 0.0, x, y, x, y); e; e = walker.FindNext()) {
    PumpWhenDue();
    auto* c = dynamic_cast<TAreaElement*>(e);
    if (!c || c == &hole || c->IsHole || !HoldsRect(*c, hole)) continue;
    const double size = c->GetWholeArea();
    if (!(holeSize < size) || (best && !(size < bestSize))) continue;
    if (SharesLineWith(hole, *c) || !c->ContainsPoint(x, y)) continue;
    best = c;
    bestSize = size;
  }
  return best;
}
