// Noding and ring walks over an N x N grid of square faces built from
// separate lines: the time per line must stay flat as N grows.
#include <benchmark/benchmark.h>

#include "bench/grid_network.h"

namespace {

void BM_NodeGridAndWalkRings(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::size_t lines = 0;
  for (auto _ : state) {
    gridnet::Network net;
    gridnet::buildNetwork(net, n);
    const gridnet::FaceSummary faces = gridnet::walkFaces(net, n);
    benchmark::DoNotOptimize(faces.unitFaces);
    if (faces.unitFaces != std::int64_t{n} * n || faces.outerFaces != 1)
      state.SkipWithError("the grid did not yield its faces");
    lines = net.lineCount;
    state.PauseTiming();
    {
      gridnet::Network doomed = std::move(net);
    }
    state.ResumeTiming();
  }
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["time_per_line"] = benchmark::Counter(
      static_cast<double>(lines) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_NodeGridAndWalkRings)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);
