#pragma once
// The paper layout that the viewer shows and the print tools print: a white
// rectangle whose children are map frames, texts, text blocks and pictures.
// A multi-page desktop lays such pages side by side and writes into each the
// numbers of its neighbours (y grows upwards: the page above has larger y).
#include <cstdint>
#include <string>

#include "framework/draw_items.h"
#include "framework/file_element.h"

class TDesktop : public TDrawRectangle {
  ZELTO_ELEMENT(TDesktop)
 public:
  TDesktop();
};

class TMultiPageDesktop : public TRectEntity {
  ZELTO_ELEMENT(TMultiPageDesktop)
 public:
  std::string LeftNumberTextName;
  std::string RightNumberTextName;
  std::string NumberTextName;
  std::string TopNumberTextName;
  std::string BottomNumberTextName;
  std::string NoNumberText;
  double Overlap = 0;
  double RealOverlap = 0;

  TDesktop* GetActualPage() const { return static_cast<TDesktop*>(actualPage_.Get()); }
  void SetActualPage(TDesktop* page) { actualPage_.Set(page); }

  // The child at the index, a larger index lowered to the last one; nullptr
  // without children.
  TElement* GetPage(int index) const;
  // The first desktop child holding the point, its edges included.
  TDesktop* PageAtPoint(double x, double y) const;
  // 1-based; 0 without an actual page or a page at the point.
  int PageNumberAtPoint(double x, double y) const;

  int GetActualNumber() const;
  int GetActualLeftNumber() const;
  int GetActualRightNumber() const;
  int GetActualTopNumber() const;
  int GetActualBottomNumber() const;

  // Page n (clamped to the pages there are) becomes the actual page.
  void SetFIndPageNumber(std::int32_t n);
  void SetPageNumberToDelete(std::int32_t n);
  // Names every page "Page n" and fills its number texts; the value is ignored.
  void SetFillNumbers(std::int32_t);

 private:
  void FillActualPage();

  TElementRef actualPage_;
};

// A desktop file with a shift of its contents; stored only.
class TDeskTopFile : public TFileElement {
  ZELTO_ELEMENT(TDeskTopFile)
 public:
  double DeltaX = 0;
  double DeltaY = 0;
};

// Registers the desktop classes.
void RegisterDesktopClasses();
