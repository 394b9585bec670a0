// Every replaceable form of the global operator new and delete, on malloc
// and free, counting the allocations made while armed. Qt's libraries are
// built without exceptions: an allocation failing inside them leaves Qt
// broken whatever the program does, so only allocations made outside them
// are counted and failed.
#include <link.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "failing_allocations.h"

namespace failing_allocations {
namespace {

std::atomic<bool> armed{false};
std::atomic<long> counted{0};
std::atomic<long> failingAt{0};
std::atomic<bool> failed{false};

// The code of Qt's libraries and plugins, found anew whenever armed
// (without an allocation): a plugin may have come since.
struct CodeRange {
  std::uintptr_t begin, end;
};
std::array<CodeRange, 64> qtCode;
std::size_t qtCodeCount = 0;

void FindQtCode() {
  qtCodeCount = 0;
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void*) {
        const char* name = info->dlpi_name;
        if (!name || (!std::strstr(name, "libQt6") && !std::strstr(name, "/qt6/plugins/"))) return 0;
        for (int i = 0; i < info->dlpi_phnum && qtCodeCount < qtCode.size(); ++i) {
          const ElfW(Phdr)& segment = info->dlpi_phdr[i];
          if (segment.p_type != PT_LOAD || !(segment.p_flags & PF_X)) continue;
          const std::uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
          qtCode[qtCodeCount++] = {begin, begin + segment.p_memsz};
        }
        return 0;
      },
      nullptr);
}

bool InQt(const void* caller) {
  const auto at = reinterpret_cast<std::uintptr_t>(caller);
  for (std::size_t i = 0; i < qtCodeCount; ++i)
    if (at >= qtCode[i].begin && at < qtCode[i].end) return true;
  return false;
}

// Whether this allocation, asked for by code at `caller`, is the one to fail.
bool FailsNow(const void* caller) {
  if (!armed.load(std::memory_order_relaxed) || InQt(caller)) return false;
  const long n = counted.fetch_add(1, std::memory_order_relaxed) + 1;
  if (n != failingAt.load(std::memory_order_relaxed)) return false;
  failed = true;
  return true;
}

void* Get(std::size_t size, std::size_t alignment, const void* caller) {
  if (FailsNow(caller)) return nullptr;
  if (size == 0) size = 1;
  if (alignment <= alignof(std::max_align_t)) return std::malloc(size);
  void* p = nullptr;
  return ::posix_memalign(&p, alignment, size) == 0 ? p : nullptr;
}

void* GetOrThrow(std::size_t size, std::size_t alignment, const void* caller) {
  void* p = Get(size, alignment, caller);
  if (!p) throw std::bad_alloc();
  return p;
}

}  // namespace

void Arm(long failAt) {
  FindQtCode();
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

#define ZELTO_CALLER __builtin_return_address(0)

void* operator new(std::size_t n) { return GetOrThrow(n, 0, ZELTO_CALLER); }
void* operator new[](std::size_t n) { return GetOrThrow(n, 0, ZELTO_CALLER); }
void* operator new(std::size_t n, std::align_val_t a) {
  return GetOrThrow(n, static_cast<std::size_t>(a), ZELTO_CALLER);
}
void* operator new[](std::size_t n, std::align_val_t a) {
  return GetOrThrow(n, static_cast<std::size_t>(a), ZELTO_CALLER);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return Get(n, 0, ZELTO_CALLER); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return Get(n, 0, ZELTO_CALLER); }
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Get(n, static_cast<std::size_t>(a), ZELTO_CALLER);
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Get(n, static_cast<std::size_t>(a), ZELTO_CALLER);
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
