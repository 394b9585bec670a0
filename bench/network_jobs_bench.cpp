// The LHC jobs on districts of 10,000, 30,000 and 100,000 boundary lines:
// the noding of the communication network (lines joined with the 1 m snap
// distance, noded and written) and the LHC merge (areas read, noded,
// rebuilt, classified and written). The district's boundary lines stand in
// for the roads and for the district blocks, so that both jobs meet every
// size. The per-line counters must stay flat across the sizes.
#include <filesystem>
#include <memory>
#include <system_error>

#include "app/jobs/lhc_merge.h"
#include "app/jobs/line_jobs.h"
#include "areas/areas_classes.h"
#include "district_fixture.h"
#include "geometry/geometry_classes.h"
#include "gisblock/gisblock_classes.h"
#include "platform/scripted_progress_form.h"
#include "platform/scripted_user_interaction.h"
#include "render/render_classes.h"

namespace {

namespace fs = std::filesystem;
using benchdistrict::BenchWorld;

// The generated tree of the size: GIS root, and an LHC directory in the
// scratch directory whose blocks are the district's DET.BLK.
struct Tree {
  fs::path out;  // holds TERGELIX.INI
  fs::path gis;
  fs::path lhc;
  int lines = 0;
};

Tree Prepare(benchmark::State& state, const std::string& detBlock, const char* asBlock, bool inDistrict) {
  RegisterGeometryClasses();
  RegisterGisblockClasses();
  RegisterGelixClasses();
  RegisterRenderClasses();
  RegisterAreasClasses();
  Tree tree;
  const fs::path det(detBlock);
  tree.gis = det.parent_path().parent_path().parent_path();
  tree.out = tree.gis.parent_path();
  tree.lhc = benchdistrict::Districts::instance().scratch() / ("lhc_" + std::to_string(state.range(0)));
  const fs::path target = inDistrict ? tree.lhc / "01" / (std::string("01") + asBlock) : tree.lhc / asBlock;
  std::error_code ec;
  if (!fs::exists(target / "TN.LIN")) {
    fs::create_directories(target.parent_path());
    fs::copy(det, target, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
  }
  ::setenv("WINDIR", tree.out.c_str(), 1);  // TERGELIX.INI of the tree
  tree.lines = static_cast<int>((fs::file_size(det / "TN.LIN") / 103) - 1);
  return tree;
}

// Runs one network job per iteration on a fresh world; `job` fills in the
// rest of its context and says whether the job wrote its result.
template <class Context, class Job>
void RunNetworkJob(benchmark::State& state, const char* blockName, bool withLhc, Job job) {
  const std::string det = benchdistrict::districtBlock(state);
  if (det.empty()) return;
  platform::ScopedScriptedUi ui;
  platform::ScopedScriptedProgressForms forms;
  const Tree tree = Prepare(state, det, blockName, withLhc);
  for (auto _ : state) {
    state.PauseTiming();
    auto world = std::make_unique<BenchWorld>();
    state.ResumeTiming();
    jobs::LoadedModel model;
    Context context;
    context.Model = &model;
    context.LhcDirectory = tree.lhc.string();
    context.GisRoot = tree.gis.string();
    if (!job(context)) state.SkipWithError("nothing written");
    // Freeing what the job built is the model's release, measured on its own.
    state.PauseTiming();
    world.reset();
    state.ResumeTiming();
  }
  state.counters["per_line"] =
      benchmark::Counter(static_cast<double>(tree.lines), benchmark::Counter::kIsIterationInvariantRate |
                                                              benchmark::Counter::kInvert);
}

void BM_CommunicationNoding(benchmark::State& state) {
  RunNetworkJob<jobs::LineJobContext>(state, "_20CES.BLK", false, [](jobs::LineJobContext& context) {
    return jobs::NodeCommunicationLines(context) == jobs::LineJobResult::Written;
  });
}

void BM_LhcMerge(benchmark::State& state) {
  RunNetworkJob<jobs::LhcMergeContext>(state, "_94REG.BLK", true, [](jobs::LhcMergeContext& context) {
    return jobs::MergeLhcLayer(context, jobs::LhcLayer()) == jobs::MergeResult::Written;
  });
}

}  // namespace

BENCHMARK(BM_CommunicationNoding)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LhcMerge)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(1);
