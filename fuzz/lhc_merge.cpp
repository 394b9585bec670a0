// The LHC merge over two districts' level blocks as the level exports write
// them: read again, their lines joined and noded, areas rebuilt, classified
// and written as one block. The first file chooses the merge (an even first
// byte the LHC area, an odd one the ZRO layer); then come the files of
// district 01's block and of district 02's.
#include <string>

#include "app/jobs/lhc_merge.h"
#include "framework/world.h"
#include "fuzz/fuzz_support.h"

namespace {
// The kind table of the block (P9400.DBF or P1400.DBF) comes before the
// table of its empty areas.
constexpr const char* kBlockFiles[] = {"TN.ARE", "TN.LIN", "TN.CRD", "TN.PNT", "TN.TBX", "TN.TTX", "", "P0134.DBF"};
constexpr std::size_t kPerDistrict = std::size(kBlockFiles);
constexpr std::size_t kCount = 1 + 2 * kPerDistrict;

constexpr const char* kFields =
    "CISLO N 8 0\r\nDRUH N 6 0\r\nDISP_BARVA N 4 0\r\nDISP_ZNAC N 4 0\r\nX N 12 2\r\nY N 12 2\r\n"
    "PLOCHA N 14 6\r\nLHC_KOD C 4 0\r\nREVIR C 2 0\r\n";
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Harness& harness = fuzz::Harness::Get();
  fuzz::Harness::EnsureWorld();
  harness.Begin();
  harness.WriteControlFiles({"P1100", "P1400", "P0134"}, kFields, "LHC_KOD LHC_KOD\r\n");
  const auto files = fuzz::SplitFiles(data, size, kCount);
  const bool zro = !files[0].empty() && (files[0][0] & 1);
  const jobs::LhcLayerKind& layer = zro ? jobs::LhcZroLayer() : jobs::LhcLayer();
  for (int district = 0; district < 2; ++district) {
    const std::string code = district == 0 ? "01" : "02";
    const std::string block = "GIS/4107/" + code + "/" + code + layer.DistrictBlock + "/";
    for (std::size_t i = 0; i < kPerDistrict; ++i) {
      const std::string name = *kBlockFiles[i] ? kBlockFiles[i] : (zro ? "P1400.DBF" : "P9400.DBF");
      harness.Write(block + name, files[1 + district * kPerDistrict + i]);
    }
  }
  jobs::LoadedModel state;
  jobs::LhcMergeContext context;
  context.Model = &state;
  context.LhcDirectory = (harness.Scratch() / "GIS" / "4107").string();
  context.GisRoot = (harness.Scratch() / "GIS").string();
  context.JoinLines = true;
  jobs::MergeLhcLayer(context, layer);
  // The next input starts without this one's model.
  GetWorld()->SetObjectModel(nullptr);
  return 0;
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                              unsigned int seed) {
  return fuzz::MutateOneFile(data, size, maxSize, seed, kCount);
}
