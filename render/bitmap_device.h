#pragma once
// Canvas devices that draw into bitmaps: a plain bitmap device, and the
// image device of the viewer and the print preview, which tells its owners
// when a drawing pass has ended.
#include "render/device.h"

class TBitmapDevice : public TCanvasDevice {
  ZELTO_ELEMENT(TBitmapDevice)
 public:
  ~TBitmapDevice() override;

  TBitmap* GetBitmap() const { return bitmap_; }
  // Frees an owned bitmap first; the canvas follows the bitmap (none for
  // nil).
  void SetBitmap(TBitmap* bitmap);
  bool GetOwnsBitmap() const { return ownsBitmap_; }
  void SetOwnsBitmap(bool owns) { ownsBitmap_ = owns; }

 private:
  TBitmap* bitmap_ = nullptr;
  bool ownsBitmap_ = false;
};

class TImageCanvasDevice : public TBitmapDevice {
  ZELTO_ELEMENT(TImageCanvasDevice)
 public:
  // Lets pending messages through, then posts "drawing ended" (49) to the
  // owners.
  void EndDraw() override;
};
