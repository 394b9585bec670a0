#include "areas/export_gauge.h"

#include "framework/message_dispatch.h"

namespace areas {

ExportGauge::ExportGauge(const std::string& caption, int maximum, std::string question)
    : question_(std::move(question)) {
  form_.SetMaxValue(maximum);
  form_.SetCaption(caption);
  form_.Show();
  // Lets through what was pending before the first item; the form itself
  // goes up only if the loop runs for a while.
  zelto::ProcessPendingMessages();
}

ExportGauge::~ExportGauge() { form_.Hide(); }

bool ExportGauge::step(int index) {
  if (form_.BreakConfirmed(question_)) return false;
  // A loop of few items (the levels of the whole export) lets every step
  // be painted; a long one, a few times a second and at every hundredth.
  const long long range = form_.GetMaxValue();
  const bool coarse = range > 0 && form_.GetProgress() * 100LL / range != index * 100LL / range;
  form_.SetProgress(index);
  if (pacer_.due() || coarse) zelto::ProcessPendingMessages();
  return true;
}

}  // namespace areas
