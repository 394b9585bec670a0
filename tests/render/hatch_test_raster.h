#pragma once
// A memory raster for the hatch tests: pixels of colour values, -1 unpainted;
// lines are the axis-parallel runs the fill draws.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include "render/hatch_painter.h"

namespace hatch_test {

class Raster : public render::HatchPainter {
 public:
  Raster(int width, int height) : w(width), h(height), px(width * height, -1) {}
  void FillRings(std::span<const TDevicePoint>, std::span<const std::int32_t>, std::int32_t rgb) override {
    fills.push_back(rgb);
  }
  void SetPenColor(std::int32_t rgb) override { pen = rgb; }
  void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override {
    ++lines;
    if (x1 != x2 && y1 != y2) throw std::logic_error("the fill draws along rows only");
    const int dx = (x2 > x1) - (x2 < x1), dy = (y2 > y1) - (y2 < y1);
    for (int x = x1, y = y1; x != x2 || y != y2; x += dx, y += dy) set(x, y);
  }
  int at(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h ? px[y * w + x] : -2; }

  int w, h;
  std::vector<std::int32_t> px;
  std::vector<std::int32_t> fills;
  std::int32_t pen = 0;
  int lines = 0;

 private:
  void set(int x, int y) {
    if (x >= 0 && y >= 0 && x < w && y < h) px[y * w + x] = pen;
  }
};

}  // namespace hatch_test
