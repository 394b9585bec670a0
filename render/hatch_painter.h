#pragma once
// What the hatch fill needs of a drawing device, in device pixels. The fill
// is written against this so that it runs on any raster: the output devices
// adapt to it, tests paint into plain memory.
#include <cstdint>
#include <span>

#include "geometry/device_types.h"

namespace render {

class HatchPainter {
 public:
  virtual ~HatchPainter() = default;
  // Solid brush of the colour, no pen: the rings as one polygon set (holes
  // stay empty).
  virtual void FillRings(std::span<const TDevicePoint> points,
                         std::span<const std::int32_t> ringCounts, std::int32_t rgb) = 0;
  // Solid pen one pixel wide.
  virtual void SetPenColor(std::int32_t rgb) = 0;
  // Solid pen one pixel wide, its colour kept.
  virtual void UseSolidPen() {}
  // A line of the current pen; the end point itself is not painted.
  virtual void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) = 0;
};

}  // namespace render

class TDevice;

namespace render {

// The fill on a drawing device: rings through its canvas, lines through its
// pixel moves, the pen and brush set as the fill asks.
class DeviceHatchPainter : public HatchPainter {
 public:
  explicit DeviceHatchPainter(TDevice& device) : device_(device) {}
  void FillRings(std::span<const TDevicePoint> points, std::span<const std::int32_t> ringCounts,
                 std::int32_t rgb) override;
  void SetPenColor(std::int32_t rgb) override;
  void UseSolidPen() override;
  void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;

 private:
  TDevice& device_;
};

}  // namespace render
