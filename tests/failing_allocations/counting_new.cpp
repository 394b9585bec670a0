// Every replaceable form of the global operator new and delete, on malloc
// and free, counting the allocations made while armed.
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

#include "failing_allocations.h"

namespace failing_allocations {
namespace {

std::atomic<bool> armed{false};
std::atomic<long> counted{0};
std::atomic<long> failingAt{0};
std::atomic<bool> failed{false};

// Whether this allocation is the one to fail.
bool FailsNow() {
  if (!armed.load(std::memory_order_relaxed)) return false;
  const long n = counted.fetch_add(1, std::memory_order_relaxed) + 1;
  if (n != failingAt.load(std::memory_order_relaxed)) return false;
  failed = true;
  return true;
}

void* Get(std::size_t size, std::size_t alignment) {
  if (FailsNow()) return nullptr;
  if (size == 0) size = 1;
  if (alignment <= alignof(std::max_align_t)) return std::malloc(size);
  void* p = nullptr;
  return ::posix_memalign(&p, alignment, size) == 0 ? p : nullptr;
}

void* GetOrThrow(std::size_t size, std::size_t alignment) {
  void* p = Get(size, alignment);
  if (!p) throw std::bad_alloc();
  return p;
}

}  // namespace

void Arm(long failAt) {
  counted = 0;
  failed = false;
  failingAt = failAt;
  armed = true;
}

long Disarm() {
  armed = false;
  return counted;
}

bool Failed() { return failed; }

}  // namespace failing_allocations

using failing_allocations::Get;
using failing_allocations::GetOrThrow;

void* operator new(std::size_t n) { return GetOrThrow(n, 0); }
void* operator new[](std::size_t n) { return GetOrThrow(n, 0); }
void* operator new(std::size_t n, std::align_val_t a) { return GetOrThrow(n, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t n, std::align_val_t a) { return GetOrThrow(n, static_cast<std::size_t>(a)); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return Get(n, 0); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return Get(n, 0); }
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Get(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Get(n, static_cast<std::size_t>(a));
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
