#pragma once
// One straight piece of a line between vertex Index and Index + 1: a light
// view that reads and writes the line's own vertices, the building block of
// snapping and splitting when lines are joined and cleaned.
#include <cstdint>

#include "geometry/poly_element.h"
#include "geometry/qtree.h"

class TGlxLinAbscissa : public TOwnerElement {
  ZELTO_ELEMENT(TGlxLinAbscissa)
 public:
  double GetX1() const;
  double GetY1() const;
  double GetX2() const;
  double GetY2() const;
  void SetX1(double v);
  void SetY1(double v);
  void SetX2(double v);
  void SetY2(double v);
  double GetXmin() const;
  double GetYmin() const;
  double GetXmax() const;
  double GetYmax() const;
  double GetLength() const;
  bool GetIsFirst() const { return Index == 0; }
  bool GetIsLast() const;
  bool GetIsMargin() const { return GetIsFirst() || GetIsLast(); }
  std::int32_t GetLineNo() const;

  bool SnapEndToPoint(bool atBegin, double tolerance, double x, double y);
  bool MatchEnd(bool atBegin, const TGlxLinAbscissa& other, bool otherAtBegin, double tolerance,
                double& x, double& y, double& distance) const;
  bool SnapEndOntoSegment(bool atBegin, const TGlxLinAbscissa& other, double tolerance, double& x,
                          double& y);
  void FindEndsOnSegment(const TGlxLinAbscissa& other, bool otherAtBegin, double tolerance,
                         bool& onSegment, bool& nearEnd, double& x, double& y, double& footX,
                         double& footY) const;
  // Inserts a vertex at (x, y) after Index; the new segment (owned by the
  // caller) runs from it to the old end. Later segments are not renumbered.
  void SplitAt(double x, double y, TGlxLinAbscissa*& segment);
  bool EnvelopeMeets(double minX, double minY, double maxX, double maxY, double tolerance) const;
  void CompareEnds(const TGlxLinAbscissa& other, bool& beginBegin, bool& endEnd, bool& beginEnd,
                   bool& endBegin) const;

  TPolyLineElement* Line = nullptr;  // not owned
  std::int32_t Index = 0;
  bool IsNewEnd = false;
  bool IsNew = false;
  bool IsDeleted = false;
  bool FixedBegin = false;
  bool FixedEnd = false;
};

class TQTreeGlxLinAbsc : public TQTree {
  ZELTO_ELEMENT(TQTreeGlxLinAbsc)
 public:
  std::int32_t GetCapacity() const override { return 32; }
  void GetElementEnvelope(TElement* element, double& minX, double& minY, double& maxX,
                          double& maxY) const override;
  bool ElementMeetsRect(TElement* element, double minX, double minY, double maxX,
                        double maxY) const override;
};
