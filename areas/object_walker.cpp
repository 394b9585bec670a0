#include "areas/object_walker.h"

#include "framework/message_dispatch.h"
#include "geometry/area_element.h"
#include "platform/user_interaction.h"

ZELTO_IMPLEMENT_ELEMENT(TProchazecObjektu, TRecursor, [](auto& p) {
  using E = TProchazecObjektu;
  p.String("GaugeCaption", nullptr, &E::SetGaugeCaption);
  p.String("Protocol", nullptr, &E::SetProtocol);
})

TProchazecObjektu::TProchazecObjektu() : form_(std::make_unique<TF_gaugeForm>()) {
  form_->SetCaption(GetName());
  form_->SetMaxValue(0);
}

TProchazecObjektu::~TProchazecObjektu() = default;

void TProchazecObjektu::DoIt() {
  platform::BusyCursor busy;
  if (!ownCaption_) form_->SetCaption(GetName());
  TRecursor::DoIt();
}

void TProchazecObjektu::Recurse(TElement* element) {
  if (!GetBreakWork()) TRecursor::Recurse(element);
}

void TProchazecObjektu::ShowGauge() {
  if (!ownCaption_) form_->SetCaption(GetName());
  form_->Show();
}

void TProchazecObjektu::SetGaugeCaption(const std::string& caption) {
  ownCaption_ = true;
  form_->SetCaption(caption);
}

void TProchazecObjektu::StepGauge(std::int32_t i) {
  if (form_->GetMaxValue() < 1) return;
  if (GaugeStep != 0 && (GaugeStep < 1 || i % GaugeStep != 0)) return;
  form_->SetProgress(i);
  if (i >= form_->GetMaxValue()) pacer_.force();
  PumpWhenDue();
}

void TProchazecObjektu::PumpWhenDue() {
  if (pacer_.due()) zelto::ProcessPendingMessages();
}

bool IsWalkedLine(const TElement* element) { return element && element->Is<TPolyLineElement>(); }
bool IsWalkedArea(const TElement* element) { return element && element->Is<TAreaElement>(); }
