#pragma once
// Points as elements: a vertex can be a child of several lines, found by
// class, streamed with a model and reached through the property reflection.
#include <cstdint>

#include "framework/element.h"

// Four doubles handed around by value: MinX, MinY, MaxX, MaxY.
struct TBoundsRecord {
  double MinX = 0;
  double MinY = 0;
  double MaxX = 0;
  double MaxY = 0;
};

// The abstract point: a coordinate-system code and X, Y, Z through virtual
// accessors (which answer -1 and ignore writes here).
class TCoordinate : public TElement {
  ZELTO_ELEMENT(TCoordinate)
 public:
  std::uint8_t CS = 0;

  virtual double GetX() const { return -1.0; }
  virtual double GetY() const { return -1.0; }
  virtual double GetZ() const { return -1.0; }
  virtual void SetX(double) {}
  virtual void SetY(double) {}
  virtual void SetZ(double) {}
  // A new coordinate of the same class with the same values and CS.
  virtual TCoordinate* Clone() const;
  virtual TBoundsRecord GetRect() const;

  void ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) override;
  void WriteData(zelto::ValueWriter& writer) override;
  TElement* CreateEnvelope() override;
};

class T2DCoordinate : public TCoordinate {
  ZELTO_ELEMENT(T2DCoordinate)
 public:
  T2DCoordinate() = default;
  T2DCoordinate(double x, double y) : X(x), Y(y) {}

  double X = 0;
  double Y = 0;

  double GetX() const override { return X; }
  double GetY() const override { return Y; }
  void SetX(double value) override { X = value; }
  void SetY(double value) override { Y = value; }

  void ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) override;
  void WriteData(zelto::ValueWriter& writer) override;
};

class T3DCoordinate : public T2DCoordinate {
  ZELTO_ELEMENT(T3DCoordinate)
 public:
  double Z = 0;

  double GetZ() const override { return Z; }
  void SetZ(double value) override { Z = value; }

  void ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) override;
  void WriteData(zelto::ValueWriter& writer) override;
};
