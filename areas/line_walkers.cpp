#include "areas/line_walkers.h"

#include <memory>

#include "framework/class_registry.h"
#include "framework/integer_list.h"
#include "geometry/poly_element.h"
#include "geometry/space_entity.h"

ZELTO_IMPLEMENT_ELEMENT(TProchazecLinii, TProchazecObjektu, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TOznacLinie, TProchazecLinii, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TProchazecLiniiGauge, TProchazecLinii, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TProchazecLiniiDleTridy, TProchazecLiniiGauge, [](auto& p) {
  using E = TProchazecLiniiDleTridy;
  p.String("ContainerClass", &E::GetContainerClassName, &E::SetContainerClassName);
})
ZELTO_IMPLEMENT_ELEMENT(THledacLinii, TProchazecLiniiGauge, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TNacitacLinii, TProchazecLiniiGauge, [](auto& p) {
  p.String("Druhy", nullptr, &TNacitacLinii::SetDruhy);
})

bool TProchazecLinii::QGoInside(TElement* element) {
  return element->Is<TOwnerEntity>() && !IsWalkedLine(element);
}

bool TProchazecLinii::QProcessBefore(TElement* element) { return IsWalkedLine(element); }

void TProchazecLinii::Process(TElement* element) {
  if (IsWalkedLine(element)) ++Count;
}

void TOznacLinie::Process(TElement* element) {
  if (!IsWalkedLine(element)) return;
  ++Count;
  auto* line = static_cast<TPolyLineElement*>(element);
  if (line->GetIsDone()) line->SetIsDone(false);
}

std::int32_t TProchazecLiniiGauge::ClearLineMarks() {
  auto counter = std::make_unique<TOznacLinie>();
  counter->SetInput(Input());
  counter->DoIt();
  return counter->Count;
}

void TProchazecLiniiGauge::DoIt() {
  Count = 0;
  const std::int32_t lines = ClearLineMarks();
  if (lines > kGaugeThreshold) {
    SetGaugeMax(lines);
    ShowGauge();
  }
  TProchazecObjektu::DoIt();
  HideGauge();
}

std::string TProchazecLiniiDleTridy::GetContainerClassName() const {
  return containerClass_ ? containerClass_->ClassName() : std::string();
}

void TProchazecLiniiDleTridy::SetContainerClassName(const std::string& name) {
  containerClass_ = FindZeltoClass(name);
}

bool TProchazecLiniiDleTridy::IsContainer(const TElement* element) const {
  return containerClass_ && element->InheritsFrom(*containerClass_);
}

// Nor into areas: their children are vertices or boundary lines.
bool TProchazecLiniiDleTridy::QGoInside(TElement* element) {
  return element->Is<TRectEntity>() && !IsContainer(element) && !IsWalkedLine(element) && !IsWalkedArea(element);
}

bool TProchazecLiniiDleTridy::QProcessBefore(TElement* element) { return IsContainer(element); }

bool TSearchWindow::Meets(const TRectEntity& element) const {
  return IsWhole() || element.IntersectsRect(Left, Bottom, Right, Top);
}

void THledacLinii::DoIt() {
  if (auto* given = dynamic_cast<TRectEntity*>(Output())) {
    result_ = given;
  } else {
    result_ = new TSpaceEntity;
    SetOutput(result_);
    Add(result_);
  }
  TProchazecLiniiGauge::DoIt();
}

void THledacLinii::Process(TElement* element) {
  if (!IsWalkedLine(element) || !result_) return;
  ++Count;
  StepGauge(Count);
  auto* line = static_cast<TPolyLineElement*>(element);
  if (line->GetIsDone()) return;
  if (window_.Meets(*line)) result_->AddAndExtend(line);
  line->SetIsDone(true);
}

void TNacitacLinii::SetDruhy(const std::string& text) {
  if (druhy_) {
    Delete(druhy_);
    druhy_ = nullptr;
  }
  if (TIntegerListElement* list = IntegerListFromText("DRUHY", text)) druhy_ = Adopt(list);
}

bool TNacitacLinii::KindMatches(TElement* line) const {
  return !druhy_ || druhy_->Contains(line->GetPropertyInt("DRUH"));
}

void TNacitacLinii::Process(TElement* element) {
  if (!IsWalkedLine(element) || HasNoParameters()) return;
  auto* target = dynamic_cast<TPolyLineString*>(GetParameterByIndex(0));
  if (!target) return;
  auto* line = static_cast<TPolyLineElement*>(element);
  if (line->GetIsDone()) return;
  ++Count;
  StepGauge(Count);
  if (!KindMatches(line)) return;
  target->AddAndExtend(line);
  line->SetIsDone(true);
}
