#pragma once
// An axis-parallel bounding rectangle held as two corner points. A new one is
// empty (min corner at 1e30, max corner at -1e30), so that the first
// extension replaces it.
#include <memory>

#include "framework/coordinate.h"

class TRectangle : public TElement {
  ZELTO_ELEMENT(TRectangle)
 public:
  static constexpr double kEmpty = 1e30;

  TRectangle();
  TRectangle(double minX, double minY, double maxX, double maxY);

  double MinX() const { return minX_; }
  double MinY() const { return minY_; }
  double MaxX() const { return maxX_; }
  double MaxY() const { return maxY_; }
  void SetMinX(double v) { minX_ = v; }
  void SetMinY(double v) { minY_ = v; }
  void SetMaxX(double v) { maxX_ = v; }
  void SetMaxY(double v) { maxY_ = v; }
  double GetWidth() const { return MaxX() - MinX(); }
  double GetHeight() const { return MaxY() - MinY(); }
  void SetWidth(double v) { SetMaxX(MinX() + v); }
  void SetHeight(double v) { SetMaxY(MinY() + v); }
  TBoundsRecord Bounds() const { return {MinX(), MinY(), MaxX(), MaxY()}; }

  void Reset();
  // Min <= max on both axes and every value strictly below 1e30 in magnitude.
  bool IsValid() const;
  void ExtendToPoint(double x, double y);
  void ExtendToCoordinate(const TCoordinate& coordinate);
  // Only a valid other rectangle extends this one.
  void ExtendByRect(const TRectangle& other);
  void Normalize();
  void MoveBy(double dx, double dy);
  // Touching edges and corners count.
  bool Intersects(const TRectangle& other) const;
  void GetCenter(double& x, double& y) const;
  // Widened by 10 world units on every side.
  TBoundsRecord GetPaddedBounds() const;
  virtual TRectangle* Clone() const;
  // Copies the corners of another rectangle; other sources are ignored.
  void Assign(const TElement* source);

  void ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) override;
  void WriteData(zelto::ValueWriter& writer) override;
  TElement* CreateEnvelope() override { return Clone(); }

 private:
  // Plain numbers: a model keeps one rectangle per line and area, and corner
  // objects would cost more than the rectangle itself.
  double minX_, minY_, maxX_, maxY_;
};
