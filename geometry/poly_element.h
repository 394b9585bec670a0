#pragma once
// Lines and the vertex access every walker of lines uses.
#include <vector>

#include "geometry/plane_geometry.h"
#include "geometry/space_entity.h"

class TPolyElement : public TSpaceEntity {
  ZELTO_ELEMENT(TPolyElement)
 public:
  virtual int GetCoordsCount() const { return GetCount(); }
  // nullptr past the end or for a child that is no coordinate.
  virtual T2DCoordinate* GetCoord(int i) const;
  virtual double GetArea1();
  // Adds the source's children by reference, last to first when !forward.
  virtual void AddItemsFrom(TEntity* source, bool forward);

  T2DCoordinate* GetCoordFrom(int i, bool forward) const;
  double GetVertexX(int i) const;
  double GetVertexY(int i) const;
  void SetVertexX(int i, double value);
  void SetVertexY(int i, double value);
  void AddVertex(double x, double y);  // a new coordinate, rectangle extended

  virtual double GetLength() const;
  void RecalcEnvelope() override;
  void PointAtDistance(double& x, double& y, double& angle, double distance) const;
  void GetMidPoint(double& x, double& y, double& angle) const;
  void SetLabelPoint();

  // The ring of vertices in order, in one pass (GetCoord of a line-bounded
  // area costs a walk over its lines).
  virtual void CollectRing(std::vector<geometry::PointD>& ring) const;

 protected:
  // The shoelace sum of the ring with its closing edge; shows
  // "GetCalculatedArea Error" and returns the partial sum on a bad vertex.
  double RingArea(bool& hadFirstVertex) const;
};

// X and Y of vertex i counted from the first vertex (forward) or from the
// last; both 0 when there is none.
void GetLineVertex(const TPolyElement* line, int i, bool forward, double& x, double& y);
// A line's share of the signed area of a ring made of lines, walked from its
// first vertex (forward) or its last; no closing edge.
double LineSignedArea(const TPolyElement* line, bool forward);

class TPolyLineElement : public TPolyElement {
  ZELTO_ELEMENT(TPolyLineElement)
 public:
  bool HitTest(T2DCoordinate* point, double tolerance) override;
};

class TPolyLineString : public TSpaceEntityString {
  ZELTO_ELEMENT(TPolyLineString)
};
