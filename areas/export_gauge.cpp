#include "areas/export_gauge.h"

#include "framework/message_dispatch.h"

namespace areas {

ExportGauge::ExportGauge(const std::string& caption, int maximum, std::string question)
    : question_(std::move(question)) {
  form_.SetMaxValue(maximum);
  form_.SetCaption(caption);
  form_.Show();
  // The user sees the form before the first item.
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
