#include "areas/export_gauge.h"

#include "framework/message_dispatch.h"

namespace areas {

namespace {
constexpr auto kPumpInterval = std::chrono::milliseconds(40);
}

ExportGauge::ExportGauge(const std::string& caption, int maximum, std::string question)
    : question_(std::move(question)) {
  form_.SetMaxValue(maximum);
  form_.SetCaption(caption);
  form_.Show();
}

ExportGauge::~ExportGauge() { form_.Hide(); }

bool ExportGauge::step(int index) {
  if (form_.BreakConfirmed(question_)) return false;
  form_.SetProgress(index);
  const auto now = std::chrono::steady_clock::now();
  if (now - lastPump_ >= kPumpInterval) {
    lastPump_ = now;
    zelto::ProcessPendingMessages();
  }
  return true;
}

}  // namespace areas
