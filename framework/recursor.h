#pragma once
// A tool that walks the element graph below its input depth first. For each
// element the descendants decide whether to work on it before its children
// (QProcessBefore), whether to descend (QGoInside) and whether to work on it
// after its children (QProcessAfter). An element reached through several
// parents is visited once per parent: the walk keeps no marks.
#include <cstdint>

#include "framework/technology.h"

class TRecursor : public TTechnology {
  ZELTO_ELEMENT(TRecursor)
 public:
  bool NotInside = false;
  // 1 for the input, 2 for its children, ...
  std::int32_t Level = 0;

  virtual void Recurse(TElement* element);
  virtual bool QGoInside(TElement* element);
  virtual bool QProcessBefore(TElement*) { return false; }
  virtual bool QProcessAfter(TElement*) { return false; }
  virtual void Process(TElement*) {}
  virtual void BeforeWalk() {}
  // Walks the input.
  void DoIt() override;
  // Walks from `root` as DoIt walks from the input.
  void Walk(TElement* root);

 protected:
  void Visit(TElement* element);
};

// A walk assembled from three tools: the before and after tools do the work
// on each element, the go-inside tool decides by leaving an output or not.
class TRecursorWithTools : public TRecursor {
  ZELTO_ELEMENT(TRecursorWithTools)
 public:
  // Held weakly: a tool freed elsewhere simply stops taking part.
  TTool* BeforeTool() const { return static_cast<TTool*>(before_.Get()); }
  TTool* AfterTool() const { return static_cast<TTool*>(after_.Get()); }
  TTool* QGoInsideTool() const { return static_cast<TTool*>(goInside_.Get()); }
  void SetBeforeTool(TTool* tool) { before_.Set(tool); }
  void SetAfterTool(TTool* tool) { after_.Set(tool); }
  void SetQGoInsideTool(TTool* tool) { goInside_.Set(tool); }

  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  bool QProcessAfter(TElement* element) override;

 private:
  TElementRef before_;
  TElementRef after_;
  TElementRef goInside_;
};

void RegisterRecursorClasses();
