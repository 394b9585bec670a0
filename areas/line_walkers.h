#pragma once
// Walkers over the lines below an element: counting and clearing done
// marks, the gauge walk with its counting pre-pass, the walk limited to
// containers of one class, the line finder and the line loader by kind.
#include <cstdint>
#include <string>

#include "areas/object_walker.h"
#include "framework/rect_entity.h"

class TIntegerListElement;
class TPolyLineElement;
class TSpaceEntity;

class TProchazecLinii : public TProchazecObjektu {
  ZELTO_ELEMENT(TProchazecLinii)
 public:
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
};

// Counts the lines and clears every done mark it meets.
class TOznacLinie : public TProchazecLinii {
  ZELTO_ELEMENT(TOznacLinie)
 public:
  void Process(TElement* element) override;
};

// Counts first (clearing the done marks below the input, so that a line
// reachable twice is handled once) and shows the form above 100 lines.
class TProchazecLiniiGauge : public TProchazecLinii {
  ZELTO_ELEMENT(TProchazecLiniiGauge)
 public:
  void DoIt() override;

 protected:
  // The pre-pass: clears the done marks of the lines the walk may take and
  // counts them; here every line below the input.
  virtual std::int32_t ClearLineMarks();
};

// Processes containers of ContainerClass instead of lines, and does not
// descend into them.
class TProchazecLiniiDleTridy : public TProchazecLiniiGauge {
  ZELTO_ELEMENT(TProchazecLiniiDleTridy)
 public:
  const TElementClass* ContainerClass() const { return containerClass_; }
  std::string GetContainerClassName() const;
  // Looked up in the class registry; an unknown name leaves no class.
  void SetContainerClassName(const std::string& name);
  void SetSkipClass(const TElementClass* cls) { containerClass_ = cls; }

  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement*) override {}

 protected:
  bool IsContainer(const TElement* element) const;

 private:
  const TElementClass* containerClass_ = nullptr;
};

// A search window: left, bottom, right, top; all zero takes everything.
struct TSearchWindow {
  double Left = 0, Bottom = 0, Right = 0, Top = 0;
  bool IsWhole() const { return Left == 0 && Bottom == 0 && Right == 0 && Top == 0; }
  bool Meets(const TRectEntity& element) const;
};

// Collects the lines not yet done into Output (a new TSpaceEntity of its
// own when none was given).
class THledacLinii : public TProchazecLiniiGauge {
  ZELTO_ELEMENT(THledacLinii)
 public:
  void DoIt() override;
  void Process(TElement* element) override;
  void SetWindow(double left, double bottom, double right, double top) { window_ = {left, bottom, right, top}; }
  TRectEntity* Result() const { return result_; }

 private:
  TSearchWindow window_;
  TRectEntity* result_ = nullptr;
};

// Moves the lines of the listed kinds (property "DRUH") into the target
// given as its first parameter, a TPolyLineString; no list takes all.
class TNacitacLinii : public TProchazecLiniiGauge {
  ZELTO_ELEMENT(TNacitacLinii)
 public:
  void SetDruhy(const std::string& text);
  TIntegerListElement* Druhy() const { return druhy_; }
  void Process(TElement* element) override;

 private:
  bool KindMatches(TElement* line) const;
  TIntegerListElement* druhy_ = nullptr;
};
