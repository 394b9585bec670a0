#include "geometry/line_segment.h"

#include <algorithm>
#include <cmath>
#include <memory>

ZELTO_IMPLEMENT_ELEMENT(TGlxLinAbscissa, TOwnerElement, [](auto& p) {
  p.Object("Line", TPolyLineElement::StaticClass(), &TGlxLinAbscissa::Line, &TGlxLinAbscissa::Line);
  p.Integer("Index", &TGlxLinAbscissa::Index, &TGlxLinAbscissa::Index);
  p.Boolean("IsNewEnd", &TGlxLinAbscissa::IsNewEnd, &TGlxLinAbscissa::IsNewEnd);
  p.Boolean("IsNew", &TGlxLinAbscissa::IsNew, &TGlxLinAbscissa::IsNew);
  p.Boolean("IsDeleted", &TGlxLinAbscissa::IsDeleted, &TGlxLinAbscissa::IsDeleted);
  p.Boolean("FixedBegin", &TGlxLinAbscissa::FixedBegin, &TGlxLinAbscissa::FixedBegin);
  p.Boolean("FixedEnd", &TGlxLinAbscissa::FixedEnd, &TGlxLinAbscissa::FixedEnd);
  p.Float("X1", &TGlxLinAbscissa::GetX1, &TGlxLinAbscissa::SetX1);
  p.Float("Y1", &TGlxLinAbscissa::GetY1, &TGlxLinAbscissa::SetY1);
  p.Float("X2", &TGlxLinAbscissa::GetX2, &TGlxLinAbscissa::SetX2);
  p.Float("Y2", &TGlxLinAbscissa::GetY2, &TGlxLinAbscissa::SetY2);
  p.Float("Xmin", &TGlxLinAbscissa::GetXmin);
  p.Float("Ymin", &TGlxLinAbscissa::GetYmin);
  p.Float("Xmax", &TGlxLinAbscissa::GetXmax);
  p.Float("Ymax", &TGlxLinAbscissa::GetYmax);
  p.Float("Length", &TGlxLinAbscissa::GetLength);
  p.Boolean("IsFirst", &TGlxLinAbscissa::GetIsFirst);
  p.Boolean("IsLast", &TGlxLinAbscissa::GetIsLast);
  p.Boolean("IsMargin", &TGlxLinAbscissa::GetIsMargin);
  p.Integer("LineNo", &TGlxLinAbscissa::GetLineNo);
})
ZELTO_IMPLEMENT_ELEMENT(TQTreeGlxLinAbsc, TQTree, ZELTO_NO_PROPERTIES)

double TGlxLinAbscissa::GetX1() const { return Line ? Line->GetVertexX(Index) : 0.0; }
double TGlxLinAbscissa::GetY1() const { return Line ? Line->GetVertexY(Index) : 0.0; }
double TGlxLinAbscissa::GetX2() const { return Line ? Line->GetVertexX(Index + 1) : 0.0; }
double TGlxLinAbscissa::GetY2() const { return Line ? Line->GetVertexY(Index + 1) : 0.0; }
void TGlxLinAbscissa::SetX1(double v) { if (Line) Line->SetVertexX(Index, v); }
void TGlxLinAbscissa::SetY1(double v) { if (Line) Line->SetVertexY(Index, v); }
void TGlxLinAbscissa::SetX2(double v) { if (Line) Line->SetVertexX(Index + 1, v); }
void TGlxLinAbscissa::SetY2(double v) { if (Line) Line->SetVertexY(Index + 1, v); }
double TGlxLinAbscissa::GetXmin() const { return std::min(GetX1(), GetX2()); }
double TGlxLinAbscissa::GetYmin() const { return std::min(GetY1(), GetY2()); }
double TGlxLinAbscissa::GetXmax() const { return std::max(GetX1(), GetX2()); }
double TGlxLinAbscissa::GetYmax() const { return std::max(GetY1(), GetY2()); }

double TGlxLinAbscissa::GetLength() const {
  const double dx = GetX2() - GetX1(), dy = GetY2() - GetY1();
  return std::sqrt(dx * dx + dy * dy);
}

bool TGlxLinAbscissa::GetIsLast() const {
  return Line && Index >= Line->GetCoordsCount() - 2;
}

std::int32_t TGlxLinAbscissa::GetLineNo() const {
  return Line ? Line->GetPropertyInt("Cislo") : -1;
}

bool TGlxLinAbscissa::SnapEndToPoint(bool atBegin, double tolerance, double x, double y) {
  const double ex = atBegin ? GetX1() : GetX2(), ey = atBegin ? GetY1() : GetY2();
  if (!PointsNear(ex, ey, x, y, tolerance)) return false;
  if (atBegin) {
    SetX1(x);
    SetY1(y);
  } else {
    SetX2(x);
    SetY2(y);
  }
  return true;
}

bool TGlxLinAbscissa::MatchEnd(bool atBegin, const TGlxLinAbscissa& other, bool otherAtBegin,
                               double tolerance, double& x, double& y, double& distance) const {
  x = otherAtBegin ? other.GetX1() : other.GetX2();
  y = otherAtBegin ? other.GetY1() : other.GetY2();
  if (atBegin ? FixedBegin : FixedEnd) return false;
  const double ex = atBegin ? GetX1() : GetX2(), ey = atBegin ? GetY1() : GetY2();
  if (!PointsNear(ex, ey, x, y, tolerance)) return false;
  distance = Distance(ex, ey, x, y);
  return true;
}

bool TGlxLinAbscissa::SnapEndOntoSegment(bool atBegin, const TGlxLinAbscissa& other,
                                         double tolerance, double& x, double& y) {
  if (!SegmentBoxesOverlap(GetX1(), GetY1(), GetX2(), GetY2(), other.GetX1(), other.GetY1(),
                           other.GetX2(), other.GetY2(), tolerance))
    return false;
  auto tryEnd = [&](bool begin) {
    const double ex = begin ? GetX1() : GetX2(), ey = begin ? GetY1() : GetY2();
    if (PointsEqual(ex, ey, other.GetX1(), other.GetY1()) ||
        PointsEqual(ex, ey, other.GetX2(), other.GetY2()))
      return false;
    bool on;
    double fx, fy, d;
    PointToSegment(on, fx, fy, ex, ey, other.GetX1(), other.GetY1(), other.GetX2(), other.GetY2(),
                   d);
    // A vertex of the other line within the tolerance is taken as it is: a
    // point put beside it on the segment would leave a sliver between two
    // boundaries that were digitised a few millimetres apart.
    for (const bool otherBegin : {true, false}) {
      const double vx = otherBegin ? other.GetX1() : other.GetX2(), vy = otherBegin ? other.GetY1() : other.GetY2();
      const double dv = Distance(ex, ey, vx, vy);
      if (dv < tolerance && PointsNear(ex, ey, vx, vy, tolerance) && (!on || dv <= d + tolerance)) {
        on = true;
        fx = vx, fy = vy, d = dv;
        break;
      }
    }
    if (!on || !(d < tolerance)) return false;
    x = fx;
    y = fy;
    if (begin) {
      SetX1(fx);
      SetY1(fy);
      FixedBegin = true;
    } else {
      SetX2(fx);
      SetY2(fy);
      FixedEnd = true;
    }
    return true;
  };
  if (atBegin && !FixedBegin) return tryEnd(true);
  if (!FixedEnd) return tryEnd(false);
  return false;
}

void TGlxLinAbscissa::FindEndsOnSegment(const TGlxLinAbscissa& other, bool otherAtBegin,
                                        double tolerance, bool& onSegment, bool& nearEnd,
                                        double& x, double& y, double& footX,
                                        double& footY) const {
  onSegment = nearEnd = false;
  bool bb, ee, be, eb;
  CompareEnds(other, bb, ee, be, eb);
  if ((bb && ee) || (be && eb)) return;
  const double px = otherAtBegin ? other.GetX1() : other.GetX2();
  const double py = otherAtBegin ? other.GetY1() : other.GetY2();
  if (PointsEqual(px, py, GetX1(), GetY1()) || PointsEqual(px, py, GetX2(), GetY2())) return;
  if ((bb || ee || be || eb) && other.Line == Line && other.Index - 1 == Index) return;
  x = px;
  y = py;
  if (Index > 0 && Line && PointsEqual(Line->GetVertexX(Index - 1), Line->GetVertexY(Index - 1), px, py))
    return;
  bool on;
  double d;
  PointToSegment(on, footX, footY, px, py, GetX1(), GetY1(), GetX2(), GetY2(), d);
  if (on && d < tolerance) {
    onSegment = true;
    nearEnd = Distance(footX, footY, GetX1(), GetY1()) < d ||
              Distance(footX, footY, GetX2(), GetY2()) < d;
  }
}

void TGlxLinAbscissa::SplitAt(double x, double y, TGlxLinAbscissa*& segment) {
  segment = nullptr;
  if (!Line) return;
  auto vertex = std::make_unique<T2DCoordinate>(x, y);
  Line->Insert(Index + 1, vertex.get());
  vertex.release();
  segment = new TGlxLinAbscissa;
  segment->IsNew = true;
  segment->Line = Line;
  segment->Index = Index + 1;
}

bool TGlxLinAbscissa::EnvelopeMeets(double minX, double minY, double maxX, double maxY,
                                    double tolerance) const {
  return GetXmax() + tolerance >= minX && GetXmin() - tolerance <= maxX &&
         GetYmax() + tolerance >= minY && GetYmin() - tolerance <= maxY;
}

void TGlxLinAbscissa::CompareEnds(const TGlxLinAbscissa& o, bool& beginBegin, bool& endEnd,
                                  bool& beginEnd, bool& endBegin) const {
  beginBegin = PointsEqual(GetX1(), GetY1(), o.GetX1(), o.GetY1());
  endEnd = PointsEqual(GetX2(), GetY2(), o.GetX2(), o.GetY2());
  beginEnd = PointsEqual(GetX1(), GetY1(), o.GetX2(), o.GetY2());
  endBegin = PointsEqual(GetX2(), GetY2(), o.GetX1(), o.GetY1());
}

void TQTreeGlxLinAbsc::GetElementEnvelope(TElement* element, double& minX, double& minY,
                                          double& maxX, double& maxY) const {
  auto* s = static_cast<TGlxLinAbscissa*>(element);
  minX = s->GetXmin();
  minY = s->GetYmin();
  maxX = s->GetXmax();
  maxY = s->GetYmax();
}

bool TQTreeGlxLinAbsc::ElementMeetsRect(TElement* element, double minX, double minY, double maxX,
                                        double maxY) const {
  return element && element->Is<TGlxLinAbscissa>() &&
         static_cast<TGlxLinAbscissa*>(element)->EnvelopeMeets(minX, minY, maxX, maxY, 0.0);
}
