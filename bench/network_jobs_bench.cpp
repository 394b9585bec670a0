// The LHC jobs on districts of 10,000, 30,000 and 100,000 boundary lines:
// the noding of the communication network (lines joined with the 1 m snap
// distance, noded and written) and the LHC merge (areas read, noded,
// rebuilt, classified and written). The district's boundary lines stand in
// for the roads and for the district blocks, so that both jobs meet every
// size. The per-line counters must stay flat across the sizes.
//
// BM_LhcMergeMillion merges the ten districts of the generator's "million"
// tree (about 1,000,000 lines, each district's stand map standing in for its
// block of district areas); the tree takes minutes to generate, so keep it
// with ZELTO_BENCH_DISTRICTS.
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

// A generated tree's GIS root, and an LHC directory in the scratch
// directory whose blocks are copies of district stand maps.
struct Tree {
  fs::path out;  // holds TERGELIX.INI
  fs::path gis;
  fs::path lhc;
  double lines = 0;
};

void RegisterClasses() {
  RegisterGeometryClasses();
  RegisterGisblockClasses();
  RegisterGelixClasses();
  RegisterRenderClasses();
  RegisterAreasClasses();
}

double LinesOf(const fs::path& block) { return static_cast<double>(fs::file_size(block / "TN.LIN") / 103 - 1); }

void CopyBlock(const fs::path& from, const fs::path& to) {
  if (fs::exists(to / "TN.LIN")) return;
  fs::create_directories(to.parent_path());
  std::error_code ec;
  fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
}

void UseTree(Tree& tree, const fs::path& gis) {
  tree.gis = gis;
  tree.out = gis.parent_path();
  ::setenv("WINDIR", tree.out.c_str(), 1);  // TERGELIX.INI of the tree
}

// District 01 of the size: its DET.BLK becomes `asBlock` of the LHC, or of
// a district 01 in it.
Tree PrepareDistrict(benchmark::State& state, const std::string& detBlock, const char* asBlock, bool inDistrict) {
  RegisterClasses();
  Tree tree;
  const fs::path det(detBlock);
  UseTree(tree, det.parent_path().parent_path().parent_path());
  tree.lhc = benchdistrict::Districts::instance().scratch() / ("lhc_" + std::to_string(state.range(0)));
  CopyBlock(det, inDistrict ? tree.lhc / "01" / (std::string("01") + asBlock) : tree.lhc / asBlock);
  tree.lines = LinesOf(det);
  return tree;
}

// Every district of the "million" tree with its DET.BLK as its block of
// district areas.
Tree PrepareMillion(benchmark::State& state) {
  RegisterClasses();
  Tree tree;
  fs::path source;
  try {
    source = benchdistrict::Districts::instance().lhc("million");
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
    return tree;
  }
  UseTree(tree, source.parent_path());
  tree.lhc = benchdistrict::Districts::instance().scratch() / "lhc_million";
  for (const auto& entry : fs::directory_iterator(source)) {
    const std::string code = entry.path().filename().string();
    const fs::path det = entry.path() / "DET.BLK";
    if (code.size() != 2 || !fs::exists(det / "TN.LIN")) continue;
    CopyBlock(det, tree.lhc / code / (code + "_94REG.BLK"));
    tree.lines += LinesOf(det);
  }
  if (tree.lines == 0) state.SkipWithError("no district block in the million tree");
  return tree;
}

// Runs one network job per iteration on a fresh world; `job` fills in the
// rest of its context and says whether the job wrote its result.
template <class Context, class Job>
void RunNetworkJob(benchmark::State& state, const Tree& tree, Job job) {
  platform::ScopedScriptedUi ui;
  platform::ScopedScriptedProgressForms forms;
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
  state.counters["lines"] = tree.lines;
  state.counters["per_line"] =
      benchmark::Counter(tree.lines, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

bool MergeLhc(jobs::LhcMergeContext& context) {
  return jobs::MergeLhcLayer(context, jobs::LhcLayer()) == jobs::MergeResult::Written;
}

void BM_CommunicationNoding(benchmark::State& state) {
  const std::string det = benchdistrict::districtBlock(state);
  if (det.empty()) return;
  const Tree tree = PrepareDistrict(state, det, "_20CES.BLK", false);
  RunNetworkJob<jobs::LineJobContext>(state, tree, [](jobs::LineJobContext& context) {
    return jobs::NodeCommunicationLines(context) == jobs::LineJobResult::Written;
  });
}

void BM_LhcMerge(benchmark::State& state) {
  const std::string det = benchdistrict::districtBlock(state);
  if (det.empty()) return;
  RunNetworkJob<jobs::LhcMergeContext>(state, PrepareDistrict(state, det, "_94REG.BLK", true), MergeLhc);
}

void BM_LhcMergeMillion(benchmark::State& state) {
  const Tree tree = PrepareMillion(state);
  if (state.error_occurred()) return;
  RunNetworkJob<jobs::LhcMergeContext>(state, tree, MergeLhc);
}

}  // namespace

BENCHMARK(BM_CommunicationNoding)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LhcMerge)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LhcMergeMillion)->Unit(benchmark::kMillisecond)->Iterations(1);
