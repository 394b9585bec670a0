#include "framework/tick_clock.h"

#include <chrono>

namespace framework {

namespace {

std::function<std::uint64_t()>& source() {
  static std::function<std::uint64_t()> current;
  return current;
}

}  // namespace

std::uint64_t TickCount() {
  if (source()) return source()();
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

ScopedTickSource::ScopedTickSource(std::function<std::uint64_t()> replacement)
    : previous_(std::move(source())) {
  source() = std::move(replacement);
}

ScopedTickSource::~ScopedTickSource() { source() = std::move(previous_); }

}  // namespace framework
