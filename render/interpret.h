#pragma once
// Interprets: renderers that walk a model and draw what they understand on
// a device. An interpret hands every element it visits to each of its
// sub-interprets that accepts the element's class, in list order. A walk on
// the screen never lets an exception out; a printing walk lets out whatever
// ended it early, a break included, so that a print missing part of its
// page is never taken for a good one.
#include <string>

#include "framework/errors.h"
#include "framework/recursor.h"
#include "render/device.h"

// A user break inside a walk; ends a walk on the screen quietly.
class EBreakInterpret : public EZeltoError {
 public:
  EBreakInterpret() : EZeltoError("Konec intepretace") {}
};

class TInterpret : public TRecursor {
  ZELTO_ELEMENT(TInterpret)
 public:
  ~TInterpret() override;

  TDevice* GetDevice() const { return device_; }
  // Held as a child; the previous device is unlinked, not freed.
  void SetDevice(TDevice* device);
  bool GetPrinting() const { return printing_; }
  void SetPrinting(bool printing) { printing_ = printing; }
  // Appends a sub-interpret; nil is ignored.
  void SetNextSubInterpret(TElement* interpret);

  void HandleMessage(TZeltoMessage*& message, bool& handled) override;
  void SetBreakWork(bool on) override;
  void DoIt() override;
  // Hands the element to this interpret as its input and draws it (DoIt).
  virtual void Draw(TElement* element);
  // Enters an element only when no walk on the same device is inside it.
  void Recurse(TElement* element) override;
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement*) override { return true; }
  void Process(TElement* element) override;
  virtual void AfterSubInterpret(TElement* output) {}
  virtual bool IsItsClass(TElement* element) { return element != nullptr; }
  // Renderers with fixed sub-interprets create them here; it runs once,
  // before the interpret is first bound or run (a constructor cannot reach
  // the override).
  virtual void CreateSubInterprets() {}
  virtual void FreeSubInterprets();
  virtual void BeginOnDevice(TDevice* device);
  virtual void EndOnDevice();
  virtual void BeforeInterpret() {}
  virtual void AfterInterpret() {}
  // Whether the walk should also enter an element this interpret drew.
  virtual bool CanGoInside(TElement* element) { return false; }
  virtual void ReView(TZeltoMessage* message, bool& handled);
  virtual void ReViewElementArea(TZeltoMessage* message, bool& handled) {}

  void EnsureSubInterprets();

 protected:
  // What DoIt does, from `root` instead of the input.
  void DrawFrom(TElement* root);

 private:
  TDevice* device_ = nullptr;  // a child
  bool printing_ = false;
  bool subInterpretsCreated_ = false;
};

class TRectInterpret : public TInterpret {
  ZELTO_ELEMENT(TRectInterpret)
 public:
  double GetMinX() const { return minX_; }
  double GetMinY() const { return minY_; }
  double GetMaxX() const { return maxX_; }
  double GetMaxY() const { return maxY_; }
  // Also takes the visible world rectangle from the device.
  void BeginOnDevice(TDevice* device) override;

 private:
  double minX_ = 0, minY_ = 0, maxX_ = 0, maxY_ = 0;
};
