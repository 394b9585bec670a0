#pragma once
// The renderer that draws a whole model: for every element it asks the
// interpret script which interpret draws it (a map layer with an interpret
// of its own draws its objects itself), runs the script's passes one after
// another, may render through horizontal bitmap strips, and lets the
// application handle its messages every 200 ms so that a user can break it.
#include <cstdint>

#include "framework/timer_elements.h"
#include "render/interpret.h"
#include "render/interpret_script.h"
#include "render/tile_device.h"

class TInterpretLayer;

class TUniversalInterpret : public TInterpret {
  ZELTO_ELEMENT(TUniversalInterpret)
 public:
  TInterpretScript* GetScript() const { return script_; }
  // Held as a child; the previous script is deleted.
  void SetScript(TInterpretScript* script);
  TInterpret* GetInterpret() const { return current_; }
  bool GetInterpretByLayer() const { return interpretByLayer_; }
  bool GetCanGoInside() const { return canGoInside_; }
  std::int16_t Counter = 0;
  bool Tile = false;
  // Created on first use and held as a child.
  TTileDevice* GetTileDevice();
  void SetTileDevice(TTileDevice* device);
  // Created on first use (200 ms) and held as a child.
  TTickElement* GetTimer();

  void DoIt() override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
  bool QGoInside(TElement* element) override;
  bool QProcessAfter(TElement* element) override;
  void BeforeInterpret() override;
  void AfterInterpret() override;
  void SetBreakWork(bool on) override;
  bool CanGoInside(TElement*) override { return false; }
  void ReView(TZeltoMessage* message, bool& handled) override;
  void ReViewElementArea(TZeltoMessage* message, bool& handled) override;

  // Whether the last drawing ended by a user break.
  bool GetBroken() const { return broken_; }

 private:
  void RunPasses();
  void RunTiles();
  void DrawWith(TInterpret* interpret, TElement* element);
  bool LayerVisible(TInterpretLayer* layer);
  void PollBreak();

  TInterpretScript* script_ = nullptr;  // a child
  TInterpret* current_ = nullptr;
  TInterpret* layerInterpret_ = nullptr;
  const TElementClass* layerClass_ = nullptr;
  bool interpretByLayer_ = false;
  bool canGoInside_ = true;
  bool broken_ = false;
  TTileDevice* tileDevice_ = nullptr;  // a child
  TTickElement* timer_ = nullptr;      // a child
};

void RegisterUniversalInterpretClasses();
