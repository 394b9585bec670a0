#pragma once
// The machine's memory status in bytes, 64-bit so that counts above 4 GB do
// not wrap. The page file of the Windows program stands for the commit limit:
// physical memory plus swap.
#include <cstdint>
#include <string_view>

namespace framework {

struct MemoryStatus {
  std::uint64_t MemoryLoad = 0;  // percent of physical memory in use
  std::uint64_t TotalPhys = 0;
  std::uint64_t AvailPhys = 0;
  std::uint64_t TotalPageFile = 0;
  std::uint64_t AvailPageFile = 0;
  std::uint64_t TotalVirtual = 0;
  std::uint64_t AvailVirtual = 0;

  // Physical memory in use plus page file in use.
  std::uint64_t AlocatedMemory() const;
  // The memory a program can still have without swapping: available physical.
  std::uint64_t AvailMemory() const { return AvailPhys; }
};

// From the texts of /proc/meminfo and /proc/self/status; the virtual address
// space is the process's address-space limit (128 TiB without one).
MemoryStatus ParseMemoryStatus(std::string_view meminfo, std::string_view selfStatus,
                               std::uint64_t addressSpace);
MemoryStatus ReadMemoryStatus();

}  // namespace framework
