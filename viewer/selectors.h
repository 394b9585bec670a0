#pragma once
// Picking in the viewer. A picker walks the viewed model and keeps the
// first point, line or area hit at a world position; a selector turns a
// click into such a walk, marks what it found on the map, makes it its
// output, tells the main tool and hands it to a follow-up tool.
#include <QRect>
#include <cstdint>
#include <memory>
#include <string>

#include "framework/recursor.h"
#include "viewer/interactive_tool.h"

class T2DCoordinate;

class TPickUper : public TRecursor {
  ZELTO_ELEMENT(TPickUper)
 public:
  ~TPickUper() override;

  bool GetFound() const { return found_; }
  double GetX() const;
  double GetY() const;
  void SetX(double x);
  void SetY(double y);
  double Tolerance = 0;
  // Empty: elements of any interpret layer.
  std::string SelectedLayer;

  void DoIt() override;
  void Process(TElement* element) override;
  virtual bool AcceptsLayer(TElement* element) const;

 protected:
  // Descends into entities other than tools and the given kinds, through
  // the layer filter, until something was found.
  bool GoesInto(TElement* element, std::initializer_list<const TElementClass*> barred) const;
  bool Tests(TElement* element, const TElementClass& kind) const { return !found_ && element->InheritsFrom(kind); }

 private:
  T2DCoordinate& Position();

  bool found_ = false;
  std::unique_ptr<T2DCoordinate> position_;
};

class TPickUpPoint : public TPickUper {
  ZELTO_ELEMENT(TPickUpPoint)
 public:
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
};

class TPickUpPolyLine : public TPickUper {
  ZELTO_ELEMENT(TPickUpPolyLine)
 public:
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
};

class TPickUpArea : public TPickUper {
  ZELTO_ELEMENT(TPickUpArea)
 public:
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
};

class TObjectSelector : public TInteractiveTool {
  ZELTO_ELEMENT(TObjectSelector)
 public:
  bool ShowProperties = false;
  bool DontViewProps = false;
  bool DontViewDBF = false;
  std::int32_t PixelTolerance = 5;
  TTool* GetOnSelect() const;
  void SetOnSelect(TElement* tool);

  // After the viewer has drawn the map anew, the mark of what was picked
  // goes over it again.
  void ReView(TZeltoMessage* message, bool& handled) override;

 protected:
  // Marks the picked element on the map.
  virtual void Highlight(TElement*) {}
  // The element under the event's pixel, nil when none; the picker is of
  // the selector's kind and gets `pixels` as its tolerance.
  TElement* Pick(TPickUper& picker, const TZeltoMouseEvent& event, std::int32_t pixels);
  // Record viewer, output, the main tool's notice and the follow-up tool.
  void Announce(TElement* element);
  // Where the element's mark lies on the screen, within the map; empty
  // without a viewer.
  QRect MarkOnScreen(TElement* element);
  void RunOnSelect(TElement* input);
  void Cross(double x, double y, std::int32_t pixels, bool diagonal, TColor color);

 private:
  TElementRef onSelect_;
};

class TPointSelector : public TObjectSelector {
  ZELTO_ELEMENT(TPointSelector)
 public:
  std::int32_t GetCursor() override { return 19; }
  void MouseUp(TZeltoMessage* message, bool& handled) override;

 protected:
  void Highlight(TElement* point) override;
};

class TLineSelector : public TObjectSelector {
  ZELTO_ELEMENT(TLineSelector)
 public:
  std::int32_t GetCursor() override { return 3; }
  void MouseUp(TZeltoMessage* message, bool& handled) override;

 protected:
  void Highlight(TElement* line) override;
};

class TAreaSelector : public TObjectSelector {
  ZELTO_ELEMENT(TAreaSelector)
 public:
  std::int32_t GetCursor() override { return 4; }
  void MouseUp(TZeltoMessage* message, bool& handled) override;

 protected:
  void Highlight(TElement* area) override;
};

class TPointCollector : public TObjectSelector {
  ZELTO_ELEMENT(TPointCollector)
 public:
  double X = 0;
  double Y = 0;
  std::int32_t GetCursor() override { return 7; }
  void MouseUp(TZeltoMessage* message, bool& handled) override;
};

void RegisterSelectorClasses();
