#pragma once
// The memory status of the machine as an element, read once when created.
// The published values are unsigned 32-bit: counts beyond that range read as
// its largest value instead of wrapping.
#include <cstdint>

#include "framework/element.h"
#include "framework/memory_status.h"

class TMemoryElement : public TOwnerElement {
  ZELTO_ELEMENT(TMemoryElement)
 public:
  TMemoryElement();

  void Refresh();
  const framework::MemoryStatus& Status() const { return status_; }
  // The status in 64 bits, for callers that compare against large budgets.
  std::uint64_t AvailMemory64() const { return status_.AvailMemory(); }

  std::uint32_t MemoryLoad() const { return Clamp(status_.MemoryLoad); }
  std::uint32_t TotalPhys() const { return Clamp(status_.TotalPhys); }
  std::uint32_t AvailPhys() const { return Clamp(status_.AvailPhys); }
  std::uint32_t TotalPageFile() const { return Clamp(status_.TotalPageFile); }
  std::uint32_t AvailPageFile() const { return Clamp(status_.AvailPageFile); }
  std::uint32_t TotalVirtual() const { return Clamp(status_.TotalVirtual); }
  std::uint32_t AvailVirtual() const { return Clamp(status_.AvailVirtual); }
  std::uint32_t AlocatedMemory() const { return Clamp(status_.AlocatedMemory()); }
  // The available physical memory.
  std::uint32_t AvailMemory() const { return Clamp(status_.AvailMemory()); }

  static std::uint32_t Clamp(std::uint64_t value);

 private:
  framework::MemoryStatus status_;
};

void RegisterMemoryClasses();
