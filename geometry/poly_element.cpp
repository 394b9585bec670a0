#include "geometry/poly_element.h"

#include <memory>

#include "framework/problem_report.h"

using geometry::PointD;

ZELTO_IMPLEMENT_ELEMENT(TPolyElement, TSpaceEntity, [](auto& p) {
  p.Integer("CoordsCount", &TPolyElement::GetCoordsCount);
  p.Float("Length", &TPolyElement::GetLength);
  p.Float("Area1", &TPolyElement::GetArea1);
})
ZELTO_IMPLEMENT_ELEMENT(TPolyLineElement, TPolyElement, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TPolyLineString, TSpaceEntityString, ZELTO_NO_PROPERTIES)

T2DCoordinate* TPolyElement::GetCoord(int i) const {
  if (i < 0 || i >= GetCount()) return nullptr;
  TElement* e = Items()[static_cast<std::size_t>(i)];
  return e && e->Is<T2DCoordinate>() ? static_cast<T2DCoordinate*>(e) : nullptr;
}

T2DCoordinate* TPolyElement::GetCoordFrom(int i, bool forward) const {
  const int n = GetCoordsCount();
  if (i < 0 || i >= n) return nullptr;
  return GetCoord(forward ? i : n - 1 - i);
}

void GetLineVertex(const TPolyElement* line, int i, bool forward, double& x, double& y) {
  const T2DCoordinate* c = line ? line->GetCoordFrom(i, forward) : nullptr;
  x = c ? c->X : 0.0;
  y = c ? c->Y : 0.0;
}

double TPolyElement::GetVertexX(int i) const {
  const T2DCoordinate* c = GetCoord(i);
  return c ? c->X : 0.0;
}

double TPolyElement::GetVertexY(int i) const {
  const T2DCoordinate* c = GetCoord(i);
  return c ? c->Y : 0.0;
}

void TPolyElement::SetVertexX(int i, double value) {
  if (T2DCoordinate* c = GetCoord(i)) c->X = value;
}

void TPolyElement::SetVertexY(int i, double value) {
  if (T2DCoordinate* c = GetCoord(i)) c->Y = value;
}

void TPolyElement::AddVertex(double x, double y) {
  auto vertex = std::make_unique<T2DCoordinate>(x, y);
  AddAndExtend(vertex.get());
  vertex.release();
}

void TPolyElement::AddItemsFrom(TEntity* source, bool forward) {
  if (!source) return;
  const std::vector<TElement*> items = source->Items();
  if (forward)
    for (TElement* e : items) Add(e);
  else
    for (auto it = items.rbegin(); it != items.rend(); ++it) Add(*it);
}

void TPolyElement::CollectRing(std::vector<PointD>& ring) const {
  const int n = GetCoordsCount();
  ring.clear();
  ring.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    const T2DCoordinate* c = GetCoord(i);
    if (c) ring.push_back({c->X, c->Y});
  }
}

double TPolyElement::RingArea(bool& hadFirstVertex) const {
  const T2DCoordinate* first = GetCoord(0);
  hadFirstVertex = first != nullptr;
  if (!first) return 0.0;
  const int n = GetCoordsCount();
  double sum = 0.0;
  double xp = first->X, yp = first->Y;
  for (int i = 1; i < n; ++i) {
    const T2DCoordinate* c = GetCoord(i);
    if (!c) {
      zelto::ReportProblem("GetCalculatedArea Error");
      return sum;
    }
    sum += (c->X - xp) * (c->Y + yp) / 2.0;
    xp = c->X;
    yp = c->Y;
  }
  sum += (first->X - xp) * (first->Y + yp) / 2.0;
  return sum;
}

double TPolyElement::GetArea1() {
  bool had;
  return RingArea(had);
}

namespace {
// The vertex walk of LineSignedArea straight over the child list, for the
// plain lines that make up almost every ring: the same sum in the same order.
double PlainLineSignedArea(const std::vector<TElement*>& items, bool forward) {
  const std::size_t n = items.size();
  auto vertex = [&](std::size_t i, double& x, double& y) {
    const TElement* e = items[forward ? i : n - 1 - i];
    const bool coordinate = e && e->Is<T2DCoordinate>();
    x = coordinate ? static_cast<const T2DCoordinate*>(e)->X : 0.0;
    y = coordinate ? static_cast<const T2DCoordinate*>(e)->Y : 0.0;
  };
  double sum = 0.0;
  double xp, yp;
  vertex(0, xp, yp);
  for (std::size_t i = 1; i < n; ++i) {
    double x, y;
    vertex(i, x, y);
    sum += (x - xp) * (yp + y);
    xp = x;
    yp = y;
  }
  return sum / 2.0;
}
}  // namespace

double LineSignedArea(const TPolyElement* line, bool forward) {
  if (!line) return 0.0;
  const int n = line->GetCoordsCount();
  if (n < 2) return 0.0;
  if (&line->ClassType() == &TPolyLineElement::StaticClass()) return PlainLineSignedArea(line->Items(), forward);
  double sum = 0.0;
  double xp, yp;
  GetLineVertex(line, 0, forward, xp, yp);
  for (int i = 1; i < n; ++i) {
    double x, y;
    GetLineVertex(line, i, forward, x, y);
    sum += (x - xp) * (yp + y);
    xp = x;
    yp = y;
  }
  return sum / 2.0;
}

double TPolyElement::GetLength() const {
  const int n = GetCoordsCount();
  double length = 0.0;
  for (int i = 1; i < n; ++i)
    length += Distance(GetVertexX(i - 1), GetVertexY(i - 1), GetVertexX(i), GetVertexY(i));
  return length;
}

void TPolyElement::RecalcEnvelope() {
  GetRectangle()->Reset();
  const int n = GetCount();
  for (int i = 0; i < n; ++i) {
    double x, y;
    GetLineVertex(this, i, true, x, y);
    GetRectangle()->ExtendToPoint(x, y);
  }
}

void TPolyElement::PointAtDistance(double& x, double& y, double& angle, double distance) const {
  x = y = angle = 0.0;
  const int n = GetCount();
  if (n == 0) return;
  if (distance >= GetLength()) {
    x = GetVertexX(n - 1);
    y = GetVertexY(n - 1);
    return;
  }
  if (n == 1) {
    x = GetVertexX(0);
    y = GetVertexY(0);
    return;
  }
  double acc = 0.0;
  for (int i = 0; i + 1 < n; ++i) {
    const double x0 = GetVertexX(i), y0 = GetVertexY(i);
    const double x1 = GetVertexX(i + 1), y1 = GetVertexY(i + 1);
    const double s = Distance(x0, y0, x1, y1);
    if (acc + s > distance) {
      PointAlongSegment(x, y, x0, y0, x1, y1, distance - acc, 0.0);
      angle = DirectionAngle(x1 - x0, y1 - y0) + 1.5707963267948966;
      return;
    }
    acc += s;
  }
}

void TPolyElement::GetMidPoint(double& x, double& y, double& angle) const {
  PointAtDistance(x, y, angle, GetLength() / 2.0);
}

void TPolyElement::SetLabelPoint() {
  double x, y, angle;
  GetMidPoint(x, y, angle);
  SetAbsRefX(x);
  SetAbsRefY(y);
  Angle = angle;
}

bool TPolyLineElement::HitTest(T2DCoordinate* point, double tolerance) {
  if (!point) return false;
  const int n = GetCoordsCount();
  for (int i = 0; i + 1 < n; ++i) {
    bool on;
    double fx, fy, d;
    PointToSegment(on, fx, fy, point->X, point->Y, GetVertexX(i), GetVertexY(i), GetVertexX(i + 1),
                   GetVertexY(i + 1), d);
    if (on && d < tolerance) return true;
  }
  return false;
}
