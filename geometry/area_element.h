#pragma once
// Areas: an outer ring of vertices (closed implicitly) with holes; and areas
// bounded by a chain of lines, each walked in its own direction.
#include <string>

#include "geometry/poly_element.h"

class TAreaElement;

class THolesEntity : public TRectEntity {
  ZELTO_ELEMENT(THolesEntity)
 public:
  TAreaElement* OwnerArea = nullptr;  // not owned
};

class TAreaElement : public TPolyElement {
  ZELTO_ELEMENT(TAreaElement)
 public:
  ~TAreaElement() override;

  // The signed shoelace area of the outer ring, kept in SavedArea;
  // clockwise rings are positive.
  double GetWholeArea();
  // The outer ring less the magnitude of every hole, keeping the outer
  // ring's sign.
  double GetArea1() override;

  void AddHole(TAreaElement* hole);
  THolesEntity* GetHoles() const { return holes_; }
  void SetHoles(THolesEntity* holes);
  TAreaElement* GetHoleOwnerArea() const;

  virtual bool IsInOuterRing(double x, double y) const;
  TAreaElement* FindHoleAt(double x, double y) const;
  bool ContainsPoint(double x, double y) const;
  bool HitTest(T2DCoordinate* point, double tolerance) override;

  double SavedArea = 0.0;
  bool IsHole = false;

 private:
  THolesEntity* holes_ = nullptr;  // owned
};

class TAreaString : public TSpaceEntityString {
  ZELTO_ELEMENT(TAreaString)
};

// Boundary = its TPolyLineElement children; bit k of LinesOrigines tells
// whether line k is walked from its first vertex (set) or its last.
class TPolyLineAreaElement : public TAreaElement {
  ZELTO_ELEMENT(TPolyLineAreaElement)
 public:
  int GetCoordsCount() const override;
  T2DCoordinate* GetCoord(int i) const override;
  // The walk of GetVertexX over the ring in one pass over the lines.
  double GetLength() const override;
  void AddItemsFrom(TEntity* line, bool forward) override;
  void InsertLine(int i, TPolyLineElement* line, bool forward);
  void Remove(TElement* element) override;
  void HandleMessage(TZeltoMessage*& message, bool& handled) override;
  bool IsInOuterRing(double x, double y) const override;
  bool HitTest(T2DCoordinate* point, double tolerance) override;
  void CollectRing(std::vector<geometry::PointD>& ring) const override;
  // Over the vertices of every line, not over the lines as if they were
  // vertices, and in one pass (GetCoord walks the lines for each vertex).
  void RecalcEnvelope() override;

  bool GetLineOrigin(int k) const;
  void SetLineOrigin(int k, bool forward);
  bool HasLine(const TPolyLineElement* line, bool forward) const;
  void OnLineSplit(TZeltoMessage* message);

  // Plain copies with cloned vertices; the caller owns them. The copy keeps
  // every hole, whether a ring of lines or of vertices.
  TAreaElement* OuterRingAsArea() const;
  TAreaElement* CloneAsArea() const;

  std::string GetLinesOriginesHex() const;
  // Parsed in full before anything changes: a text that is no sequence of
  // hexadecimal pairs leaves the bits as they were.
  void SetLinesOriginesHex(const std::string& text);

  std::string LinesOrigines;  // raw bytes
  // Set by the area building when the ring passes a node twice: an island
  // touches it there, or a line runs into it and back.
  bool PassesNodeTwice = false;

 private:
  void InsertLineOrigin(int i, bool forward);
  void DeleteLineOrigin(int i);
};
