// Freeing what a district read filed in the object model: the lines shared
// by the rings of the areas, the areas and the registers. Every object has
// a few owners; releasing one must not cost a search through the others.
#include <vector>

#include "bench/district_fixture.h"

namespace {

using namespace benchdistrict;

void BM_FreeObjectModel(benchmark::State& state) {
  const std::string block = districtBlock(state);
  if (block.empty()) return;
  BenchWorld world;
  double objects = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const ReadModel m = readLinesAndAreas(world, block);
    objects = m.lines->GetCount() + m.areas->GetCount();
    world.pump();
    state.ResumeTiming();
    world.dropModel();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(objects) * state.iterations());
  perItem(state, "objects", objects);
}

// The area string first, then the line string, then the rest of the model.
void BM_FreeStringsOneByOne(benchmark::State& state) {
  const std::string block = districtBlock(state);
  if (block.empty()) return;
  BenchWorld world;
  double objects = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const ReadModel m = readLinesAndAreas(world, block);
    objects = m.lines->GetCount() + m.areas->GetCount();
    world.pump();
    state.ResumeTiming();
    world.model()->Delete(m.areas);
    world.model()->Delete(m.lines);
    world.dropModel();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(objects) * state.iterations());
  perItem(state, "objects", objects);
}

// One element shared by n entities (a line in the faces of every level):
// asking whether it may be freed looks at each owner once.
void BM_CanBeFreedWithManyOwners(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  std::vector<std::unique_ptr<TOwnerEntity>> owners(n);
  TOwnerElement shared;
  for (auto& o : owners) {
    o = std::make_unique<TOwnerEntity>();
    o->Add(&shared);
  }
  bool freeable = true;
  for (auto _ : state) {
    for (int k = 0; k < 100; ++k) freeable &= shared.CanBeFreed();
  }
  for (auto& o : owners) o->Remove(&shared);
  if (freeable) state.SkipWithError("a shared element was freeable");
  perItem(state, "owners", 100.0 * static_cast<double>(n));
}

}  // namespace

BENCHMARK(BM_FreeObjectModel)->Apply(sizeArgs);
BENCHMARK(BM_FreeStringsOneByOne)->Apply(sizeArgs);
BENCHMARK(BM_CanBeFreedWithManyOwners)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);
