#pragma once
// Small models for the walker and hierarchy tests: lines and areas built
// from coordinates, with Gelix attribute records where the kind matters.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <utility>
#include <vector>

#include "areas/areas_classes.h"
#include "geometry/area_element.h"
#include "geometry/geometry_classes.h"
#include "geometry/poly_element.h"
#include "gisblock/gelix_props.h"
#include "platform/scripted_progress_form.h"
#include "platform/scripted_user_interaction.h"

namespace areas_test {

using Pts = std::initializer_list<std::pair<double, double>>;

inline TPolyLineElement* Line(Pts points, int druh = 0) {
  auto* line = new TPolyLineElement;
  for (auto [x, y] : points) line->AddVertex(x, y);
  auto* props = new TGelixLineProps;
  props->Druh = static_cast<std::int16_t>(druh);
  line->SetProperties(props);
  return line;
}

// An axis-parallel rectangle as a ring of vertices, clockwise so that it
// sums positive.
inline TAreaElement* Box(double x0, double y0, double x1, double y1) {
  auto* area = new TAreaElement;
  for (auto [x, y] : Pts{{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}}) area->AddVertex(x, y);
  return area;
}

// The sorted net sizes of the areas of an area list (none for anything
// else); each area must hold its own reference point.
inline std::vector<double> SortedAreasOf(TElement* output) {
  std::vector<double> sizes;
  if (auto* list = dynamic_cast<TAreaString*>(output))
    for (TElement* e : list->Items()) {
      auto* area = static_cast<TAreaElement*>(e);
      sizes.push_back(area->GetArea1());
      EXPECT_TRUE(area->ContainsPoint(area->GetAbsRefX(), area->GetAbsRefY())) << area->GetArea1();
    }
  std::sort(sizes.begin(), sizes.end());
  return sizes;
}

// Whether (x, y) lies on an edge of the ring (closed implicitly), exactly.
// A ring is a sequence of pairs or of points.
template <class Ring>
bool OnRingEdge(const Ring& ring, double x, double y) {
  for (std::size_t i = 0; i < ring.size(); ++i) {
    auto [ax, ay] = ring[i];
    auto [bx, by] = ring[(i + 1) % ring.size()];
    if ((bx - ax) * (y - ay) == (by - ay) * (x - ax) && x >= std::min(ax, bx) && x <= std::max(ax, bx) &&
        y >= std::min(ay, by) && y <= std::max(ay, by))
      return true;
  }
  return false;
}

// Even-odd crossings of the ray towards +x.
template <class Ring>
bool InRing(const Ring& ring, double x, double y) {
  bool in = false;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    auto [ax, ay] = ring[i];
    auto [bx, by] = ring[(i + 1) % ring.size()];
    if ((ay > y) != (by > y) && x < ax + (y - ay) * (bx - ax) / (by - ay)) in = !in;
  }
  return in;
}

// Strictly inside the outer ring and outside every hole: a point on an edge
// is given to the neighbour by a point-in-polygon join.
template <class Ring>
bool StrictlyInside(const Ring& outer, const std::vector<Ring>& holes, double x, double y) {
  if (OnRingEdge(outer, x, y) || !InRing(outer, x, y)) return false;
  for (const Ring& hole : holes)
    if (OnRingEdge(hole, x, y) || InRing(hole, x, y)) return false;
  return true;
}

class WalkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterGeometryClasses();
    RegisterAreasClasses();
  }
  platform::ScopedScriptedUi ui;
  platform::ScopedScriptedProgressForms forms;
};

}  // namespace areas_test
