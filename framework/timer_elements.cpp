#include "framework/timer_elements.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "framework/class_registry.h"
#include "framework/tick_clock.h"

ZELTO_IMPLEMENT_ELEMENT(TTickElement, TOwnerElement, [](auto& p) {
  using E = TTickElement;
  p.Integer("Interval", &E::Interval, &E::Interval);
  p.Boolean("Pause", &E::Pause, &E::Pause);
  p.Boolean("Alarm", &E::GetAlarm);
})

ZELTO_IMPLEMENT_ELEMENT(TTimeElement, TOwnerElement, [](auto& p) {
  using E = TTimeElement;
  p.Integer("AlarmCount", &E::AlarmCount);
  p.Boolean("MultiAlarm", &E::MultiAlarm, &E::MultiAlarm);
  p.String("Interval", &E::GetInterval, &E::SetInterval);
  p.Boolean("Alarm", &E::GetAlarm);
})

TTickElement::TTickElement() { Restart(); }

void TTickElement::Restart() {
  start_ = lastAlarm_ = framework::TickCount();
  Pause = false;
}

bool TTickElement::GetAlarm() {
  if (Pause) return false;
  const std::uint64_t now = framework::TickCount();
  const std::uint64_t interval = Interval > 0 ? static_cast<std::uint64_t>(Interval) : 0;
  if (now <= lastAlarm_ + interval) return false;
  lastAlarm_ = now;
  return true;
}

TTimeElement::TTimeElement() : previousPoll_(framework::TickCount()) {}

std::string TTimeElement::GetInterval() const {
  const std::uint64_t ms = intervalMs_ % 1000;
  const std::uint64_t s = intervalMs_ / 1000 % 60;
  const std::uint64_t m = intervalMs_ / 60000 % 60;
  const std::uint64_t h = intervalMs_ / 3600000;
  return std::to_string(h) + ":" + std::to_string(m) + ":" + std::to_string(s) + "." + std::to_string(ms);
}

namespace {

int wholeNumber(const std::string& text) {
  if (text.empty()) return 0;
  std::size_t used = 0;
  const int value = std::stoi(text, &used);  // raises on a non-number
  if (used != text.size()) throw std::invalid_argument("'" + text + "' není číslo");
  return value;
}

}  // namespace

void TTimeElement::SetInterval(const std::string& text) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : text) {
    if (c == ':') {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  parts.push_back(part);
  const std::string last = parts.back();
  const std::size_t dot = last.find('.');
  const int seconds = wholeNumber(last.substr(0, dot));
  const int millis = dot == std::string::npos ? 0 : wholeNumber(last.substr(dot + 1));
  const int minutes = parts.size() >= 2 ? wholeNumber(parts[parts.size() - 2]) : 0;
  const int hours = parts.size() >= 3 ? wholeNumber(parts[parts.size() - 3]) : 0;
  if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59 || millis < 0 ||
      millis > 999)
    throw std::invalid_argument("'" + text + "' není platný čas");
  intervalMs_ = ((static_cast<std::uint64_t>(hours) * 60 + minutes) * 60 + seconds) * 1000 + millis;
}

bool TTimeElement::GetAlarm() {
  const std::uint64_t now = framework::TickCount();
  const std::uint64_t elapsed = now - previousPoll_;
  previousPoll_ = now;
  if (elapsed <= intervalMs_) return false;
  if (!MultiAlarm) return true;
  // A zero interval fits once into any wait.
  const double intervals =
      intervalMs_ == 0 ? 1.0 : std::nearbyint(static_cast<double>(elapsed) / static_cast<double>(intervalMs_));
  if (static_cast<double>(AlarmCount) + intervals <= std::numeric_limits<std::int32_t>::max())
    AlarmCount += static_cast<std::int32_t>(intervals);
  --AlarmCount;
  return true;
}

void RegisterTimerClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TTimeElement::StaticClass());
}
