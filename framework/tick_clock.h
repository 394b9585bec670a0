#pragma once
// Milliseconds from a monotonic clock in 64 bits: it neither wraps nor jumps
// with the wall clock or at midnight.
#include <cstdint>
#include <functional>

namespace framework {

std::uint64_t TickCount();

// Replaces the clock for the lifetime of the guard (tests drive the timers).
class ScopedTickSource {
 public:
  explicit ScopedTickSource(std::function<std::uint64_t()> source);
  ~ScopedTickSource();
  ScopedTickSource(const ScopedTickSource&) = delete;
  ScopedTickSource& operator=(const ScopedTickSource&) = delete;

 private:
  std::function<std::uint64_t()> previous_;
};

}  // namespace framework
