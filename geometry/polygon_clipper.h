#pragma once
// Clips a closed ring of device points against a device rectangle, one side
// after the other (left, top, right, bottom), so that huge or far-away areas
// can be filled safely. Used once per ring: construct, Execute, GetResult.
#include <cstdint>
#include <vector>

#include "geometry/device_types.h"

// Saturates at +-2147483647 and rounds half to even.
std::int32_t ClampToInt32(double v);

class TOrezavacPloch {
 public:
  // Takes the first count points of the ring; the last point may repeat the
  // first or not.
  TOrezavacPloch(const TDeviceRect& rect, std::vector<TDevicePoint> points, std::size_t count);

  void Execute();
  // The clipped ring, closed after every pass that ran; empty when the ring
  // lies wholly outside or the clipper failed.
  void GetResult(std::vector<TDevicePoint>& points, std::size_t& count) const;

  bool Failed() const { return failed_; }

 private:
  enum class Side { Left, Top, Right, Bottom };
  void StartPass();
  void AddPoint(std::int32_t x, std::int32_t y);
  void CloseRing();
  void ClipSide(Side side);

  bool beyondLeft_ = false, beyondTop_ = false, beyondRight_ = false, beyondBottom_ = false;
  TDeviceRect rect_;
  std::vector<TDevicePoint> input_;
  std::vector<TDevicePoint> output_;
  bool haveInput_ = false;
  bool haveOutput_ = false;
  std::size_t capacity_ = 0;
  bool failed_ = false;
};
