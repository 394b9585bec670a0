// Model files and INI files: the first part loaded as a model file (ZLT0 or
// TPF0), the second read as TERGELIX.INI through every kind of setting.
#include "framework/ini_file.h"
#include "framework/model_loader.h"
#include "framework/value_stream.h"
#include "framework/service_classes.h"
#include "framework/settings.h"
#include "fuzz/fuzz_support.h"

namespace {
constexpr std::size_t kCount = 2;  // model file, TERGELIX.INI
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Harness& harness = fuzz::Harness::Get();
  static const bool registered = (RegisterFrameworkServiceClasses(), true);
  (void)registered;
  harness.Begin();
  const auto files = fuzz::SplitFiles(data, size, kCount);
  {
    TStreamLoader loader;
    loader.FileName = harness.Write("MODEL.ZLT", files[0]).string();
    try {
      loader.DoIt();
    } catch (const EBadStream&) {
      // Neither kind of model file: refused.
    }
    delete loader.Output();
  }
  harness.Write("TERGELIX.INI", files[1]);
  std::string error;
  for (const char* section : {"DET", "GLOBAL", "EXPORT"}) {
    for (const char* key : {"DruhPorostniSkupiny", "MinPlochaM", "RusitPseudouzly", "VYBLINCES", "PSKBP"}) {
      CheckedSetting(section, key, 1, kKindSettingRange, error);
      CheckedSetting(section, key, 0.5, {0, 1, false}, error);
      try {
        ReadIniString(section, key, "x");
        ReadIniFloat(section, key, 0.5);
        ReadIniBool(section, key, false);
      } catch (const IniFileError&) {
        // No text file: refused, naming it.
      }
    }
  }
  return 0;
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                              unsigned int seed) {
  return fuzz::MutateOneFile(data, size, maxSize, seed, kCount);
}
