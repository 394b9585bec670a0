#pragma once
// The one rate limiter of long loops. Pumping pending messages, repainting a
// progress form and asking whether the user wants to stop all happen when
// the pacer says so: by elapsed time, never by a count of items, so that a
// slow item and a fast one cost the user the same wait.
//
//   platform::Pacer pacer;
//   for (...) {
//     if (pacer.due()) zelto::ProcessPendingMessages();
//     ...
//   }
#include <chrono>

namespace platform {

// How often long work lets the user's events through: well inside the
// 200 ms a moving progress bar may lag.
inline constexpr std::chrono::milliseconds kPumpInterval{50};

class Pacer {
 public:
  using Clock = std::chrono::steady_clock;

  explicit Pacer(std::chrono::milliseconds interval = kPumpInterval) : interval_(interval) {}

  // True when the interval has passed since the last true (or since the
  // pacer was made); then the interval starts again.
  bool due() {
    const Clock::time_point now = Clock::now();
    if (now - last_ < interval_) return false;
    last_ = now;
    return true;
  }

  // The next due() is true, whatever the time: for the first and the last
  // step of a loop, which the user should always see.
  void force() { last_ = Clock::time_point{}; }

 private:
  std::chrono::milliseconds interval_;
  Clock::time_point last_ = Clock::now();
};

}  // namespace platform
