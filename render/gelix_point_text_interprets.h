#pragma once
// Renderers of Gelix points (symbols of the point-symbol library, or small
// crosses) and Gelix texts (the stroked fonts). The libraries and fonts live
// for one drawing pass only, so the symbol files are read again at each.
#include "render/gelix_object_interpret.h"

class TGeliXSymbols;
class TBGIFont;
class TBGIText;

class TInterpretGlxBodu : public TInterpretGlxObject {
  ZELTO_ELEMENT(TInterpretGlxBodu)
 public:
  ~TInterpretGlxBodu() override;

  // Only while drawing, and only when the symbol directory holds "Fonty.txt".
  TGeliXSymbols* GetSymbols() const { return symbols_; }

  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
  bool IsItsClass(TElement* element) override;
  void BeginOnDevice(TDevice* device) override;
  void EndOnDevice() override;

 private:
  void FreeSymbols();

  TGeliXSymbols* symbols_ = nullptr;  // owned
};

class TInterpretGlxTextu : public TInterpretGlxObject {
  ZELTO_ELEMENT(TInterpretGlxTextu)
 public:
  ~TInterpretGlxTextu() override;

  TBGIFont* GetFont() const { return font_; }
  TBGIText* GetTextItem() const { return textItem_; }

  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
  bool IsItsClass(TElement* element) override;
  void BeginOnDevice(TDevice* device) override;
  void EndOnDevice() override;
  void ReView(TZeltoMessage* message, bool& handled) override;

 private:
  void FreeFont();

  TBGIFont* font_ = nullptr;       // owned
  TBGIText* textItem_ = nullptr;   // owned
  bool fontErrorPosted_ = false;   // in this pass
};
