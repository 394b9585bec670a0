#pragma once
// Area symbols: a solid background and layers of parallel stripes
// (horizontal, vertical or diagonal), filled in device pixels through the
// scan-line edge table. Sizes are pixels, converted when the symbol is read.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "framework/element.h"
class TDevice;

#include "render/edge_table.h"
#include "render/hatch_painter.h"

// One hatch line of a layer: a stripe, the gap after it and an optional
// dash pattern along it.
class TSrafa : public TElement {
  ZELTO_ELEMENT(TSrafa)
 public:
  std::int32_t TrueColor = 0;
  bool ByTrueColor = false;
  std::int32_t Sirka = 0;
  std::int32_t Barva = 0;  // Gelix colour code
  std::int32_t Vzdalenost = 0;
  bool Dashed = false;
  std::int32_t D1 = 0;
  std::int32_t DelkaVzoru = 0;
  std::int32_t D2 = 0;
  std::int32_t PatternLength = 0;

  std::int32_t StripeColor() const;
  // Dashed and PatternLength from the dash lengths.
  void UpdatePattern();
};

// One layer of stripes in one direction.
class TVrstvaSraf {
 public:
  // 0 horizontal, 1 and 3 diagonal (opposite slopes), 2 vertical.
  std::uint8_t AngleClass = 0;
  // In drawing order: the hatch read last first; the order wraps around.
  std::vector<std::unique_ptr<TSrafa>> Hatches;

  std::int32_t Count() const { return static_cast<std::int32_t>(Hatches.size()); }
  // Puts the hatch at the head of the drawing order.
  void AddHatch(std::unique_ptr<TSrafa> hatch);
};

class TPlosnaZnacka : public TOwnerElement {
  ZELTO_ELEMENT(TPlosnaZnacka)
 public:
  static constexpr std::uint16_t kBackgroundOnly = 33;

  std::int32_t Kod = -1;
  std::string Nazev;  // at most 30 characters
  std::int32_t TrueColor = 0;
  bool ByTrueColor = false;
  bool FillBackground = false;
  std::int32_t Color = 0;  // Gelix colour code of the background; 0 none
  std::int32_t ZakladniZnacka = 0;
  std::int32_t NahradniZnacka = 0;
  std::uint16_t DrawMode = 0;
  // In drawing order: the layer read last first.
  std::vector<std::unique_ptr<TVrstvaSraf>> Vrstvy;

  void SetNazev(const std::string& name);
  void AddLayer(std::unique_ptr<TVrstvaSraf> layer);

  // Fills one area given as device-pixel rings (outer ring, then holes, as
  // TDevice::BuildPolyPolygon makes them).
  void Draw(TDevice& device, std::span<const TDevicePoint> points,
            std::span<const std::int32_t> ringCounts);
  void Draw(render::HatchPainter& painter, std::span<const TDevicePoint> points,
            std::span<const std::int32_t> ringCounts);

 protected:
  // The table of the area being drawn; also the scan-line engine of the
  // label-point placement.
  TEdgeTable EdgeTable;

 private:
  void DrawOrthogonal(render::HatchPainter& painter, const TVrstvaSraf& layer,
                      std::span<const TDevicePoint> points, std::span<const std::int32_t> ringCounts);
  void DrawDiagonal(render::HatchPainter& painter, const TVrstvaSraf& layer,
                    std::span<const TDevicePoint> points, std::span<const std::int32_t> ringCounts);
};
