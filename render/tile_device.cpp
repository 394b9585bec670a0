#include "render/tile_device.h"

#include <new>
#include <string>

#include "framework/memory_element.h"
#include "framework/message_dispatch.h"
#include "framework/string_list.h"
#include "framework/system_register.h"
#include "framework/world.h"
#include "framework/zelto_message.h"
#include "render/memory_raster.h"

ZELTO_IMPLEMENT_ELEMENT(TTileDevice, TBitmapDevice, [](auto& p) {
  p.Boolean("Done", &TTileDevice::GetDone);
  p.Integer("TileCount", &TTileDevice::GetTileCount);
  p.Integer("TileIndex", &TTileDevice::GetTileIndex);
  p.Integer("TileTop", &TTileDevice::GetTileTop);
})

namespace {
std::int32_t halved(std::int32_t s) { return s / 2 + s % 2; }
}  // namespace

TBitmap* TTileDevice::MakeBitmap(std::int32_t width, std::int32_t height) {
  try {
    if (factory_) return factory_(width, height);
    // Strips are drawn as the target draws, texts included.
    if (target_ && target_->Is<TCanvasDevice>())
      if (const TCanvas* canvas = static_cast<TCanvasDevice*>(target_)->GetCanvas())
        if (TBitmap* bitmap = canvas->NewCompatibleBitmap(width, height)) return bitmap;
    return new TMemoryRaster(width, height);
  } catch (const std::bad_alloc&) {
    return nullptr;
  } catch (const std::length_error&) {
    return nullptr;
  }
}

std::int64_t TTileDevice::Budget() {
  if (budgetOverride_ >= 0) return budgetOverride_;
  std::int64_t budget = kDefaultBudget;
  if (TWorld* world = GetWorld())
    if (TSystemRegister* reg = world->GetSystemRegister())
      if (TStringListElement* raster = reg->GetRaster())
        if (const std::int32_t value = raster->GetIntegerByName("MEMORY_TILE"); value != 0) budget = value;
  TMemoryElement memory;
  if (static_cast<std::int64_t>(memory.AvailMemory64()) < budget)
    budget = static_cast<std::int64_t>(memory.AvailMemory64());
  if (budget < kCriticalBudget) {
    PostTextMessage(this, zelto::msg::LogText, "TILE... kritický stav paměti: " + std::to_string(budget),
                    nullptr);
    if (memory.AvailPageFile() <= kCriticalBudget) {
      PostTextMessage(this, zelto::msg::LogText,
                      "TILE... Zoufale kritický stav paměti ... uvolněte místo na swapovacím disku!",
                      nullptr);
      budget = 0;
    } else {
      budget = kCriticalBudget;
    }
  }
  return budget;
}

void TTileDevice::SetTarget(TDevice* target) {
  target_ = target;
  done_ = true;
  tileCount_ = 1;
  tileIndex_ = 0;
  tileTop_ = 0;
  SetBitmap(nullptr);
  if (!target_ || !target_->GetPage()) return;
  const std::int32_t w = target_->GetPage()->GetWidth();
  const std::int32_t h = target_->GetPage()->GetHeight();
  if (w <= 0 || h <= 0) return;
  std::int32_t s = h;
  if (Budget() != 0)
    while (tileCount_ < 5) {
      tileCount_ *= 2;
      s = halved(s);
    }
  TBitmap* bitmap = MakeBitmap(w, s);
  while (!bitmap && s > 1) {
    tileCount_ *= 2;
    s = halved(s);
    bitmap = MakeBitmap(w, s);
  }
  if (!bitmap) return;
  while (std::int64_t{tileCount_} * s - s >= h) --tileCount_;
  PostTextMessage(this, zelto::msg::StatusText, "TILE... Počet dlaždic " + std::to_string(tileCount_),
                  nullptr);
  zelto::ProcessPendingMessages();
  SetOwnsBitmap(true);
  SetBitmap(bitmap);
  GetPage()->SetPaperColor(target_->GetPage()->GetPaperColor());
  FollowTarget(s / 2);
  done_ = false;
}

void TTileDevice::FollowTarget(std::int32_t centreRow) {
  const T_Page* targetPage = target_->GetPage();
  GetPage()->SetResolution(targetPage->GetHRes(), targetPage->GetVRes());
  TPageProjection* own = GetProjection();
  const TPageProjection* theirs = target_->GetProjection();
  // A turned map stays turned in every strip.
  own->SetRotateCenterX(theirs->GetRotateCenterX());
  own->SetRotateCenterY(theirs->GetRotateCenterY());
  own->SetAngle(theirs->GetAngle());
  own->Setup({theirs->GetCenterX(), theirs->DeviceToWorldY(centreRow)}, GetPage(), theirs->GetScale());
  // Hatches continue across the seams as on the whole page.
  if (TCanvas* canvas = GetCanvas()) canvas->BrushOrigin() = {0, -tileTop_};
}

void TTileDevice::EndDraw() {
  if (!target_ || !target_->Is<TCanvasDevice>() || !GetBitmap()) return;
  TCanvas* canvas = static_cast<TCanvasDevice*>(target_)->GetCanvas();
  if (canvas) canvas->Draw(0, tileTop_, *GetBitmap());
}

void TTileDevice::NextTile() {
  if (done_ || !GetBitmap()) {
    done_ = true;
    return;
  }
  const std::int32_t h = GetBitmap()->GetHeight();
  ++tileIndex_;
  tileTop_ += h;
  done_ = !(tileIndex_ < tileCount_);
  if (done_) {
    SetBitmap(nullptr);
    return;
  }
  const std::int32_t pageHeight = target_->GetPage()->GetHeight();
  std::int32_t height = h;
  if (tileTop_ + h > pageHeight - 1) {
    // The last strip holds only the rows left of the page.
    height = pageHeight - tileTop_;
    GetBitmap()->SetSize(GetBitmap()->GetWidth(), height);
    SetCanvas(&GetBitmap()->Canvas());
  }
  FollowTarget(tileIndex_ * h + height / 2);
}
