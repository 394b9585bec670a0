#pragma once
// Renderers of Gelix lines (colour, pen weight, line symbol and a point
// symbol on the line) and Gelix areas (a fill colour or an area symbol).
#include <cstdint>

#include "render/gelix_object_interpret.h"

class TLinioveZnacky;
class TGeliXSymbols;
class TPlosneZnacky;

class TInterpretGlxLinii : public TInterpretGlxObject {
  ZELTO_ELEMENT(TInterpretGlxLinii)
 public:
  ~TInterpretGlxLinii() override;

  TLinioveZnacky* GetLineSymbols() const { return lineSymbols_; }
  TGeliXSymbols* GetPointSymbols() const { return pointSymbols_; }
  std::int32_t GetThinWidth() const { return thinWidth_; }
  std::int32_t GetThickWidth() const { return thickWidth_; }

  bool QGoInside(TElement*) override { return false; }
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
  bool IsItsClass(TElement* element) override;
  void BeginOnDevice(TDevice* device) override;
  void EndOnDevice() override;
  bool CanGoInside(TElement* element) override;

 private:
  void FreeLibraries();

  TLinioveZnacky* lineSymbols_ = nullptr;  // owned
  TGeliXSymbols* pointSymbols_ = nullptr;  // owned
  std::int32_t thinWidth_ = 1;
  std::int32_t thickWidth_ = 1;
  TElement* stringProps_ = nullptr;  // of the line string walked; not owned
};

class TInterpretGlxPloch : public TInterpretGlxObject {
  ZELTO_ELEMENT(TInterpretGlxPloch)
 public:
  ~TInterpretGlxPloch() override;

  TPlosneZnacky* GetAreaSymbols() const { return areaSymbols_; }

  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
  bool IsItsClass(TElement* element) override;
  void BeginOnDevice(TDevice* device) override;
  void EndOnDevice() override;
  bool CanGoInside(TElement* element) override;

 private:
  void FreeLibrary();

  TPlosneZnacky* areaSymbols_ = nullptr;  // owned
  TElement* stringProps_ = nullptr;       // of the area string walked; not owned
};
