#include "areas/polygon_list.h"

ZELTO_IMPLEMENT_ELEMENT(TIntegerPolygon, TElement, [](auto& p) {
  p.Integer("PointCount", &TIntegerPolygon::GetPointCount);
})
ZELTO_IMPLEMENT_ELEMENT(TPolygonList, TEntity, ZELTO_NO_PROPERTIES)

void TPolygonList::AddRing(std::vector<TDevicePoint> points) {
  if (points.empty()) return;
  Adopt(new TIntegerPolygon)->Points = std::move(points);
}

void TPolygonList::Flatten(std::vector<TDevicePoint>& points, std::vector<std::int32_t>& counts) const {
  points.clear();
  counts.clear();
  for (const TElement* e : Items()) {
    if (!e->Is<TIntegerPolygon>()) continue;
    const auto& ring = static_cast<const TIntegerPolygon*>(e)->Points;
    points.insert(points.end(), ring.begin(), ring.end());
    counts.push_back(static_cast<std::int32_t>(ring.size()));
  }
}
