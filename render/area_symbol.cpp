#include "render/area_symbol.h"

#include <cstdlib>

#include "render/gelix_color.h"

ZELTO_IMPLEMENT_ELEMENT(TSrafa, TElement, [](auto& p) {
  p.Integer("TrueColor", &TSrafa::TrueColor, &TSrafa::TrueColor);
  p.Boolean("ByTrueColor", &TSrafa::ByTrueColor, &TSrafa::ByTrueColor);
})
ZELTO_IMPLEMENT_ELEMENT(TPlosnaZnacka, TOwnerElement, [](auto& p) {
  p.Integer("TrueColor", &TPlosnaZnacka::TrueColor, &TPlosnaZnacka::TrueColor);
  p.Boolean("ByTrueColor", &TPlosnaZnacka::ByTrueColor, &TPlosnaZnacka::ByTrueColor);
  p.Boolean("FillBackground", &TPlosnaZnacka::FillBackground, &TPlosnaZnacka::FillBackground);
  p.Integer("Color", &TPlosnaZnacka::Color, &TPlosnaZnacka::Color);
})

namespace {

// Remainder in 0..m-1 also left of device position 0, so that patterns keep
// their phase on areas that reach past the page's left or top edge.
std::int64_t floorMod(std::int64_t a, std::int64_t m) {
  const std::int64_t r = a % m;
  return r < 0 ? r + m : r;
}

// A run of pixels from..to (both painted) on one row.
void paintRun(render::HatchPainter& painter, bool byColumns, std::int32_t row, std::int64_t from,
              std::int64_t to) {
  const auto a = static_cast<std::int32_t>(from), b = static_cast<std::int32_t>(to + 1);
  if (byColumns)
    painter.Line(row, a, row, b);
  else
    painter.Line(a, row, b, row);
}

// Dashes lie at [kT + D1, kT + D1 + L] counted from device position 0, so
// that the patterns of neighbouring areas line up.
void paintDashedRun(render::HatchPainter& painter, const TSrafa& h, bool byColumns,
                    std::int32_t row, std::int64_t a, std::int64_t b) {
  const std::int64_t T = h.PatternLength, L = h.DelkaVzoru;
  const std::int64_t r = floorMod(a, T), q = T - r;
  std::int64_t start, end;
  if (q < h.D2) {
    start = a + q + h.D1;
    end = start + L;
  } else if (r < h.D1) {
    start = a + h.D1 - r;
    end = start + L;
  } else {  // inside a dash: it ends where its pattern says
    start = a;
    end = a - r + h.D1 + L;
  }
  while (end < b) {
    paintRun(painter, byColumns, row, start, end);
    start = end + h.D2 + h.D1;
    end = start + L;
  }
  if (start <= b) paintRun(painter, byColumns, row, start, b);
}

}  // namespace


std::int32_t TSrafa::StripeColor() const {
  return ByTrueColor ? TrueColor : GelixColorToRGB(static_cast<std::int16_t>(Barva));
}

void TSrafa::UpdatePattern() {
  Dashed = DelkaVzoru > 0 && (D1 != 0 || D2 != 0);
  if (DelkaVzoru > 0) PatternLength = D1 + DelkaVzoru + D2;
}

void TVrstvaSraf::AddHatch(std::unique_ptr<TSrafa> hatch) {
  if (hatch) Hatches.insert(Hatches.begin(), std::move(hatch));
}

void TPlosnaZnacka::SetNazev(const std::string& name) {
  // Thirty characters, not bytes: a cut inside a UTF-8 sequence would leave
  // a broken character.
  std::size_t end = 0;
  for (int chars = 0; end < name.size() && chars < 30; ++chars) {
    ++end;
    while (end < name.size() && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) ++end;
  }
  Nazev = name.substr(0, end);
}

void TPlosnaZnacka::AddLayer(std::unique_ptr<TVrstvaSraf> layer) {
  if (layer) Vrstvy.insert(Vrstvy.begin(), std::move(layer));
}

void TPlosnaZnacka::Draw(TDevice& device, std::span<const TDevicePoint> points,
                         std::span<const std::int32_t> ringCounts) {
  render::DeviceHatchPainter painter(device);
  Draw(painter, points, ringCounts);
}

void TPlosnaZnacka::Draw(render::HatchPainter& painter, std::span<const TDevicePoint> points,
                         std::span<const std::int32_t> ringCounts) {
  const auto code = static_cast<std::int16_t>(Color & 0xFFFF);
  if (code != 0)
    painter.FillRings(points, ringCounts, ByTrueColor ? TrueColor : GelixColorToRGB(code));
  else if (FillBackground)
    painter.FillRings(points, ringCounts, GelixColorToRGB(code));
  if (DrawMode == kBackgroundOnly) return;
  painter.UseSolidPen();
  for (const auto& layer : Vrstvy) {
    if (layer->Hatches.empty()) continue;
    if (layer->AngleClass == 1 || layer->AngleClass == 3)
      DrawDiagonal(painter, *layer, points, ringCounts);
    else
      DrawOrthogonal(painter, *layer, points, ringCounts);
  }
  EdgeTable = TEdgeTable();
}

void TPlosnaZnacka::DrawOrthogonal(render::HatchPainter& painter, const TVrstvaSraf& layer,
                                   std::span<const TDevicePoint> points,
                                   std::span<const std::int32_t> ringCounts) {
  const bool byColumns = layer.AngleClass == 2;
  // Pieces of boundary along the rows would fall between the edges: they are
  // drawn as lines of the current pen.
  EdgeTable.Build(points, ringCounts, byColumns, [&](TDevicePoint a, TDevicePoint b) {
    painter.Line(a.X, a.Y, b.X, b.Y);
  });
  if (EdgeTable.Empty()) return;
  auto& edges = EdgeTable.Records();
  // The stripes start at the area's first row with the head hatch, so that
  // neighbouring areas do not share the stripe phase.
  std::size_t index = 0;
  const TSrafa* hatch = layer.Hatches[0].get();
  std::int32_t counter = hatch->Sirka;
  bool stripe = true;
  painter.SetPenColor(hatch->StripeColor());
  int first = 0, last = 0, active = 0;
  for (std::int32_t row = EdgeTable.HighRow(); row >= EdgeTable.MinRow(); --row) {
    UpdateActiveEdges(edges, row, last, first);
    if (stripe) {
      SortActiveEdges(edges, active, last, first);
      ForEachSpan(edges, first, last, active, [&](std::int64_t a, std::int64_t b) {
        if (hatch->Dashed)
          paintDashedRun(painter, *hatch, byColumns, row, a, b);
        else
          paintRun(painter, byColumns, row, a, b);
      });
    }
    StepActiveEdges(edges, first, last);
    if (--counter > 0) continue;
    if (stripe && hatch->Vzdalenost > 0) {
      stripe = false;
      counter = hatch->Vzdalenost;
    } else {
      index = (index + 1) % layer.Hatches.size();
      hatch = layer.Hatches[index].get();
      counter = hatch->Sirka;
      stripe = true;
      painter.SetPenColor(hatch->StripeColor());
    }
  }
}

void TPlosnaZnacka::DrawDiagonal(render::HatchPainter& painter, const TVrstvaSraf& layer,
                                 std::span<const TDevicePoint> points,
                                 std::span<const std::int32_t> ringCounts) {
  const auto& hatches = layer.Hatches;
  std::int64_t period = 0;
  for (const auto& h : hatches) period += static_cast<std::int64_t>(h->Sirka) + h->Vzdalenost;
  if (period <= 0) return;
  EdgeTable.Build(points, ringCounts, false, [&](TDevicePoint a, TDevicePoint b) {
    painter.Line(a.X, a.Y, b.X, b.Y);
  });
  if (EdgeTable.Count() < 2) return;
  auto& edges = EdgeTable.Records();
  const std::size_t n = hatches.size();
  std::int64_t offset = 15000;
  int first = 0, last = 0, active = 0;
  for (std::int32_t row = EdgeTable.HighRow(); row >= EdgeTable.MinRow(); --row) {
    UpdateActiveEdges(edges, row, last, first);
    SortActiveEdges(edges, active, last, first);
    ForEachSpan(edges, first, last, active, [&](std::int64_t a, std::int64_t b) {
      // Where the span's left end falls in the period of stripes and gaps.
      std::int64_t p = floorMod(a + offset, period);
      std::size_t i = 0;
      std::int64_t s = a, e = a;
      for (;; i = (i + 1) % n) {
        const TSrafa& h = *hatches[i];
        if (h.Sirka >= p) {
          e = a + (h.Sirka - p);
          break;
        }
        p -= h.Sirka;
        if (h.Vzdalenost >= p) {
          s = a + (h.Vzdalenost - p);
          i = (i + 1) % n;
          e = s + hatches[i]->Sirka;
          break;
        }
        p -= h.Vzdalenost;
      }
      while (e < b) {
        painter.SetPenColor(hatches[i]->StripeColor());
        paintRun(painter, false, row, s, e);
        s = e + hatches[i]->Vzdalenost;
        i = (i + 1) % n;
        e = s + hatches[i]->Sirka;
      }
      if (s <= b) {
        painter.SetPenColor(hatches[i]->StripeColor());
        paintRun(painter, false, row, s, b);
      }
    });
    StepActiveEdges(edges, first, last);
    offset += layer.AngleClass == 1 ? 1 : -1;
  }
}
