#pragma once
// Reference graphics drawn over the map: the frames and names of the state
// map sheets, a regular grid of crosses and a regular grid of lines. The
// grid elements are plain elements a model script places in the model; the
// default interpret script maps them to these renderers.
#include <cstdint>

#include "render/interpret.h"

class TCross : public TElement {
  ZELTO_ELEMENT(TCross)
 public:
  double Width = 0;   // spacing along x
  double Height = 0;  // spacing along y
  std::int32_t Color = 0;
  double Size = 0;  // full length of an arm pair, world units
  double PenWidth = 0;
  void SetStep(double step) { Width = Height = step; }
};

class TLines : public TElement {
  ZELTO_ELEMENT(TLines)
 public:
  double Width = 0;
  double Height = 0;
  std::int32_t Color = 0;
  std::int32_t PenWidth = 0;
};

// Frames and labels of the sheets of the state map series.
class TSMO_Interpret : public TRectInterpret {
  ZELTO_ELEMENT(TSMO_Interpret)
 public:
  bool QGoInside(TElement*) override { return true; }
  bool QProcessBefore(TElement* element) override { return IsItsClass(element); }
  bool IsItsClass(TElement* element) override;
  bool CanGoInside(TElement*) override { return false; }
  void Process(TElement* element) override;
};

// A grid renderer keeps the page's world rectangle of the current run.
class TGridInterpret : public TInterpret {
  ZELTO_ELEMENT(TGridInterpret)
 public:
  void DoIt() override;

 protected:
  // False, after telling the user once for this element and draw, when the
  // spacing is not positive or gives more than 1000 steps across the page.
  bool SpacingFits(TElement* element, double width, double height) const;
  // The first grid position at or below the lower edge.
  static double GridStart(double edge, double step);

  double minX_ = 0, minY_ = 0, maxX_ = 0, maxY_ = 0;
};

class TInterpretKrizku : public TGridInterpret {
  ZELTO_ELEMENT(TInterpretKrizku)
 public:
  bool QProcessBefore(TElement* element) override;
  bool IsItsClass(TElement* element) override { return element && element->Is<TCross>(); }
  void Process(TElement* element) override;
};

class TLinesInterpret : public TGridInterpret {
  ZELTO_ELEMENT(TLinesInterpret)
 public:
  bool QProcessBefore(TElement* element) override;
  bool IsItsClass(TElement* element) override { return element && element->Is<TLines>(); }
  void Process(TElement* element) override;
};

void RegisterSheetGridClasses();
