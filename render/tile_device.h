#pragma once
// Renders a page too large for one bitmap in horizontal strips: each strip
// is drawn into a strip-sized bitmap and copied onto the target device.
//
//   tiles.SetTarget(&printer);
//   while (!tiles.GetDone()) {
//     tiles.BeginDraw(); /* draw the whole page */ tiles.EndDraw(); tiles.NextTile();
//   }
#include <cstdint>
#include <functional>
#include <memory>

#include "render/bitmap_device.h"

class TTileDevice : public TBitmapDevice {
  ZELTO_ELEMENT(TTileDevice)
 public:
  // Memory for the strips when the settings name none.
  static constexpr std::int64_t kDefaultBudget = 20'000'000;
  static constexpr std::int64_t kCriticalBudget = 2'000'000;

  using BitmapFactory = std::function<TBitmap*(std::int32_t width, std::int32_t height)>;
  // How strip bitmaps are made (unless told otherwise, bitmaps that the
  // target's canvas makes, else memory rasters); a factory answers nil when
  // it cannot make one that large.
  void SetBitmapFactory(BitmapFactory factory) { factory_ = std::move(factory); }
  // The memory budget in bytes instead of the settings and the machine's
  // free memory (tests, and callers that know better); -1 to ask again.
  void SetBudgetOverride(std::int64_t budget) { budgetOverride_ = budget; }

  TDevice* GetTarget() const { return target_; }
  // Cuts the target's page into strips and prepares the first.
  void SetTarget(TDevice* target);
  bool GetDone() const { return done_; }
  std::int32_t GetTileCount() const { return tileCount_; }
  std::int32_t GetTileIndex() const { return tileIndex_; }
  std::int32_t GetTileTop() const { return tileTop_; }

  void BeginDraw() override { Clear(); }
  // Copies the finished strip onto the target.
  void EndDraw() override;
  virtual void NextTile();

 private:
  std::int64_t Budget();
  TBitmap* MakeBitmap(std::int32_t width, std::int32_t height);
  // The projection of the strip whose centre lies on the target's row.
  void FollowTarget(std::int32_t centreRow);

  TDevice* target_ = nullptr;  // not owned
  bool done_ = true;
  std::int32_t tileCount_ = 0;
  std::int32_t tileIndex_ = 0;
  std::int32_t tileTop_ = 0;
  BitmapFactory factory_;
  std::int64_t budgetOverride_ = -1;
};
