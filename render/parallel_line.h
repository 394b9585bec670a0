#pragma once
// The line running parallel to a polyline at a distance on one side, with
// mitred corners; offset chains of line symbols are laid along it.
#include "framework/tool.h"

class TParalel : public TTool {
  ZELTO_ELEMENT(TParalel)
 public:
  double Vzdalenost = 0;
  // true: the left of the line's direction; false: the right.
  bool Strana = true;

  void Init(bool side, double distance) {
    Strana = side;
    Vzdalenost = distance;
  }
  // The input's T2DCoordinate children give the vertices; the output is a
  // new TRectEntity of as many vertices, owned by the caller. An input of
  // fewer than two vertices gives an empty line (nothing to be parallel to).
  void DoIt() override;
};
