// A district read and one level export: the DET block of a district (its
// seven files and the stand-group table) read into the forest hierarchy,
// whose compartments are then exported as a block with tables.
#include <memory>

#include "app/jobs/forest_level_export.h"
#include "app/jobs/read_commands.h"
#include "framework/world.h"
#include "fuzz/fuzz_support.h"

namespace {
constexpr const char* kFiles[] = {"TN.ARE", "TN.LIN", "TN.CRD", "TN.PNT", "TN.TBX", "TN.TTX", "INFO.TXT", "P0110.DBF"};
constexpr std::size_t kCount = std::size(kFiles);

constexpr const char* kFields =
    "CISLO N 8 0\r\nDRUH N 6 0\r\nDISP_BARVA N 4 0\r\nDISP_ZNAC N 4 0\r\nX N 12 2\r\nY N 12 2\r\n"
    "PLOCHA N 14 6\r\nLHC_KOD C 4 0\r\nODD N 4 0\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Harness& harness = fuzz::Harness::Get();
  fuzz::Harness::EnsureWorld();
  harness.Begin();
  harness.WriteControlFiles({"P1300", "P0134"}, kFields, "ODDELENI ODD\r\n");
  const auto files = fuzz::SplitFiles(data, size, kCount);
  for (std::size_t i = 0; i < kCount; ++i) harness.Write(std::string("GIS/4107/01/DET.BLK/") + kFiles[i], files[i]);
  const std::string district = (harness.Scratch() / "GIS" / "4107" / "01").string();
  jobs::LoadedModel state;
  if (jobs::ReadDistrict(state, district)) {
    jobs::LevelExportContext context;
    context.Model = &state;
    context.OutputDirectory = district;
    context.GisRoot = (harness.Scratch() / "GIS").string();
    context.LhcCode = "4107";
    jobs::ExportForestLevel(context, *jobs::FindForestLevel(98));
  }
  // The next input starts without this one's model.
  GetWorld()->SetObjectModel(nullptr);
  return 0;
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                              unsigned int seed) {
  return fuzz::MutateOneFile(data, size, maxSize, seed, kCount);
}
