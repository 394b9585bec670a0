#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "geometry/area_element.h"
#include "geometry/poly_element.h"
#include "render/border_buffer.h"
#include "render/device.h"
#include "render/memory_raster.h"

namespace {
constexpr TColor kRed = RGBColor(255, 0, 0);

// One metre a pixel: world (x, y) lands on pixel (x, 100 - y).
struct Sheet {
  TMemoryRaster raster{100, 100};
  TCanvasDevice device;
  Sheet() {
    raster.SetLogPixels(254, 254);
    device.SetCanvas(&raster);
    device.GetProjection()->Setup({50, 50}, device.GetPage(), 10000);
    raster.Pen().Color = kRed;
    raster.Brush().Color = kRed;
  }
  bool red(int x, int y) const { return raster.GetPixel(x, y) == kRed; }
  int redCount() const {
    int n = 0;
    for (TColor c : raster.Pixels()) n += c == kRed;
    return n;
  }
};

template <class T>
T* shape(std::initializer_list<std::pair<double, double>> vertices) {
  auto* e = new T;
  for (auto [x, y] : vertices) e->AddVertex(x, y);
  return e;
}
}  // namespace

TEST(CanvasDevice, ClearFillsWithPaperColour) {
  Sheet s;
  s.device.GetPage()->SetPaperColor(kRed);
  s.device.BeginDraw();
  EXPECT_EQ(s.redCount(), 100 * 100);
  s.device.GetPage()->SetPaperColor(clWhite);
  s.device.GetPage()->SetUseInnerRect(true);
  s.device.GetPage()->SetInnerRect({10, 10, 20, 20});
  s.device.Clear();
  EXPECT_EQ(s.redCount(), 100 * 100 - 100);
}

TEST(CanvasDevice, PenWidthIsAtLeastOnePixel) {
  Sheet s;
  s.device.SetPenWidth(0.2);
  EXPECT_EQ(s.device.GetPen()->Width, 1);
  s.device.SetPenWidth(3);
  EXPECT_EQ(s.device.GetPen()->Width, 3);
  s.device.SetPenWidth(1e30);
  EXPECT_EQ(s.device.GetPen()->Width, kMaxPenWidth);
  TDevice bare;
  bare.SetPenWidth(3);  // no pen: nothing happens
}

TEST(MemoryRaster, AWidePenCoversTheSquaresCentredOnTheLinesPixels) {
  // The pixels of a line from (x0, y0) to (x1, y1), its end left out.
  const auto linePixels = [](int x0, int y0, int x1, int y1) {
    std::vector<std::pair<int, int>> out;
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0), sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    for (int err = dx + dy, x = x0, y = y0; x != x1 || y != y1;) {
      out.emplace_back(x, y);
      const int e2 = 2 * err;
      if (e2 >= dy) err += dy, x += sx;
      if (e2 <= dx) err += dx, y += sy;
    }
    return out;
  };
  const int ends[][4] = {{5, 5, 60, 20}, {60, 20, 5, 5}, {10, 70, 12, 3}, {40, 40, 40, 40},
                         {3, 50, 80, 50}, {50, 3, 50, 80}, {0, 0, 79, 79}, {70, 10, 10, 75}};
  for (int width : {1, 2, 3, 8, 25}) {
    for (const auto& e : ends) {
      TMemoryRaster raster(80, 80);
      raster.Pen().Color = kRed;
      raster.Pen().Width = width;
      raster.MoveTo(e[0], e[1]);
      raster.LineTo(e[2], e[3]);
      std::vector<bool> want(80 * 80, false);
      const int lead = (width - 1) / 2;
      for (auto [x, y] : linePixels(e[0], e[1], e[2], e[3]))
        for (int py = y - lead; py < y - lead + width; ++py)
          for (int px = x - lead; px < x - lead + width; ++px)
            if (px >= 0 && py >= 0 && px < 80 && py < 80) want[py * 80 + px] = true;
      for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x)
          ASSERT_EQ(raster.GetPixel(x, y) == kRed, want[y * 80 + x])
              << "width " << width << " line " << e[0] << "," << e[1] << " " << e[2] << "," << e[3] << " at " << x
              << "," << y;
    }
  }
}

TEST(CanvasDevice, LineToTheSamePixelDrawsNothing) {
  Sheet s;
  s.device.MoveTo(10, 90);
  s.device.LineTo(10.2, 89.9);
  EXPECT_EQ(s.redCount(), 0);
  s.device.LineTo(20, 90);
  EXPECT_TRUE(s.red(15, 10));
  EXPECT_EQ(s.device.LastX, 20);
  EXPECT_EQ(s.device.LastY, 10);
}

TEST(CanvasDevice, SegmentsBeyondTheInnerRectangleOnlyMoveThePen) {
  Sheet s;
  T_Page* page = s.device.GetPage();
  page->SetUseInnerRect(true);
  page->SetInnerRect({20, 20, 80, 80});
  s.device.MoveTo(0, 90);
  s.device.LineTo(10, 10);  // wholly left of the inner rectangle
  EXPECT_EQ(s.redCount(), 0);
  EXPECT_EQ(s.device.LastX, 10);
  s.device.LineTo(90, 50);  // crosses it: only the inside piece is drawn
  EXPECT_TRUE(s.red(50, 70));
  for (int x = 0; x < 100; ++x)
    for (int y = 0; y < 100; ++y)
      if (s.red(x, y)) {
        EXPECT_TRUE(x >= 20 && x <= 80 && y >= 20 && y <= 80) << x << "," << y;
      }
}

TEST(BorderBuffer, RepeatedPixelsMergeAndTinyRingsVanish) {
  Sheet s;
  std::unique_ptr<TPolyLineElement> line(shape<TPolyLineElement>({{10, 10}, {10.2, 10.1}, {20, 10}, {20, 20}}));
  TBorderBuffer buffer;
  buffer.SetProjection(s.device.GetProjection());
  buffer.SetRectEntity(line.get());
  EXPECT_EQ(buffer.GetPointNo(), 3);
  EXPECT_EQ(buffer.GetBufferSize(), 4 * 8);

  std::unique_ptr<TAreaElement> dot(shape<TAreaElement>({{10, 10}, {10.1, 10}, {10, 10.1}}));
  buffer.SetRectEntity(dot.get());
  EXPECT_FALSE(buffer.HasBuffer());
  EXPECT_EQ(buffer.GetPointNo(), 0);
  s.device.DrawPolygon(dot.get());
  EXPECT_EQ(s.redCount(), 0);
}

TEST(BorderBuffer, LargeElementsAreBufferedWhole) {
  Sheet s;
  std::unique_ptr<TPolyLineElement> line(new TPolyLineElement);
  for (int i = 0; i < 312'501; ++i) line->Add(new T2DCoordinate(i % 100, i / 100 % 100));
  TBorderBuffer buffer;
  buffer.SetProjection(s.device.GetProjection());
  buffer.SetMinPointNo(2);
  buffer.SetRectEntity(line.get());
  EXPECT_TRUE(buffer.HasBuffer());
  EXPECT_EQ(buffer.GetPointNo(), 312'501);
  std::vector<TDevicePoint> points;
  std::int32_t count = -1, bytes = -1;
  s.device.PolyToDevicePoints(line.get(), points, count, bytes);
  EXPECT_EQ(count, 312'501);
}

TEST(CanvasDevice, AreasAreFilledAroundTheirHoles) {
  Sheet s;
  std::unique_ptr<TAreaElement> area(shape<TAreaElement>({{10, 10}, {10, 90}, {90, 90}, {90, 10}}));
  s.device.DrawArea(area.get());  // no holes entity: a plain polygon
  EXPECT_TRUE(s.red(50, 50));
  s.raster.Brush().Color = clWhite;
  s.device.Clear();
  s.raster.Brush().Color = kRed;
  area->AddHole(shape<TAreaElement>({{40, 40}, {40, 60}, {60, 60}, {60, 40}}));
  s.device.DrawArea(area.get());
  EXPECT_FALSE(s.red(50, 50));
  EXPECT_TRUE(s.red(20, 50));
  std::vector<TDevicePoint> points;
  std::vector<std::int32_t> counts;
  std::int32_t total = 0, rings = 0;
  s.device.BuildPolyPolygon(area.get(), points, counts, total, rings);
  EXPECT_EQ(rings, 2);
  EXPECT_EQ(total, 8);
  // However many holes an area has, none is dropped.
  for (int i = 0; i < 10'001; ++i)
    area->AddHole(shape<TAreaElement>({{20, 20}, {20, 30}, {30, 30}, {30, 20}}));
  s.device.BuildPolyPolygon(area.get(), points, counts, total, rings);
  EXPECT_EQ(rings, 10'003);
}

TEST(CanvasDevice, AreasBeyondThePageAreClippedToIt) {
  Sheet s;
  std::unique_ptr<TAreaElement> area(shape<TAreaElement>({{-1e6, -1e6}, {-1e6, 1e6}, {1e6, 1e6}, {1e6, -1e6}}));
  s.device.DrawArea(area.get());
  EXPECT_EQ(s.redCount(), 100 * 100);
}

// A line that leaves the page and comes back must not gain a stroke along
// the page's edge, as it would when clipped like a polygon.
TEST(CanvasDevice, LinesLeavingThePageStayOpen) {
  Sheet s;
  std::unique_ptr<TPolyLineElement> line(shape<TPolyLineElement>({{10, 50}, {200, 50}, {200, 20}, {10, 20}}));
  s.device.DrawPolyline(line.get());
  EXPECT_TRUE(s.red(50, 50));
  EXPECT_TRUE(s.red(50, 80));
  for (int y = 0; y < 100; ++y) EXPECT_FALSE(s.red(99, y) && y != 50 && y != 80) << y;
}

// Areas turn with a rotated map; lines and points must turn with them.
TEST(CanvasDevice, LinesAndPointsTurnWithTheMap) {
  Sheet s;
  auto* projection = s.device.GetProjection();
  projection->SetAngle(std::numbers::pi / 2);
  projection->SetRotateCenterX(50);
  projection->SetRotateCenterY(50);
  std::unique_ptr<TPolyLineElement> line(shape<TPolyLineElement>({{55, 50}, {85, 50}}));
  s.device.DrawPolyline(line.get());
  EXPECT_TRUE(s.red(50, 30));   // (50, 70) in the world
  EXPECT_FALSE(s.red(70, 50));  // where it lay unturned
  double x = 60, y = 50;
  s.device.RotatePoint(x, y);
  EXPECT_NEAR(x, 50, 1e-9);
  EXPECT_NEAR(y, 60, 1e-9);
  s.device.UnrotatePoint(x, y);
  EXPECT_NEAR(x, 60, 1e-9);
  EXPECT_NEAR(y, 50, 1e-9);
}
