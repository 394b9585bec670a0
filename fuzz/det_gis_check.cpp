// The DET-GIS comparison of an exported level's table, as a damaged level
// block may hold it, against the district's forest description table. The
// first file chooses the level (its first byte modulo the levels) and
// whether the rows are compared at once; then come the DET table (P0110.DBF)
// and the level's table.
#include <string>

#include "areas/det_gis_compare.h"
#include "fuzz/fuzz_support.h"

namespace {
constexpr const char* kLevels[] = {"PSK", "POR", "DIL", "ZRO", "ODD", "REG", "BZL", "JP", "OP"};
constexpr std::size_t kCount = 3;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Harness& harness = fuzz::Harness::Get();
  harness.Begin();
  const auto files = fuzz::SplitFiles(data, size, kCount);
  const unsigned choice = files[0].empty() ? 0u : static_cast<unsigned char>(files[0][0]);
  TKompDETGIS form({}, harness.Scratch());
  form.LevelCode = kLevels[choice % std::size(kLevels)];
  form.DETTableName = harness.Write("GIS/4107/01/DET.BLK/P0110.DBF", files[1]).string();
  form.GISTableName = harness.Write("OUT/01/LEVEL.BLK/P1600.DBF", files[2]).string();
  form.AllLevels = (choice / std::size(kLevels)) & 1;
  form.FormShow();
  if (!form.AllLevels && form.Prepared()) form.btPorovnejClick();
  return 0;
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                              unsigned int seed) {
  return fuzz::MutateOneFile(data, size, maxSize, seed, kCount);
}
