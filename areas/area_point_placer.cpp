#include "areas/area_point_placer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "areas/anal_area.h"
#include "areas/anal_device.h"
#include "areas/polygon_list.h"
#include "framework/class_registry.h"
#include "geometry/area_element.h"
#include "geometry/ring_crossings.h"
#include "framework/zelto_message.h"
#include "platform/real48.h"
#include "platform/user_interaction.h"

ZELTO_IMPLEMENT_ELEMENT(TAreaPointPlacer, TTool, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TMultiAreaPointPlacer, TRecursor, ZELTO_NO_PROPERTIES)

namespace {

using geometry::kNoCrossing;
using geometry::PointD;
using Ring = std::vector<PointD>;

// The outer ring, then the ring of every hole, whatever their classes.
std::vector<Ring> collectRings(const TAreaElement& area) {
  std::vector<Ring> rings(1);
  area.CollectRing(rings[0]);
  if (THolesEntity* holes = area.GetHoles())
    for (const TElement* e : holes->Items())
      if (e->Is<TAreaElement>()) static_cast<const TAreaElement*>(e)->CollectRing(rings.emplace_back());
  return rings;
}

// Inside the outer ring and in none of the holes: the area's own test, on
// rings collected once.
bool inside(const std::vector<Ring>& rings, double x, double y) {
  if (!PointInRing(rings[0], {x, y})) return false;
  for (std::size_t i = 1; i < rings.size(); ++i)
    if (PointInRing(rings[i], {x, y})) return false;
  return true;
}

bool onSegment(PointD a, PointD b, double x, double y) {
  if (x < std::min(a.X, b.X) || x > std::max(a.X, b.X) || y < std::min(a.Y, b.Y) || y > std::max(a.Y, b.Y))
    return false;
  return (b.X - a.X) * (y - a.Y) - (b.Y - a.Y) * (x - a.X) == 0.0;
}

bool onAnyRing(const std::vector<Ring>& rings, double x, double y) {
  for (const Ring& ring : rings)
    for (std::size_t i = 0, n = ring.size(); n > 1 && i < n; ++i)
      if (onSegment(ring[i], ring[(i + 1) % n], x, y)) return true;
  return false;
}

// A label point on the boundary would be given to the neighbour by any
// point-in-polygon join: it counts only strictly inside.
bool strictlyInside(const std::vector<Ring>& rings, double x, double y) {
  return inside(rings, x, y) && !onAnyRing(rings, x, y);
}

// A coordinate as the block stores it, a 6-byte real. The blocks' S-JTSK
// only negates, and the rounding is the same on either side of zero, so
// that the world coordinate rounds as the stored one. A value beyond the
// type stays: the writer refuses such an area anyway.
double storedValue(double v) {
  const std::optional<platform::Real48Bytes> bytes = platform::encodeReal48(v);
  return bytes ? platform::decodeReal48(*bytes) : v;
}

// The rings as the block stores their vertices; empty when every vertex is
// stored as it is, as every vertex read from a block is.
std::vector<Ring> storedRings(const std::vector<Ring>& rings) {
  std::vector<Ring> stored;
  for (std::size_t r = 0; r < rings.size(); ++r)
    for (std::size_t i = 0; i < rings[r].size(); ++i) {
      const PointD p = rings[r][i], s{storedValue(p.X), storedValue(p.Y)};
      if (stored.empty() && s.X == p.X && s.Y == p.Y) continue;
      if (stored.empty()) stored = rings;
      stored[r][i] = s;
    }
  return stored;
}

// The widest inside piece of the row at y, which must pass through no
// vertex: it then crosses every edge it meets cleanly, so that the pieces
// between pairs of crossings lie inside.
bool widestPiece(const std::vector<Ring>& rings, double y, double& left, double& right) {
  std::vector<double> xs;
  for (const Ring& ring : rings)
    for (std::size_t i = 0, n = ring.size(); n > 2 && i < n; ++i) {
      const PointD a = ring[i], b = ring[(i + 1) % n];
      if ((a.Y < y) == (b.Y < y)) continue;
      xs.push_back(a.X + (y - a.Y) * (b.X - a.X) / (b.Y - a.Y));
    }
  std::sort(xs.begin(), xs.end());
  double widest = 0.0;
  for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
    if (xs[i + 1] - xs[i] > widest) {
      widest = xs[i + 1] - xs[i];
      left = xs[i], right = xs[i + 1];
    }
  return widest > 0.0;
}

// The middle of the widest inside piece of the row halfway between the
// vertex rows nearest the middle of the rings' height.
bool scanRowPoint(const std::vector<Ring>& rings, PointD& at) {
  double minY = INFINITY, maxY = -INFINITY;
  for (const Ring& ring : rings)
    for (const PointD& p : ring) minY = std::min(minY, p.Y), maxY = std::max(maxY, p.Y);
  if (!(minY < maxY)) return false;
  const double mid = (minY + maxY) / 2.0;
  double below = minY, above = maxY;
  for (const Ring& ring : rings)
    for (const PointD& p : ring) {
      if (p.Y <= mid && p.Y > below) below = p.Y;
      if (p.Y > mid && p.Y < above) above = p.Y;
    }
  const double y = (below + above) / 2.0;
  double left, right;
  if (!widestPiece(rings, y, left, right)) return false;
  at = {(left + right) / 2.0, y};
  return strictlyInside(rings, at.X, at.Y);
}

// The rows the stored search tries, those nearest the middle of the height
// first: where a row's piece is narrower than two steps of the 6-byte real,
// its middle may round onto an edge.
constexpr std::size_t kStoredRowsTried = 8;

// scanRowPoint on the grid of stored values, for rings whose halfway row or
// piece middle rounds onto a vertex row or an edge: a row is a stored value
// strictly between two vertex rows (there is none between rows one step
// apart), and the middle of its widest piece is rounded before it is tested.
bool storedRowPoint(const std::vector<Ring>& stored, PointD& at) {
  std::vector<double> ys;
  for (const Ring& ring : stored)
    for (const PointD& p : ring) ys.push_back(p.Y);
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  std::vector<double> rows;
  for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
    const double y = storedValue((ys[i] + ys[i + 1]) / 2.0);
    if (ys[i] < y && y < ys[i + 1]) rows.push_back(y);
  }
  if (rows.empty()) return false;
  const double mid = (ys.front() + ys.back()) / 2.0;
  const auto tried = rows.begin() + static_cast<std::ptrdiff_t>(std::min(rows.size(), kStoredRowsTried));
  std::partial_sort(rows.begin(), tried, rows.end(),
                    [mid](double a, double b) { return std::fabs(a - mid) < std::fabs(b - mid); });
  for (auto y = rows.begin(); y != tried; ++y) {
    double left, right;
    if (!widestPiece(stored, *y, left, right)) continue;
    at = {storedValue((left + right) / 2.0), *y};
    if (strictlyInside(stored, at.X, at.Y)) return true;
  }
  return false;
}

// The crossings of the row through the point with every ring: the
// nearest on either side are the ends of the piece of row the point lies on.
struct Around {
  double left = kNoCrossing, right = kNoCrossing;
  std::int32_t count = 0;
};
Around crossingsAround(const std::vector<Ring>& rings, double x, double y) {
  Around all;
  for (const Ring& ring : rings) {
    double l, r;
    std::int32_t n;
    PolygonCrossingsAroundPoint(ring, l, r, x, y, n);
    all.count += n;
    if (std::fabs(x - l) < std::fabs(x - all.left)) all.left = l;
    if (std::fabs(x - r) < std::fabs(x - all.right)) all.right = r;
  }
  return all;
}

// The two crossings right of the point nearest to it, over every ring.
struct Near {
  double a = kNoCrossing, b = kNoCrossing;
  std::int32_t count = 0;
};
Near crossingsNear(const std::vector<Ring>& rings, double x, double y) {
  Near all;
  auto offer = [&](double v) {
    if (std::fabs(x - v) < std::fabs(x - all.a)) {
      all.b = all.a;
      all.a = v;
    } else if (std::fabs(x - v) < std::fabs(x - all.b)) {
      all.b = v;
    }
  };
  for (const Ring& ring : rings) {
    double a, b;
    std::int32_t n;
    PolygonCrossingsNearPoint(ring, a, b, x, y, n);
    all.count += n;
    if (a != kNoCrossing) offer(a);
    if (b != kNoCrossing) offer(b);
  }
  return all;
}

std::string generalFloat(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", v);
  return text;
}

void setLabelPoint(TAreaElement& area, double x, double y) {
  area.SetAbsRefX(x);
  area.SetAbsRefY(y);
}

// The label point strictly inside the area in doubles, and where the block
// will store it: the point the area holds (the writer takes it from there),
// rounded, in the rings rounded (`stored`, empty when they round to
// themselves).
bool holdsLabel(const TAreaElement& area, const std::vector<Ring>& rings, const std::vector<Ring>& stored) {
  const double x = area.GetAbsRefX(), y = area.GetAbsRefY();
  if (!strictlyInside(rings, x, y)) return false;
  const double sx = storedValue(x), sy = storedValue(y);
  if (stored.empty() && sx == x && sy == y) return true;
  return strictlyInside(stored.empty() ? rings : stored, sx, sy);
}

}  // namespace

TAnalDevice* TAreaPointPlacer::GetDevice() {
  if (!device_) device_ = Adopt(new TAnalDevice);
  return device_;
}

TPolygonList* TAreaPointPlacer::GetPolygonList() {
  if (!polygons_) polygons_ = Adopt(new TPolygonList);
  return polygons_;
}

TAnalArea* TAreaPointPlacer::GetAnalArea() {
  if (!analArea_) analArea_ = Adopt(new TAnalArea);
  return analArea_;
}

void TAreaPointPlacer::DoIt() {
  TElement* input = Input();
  SetOutput(input);
  if (input && input->Is<TAreaElement>()) PlaceLabelPoint(static_cast<TAreaElement&>(*input));
}

void TAreaPointPlacer::PlaceLabelPoint(TAreaElement& area) {
  std::string cause;
  std::vector<Ring> rings;
  try {
    rings = collectRings(area);
    const std::vector<Ring> stored = storedRings(rings);
    Place(area, rings);
    if (holdsLabel(area, rings, stored)) return;
    // A point that does not serve leaves the one placed where it was.
    auto takes = [&](PointD at) {
      const PointD placed{area.GetAbsRefX(), area.GetAbsRefY()};
      setLabelPoint(area, at.X, at.Y);
      if (holdsLabel(area, rings, stored)) return true;
      setLabelPoint(area, placed.X, placed.Y);
      return false;
    };
    PointD at;
    if (scanRowPoint(rings, at) && takes(at)) return;
    if (storedRowPoint(stored.empty() ? rings : stored, at) && takes(at)) return;
  } catch (const std::bad_alloc&) {
    // Not the area's fault: the point is not left where the search stopped.
    throw;
  } catch (const std::exception& e) {
    cause = std::string(": ") + e.what();
  }
  PostTextMessage(this, zelto::msg::LogText,
                  "Chyba umístění pop.bodu u plochy " + generalFloat(area.GetCenterX()) + " ; " +
                      generalFloat(area.GetCenterY()) + cause);
}

void TAreaPointPlacer::Place(TAreaElement& area, const std::vector<Ring>& rings) {
  const double cx = area.GetCenterX(), cy = area.GetCenterY();
  if (!inside(rings, cx, cy)) {
    RasterSearch(area, rings);
    return;
  }
  setLabelPoint(area, cx, cy);
  if (CenterOnly) return;
  const Around c = crossingsAround(rings, cx, cy);
  const double m = std::min(std::fabs(c.left - cx), std::fabs(c.right - cx));
  if (100 * m > std::fabs(c.left - c.right)) return;
  if (c.count > 1 && c.count % 2 == 0) {
    const double x = (c.left + c.right) / 2.0;
    setLabelPoint(area, x, cy);
    if (!inside(rings, x, cy)) RasterSearch(area, rings);
  }
}

void TAreaPointPlacer::RasterSearch(TAreaElement& area, const std::vector<Ring>& rings) {
  TPolygonList* list = GetPolygonList();
  struct Emptied {
    TPolygonList* list;
    ~Emptied() { list->FreeAll(); }
  } emptied{list};

  TAnalDevice* device = GetDevice();
  device->SetupPage();
  TPageProjection* projection = device->GetProjection();
  projection->ShowRectangle(*area.GetRectangle(), device->GetPage());
  for (const Ring& ring : rings) {
    std::vector<TDevicePoint> pixels;
    pixels.reserve(ring.size());
    for (const PointD& p : ring) {
      TDevicePoint d;
      projection->WorldToDevicePoint(d, p.X, p.Y);
      if (pixels.empty() || !(pixels.back() == d)) pixels.push_back(d);
    }
    list->AddRing(std::move(pixels));
  }
  std::vector<TDevicePoint> points;
  std::vector<std::int32_t> counts;
  list->Flatten(points, counts);

  PointD at{area.GetCenterX(), area.GetCenterY()};
  TDevicePoint pixel;
  const bool spanFound = GetAnalArea()->WidestSpanMiddle(points, counts, pixel);
  if (spanFound) at = {projection->DeviceToWorldX(pixel.X), projection->DeviceToWorldY(pixel.Y)};
  setLabelPoint(area, at.X, at.Y);
  if (spanFound && inside(rings, at.X, at.Y)) return;

  // The raster was too coarse for the area: correct on the vector rings.
  Near n = crossingsNear(rings, at.X, at.Y);
  // Right of the area: the two leftmost crossings of the row instead.
  if (!(n.count > 1 && n.count % 2 == 0)) n = crossingsNear(rings, at.X - 1e10, at.Y);
  if (!(n.count > 1 && n.count % 2 == 0)) return;
  at.X = (n.a + n.b) / 2.0;
  setLabelPoint(area, at.X, at.Y);
}

void TMultiAreaPointPlacer::DoIt() {
  platform::BusyCursor busy;
  if (!Input() || !Input()->Is<TAreaString>()) return;
  std::unique_ptr<TAreaPointPlacer> placer(new TAreaPointPlacer);
  placer_ = placer.get();
  TRecursor::DoIt();
  placer_ = nullptr;
}

bool TMultiAreaPointPlacer::QGoInside(TElement* element) {
  // An area's children are its vertices or boundary lines: nothing to place.
  return element && element->Is<TEntity>() && !element->Is<TAreaElement>();
}

bool TMultiAreaPointPlacer::QProcessBefore(TElement* element) {
  return element && element->Is<TAreaElement>();
}

void TMultiAreaPointPlacer::Process(TElement* element) {
  if (!placer_ || !element || !element->Is<TAreaElement>()) return;
  placer_->CenterOnly = true;
  placer_->PlaceLabelPoint(*static_cast<TAreaElement*>(element));
}

void RegisterAreaPointPlacerClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls :
       {&TAreaPointPlacer::StaticClass(), &TMultiAreaPointPlacer::StaticClass(),
        &TAnalDevice::StaticClass(), &TPolygonList::StaticClass(),
        &TIntegerPolygon::StaticClass(), &TAnalArea::StaticClass()})
    RegisterZeltoClass(*cls);
}
