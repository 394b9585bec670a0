#include "render/sheet_grids.h"

#include <cmath>

#include "framework/class_registry.h"
#include "framework/message_dispatch.h"
#include "framework/problem_report.h"
#include "render/map_sheets.h"

ZELTO_IMPLEMENT_ELEMENT(TCross, TElement, [](auto& p) {
  p.Float("Width", &TCross::Width, &TCross::Width);
  p.Float("Height", &TCross::Height, &TCross::Height);
  p.Integer("Color", &TCross::Color, &TCross::Color);
  p.Float("Size", &TCross::Size, &TCross::Size);
  p.Float("PenWidth", &TCross::PenWidth, &TCross::PenWidth);
  p.Float("Step", nullptr, &TCross::SetStep).Stored(false);
})
ZELTO_IMPLEMENT_ELEMENT(TLines, TElement, [](auto& p) {
  p.Float("Width", &TLines::Width, &TLines::Width);
  p.Float("Height", &TLines::Height, &TLines::Height);
  p.Integer("Color", &TLines::Color, &TLines::Color);
  p.Integer("PenWidth", &TLines::PenWidth, &TLines::PenWidth);
})
ZELTO_IMPLEMENT_ELEMENT(TSMO_Interpret, TRectInterpret, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TGridInterpret, TInterpret, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TInterpretKrizku, TGridInterpret, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TLinesInterpret, TGridInterpret, ZELTO_NO_PROPERTIES)

namespace {

struct SheetStyle {
  TColor color;
  double labelBelowScale;
};

// The first matching class wins: a 1:25000 sheet is also a 1:5000 one.
bool styleOf(const TElement& sheet, SheetStyle& style) {
  if (sheet.Is<TSMO_50>()) style = {RGBColor(0, 0, 0), 5'000'000};
  else if (sheet.Is<TSMO_25>()) style = {RGBColor(0, 0, 255), 2'500'000};
  else if (sheet.Is<TSMO_10>()) style = {RGBColor(255, 0, 0), 1'000'000};
  else if (sheet.Is<TSMO_5>()) style = {RGBColor(0, 128, 0), 500'000};
  else if (sheet.Is<TSMO_2>()) style = {RGBColor(128, 0, 0), 200'000};
  else return false;
  return true;
}

void solidPen(TDevice& device, TColor color) {
  TPen pen = device.GetPen() ? *device.GetPen() : TPen{};
  pen.Color = color;
  pen.Style = psSolid;
  device.SetPen(pen);
}

}  // namespace

bool TSMO_Interpret::IsItsClass(TElement* element) { return element && element->Is<TSMO_2>(); }

void TSMO_Interpret::Process(TElement* element) {
  TDevice* device = GetDevice();
  auto* sheet = dynamic_cast<TMapSpace*>(element);
  SheetStyle style{};
  if (!device || !device->GetProjection() || !sheet || !styleOf(*sheet, style)) return;
  geometry::WorldRect visible{};
  device->GetProjection()->GetWorldRect(visible);
  if (!sheet->IntersectsRect(visible.MinX, visible.MinY, visible.MaxX, visible.MaxY)) return;
  TPen pen;
  pen.Color = style.color;
  device->SetPen(pen);
  TBrush brush;
  brush.Style = bsClear;
  device->SetBrush(brush);
  device->DrawRectangle(sheet->GetMinX(), sheet->GetMinY(), sheet->GetMaxX(), sheet->GetMaxY());
  if (device->GetProjection()->GetScale() >= style.labelBelowScale) return;
  TFont font = device->GetFont() ? *device->GetFont() : TFont{};
  font.Name = "Arial";
  font.Height = device->GetProjection()->WorldToDeviceDY(sheet->GetHeight()) / 7;
  font.Color = style.color;
  device->SetFont(font);
  device->TextOut(sheet->GetName(), sheet->GetMinX(), sheet->GetMaxY());
}

void TGridInterpret::DoIt() {
  if (TDevice* device = GetDevice(); device && device->GetProjection()) {
    geometry::WorldRect r{};
    device->GetProjection()->GetWorldRect(r);
    minX_ = r.MinX, minY_ = r.MinY, maxX_ = r.MaxX, maxY_ = r.MaxY;
  }
  TInterpret::DoIt();
}

bool TGridInterpret::SpacingFits(TElement* element, double width, double height) const {
  if (width > 0 && height > 0 && (maxX_ - minX_) / width <= 1000 && (maxY_ - minY_) / height <= 1000) return true;
  zelto::ReportProblem("Objekt " + element->ClassName() + ":" + element->GetName() +
                       " má vzhledem k zobrazované ploše nevhodně nastavenou šířku či výšku");
  return false;
}

double TGridInterpret::GridStart(double edge, double step) {
  // Rounded down, not towards zero: on the negative national-grid
  // coordinates truncation would leave the lowest row or column out.
  return std::floor(edge / step) * step;
}

bool TInterpretKrizku::QProcessBefore(TElement* element) {
  return element && &element->ClassType() == &TCross::StaticClass();
}

void TInterpretKrizku::Process(TElement* element) {
  auto* cross = dynamic_cast<TCross*>(element);
  TDevice* device = GetDevice();
  if (!cross || !device || !SpacingFits(cross, cross->Width, cross->Height)) return;
  const double half = cross->Size / 2;
  solidPen(*device, cross->Color);
  device->SetPenWidth(cross->PenWidth);
  const double y0 = GridStart(minY_, cross->Height);
  for (double x = GridStart(minX_, cross->Width); x <= maxX_; x += cross->Width)
    for (double y = y0; y <= maxY_; y += cross->Height) {
      device->MoveTo(x - half, y);
      device->LineTo(x + half, y);
      device->MoveTo(x, y - half);
      device->LineTo(x, y + half);
    }
  zelto::ProcessPendingMessages();
}

bool TLinesInterpret::QProcessBefore(TElement* element) {
  return element && &element->ClassType() == &TLines::StaticClass();
}

void TLinesInterpret::Process(TElement* element) {
  auto* lines = dynamic_cast<TLines*>(element);
  TDevice* device = GetDevice();
  if (!lines || !device || !SpacingFits(lines, lines->Width, lines->Height)) return;
  solidPen(*device, lines->Color);
  device->SetPenWidth(lines->PenWidth);
  for (double x = GridStart(minX_, lines->Width); x <= maxX_; x += lines->Width) {
    device->MoveTo(x, minY_);
    device->LineTo(x, maxY_);
  }
  for (double y = GridStart(minY_, lines->Height); y <= maxY_; y += lines->Height) {
    device->MoveTo(minX_, y);
    device->LineTo(maxX_, y);
  }
  zelto::ProcessPendingMessages();
}

void RegisterSheetGridClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls : {&TCross::StaticClass(), &TLines::StaticClass(), &TSMO_Interpret::StaticClass(),
                                   &TInterpretKrizku::StaticClass(), &TLinesInterpret::StaticClass()})
    RegisterZeltoClass(*cls);
}
