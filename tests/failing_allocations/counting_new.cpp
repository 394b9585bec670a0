// Every replaceable form of the global operator new and delete, on malloc
// and free, counting the allocations made while armed and keeping the
// addresses of those not yet freed. Qt's libraries are built without
// exceptions: an allocation failing inside them leaves Qt broken whatever
// the program does, so only allocations made outside them are counted and
// failed.
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

// The counted blocks not yet freed: a set of addresses with open addressing
// in fixed storage, for it is kept inside the allocation functions. Freed
// slots stay taken (kFreed) until armed again; a set more than half taken
// stops keeping and tells so. Qt's threads allocate and free too.
constexpr std::size_t kSlotBits = 16;
constexpr std::size_t kSlots = std::size_t{1} << kSlotBits;
void* const kFreed = &counted;
std::array<void*, kSlots> liveSlots{};
std::size_t takenSlots = 0;
bool liveLost = false;
std::atomic<long> liveBlocks{0};
// A spin lock rather than a mutex: it never allocates nor waits on the system.
std::atomic_flag liveLock = ATOMIC_FLAG_INIT;

struct LiveLock {
  LiveLock() {
    while (liveLock.test_and_set(std::memory_order_acquire)) {
    }
  }
  ~LiveLock() { liveLock.clear(std::memory_order_release); }
};

std::size_t SlotOf(const void* p) {
  return static_cast<std::size_t>((reinterpret_cast<std::uintptr_t>(p) >> 4) * 0x9E3779B97F4A7C15ull) >>
         (64 - kSlotBits);
}

void Keep(void* p) {
  LiveLock lock;
  if (takenSlots >= kSlots / 2) {
    liveLost = true;
    return;
  }
  std::size_t i = SlotOf(p);
  while (liveSlots[i]) i = (i + 1) % kSlots;
  liveSlots[i] = p;
  ++takenSlots;
  liveBlocks.fetch_add(1, std::memory_order_relaxed);
}

void Forget(void* p) {
  if (!p || liveBlocks.load(std::memory_order_relaxed) == 0) return;
  LiveLock lock;
  for (std::size_t i = SlotOf(p); liveSlots[i]; i = (i + 1) % kSlots) {
    if (liveSlots[i] != p) continue;
    liveSlots[i] = kFreed;
    liveBlocks.fetch_sub(1, std::memory_order_relaxed);
    return;
  }
}

void ForgetAll() {
  LiveLock lock;
  if (takenSlots) liveSlots.fill(nullptr);
  takenSlots = 0;
  liveLost = false;
  liveBlocks = 0;
}

// Whether this allocation, asked for by code at `caller`, is counted.
bool Counts(const void* caller) { return armed.load(std::memory_order_relaxed) && !InQt(caller); }

// Whether the allocation just counted is the one to fail.
bool FailsNow() {
  const long n = counted.fetch_add(1, std::memory_order_relaxed) + 1;
  if (n != failingAt.load(std::memory_order_relaxed)) return false;
  failed = true;
  return true;
}

void* Get(std::size_t size, std::size_t alignment, const void* caller) {
  const bool counts = Counts(caller);
  if (counts && FailsNow()) return nullptr;
  if (size == 0) size = 1;
  void* p = nullptr;
  if (alignment <= alignof(std::max_align_t)) p = std::malloc(size);
  else if (::posix_memalign(&p, alignment, size) != 0) p = nullptr;
  if (counts && p) Keep(p);
  return p;
}

void Release(void* p) {
  Forget(p);
  std::free(p);
}

void* GetOrThrow(std::size_t size, std::size_t alignment, const void* caller) {
  void* p = Get(size, alignment, caller);
  if (!p) throw std::bad_alloc();
  return p;
}

}  // namespace

void Arm(long failAt) {
  FindQtCode();
  ForgetAll();
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

long LiveAllocations() {
  LiveLock lock;
  return liveLost ? -1 : liveBlocks.load(std::memory_order_relaxed);
}

}  // namespace failing_allocations

using failing_allocations::Get;
using failing_allocations::GetOrThrow;
using failing_allocations::Release;

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

void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { Release(p); }
