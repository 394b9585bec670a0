// Quad-tree insertion and queries over the lines of an N x N grid: every
// line is filed, then every line's neighbourhood is asked for.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/grid_network.h"
#include "geometry/qtree.h"

namespace {

void BM_QTreeInsertAndQuery(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  gridnet::Network net;
  gridnet::buildGrid(net, n);
  std::int64_t hits = 0;
  for (auto _ : state) {
    auto tree = std::make_unique<TSpaceEntityQTree>();
    for (TElement* e : net.lines->Items()) tree->Insert(e);
    TQTreeWalker walker;
    for (TElement* e : net.lines->Items()) {
      auto* line = static_cast<TRectEntity*>(e);
      for (TElement* hit = walker.FindFirst(tree.get(), 0.001, line->GetMinX(), line->GetMinY(),
                                            line->GetMaxX(), line->GetMaxY());
           hit; hit = walker.FindNext())
        ++hits;
    }
    state.PauseTiming();
    tree.reset();  // the lines stay with the network
    state.ResumeTiming();
  }
  benchmark::DoNotOptimize(hits);
  state.counters["lines"] = static_cast<double>(net.lineCount);
  state.counters["time_per_line"] = benchmark::Counter(
      static_cast<double>(net.lineCount) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_QTreeInsertAndQuery)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);
