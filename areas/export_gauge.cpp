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
  form_.SetProgress(index);
  if (pacer_.due()) zelto::ProcessPendingMessages();
  return true;
}

}  // namespace areas
