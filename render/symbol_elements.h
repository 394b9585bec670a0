#pragma once
// The small elements of the symbol and font libraries: a point with Gelix
// attributes, the same with a rectangle, and a text.
#include <cstdint>
#include <memory>
#include <string>

#include "framework/coordinate.h"
#include "framework/rectangle.h"

class TBGIBaseElement : public T2DCoordinate {
  ZELTO_ELEMENT(TBGIBaseElement)
 public:
  std::int32_t Cislo = 0;
  std::int16_t Druh = 0;
  std::int16_t Barva = 0;
  std::int16_t Znacka = 0;
  std::int16_t Presnost = 0;
};

class TRectBGIElement : public TBGIBaseElement {
  ZELTO_ELEMENT(TRectBGIElement)
 public:
  // Created empty on first use; owned.
  TRectangle* GetRectangle();
  void SetRectangle(TRectangle* rectangle);
  // The rectangle widened by 10 world units on every side.
  TBoundsRecord GetRect() const override;
  // Edges touching count as meeting.
  bool MeetsWindow(double minX, double minY, double maxX, double maxY);

 private:
  std::unique_ptr<TRectangle> rectangle_;
};

class TBGIText : public TRectBGIElement {
  ZELTO_ELEMENT(TBGIText)
 public:
  std::string Veta;
  std::uint8_t CodePage = 0;
  // Created on first use; owned.
  T2DCoordinate* GetSecondPoint();

 private:
  std::unique_ptr<T2DCoordinate> secondPoint_;
};
