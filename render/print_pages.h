#pragma once
// The grid of printer pages that covers one desktop, so that a desktop
// larger than the paper prints sheet by sheet. Page 0 is the bottom-left
// sheet; indexes run left to right, then upwards. The grid is rebuilt from
// scratch whenever the desktop, scale factor, overlap or centring changes.
#include <cstdint>

#include "framework/draw_items.h"
#include "render/desktop.h"
#include "render/device.h"

class TPrintPages : public TRectEntity {
  ZELTO_ELEMENT(TPrintPages)
 public:
  // The printer whose paper gives the sheet size; set before the desktop.
  TDevice* Device = nullptr;
  std::int32_t Rows = 0;
  std::int32_t Cols = 0;

  TDesktop* GetDesktop() const { return desktop_; }
  void SetDesktop(TDesktop* desktop);
  // Desktop units per metre of paper; a value not above 0 reads as 1.
  double GetScaleFactor();
  void SetScaleFactor(double value);
  double GetOverlap() const { return overlap_; }
  void SetOverlap(double value);
  bool GetCentered() const { return centered_; }
  void SetCentered(bool centered);
  bool GetSinglePage() const { return singlePage_; }
  // Honoured at the next build.
  void SetSinglePage(bool single) { singlePage_ = single; }

  // Created on first use.
  TRectEntity* GetPages();
  int GetPageCount();
  TDrawRectangle* GetPage(int index);

  virtual void ClearPages();
  virtual void CenterOnDesktop();
  void RebuildPages();

 private:
  TDrawRectangle* AddPage(double minX, double minY, double width, double height);

  TDesktop* desktop_ = nullptr;
  double scaleFactor_ = 0;
  TRectEntity* pages_ = nullptr;
  double overlap_ = 0;
  bool centered_ = false;
  bool singlePage_ = false;
};
