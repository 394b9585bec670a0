#pragma once
// Renderers of a desktop (the page layout) and its items: the sheet, map
// frames (the model drawn through the frame's own projection), texts, text
// blocks, rectangles, pictures and the handles of a selected element. All
// draw in page coordinates; a desktop hands each item to every item
// renderer that accepts it, in the order they were made.
#include "render/interpret.h"

class TUniversalInterpret;
class TInterpretScript;

class TDesktopInterpret : public TInterpret {
  ZELTO_ELEMENT(TDesktopInterpret)
 public:
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  bool QProcessAfter(TElement*) override { return false; }
  void Process(TElement* element) override;
  bool IsItsClass(TElement* element) override;
  void CreateSubInterprets() override;
  void DoIt() override;
};

class TViewInterpret : public TInterpret {
  ZELTO_ELEMENT(TViewInterpret)
 public:
  // Created on first use and added as the sub-interpret.
  TUniversalInterpret* GetInterpret();
  // Created from the default script on first read.
  TInterpretScript* GetInterpretScript();
  // Only an interpret script is accepted.
  void SetInterpretScript(TElement* script);

  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
  bool IsItsClass(TElement* element) override;

 private:
  TUniversalInterpret* interpret_ = nullptr;  // a sub-interpret
};

class TTextInterpret : public TInterpret {
  ZELTO_ELEMENT(TTextInterpret)
 public:
  bool QGoInside(TElement*) override { return false; }
  bool QProcessBefore(TElement* element) override { return IsItsClass(element); }
  void Process(TElement* element) override;
  bool IsItsClass(TElement* element) override;
};

class TTextBlockInterpret : public TInterpret {
  ZELTO_ELEMENT(TTextBlockInterpret)
 public:
  bool QGoInside(TElement*) override { return false; }
  bool QProcessBefore(TElement* element) override { return IsItsClass(element); }
  void Process(TElement* element) override;
  bool IsItsClass(TElement* element) override;
};

class TDrawRectInterpret : public TRectInterpret {
  ZELTO_ELEMENT(TDrawRectInterpret)
 public:
  bool QGoInside(TElement*) override { return false; }
  bool QProcessBefore(TElement* element) override { return IsItsClass(element); }
  void Process(TElement* element) override;
  bool IsItsClass(TElement* element) override;
};

class TBMPFileInterpret : public TInterpret {
  ZELTO_ELEMENT(TBMPFileInterpret)
 public:
  bool QGoInside(TElement*) override { return false; }
  bool QProcessBefore(TElement* element) override { return IsItsClass(element); }
  // A picture that cannot be read is reported in the log and left out.
  void Process(TElement* element) override;
  bool IsItsClass(TElement* element) override;
};

class TSelectedElementInterpret : public TRectInterpret {
  ZELTO_ELEMENT(TSelectedElementInterpret)
 public:
  bool QGoInside(TElement*) override { return false; }
  bool QProcessBefore(TElement* element) override { return IsItsClass(element); }
  void Process(TElement* element) override;
  bool IsItsClass(TElement* element) override;
};

void RegisterDesktopInterpretClasses();
