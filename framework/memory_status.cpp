#include "framework/memory_status.h"

#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>

namespace framework {

namespace {

// The value of a "Key:   123 kB" line, in bytes; 0 when missing.
std::uint64_t kilobytes(std::string_view text, std::string_view key) {
  std::size_t at = 0;
  while ((at = text.find(key, at)) != std::string_view::npos) {
    const bool lineStart = at == 0 || text[at - 1] == '\n';
    const std::size_t colon = at + key.size();
    if (lineStart && colon < text.size() && text[colon] == ':') {
      std::uint64_t value = 0;
      std::size_t i = colon + 1;
      while (i < text.size() && text[i] == ' ') ++i;
      while (i < text.size() && text[i] >= '0' && text[i] <= '9') value = value * 10 + (text[i++] - '0');
      return value * 1024;
    }
    at = colon;
  }
  return 0;
}

std::string readAll(const char* path) {
  std::ifstream in(path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

std::uint64_t MemoryStatus::AlocatedMemory() const {
  const std::uint64_t phys = TotalPhys > AvailPhys ? TotalPhys - AvailPhys : 0;
  const std::uint64_t page = TotalPageFile > AvailPageFile ? TotalPageFile - AvailPageFile : 0;
  return phys + page;
}

MemoryStatus ParseMemoryStatus(std::string_view meminfo, std::string_view selfStatus,
                               std::uint64_t addressSpace) {
  MemoryStatus s;
  s.TotalPhys = kilobytes(meminfo, "MemTotal");
  s.AvailPhys = kilobytes(meminfo, "MemAvailable");
  if (s.AvailPhys > s.TotalPhys) s.AvailPhys = s.TotalPhys;
  s.TotalPageFile = s.TotalPhys + kilobytes(meminfo, "SwapTotal");
  s.AvailPageFile = s.AvailPhys + kilobytes(meminfo, "SwapFree");
  s.MemoryLoad = s.TotalPhys == 0 ? 0 : (s.TotalPhys - s.AvailPhys) * 100 / s.TotalPhys;
  s.TotalVirtual = addressSpace;
  const std::uint64_t used = kilobytes(selfStatus, "VmSize");
  s.AvailVirtual = addressSpace > used ? addressSpace - used : 0;
  return s;
}

MemoryStatus ReadMemoryStatus() {
  std::uint64_t addressSpace = std::uint64_t{1} << 47;
  struct rlimit limit {};
  if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
    addressSpace = limit.rlim_cur;
  return ParseMemoryStatus(readAll("/proc/meminfo"), readAll("/proc/self/status"), addressSpace);
}

}  // namespace framework
