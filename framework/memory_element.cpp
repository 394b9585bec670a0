#include "framework/memory_element.h"

#include <limits>

#include "framework/class_registry.h"

ZELTO_IMPLEMENT_ELEMENT(TMemoryElement, TOwnerElement, [](auto& p) {
  using E = TMemoryElement;
  p.Int64("MemoryLoad", &E::MemoryLoad);
  p.Int64("TotalPhys", &E::TotalPhys);
  p.Int64("AvailPhys", &E::AvailPhys);
  p.Int64("TotalPageFile", &E::TotalPageFile);
  p.Int64("AvailPageFile", &E::AvailPageFile);
  p.Int64("TotalVirtual", &E::TotalVirtual);
  p.Int64("AvailVirtual", &E::AvailVirtual);
  p.Int64("AlocatedMemory", &E::AlocatedMemory);
  p.Int64("AvailMemory", &E::AvailMemory);
})

TMemoryElement::TMemoryElement() {
  SetName("Memory status");
  Refresh();
}

void TMemoryElement::Refresh() { status_ = framework::ReadMemoryStatus(); }

std::uint32_t TMemoryElement::Clamp(std::uint64_t value) {
  constexpr std::uint64_t top = std::numeric_limits<std::uint32_t>::max();
  return static_cast<std::uint32_t>(value > top ? top : value);
}

void RegisterMemoryClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TMemoryElement::StaticClass());
}
