#include "viewer/selectors.h"

#include <exception>
#include <optional>

#include "framework/class_registry.h"
#include "framework/coordinate.h"
#include "framework/tool.h"
#include "framework/name_compare.h"
#include "geometry/area_element.h"
#include "geometry/poly_element.h"
#include "geometry/space_entity.h"
#include "platform/qt/window_placement.h"
#include "platform/user_interaction.h"
#include "render/interpret_layer.h"
#include "viewer/choiced_element.h"
#include "viewer/image_form.h"
#include "viewer/tool_manager.h"

ZELTO_IMPLEMENT_ELEMENT(TPickUper, TRecursor, [](auto& p) {
  using E = TPickUper;
  p.Boolean("Found", &E::GetFound);
  p.Float("X", &E::GetX, &E::SetX);
  p.Float("Y", &E::GetY, &E::SetY);
  p.Float("Tolerance", &E::Tolerance, &E::Tolerance);
  p.String("SelectedLayer", &E::SelectedLayer, &E::SelectedLayer);
})
ZELTO_IMPLEMENT_ELEMENT(TPickUpPoint, TPickUper, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TPickUpPolyLine, TPickUper, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TPickUpArea, TPickUper, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TObjectSelector, TInteractiveTool, [](auto& p) {
  using E = TObjectSelector;
  p.Boolean("ShowProperties", &E::ShowProperties, &E::ShowProperties);
  p.Boolean("DontViewProps", &E::DontViewProps, &E::DontViewProps);
  p.Boolean("DontViewDBF", &E::DontViewDBF, &E::DontViewDBF);
  p.Object("onSelect", TTool::StaticClass(), &E::GetOnSelect, &E::SetOnSelect);
  p.Integer("PixelTolerance", &E::PixelTolerance, &E::PixelTolerance);
})
ZELTO_IMPLEMENT_ELEMENT(TPointSelector, TObjectSelector, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TLineSelector, TObjectSelector, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TAreaSelector, TObjectSelector, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TPointCollector, TObjectSelector, [](auto& p) {
  p.Float("X", &TPointCollector::X, &TPointCollector::X);
  p.Float("Y", &TPointCollector::Y, &TPointCollector::Y);
})

namespace {
constexpr TColor kRed = 255;
constexpr int kSelected = 115;
}  // namespace

TPickUper::~TPickUper() = default;

T2DCoordinate& TPickUper::Position() {
  if (!position_) position_ = std::make_unique<T2DCoordinate>();
  return *position_;
}

double TPickUper::GetX() const { return position_ ? position_->X : 0; }
double TPickUper::GetY() const { return position_ ? position_->Y : 0; }
void TPickUper::SetX(double x) { Position().X = x; }
void TPickUper::SetY(double y) { Position().Y = y; }

void TPickUper::DoIt() {
  found_ = false;
  TRecursor::DoIt();
}

void TPickUper::Process(TElement* element) {
  if (found_ || !position_ || !element->Is<TSpaceEntity>()) return;
  found_ = static_cast<TSpaceEntity*>(element)->HitTest(position_.get(), Tolerance);
  if (found_) SetOutput(element);
}

bool TPickUper::AcceptsLayer(TElement* element) const {
  return SelectedLayer.empty() || !element->Is<TInterpretLayer>() || zelto::SameTextAZ(element->GetName(), SelectedLayer);
}

bool TPickUper::GoesInto(TElement* element, std::initializer_list<const TElementClass*> barred) const {
  // Rectangle entities alone would stop at the world and its object model,
  // which is what the main window's viewer shows. Tools hold working data,
  // not the map, and a viewer among them holds the world again.
  if (found_ || !element->Is<TEntity>() || element->Is<TTool>()) return false;
  for (const TElementClass* cls : barred)
    if (element->InheritsFrom(*cls)) return false;
  return AcceptsLayer(element);
}

bool TPickUpPoint::QGoInside(TElement* element) {
  return GoesInto(element, {&TAreaString::StaticClass(), &TPolyLineString::StaticClass(),
                            &TPolyLineElement::StaticClass(), &TAreaElement::StaticClass()});
}
bool TPickUpPoint::QProcessBefore(TElement* element) { return Tests(element, TPointElement::StaticClass()); }

bool TPickUpPolyLine::QGoInside(TElement* element) {
  return GoesInto(element, {&TPolyLineElement::StaticClass(), &TAreaElement::StaticClass(),
                            &TAreaString::StaticClass(), &TPointString::StaticClass()});
}
bool TPickUpPolyLine::QProcessBefore(TElement* element) { return Tests(element, TPolyLineElement::StaticClass()); }

bool TPickUpArea::QGoInside(TElement* element) {
  return GoesInto(element, {&TAreaElement::StaticClass(), &TPolyLineElement::StaticClass(),
                            &TPolyLineString::StaticClass(), &TPointString::StaticClass()});
}
bool TPickUpArea::QProcessBefore(TElement* element) { return Tests(element, TAreaElement::StaticClass()); }

TTool* TObjectSelector::GetOnSelect() const { return static_cast<TTool*>(onSelect_.Get()); }
void TObjectSelector::SetOnSelect(TElement* tool) { onSelect_.Set(tool && tool->Is<TTool>() ? tool : nullptr); }

TElement* TObjectSelector::Pick(TPickUper& picker, const TZeltoMouseEvent& event, std::int32_t pixels) {
  TPageProjection* projection = GetDevice() ? GetDevice()->GetProjection() : nullptr;
  if (!projection || !Input()) return nullptr;
  picker.Tolerance = projection->DeviceToWorldLength(pixels);
  picker.SetX(projection->DeviceToWorldX(event.X));
  picker.SetY(projection->DeviceToWorldY(event.Y));
  picker.SetInput(Input());
  picker.DoIt();
  return picker.GetFound() ? picker.Output() : nullptr;
}

void TObjectSelector::Cross(double x, double y, std::int32_t pixels, bool diagonal, TColor color) {
  TDevice* device = GetDevice();
  const double d = device->GetProjection()->DeviceToWorldLength(pixels);
  device->SetPen({color, 1, psSolid});
  if (diagonal) {
    device->MoveTo(x - d, y - d);
    device->LineTo(x + d, y + d);
    device->MoveTo(x + d, y - d);
    device->LineTo(x - d, y + d);
  } else {
    device->MoveTo(x, y - d);
    device->LineTo(x, y + d);
    device->MoveTo(x - d, y);
    device->LineTo(x + d, y);
  }
}

QRect TObjectSelector::MarkOnScreen(TElement* element) {
  auto* manager = dynamic_cast<TFormToolManager*>(Manager);
  auto* entity = dynamic_cast<TRectEntity*>(element);
  TPageProjection* projection = GetDevice() ? GetDevice()->GetProjection() : nullptr;
  if (!manager || !manager->GetForm() || !entity || !entity->GetIsValid() || !projection) return {};
  const QWidget* image = manager->GetForm()->Image();
  // The crosses reach a few pixels beyond the element.
  constexpr int kCrossReach = 7;
  const QRect pixels =
      QRect(QPoint(projection->WorldToDeviceX(entity->GetMinX()), projection->WorldToDeviceY(entity->GetMaxY())),
            QPoint(projection->WorldToDeviceX(entity->GetMaxX()), projection->WorldToDeviceY(entity->GetMinY())))
          .normalized()
          .adjusted(-kCrossReach, -kCrossReach, kCrossReach, kCrossReach) &
      image->rect();
  return pixels.isEmpty() ? QRect() : QRect(image->mapToGlobal(pixels.topLeft()), pixels.size());
}

void TObjectSelector::Announce(TElement* element) {
  if (ShowProperties) {
    TChoicedElementInterpret viewer;
    viewer.DontViewProps = DontViewProps;
    viewer.DontViewDBF = DontViewDBF;
    auto* manager = dynamic_cast<TFormToolManager*>(Manager);
    QWidget* form = manager ? manager->GetForm() : nullptr;
    if (form) viewer.SetOpener(form);
    viewer.SetInput(element);
    // The windows about the element leave its mark, and the viewer's tools,
    // in sight.
    const QRect mark = MarkOnScreen(element);
    std::optional<platform::qt::PickedMark> keep;
    if (!mark.isEmpty()) keep.emplace(mark, form ? form->window() : nullptr);
    viewer.DoIt();
  }
  SetOutput(element);
  PostMessage(kSelected, nullptr, element);
  RunOnSelect(element);
}

void TObjectSelector::RunOnSelect(TElement* input) {
  TTool* next = GetOnSelect();
  if (!next) return;
  next->SetInput(input);
  // The tool manager holds the selector in its list of tools.
  next->SetParameter("FTM", Manager);
  next->DoIt();
}

void TObjectSelector::ReView(TZeltoMessage* message, bool& handled) {
  TInteractiveTool::ReView(message, handled);
  TElement* picked = Output();
  if (picked && picked != this && GetDevice()) Highlight(picked);
}

void TPointSelector::MouseUp(TZeltoMessage* message, bool& handled) {
  handled = true;
  auto* e = dynamic_cast<TZeltoMouseEvent*>(message);
  if (!e || e->Button != mbLeft) return;
  TPickUpPoint picker;
  TElement* point = Pick(picker, *e, PixelTolerance);
  if (!point) return;
  Highlight(point);
  Announce(point);
}

void TPointSelector::Highlight(TElement* picked) {
  auto* point = dynamic_cast<TRectEntity*>(picked);
  if (!point) return;
  Cross(point->GetAbsRefX(), point->GetAbsRefY(), 5, true, kRed);
  Cross(point->GetAbsRefX(), point->GetAbsRefY(), 5, false, kRed);
}

void TLineSelector::MouseUp(TZeltoMessage* message, bool& handled) {
  handled = true;
  auto* e = dynamic_cast<TZeltoMouseEvent*>(message);
  if (!e || e->Button != mbLeft) return;
  TPickUpPolyLine picker;
  TElement* line = Pick(picker, *e, PixelTolerance);
  if (!line) return;
  Highlight(line);
  Announce(line);
}

void TLineSelector::Highlight(TElement* picked) {
  auto* line = dynamic_cast<TPolyElement*>(picked);
  if (!line) return;
  for (int i = 0; i < line->GetCoordsCount(); ++i) {
    const double x = line->GetVertexX(i);
    const double y = line->GetVertexY(i);
    Cross(x, y, i == 0 ? 5 : 3, true, kRed);
    if (i == 0) Cross(x, y, 5, false, kRed);
  }
  Cross(line->GetAbsRefX(), line->GetAbsRefY(), 6, true, clWhite);
  Cross(line->GetAbsRefX(), line->GetAbsRefY(), 6, false, clBlack);
}

void TAreaSelector::MouseUp(TZeltoMessage* message, bool& handled) {
  handled = true;
  auto* e = dynamic_cast<TZeltoMouseEvent*>(message);
  if (!e) return;
  SetOutput(nullptr);
  try {
    TPickUpArea picker;
    auto* area = dynamic_cast<TAreaElement*>(Pick(picker, *e, 0));
    if (!area) return;
    Highlight(area);
    Announce(area);
  } catch (const std::exception& error) {
    platform::showError(error.what());
  }
}

void TAreaSelector::Highlight(TElement* picked) {
  auto* area = dynamic_cast<TAreaElement*>(picked);
  if (!area) return;
  // An area bounded by lines is drawn through a copy with its own vertices.
  std::unique_ptr<TAreaElement> copy;
  if (auto* bounded = dynamic_cast<TPolyLineAreaElement*>(area)) copy.reset(bounded->CloneAsArea());
  TAreaElement* drawn = copy ? copy.get() : area;
  TDevice* device = GetDevice();
  device->SetBrush({clWhite, bsBDiagonal});
  device->SetPen({kRed, 1, psClear});
  device->DrawArea(drawn);
  device->SetBrush({clBlack, bsFDiagonal});
  device->SetPen({kRed, 1, psSolid});
  device->DrawArea(drawn);
  Cross(area->GetAbsRefX(), area->GetAbsRefY(), 5, true, kRed);
  Cross(area->GetAbsRefX(), area->GetAbsRefY(), 5, false, clWhite);
}

void TPointCollector::MouseUp(TZeltoMessage* message, bool& handled) {
  handled = true;
  auto* e = dynamic_cast<TZeltoMouseEvent*>(message);
  TPageProjection* projection = GetDevice() ? GetDevice()->GetProjection() : nullptr;
  if (!e || e->Button != mbLeft || !projection) return;
  X = projection->DeviceToWorldX(e->X);
  Y = projection->DeviceToWorldY(e->Y);
  SetOutput(this);
  RunOnSelect(this);
}

void RegisterSelectorClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls :
       {&TPickUper::StaticClass(), &TPickUpPoint::StaticClass(), &TPickUpPolyLine::StaticClass(),
        &TPickUpArea::StaticClass(), &TObjectSelector::StaticClass(), &TPointSelector::StaticClass(),
        &TLineSelector::StaticClass(), &TAreaSelector::StaticClass(), &TPointCollector::StaticClass(),
        &TChoicedElementInterpret::StaticClass()})
    RegisterZeltoClass(*cls);
}
