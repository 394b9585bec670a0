#include "render/bitmap_device.h"

#include "framework/message_dispatch.h"
#include "framework/zelto_message.h"

ZELTO_IMPLEMENT_ELEMENT(TBitmapDevice, TCanvasDevice, [](auto& p) {
  p.Boolean("OwnsBitmap", &TBitmapDevice::GetOwnsBitmap, &TBitmapDevice::SetOwnsBitmap);
})
ZELTO_IMPLEMENT_ELEMENT(TImageCanvasDevice, TBitmapDevice, ZELTO_NO_PROPERTIES)

TBitmapDevice::~TBitmapDevice() {
  if (ownsBitmap_) delete bitmap_;
}

void TBitmapDevice::SetBitmap(TBitmap* bitmap) {
  if (bitmap_ && ownsBitmap_ && bitmap_ != bitmap) delete bitmap_;
  bitmap_ = bitmap;
  SetCanvas(bitmap_ ? &bitmap_->Canvas() : nullptr);
}

void TImageCanvasDevice::EndDraw() {
  TBitmapDevice::EndDraw();
  zelto::ProcessPendingMessages();
  PostMessageToOwners(zelto::msg::EndOfDrawing);
}
