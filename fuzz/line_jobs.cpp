// The line jobs over two line blocks: the first file chooses the job, then
// come the files of the first block and of the second.
//   0: the LHC's lines read (CES.BLK of the LHC, SLU.BLK of district 01)
//      and roads, rides and streams extracted from them;
//   1: the noding of the communications (_20CES.BLK and _20PRU.BLK);
//   2: the noding of the waters (_30POT.BLK; the second block is unused).
#include <string>

#include "app/jobs/line_jobs.h"
#include "app/jobs/read_commands.h"
#include "framework/world.h"
#include "fuzz/fuzz_support.h"

namespace {
constexpr const char* kBlockFiles[] = {"TN.LIN", "TN.CRD", "TN.PNT", "INFO.TXT", ""};
constexpr std::size_t kPerBlock = std::size(kBlockFiles);
constexpr std::size_t kCount = 1 + 2 * kPerBlock;

constexpr const char* kFields =
    "CISLO N 8 0\r\nDRUH N 6 0\r\nDISP_BARVA N 4 0\r\nDISP_ZNAC N 4 0\r\nX N 12 2\r\nY N 12 2\r\n"
    "DELKA N 12 2\r\nDRUH_PUV N 6 0\r\nNAZEV C 40 0\r\n";
constexpr const char* kTransfer = "NAZEV NAZEV\r\n*Druh DRUH_PUV\r\n";

struct Job {
  const char* Blocks[2];  // below GIS/4107
  const char* Tables[2];  // each block's one table
};
constexpr Job kJobs[] = {
    {{"CES.BLK", "01/SLU.BLK"}, {"L0350.DBF", "L0026.DBF"}},
    {{"_20CES.BLK", "_20PRU.BLK"}, {"L2100.DBF", "L2200.DBF"}},
    {{"_30POT.BLK", nullptr}, {"L3100.DBF", nullptr}},
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Harness& harness = fuzz::Harness::Get();
  fuzz::Harness::EnsureWorld();
  harness.Begin();
  harness.WriteControlFiles({"L2100", "L2200", "L3100", "UZLIN/L2100", "UZLIN/L2200", "UZLIN/L3100"}, kFields,
                            kTransfer);
  const auto files = fuzz::SplitFiles(data, size, kCount);
  const std::size_t choice = files[0].empty() ? 0 : static_cast<std::uint8_t>(files[0][0]) % std::size(kJobs);
  const Job& job = kJobs[choice];
  for (int b = 0; b < 2; ++b) {
    if (!job.Blocks[b]) continue;
    const std::string block = std::string("GIS/4107/") + job.Blocks[b] + "/";
    for (std::size_t i = 0; i < kPerBlock; ++i)
      harness.Write(block + (*kBlockFiles[i] ? kBlockFiles[i] : job.Tables[b]), files[1 + b * kPerBlock + i]);
  }
  jobs::LoadedModel state;
  jobs::LineJobContext context;
  context.Model = &state;
  context.LhcDirectory = (harness.Scratch() / "GIS" / "4107").string();
  context.GisRoot = (harness.Scratch() / "GIS").string();
  switch (choice) {
    case 0:
      if (jobs::ReadLhcLines(state, (harness.Scratch() / "GIS" / "4107" / "01").string()))
        jobs::ExportAllLineKinds(context);
      break;
    case 1: jobs::NodeCommunicationLines(context); break;
    default: jobs::NodeWaterLines(context); break;
  }
  // The next input starts without this one's model.
  GetWorld()->SetObjectModel(nullptr);
  return 0;
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                              unsigned int seed) {
  return fuzz::MutateOneFile(data, size, maxSize, seed, kCount);
}
