#include "render/hatch_painter.h"

#include "render/device.h"

namespace render {

void DeviceHatchPainter::FillRings(std::span<const TDevicePoint> points,
                                   std::span<const std::int32_t> ringCounts, std::int32_t rgb) {
  TBrush brush;
  brush.Color = rgb;
  brush.Style = bsSolid;
  device_.SetBrush(brush);
  TPen pen = device_.GetPen() ? *device_.GetPen() : TPen();
  pen.Style = psClear;
  device_.SetPen(pen);
  TCanvas* canvas = nullptr;
  try {
    canvas = device_.GetHandle();
  } catch (const EAbstractError&) {
    return;  // a device without a surface fills nothing
  }
  if (canvas && !points.empty())
    canvas->PolyPolygon(points.data(), ringCounts.data(), static_cast<std::int32_t>(ringCounts.size()));
}

void DeviceHatchPainter::SetPenColor(std::int32_t rgb) {
  TPen pen = device_.GetPen() ? *device_.GetPen() : TPen();
  pen.Color = rgb;
  pen.Style = psSolid;
  pen.Width = 1;
  device_.SetPen(pen);
}

void DeviceHatchPainter::UseSolidPen() {
  TPen pen = device_.GetPen() ? *device_.GetPen() : TPen();
  pen.Style = psSolid;
  pen.Width = 1;
  device_.SetPen(pen);
}

void DeviceHatchPainter::Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  device_.MoveToPixel(x1, y1);
  device_.LineToPixel(x2, y2);
}

}  // namespace render
