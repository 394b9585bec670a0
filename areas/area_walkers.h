#pragma once
// Walkers over the areas below an element: counting and clearing done
// marks, the gauge walk with its counting pre-pass and the area finder.
#include "areas/line_walkers.h"

class TAreaString;

class TProchazecPloch : public TProchazecObjektu {
  ZELTO_ELEMENT(TProchazecPloch)
 public:
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
};

// Counts the areas and clears every done mark it meets.
class TOznacPlochy : public TProchazecPloch {
  ZELTO_ELEMENT(TOznacPlochy)
 public:
  void Process(TElement* element) override;
};

class TProchazecPlochGauge : public TProchazecPloch {
  ZELTO_ELEMENT(TProchazecPlochGauge)
 public:
  void DoIt() override;
};

// Collects the areas not yet done into Output (a new TAreaString of its own
// when none was given); holes only with IncludeHoles.
class THledacPloch : public TProchazecPlochGauge {
  ZELTO_ELEMENT(THledacPloch)
 public:
  bool IncludeHoles = false;

  void DoIt() override;
  void Process(TElement* element) override;
  void SetWindow(double left, double bottom, double right, double top) { window_ = {left, bottom, right, top}; }
  TRectEntity* Result() const { return result_; }

 private:
  TSearchWindow window_;
  TRectEntity* result_ = nullptr;
};
