#pragma once
// The hatch library of one drawing pass: the area symbols of "Srafy.txt"
// read on first use and sized for the pass's device.
#include <cstdint>
#include <set>
#include <string>

#include "framework/entity.h"

class TDevice;
class TPlosnaZnacka;

class TPlosneZnacky : public TNameEntity {
  ZELTO_ELEMENT(TPlosneZnacky)
 public:
  TPlosneZnacky() = default;
  // The library file's full path is the library's name.
  explicit TPlosneZnacky(const std::string& filePath) { SetName(filePath); }

  // Not owned; its projection sizes the symbols.
  void SetDevice(TDevice* device) { device_ = device; }
  TDevice* GetDevice() const { return device_; }

  // A loaded symbol of that code, else LoadSymbol.
  TPlosnaZnacka* FindSymbol(std::int32_t code);
  // Reads the symbol from the file and keeps it; nil when the file cannot be
  // opened, the library has no device, or the file holds no valid symbol of
  // that code.
  TPlosnaZnacka* LoadSymbol(std::int32_t code);

 private:
  TDevice* device_ = nullptr;
  // Codes the file does not hold: asked again in the same pass (area after
  // area), they would read the whole file each time.
  std::set<std::int32_t> missing_;
};

// Registers the hatch symbol classes (idempotent).
void RegisterHatchClasses();
