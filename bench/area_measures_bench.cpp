// The measures an export writes for every area (DELKA = Length, PLOCHA =
// Area1): per area over the districts, and for one face bounded by many
// lines (a compartment or the whole LHC joined from the stands), where the
// time per line must not grow with the length of the ring.
#include <memory>
#include <vector>

#include "bench/district_fixture.h"

namespace {

using namespace benchdistrict;

void BM_LengthAndAreaOfDistrictAreas(benchmark::State& state) {
  const std::string block = districtBlock(state);
  if (block.empty()) return;
  BenchWorld world;
  const ReadModel m = readLinesAndAreas(world, block);
  double sum = 0;
  for (auto _ : state) {
    sum = 0;
    for (TElement* e : m.areas->Items()) {
      auto* area = static_cast<TAreaElement*>(e);
      sum += area->GetLength() + area->GetArea1();
    }
    benchmark::DoNotOptimize(sum);
  }
  const double areas = m.areas->GetCount();
  state.SetItemsProcessed(static_cast<std::int64_t>(areas) * state.iterations());
  perItem(state, "areas", areas);
}

// A ring of n lines of ten vertices each round a square, every other line
// stored against the ring's direction.
void BM_LengthAndAreaOfALongRing(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const int side = n / 4;
  std::vector<std::pair<double, double>> corners{{0, 0}, {0, 1.0 * side}, {1.0 * side, 1.0 * side}, {1.0 * side, 0}};
  auto area = std::make_unique<TPolyLineAreaElement>();  // the only owner of its lines
  std::size_t lines = 0;
  for (int s = 0; s < 4; ++s) {
    const auto [x0, y0] = corners[static_cast<std::size_t>(s)];
    const auto [x1, y1] = corners[static_cast<std::size_t>((s + 1) % 4)];
    for (int k = 0; k < side; ++k) {
      auto* line = new TPolyLineElement;
      const bool forward = k % 2 == 0;
      for (int v = 0; v < 10; ++v) {
        const double t = (k + (forward ? v : 9 - v) / 9.0) / side;
        line->AddVertex(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t);
      }
      area->AddItemsFrom(line, forward);
      ++lines;
    }
  }
  double length = 0, whole = 0;
  for (auto _ : state) {
    length = area->GetLength();
    whole = area->GetArea1();
    benchmark::DoNotOptimize(length + whole);
  }
  if (std::abs(whole) < 0.99 * side * side) state.SkipWithError("the ring is not the square");
  state.SetItemsProcessed(static_cast<std::int64_t>(lines) * state.iterations());
  perItem(state, "lines", static_cast<double>(lines));
}

}  // namespace

BENCHMARK(BM_LengthAndAreaOfDistrictAreas)->Apply(sizeArgs);
BENCHMARK(BM_LengthAndAreaOfALongRing)->Arg(1000)->Arg(3000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);
