#pragma once
// Label points of areas: a point inside the area and outside its holes,
// stored as the area's reference point. The centre of the area's rectangle
// is tried first; a centre too near the boundary moves to the middle of the
// two nearest crossings of its row; otherwise the area is laid out on a
// 500 x 500 raster and the middle of the widest span of the middle row is
// taken, corrected on the vector rings when the raster was too coarse.
// A point that still is not strictly inside (on the boundary counts as
// outside) is replaced by the middle of the widest inside piece of a row
// through no vertex; an area without one is logged.
// Strictly inside means also where the block stores the point: rounded to
// the 6-byte real, in the rings rounded alike. A point half a step of the
// real beside a corner or an edge (a centre between two stored values) is
// stored on it; such a point is replaced as above, the row then searched on
// the grid of stored values if need be. A point that serves stays as it is.
#include <vector>

#include "framework/recursor.h"
#include "framework/tool.h"
#include "geometry/plane_geometry.h"

class TAnalArea;
class TAnalDevice;
class TAreaElement;
class TPolygonList;

class TAreaPointPlacer : public TTool {
  ZELTO_ELEMENT(TAreaPointPlacer)
 public:
  // Keep the centre whenever the area contains it strictly, as stored too.
  bool CenterOnly = false;

  // Places the label point of the Input area; the Input becomes the Output.
  void DoIt() override;
  // The same for an area at hand: walks that place many areas call it
  // directly instead of going through Input.
  void PlaceLabelPoint(TAreaElement& area);

  TAnalDevice* GetDevice();
  TPolygonList* GetPolygonList();
  TAnalArea* GetAnalArea();

 private:
  using Ring = std::vector<geometry::PointD>;
  void Place(TAreaElement& area, const std::vector<Ring>& rings);
  void RasterSearch(TAreaElement& area, const std::vector<Ring>& rings);
  TAnalDevice* device_ = nullptr;      // children, created on first use
  TPolygonList* polygons_ = nullptr;
  TAnalArea* analArea_ = nullptr;
};

// Places the label point of every area below a TAreaString.
class TMultiAreaPointPlacer : public TRecursor {
  ZELTO_ELEMENT(TMultiAreaPointPlacer)
 public:
  void DoIt() override;
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;

 private:
  TAreaPointPlacer* placer_ = nullptr;  // only during DoIt
};

void RegisterAreaPointPlacerClasses();
