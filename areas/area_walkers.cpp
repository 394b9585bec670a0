#include "areas/area_walkers.h"

#include <memory>

#include "geometry/area_element.h"

ZELTO_IMPLEMENT_ELEMENT(TProchazecPloch, TProchazecObjektu, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TOznacPlochy, TProchazecPloch, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TProchazecPlochGauge, TProchazecPloch, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(THledacPloch, TProchazecPlochGauge, [](auto& p) {
  p.Boolean("IncludeHoles", &THledacPloch::IncludeHoles, &THledacPloch::IncludeHoles);
})

// An area's children are its vertices or boundary lines: no area below it.
bool TProchazecPloch::QGoInside(TElement* element) {
  return element->Is<TOwnerEntity>() && !IsWalkedLine(element) && !IsWalkedArea(element);
}

bool TProchazecPloch::QProcessBefore(TElement* element) { return IsWalkedArea(element); }

void TProchazecPloch::Process(TElement* element) {
  if (IsWalkedArea(element)) ++Count;
}

void TOznacPlochy::Process(TElement* element) {
  if (!IsWalkedArea(element)) return;
  ++Count;
  auto* area = static_cast<TAreaElement*>(element);
  if (area->GetIsDone()) area->SetIsDone(false);
}

void TProchazecPlochGauge::DoIt() {
  std::int32_t areas = 0;
  {
    auto counter = std::make_unique<TOznacPlochy>();
    counter->SetInput(Input());
    counter->DoIt();
    areas = counter->Count;
  }
  if (areas > kGaugeThreshold) {
    SetGaugeMax(areas);
    GaugeStep = 10;
    ShowGauge();
  }
  TProchazecObjektu::DoIt();
  HideGauge();
}

void THledacPloch::DoIt() {
  if (!dynamic_cast<TEntity*>(Input())) return;
  if (auto* given = dynamic_cast<TRectEntity*>(Output())) {
    result_ = given;
  } else {
    result_ = new TAreaString;
    SetOutput(result_);
    Add(result_);
  }
  TProchazecPlochGauge::DoIt();
}

void THledacPloch::Process(TElement* element) {
  if (!IsWalkedArea(element) || !result_) return;
  auto* area = static_cast<TAreaElement*>(element);
  if (area->IsHole && !IncludeHoles) return;
  ++Count;
  if (area->GetIsDone()) return;
  if (window_.Meets(*area)) result_->AddAndExtend(area);
  area->SetIsDone(true);
}
