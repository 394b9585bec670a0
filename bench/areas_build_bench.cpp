// Areas built from the boundary lines of generated districts: noding,
// connecting, ring walks with label points, and holes given to areas. The
// time per line must stay flat from 10k to 100k lines.
#include "areas/node_area_classes.h"
#include "areas/node_area_pipeline.h"
#include "bench/district_fixture.h"
#include "geometry/line_end_cells.h"
#include "geometry/qtree.h"

namespace {

using namespace benchdistrict;

void BM_BuildAreasOfDistrict(benchmark::State& state) {
  const std::string& block = Districts::instance().detBlock(static_cast<int>(state.range(0)));
  const bool joinPseudoNodes = state.range(1) != 0;
  RegisterNodeAreaClasses();
  BenchWorld world;
  double lines = 0, areas = 0, joined = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TPolyLineString* read = reader(block)->ReadLines();
    world.model()->Add(read);
    lines = read->GetCount();
    nodearea::Options options;
    options.DeletePseudoNodes = joinPseudoNodes;
    options.MaxCoordsCount = 100;
    state.ResumeTiming();
    nodearea::Network net = nodearea::BuildAreasOfLines(*read, options);
    state.PauseTiming();
    areas = net.AreasCount;
    joined = lines - read->GetCount();
    nodearea::Release(net);
    world.dropModel();
    world.pump();
    state.ResumeTiming();
  }
  if (areas == 0) state.SkipWithError("no area was built");
  state.counters["areas_and_holes"] = areas;
  state.counters["lines_joined"] = joined;
  perItem(state, "lines", lines);
}

void Args(benchmark::internal::Benchmark* b) {
  for (int join : {0, 1})
    for (int i = 0; i < static_cast<int>(kSizes.size()); ++i) b->Args({i, join});
  b->ArgNames({"size", "join"})->Unit(benchmark::kMillisecond)->Iterations(1);
}

}  // namespace

BENCHMARK(BM_BuildAreasOfDistrict)->Apply(Args);
