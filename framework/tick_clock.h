#pragma once
// Milliseconds from a monotonic clock in 64 bits: it neither wraps nor jumps
// with the wall clock or at midnight.
#include <cstdint>

namespace framework {

std::uint64_t TickCount();

}  // namespace framework
