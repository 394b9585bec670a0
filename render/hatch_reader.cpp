#include "render/hatch_reader.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "geometry/page_projection.h"
#include "render/area_symbol.h"
#include "render/device.h"

namespace render {

namespace {
constexpr std::int32_t kMaxHatchPixels = 536870911;
}  // namespace

HatchSymbolParser::HatchSymbolParser(NextFn next, IntegerFn asInteger, RealFn asReal,
                                     TPageProjection& projection)
    : next_(std::move(next)), asInteger_(std::move(asInteger)), asReal_(std::move(asReal)),
      projection_(projection) {}

bool HatchSymbolParser::Next(HatchItem& item) {
  if (eof_) return false;
  item = HatchItem();
  next_(item);
  eof_ = item.AtEof;
  return true;
}

std::uint8_t HatchSymbolParser::AngleClassOf(double degrees) {
  const double c = std::fabs(std::nearbyint(degrees / 45.0));
  if (!std::isfinite(c)) return 0;
  return static_cast<std::uint8_t>(std::fmod(c, 4.0));
}

void HatchSymbolParser::WidenForDiagonal(TSrafa& hatch) {
  auto widen = [](std::int32_t v) -> std::int32_t {
    if (v == 0) return 1;
    const double d = std::sqrt(2.0 * v * static_cast<double>(v));
    return static_cast<std::int32_t>(std::nearbyint(std::min(d, 2147483647.0)));
  };
  hatch.Sirka = widen(hatch.Sirka);
  hatch.Vzdalenost = widen(hatch.Vzdalenost);
  if (hatch.Vzdalenost < 2147483647) ++hatch.Vzdalenost;
  --hatch.Sirka;
}

std::int32_t HatchSymbolParser::Pixels(double millimetres, bool alongX) {
  const double world = millimetres / 1000.0 * projection_.GetVirtualScale();
  std::int32_t p = alongX ? projection_.WorldToDeviceDX(world) : projection_.WorldToDeviceDY(world);
  // Negative sizes would turn the stripe and dash arithmetic backwards.
  p = std::clamp(p, 0, kMaxHatchPixels);
  if (p == 0 && millimetres > 0) p = 1;
  return p;
}

TPlosnaZnacka* HatchSymbolParser::ReadSymbol(std::int32_t code) {
  if (code <= 999) return nullptr;
  HatchItem item;
  bool found = false;
  bool pending = false;  // item holds a line not yet looked at
  while (!found && (pending || Next(item))) {
    pending = false;
    if (!(item.IsSection && item.Text == "PLOSNAZNACKA")) continue;
    if (!Next(item)) break;
    if (item.IsKey && item.Key == "KOD" && asInteger_() == code)
      found = true;
    else
      pending = true;  // it may open the next symbol
  }
  if (!found) return nullptr;

  auto symbol = std::make_unique<TPlosnaZnacka>();
  symbol->Kod = code;
  background_ = -1;
  allHatchesBackground_ = true;
  while (Next(item)) {
    if (item.IsSection) {
      if (item.Text == "END") break;
      if (item.Text == "VRSTVASRAF") ReadLayer(*symbol);
      continue;
    }
    if (!item.IsKey) continue;
    if (item.Key == "NAZEV") {
      symbol->SetNazev(item.Text);
    } else if (item.Key == "NAHRADNIZNACKA") {
      symbol->NahradniZnacka = asInteger_();
    } else if (item.Key == "PODKLAD") {
      symbol->Color = asInteger_();
      background_ = symbol->Color;
    } else if (item.Key == "ZAKLADNIZNACKA") {
      symbol->ZakladniZnacka = asInteger_();
    }
  }
  if (!(symbol->Kod > -1 && (symbol->ZakladniZnacka >= 1 || !symbol->Vrstvy.empty())))
    return nullptr;
  if (allHatchesBackground_) symbol->DrawMode = TPlosnaZnacka::kBackgroundOnly;
  return symbol.release();
}

void HatchSymbolParser::ReadLayer(TPlosnaZnacka& symbol) {
  auto layer = std::make_unique<TVrstvaSraf>();
  HatchItem item;
  while (Next(item)) {
    if (item.IsSection) {
      if (item.Text == "END") break;
      if (item.Text != "SRAFA") continue;
      std::unique_ptr<TSrafa> hatch(ReadHatch(layer->AngleClass));
      if (!hatch) continue;
      if (layer->AngleClass == 1 || layer->AngleClass == 3) WidenForDiagonal(*hatch);
      layer->AddHatch(std::move(hatch));
    } else if (item.IsKey && item.Key == "UHEL") {
      layer->AngleClass = AngleClassOf(asReal_());
    }
  }
  if (!layer->Hatches.empty()) symbol.AddLayer(std::move(layer));
}

TSrafa* HatchSymbolParser::ReadHatch(std::uint8_t angleClass) {
  auto hatch = std::make_unique<TSrafa>();
  // Widths and gaps run across the stripes, dashes along them.
  const bool acrossIsX = angleClass != 0;
  HatchItem item;
  while (Next(item)) {
    if (item.IsSection) {
      if (item.Text == "END") break;
      continue;
    }
    if (!item.IsKey) continue;
    if (item.Key == "SIRKA") {
      hatch->Sirka = Pixels(asReal_(), acrossIsX);
    } else if (item.Key == "VZDALENOST") {
      hatch->Vzdalenost = Pixels(asReal_(), acrossIsX);
    } else if (item.Key == "D1") {
      hatch->D1 = Pixels(asReal_(), !acrossIsX);
    } else if (item.Key == "DELKAVZORU") {
      hatch->DelkaVzoru = Pixels(asReal_(), !acrossIsX);
    } else if (item.Key == "D2") {
      hatch->D2 = Pixels(asReal_(), !acrossIsX);
    } else if (item.Key == "BARVA") {
      hatch->Barva = asInteger_();
      if (hatch->Barva != background_) allHatchesBackground_ = false;
    }
  }
  if (hatch->Sirka < 1) return nullptr;
  hatch->UpdatePattern();
  return hatch.release();
}

}  // namespace render

TCteniPlosnychZnacek::TCteniPlosnychZnacek(const std::string& fileName, TDevice& device, bool& ok)
    : TCteniParametru(fileName, ok), device_(device) {}

TPlosnaZnacka* TCteniPlosnychZnacek::ReadSymbol(std::int32_t code) {
  render::HatchSymbolParser parser(
      [this](render::HatchItem& item) {
        ReadNextItem(item.IsKey, item.IsSection, item.Text, item.Key, item.AtEof);
      },
      [this] { return ValueAsInteger(); }, [this] { return ValueAsReal(); },
      *device_.GetProjection());
  return parser.ReadSymbol(code);
}
