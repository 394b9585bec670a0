#pragma once
// Seam to the framework's coordinates and rectangle entities. Until
// framework/ provides T2DCoordinate and TRectEntity, the geometry runs on
// the minimal versions below; when the framework's land, this header is
// replaced by includes of theirs and the stand-ins go away. Nothing outside
// geometry/ should include this header for those two names.
#include <cstdint>

#include "framework/entity.h"

namespace geometry::seam {

// A vertex: X and Y in metres. Keeps its owners, so that a vertex shared by
// two lines is freed only with the last of them.
class Coordinate2D : public TOwnerElement {
  ZELTO_ELEMENT(Coordinate2D)
 public:
  Coordinate2D() = default;
  Coordinate2D(double x, double y) : X(x), Y(y) {}
  double GetX() const { return X; }
  double GetY() const { return Y; }
  void SetX(double v) { X = v; }
  void SetY(double v) { Y = v; }
  Coordinate2D* Clone() const;

  double X = 0.0;
  double Y = 0.0;
};

// An owner entity with a bounding rectangle (empty: min 1e30, max -1e30)
// and a reference point relative to it.
class RectEntity : public TOwnerEntity {
  ZELTO_ELEMENT(RectEntity)
 public:
  double GetMinX() const { return minX_; }
  double GetMinY() const { return minY_; }
  double GetMaxX() const { return maxX_; }
  double GetMaxY() const { return maxY_; }
  void SetMinX(double v) { minX_ = v; }
  void SetMinY(double v) { minY_ = v; }
  void SetMaxX(double v) { maxX_ = v; }
  void SetMaxY(double v) { maxY_ = v; }
  double GetWidth() const { return maxX_ - minX_; }
  double GetHeight() const { return maxY_ - minY_; }
  double GetCenterX() const { return minX_ + (maxX_ - minX_) / 2; }
  double GetCenterY() const { return minY_ + (maxY_ - minY_) / 2; }
  bool GetIsValid() const;

  void ResetRectangle();
  void ExtendToPoint(double x, double y);
  // A coordinate extends to its point, a rectangle entity by its valid
  // rectangle; anything else changes nothing.
  void ExtendBy(TElement* element);
  void AddAndExtend(TElement* element);
  virtual void ExtendByChildren();
  virtual void RecalcEnvelope();

  bool IntersectsRect(double minX, double minY, double maxX, double maxY) const;
  bool ContainsRect(double minX, double minY, double maxX, double maxY) const;
  bool ContainsPointInRect(double x, double y) const;

  // Reference point as fractions of the width and height.
  double GetAbsRefX() const { return minX_ + GetWidth() * relRefX_; }
  double GetAbsRefY() const { return minY_ + GetHeight() * relRefY_; }
  void SetAbsRefX(double v);
  void SetAbsRefY(double v);

  std::int32_t Index = 0;

 private:
  double minX_ = 1e30, minY_ = 1e30, maxX_ = -1e30, maxY_ = -1e30;
  double relRefX_ = 0.0, relRefY_ = 0.0;
};

}  // namespace geometry::seam

using T2DCoordinate = geometry::seam::Coordinate2D;
using TRectEntity = geometry::seam::RectEntity;
