#include "render/gelix_line_area_interprets.h"

#include <algorithm>
#include <numbers>
#include <vector>

#include "geometry/area_element.h"
#include "geometry/poly_element.h"
#include "gisblock/gelix_props.h"
#include "render/area_symbol.h"
#include "render/gelix_color.h"
#include "render/hatch_library.h"
#include "render/line_symbols.h"
#include "render/point_symbols.h"
#include "render/stroke_font.h"

ZELTO_IMPLEMENT_ELEMENT(TInterpretGlxLinii, TInterpretGlxObject, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TInterpretGlxPloch, TInterpretGlxObject, ZELTO_NO_PROPERTIES)

namespace {
constexpr std::int16_t kColourWithoutRecord = 13;
// The thick pen is 0.7 mm of the map, but never heavier than this.
constexpr double kThickPenMetresAtVirtualScale = 0.0007;
constexpr std::int32_t kThickPenMaxPixels = 4;
constexpr std::int16_t kPointSymbolColour = 13;
constexpr std::int16_t kAreaColourWithoutRecord = 10;
constexpr std::int16_t kAreaSymbolWithoutRecord = 1;
// An area smaller than this on the device is not worth a fill.
constexpr std::int32_t kSmallestAreaPixels = 3;

}  // namespace

// ---- lines ----

TInterpretGlxLinii::~TInterpretGlxLinii() { FreeLibraries(); }

void TInterpretGlxLinii::FreeLibraries() {
  delete lineSymbols_;
  lineSymbols_ = nullptr;
  delete pointSymbols_;
  pointSymbols_ = nullptr;
}

bool TInterpretGlxLinii::QProcessBefore(TElement* element) {
  if (!element) return false;
  if (element->Is<TPolyLineString>()) {
    stringProps_ = static_cast<TPolyLineString*>(element)->GetProperties();
    SetLayerProperties(stringProps_);
    return false;
  }
  return element->Is<TPolyLineElement>() && !element->Is<TAreaElement>();
}

bool TInterpretGlxLinii::IsItsClass(TElement* element) {
  return element && (element->Is<TPolyLineElement>() || element->Is<TPolyLineString>());
}

bool TInterpretGlxLinii::CanGoInside(TElement* element) {
  return element && element->Is<TPolyLineString>() && MeetsVisible(*static_cast<TRectEntity*>(element));
}

void TInterpretGlxLinii::BeginOnDevice(TDevice* device) {
  TInterpretGlxObject::BeginOnDevice(device);
  thinWidth_ = 1;
  thickWidth_ = 1;
  if (device && device->GetProjection()) {
    TPageProjection* p = device->GetProjection();
    thickWidth_ = std::clamp(p->WorldToDeviceLength(kThickPenMetresAtVirtualScale * p->GetVirtualScale()), 1,
                             kThickPenMaxPixels);
  }
  FreeLibraries();
  const std::string lines = render::ExistingSymbolFile("linzn.txt");
  if (!lines.empty()) {
    lineSymbols_ = new TLinioveZnacky(lines);
    lineSymbols_->SetDevice(device);
  }
  const std::string fonts = render::ExistingSymbolFile("Fonty.txt");
  if (!fonts.empty()) {
    pointSymbols_ = new TGeliXSymbols(fonts);
    pointSymbols_->SetDevice(device);
  }
}

void TInterpretGlxLinii::EndOnDevice() {
  FreeLibraries();
  TInterpretGlxObject::EndOnDevice();
}

void TInterpretGlxLinii::Process(TElement* element) {
  if (!element || !element->Is<TPolyLineElement>()) {
    TInterpret::Process(element);
    return;
  }
  auto* line = static_cast<TPolyLineElement*>(element);
  TDevice* device = GetDevice();
  if (!device || !MeetsVisible(*line)) return;
  std::int16_t colour = kColourWithoutRecord;
  std::int32_t symbol = 0, pointSymbol = 0;
  if (auto* props = dynamic_cast<TGelixLineProps*>(line->GetProperties())) {
    colour = props->Barva;
    symbol = props->Znacka;
    pointSymbol = props->Symbol;
  }
  if (colour == 0) return;
  TPen* pen = device->GetPen();
  if (pen) pen->Style = psSolid;
  if (Overrides().Symbol) symbol = *Overrides().Symbol;
  const std::int32_t forced = Overrides().Colour.value_or(-1);
  bool plain = symbol >= 0;
  if (symbol >= 1000 && lineSymbols_) {
    if (TLiniovaZnacka* s = lineSymbols_->FindSymbol(symbol)) {
      s->Draw(*device, forced, {GetMinX(), GetMinY(), GetMaxX(), GetMaxY()}, true, *line);
      plain = false;
    }
  }
  if (plain && line->GetCoordsCount() > 0) {
    if (pen) {
      pen->Color = forced >= 0 ? forced : GelixColorToRGB(colour);
      pen->Width = symbol <= 3 ? thinWidth_ : thickWidth_;
    }
    const int n = line->GetCoordsCount();
    for (int i = 0; i < n; ++i) {
      const T2DCoordinate* c = line->GetCoord(i);
      if (!c) continue;
      if (i == 0) device->MoveTo(c->X, c->Y);
      else device->LineTo(c->X, c->Y);
    }
  }
  if (pointSymbol >= 1000 && pointSymbols_) {
    if (pen) pen->Color = GelixColorToRGB(kPointSymbolColour);
    T2DCoordinate at(line->GetAbsRefX(), line->GetAbsRefY());
    pointSymbols_->DrawSymbolAt(at, std::numbers::pi / 2 + line->Angle, pointSymbol);
  }
}

// ---- areas ----

TInterpretGlxPloch::~TInterpretGlxPloch() { FreeLibrary(); }

void TInterpretGlxPloch::FreeLibrary() {
  delete areaSymbols_;
  areaSymbols_ = nullptr;
}

// Nothing below an area (vertices, boundary lines, the holes' entity) is
// drawn on its own, so walking its vertices would only cost time.
bool TInterpretGlxPloch::QGoInside(TElement*) { return false; }

bool TInterpretGlxPloch::QProcessBefore(TElement* element) {
  if (!element) return false;
  if (element->Is<TAreaString>()) {
    stringProps_ = static_cast<TAreaString*>(element)->GetProperties();
    SetLayerProperties(stringProps_);
    return false;
  }
  if (!element->Is<TAreaElement>()) return false;
  auto* area = static_cast<TAreaElement*>(element);
  TDevice* device = GetDevice();
  if (!device || !device->GetProjection()) return false;
  const double longer = std::max(area->GetWidth(), area->GetHeight());
  return longer >= device->GetProjection()->DeviceToWorldLength(kSmallestAreaPixels) && MeetsVisible(*area);
}

bool TInterpretGlxPloch::IsItsClass(TElement* element) {
  return element && (element->Is<TAreaElement>() || element->Is<TAreaString>());
}

bool TInterpretGlxPloch::CanGoInside(TElement* element) {
  return element && element->Is<TAreaString>() && MeetsVisible(*static_cast<TRectEntity*>(element));
}

void TInterpretGlxPloch::BeginOnDevice(TDevice* device) {
  TInterpretGlxObject::BeginOnDevice(device);
  FreeLibrary();
  areaSymbols_ = new TPlosneZnacky(render::SymbolFile("Srafy.txt").string());
  areaSymbols_->SetDevice(device);
}

void TInterpretGlxPloch::EndOnDevice() {
  FreeLibrary();
  TInterpretGlxObject::EndOnDevice();
}

void TInterpretGlxPloch::Process(TElement* element) {
  if (!element || !element->Is<TAreaElement>()) return;
  TDevice* device = GetDevice();
  if (!device) return;
  auto* original = static_cast<TAreaElement*>(element);
  std::int16_t colour = kAreaColourWithoutRecord;
  std::int32_t symbol = kAreaSymbolWithoutRecord;
  if (auto* props = dynamic_cast<TGelixAreaProps*>(original->GetProperties())) {
    colour = props->Barva;
    symbol = props->Znacka;
  }
  // An area bounded by lines gets no outline of its own: its lines draw it.
  // The device collects its rings in one pass over the lines, so no plain
  // copy of it is needed (40,000 copies cost a third of a district's draw).
  const bool boundedByLines = original->Is<TPolyLineAreaElement>();
  TAreaElement* area = original;
  TBrush* brush = device->GetBrush();
  TPen* pen = device->GetPen();
  if (brush) brush->Style = bsSolid;
  if (Overrides().Symbol) symbol = *Overrides().Symbol;
  if (Overrides().Colour) {
    if (brush) brush->Color = *Overrides().Colour;
    if (pen) pen->Style = psClear;
    device->DrawArea(area);
  } else if (symbol >= 1000) {
    // A hole is filled with its owner's rings, never on its own.
    if (original->IsHole || !areaSymbols_) return;
    TPlosnaZnacka* hatch = areaSymbols_->FindSymbol(symbol);
    if (!hatch) return;
    std::vector<TDevicePoint> points;
    std::vector<std::int32_t> counts;
    std::int32_t total = 0, rings = 0;
    device->BuildPolyPolygon(area, points, counts, total, rings);
    if (rings > 0) hatch->Draw(*device, points, counts);
  } else if (symbol >= 1) {
    if (brush) brush->Color = GelixColorToRGB(colour);
    if (pen) {
      pen->Style = boundedByLines ? psClear : psSolid;
      pen->Color = clBlack;
      pen->Width = 1;
    }
    device->DrawArea(area);
  }
}
