#pragma once
// Two polled timers. Both measure with the monotonic 64-bit tick clock, so
// neither wraps after 49 days nor misfires across midnight or a change of
// the wall clock. They do nothing on their own: somebody must poll Alarm.
#include <cstdint>
#include <string>

#include "framework/element.h"

class TTickElement : public TOwnerElement {
  ZELTO_ELEMENT(TTickElement)
 public:
  TTickElement();

  std::int32_t Interval = 0;  // milliseconds
  bool Pause = false;

  // Counts from now, unpaused.
  void Restart();
  // True (and the alarm time reset) once more than Interval ms passed since
  // the last alarm; false while paused.
  bool GetAlarm();

 private:
  std::uint64_t lastAlarm_ = 0;
  std::uint64_t start_ = 0;
};

class TTimeElement : public TOwnerElement {
  ZELTO_ELEMENT(TTimeElement)
 public:
  TTimeElement();

  std::int32_t AlarmCount = 0;
  bool MultiAlarm = false;

  // "h:m:s.ms" without leading zeros.
  std::string GetInterval() const;
  // "[[h:]m:]s[.ms]"; parts further left are dropped. Text that is not a
  // time of day raises std::invalid_argument.
  void SetInterval(const std::string& text);
  // True when more than the interval passed since the previous poll; with
  // MultiAlarm the further whole intervals are counted in AlarmCount.
  bool GetAlarm();

 private:
  std::uint64_t previousPoll_ = 0;
  std::uint64_t intervalMs_ = 0;
};

void RegisterTimerClasses();
