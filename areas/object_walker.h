#pragma once
// Base of the walkers: a recursive tool with a progress form and an item
// counter. Descendants decide where to descend and what to do per element;
// the gauge walkers count their items first and show the form above 100.
#include <cstdint>
#include <memory>
#include <string>

#include "areas/gauge_form.h"
#include "framework/recursor.h"
#include "platform/pacer.h"

class TProchazecObjektu : public TRecursor {
  ZELTO_ELEMENT(TProchazecObjektu)
 public:
  // Walks with more items show the progress form.
  static constexpr std::int32_t kGaugeThreshold = 100;

  TProchazecObjektu();
  ~TProchazecObjektu() override;

  // The hourglass and the form's caption for the time of the walk.
  void DoIt() override;
  // A walk whose break flag is set descends no further.
  void Recurse(TElement* element) override;

  void SetGaugeMax(std::int32_t n) { form_->SetMaxValue(n); }
  void ShowGauge();
  void HideGauge() { form_->Hide(); }
  void SetGaugeStep(std::int32_t n) { GaugeStep = n; }
  // Moves the bar to i (every GaugeStep-th item; 0 = every item) and lets
  // pending messages through when due (PumpWhenDue).
  void StepGauge(std::int32_t i);
  // Lets pending messages through when the pacer says so: walkers call it
  // at every item, the user's events and the progress forms get their turn
  // a few times a second.
  void PumpWhenDue();
  TF_gaugeForm& GaugeForm() { return *form_; }

  // A caption given here stays; otherwise the form shows the walker's name.
  void SetGaugeCaption(const std::string& caption);
  void SetProtocol(const std::string&) {}

  std::int32_t GaugeStep = 0;
  std::int32_t Count = 0;

 private:
  std::unique_ptr<TF_gaugeForm> form_;
  bool ownCaption_ = false;
  platform::Pacer pacer_;
};

// Whether the element is a line, or an area, of the spatial model.
bool IsWalkedLine(const TElement* element);
bool IsWalkedArea(const TElement* element);
