// Freeing what a district read filed in the object model: the lines shared
// by the rings of the areas, the areas and the registers. Every object has
// a few owners; releasing one must not cost a search through the others.
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

}  // namespace

BENCHMARK(BM_FreeObjectModel)->Apply(sizeArgs);
BENCHMARK(BM_FreeStringsOneByOne)->Apply(sizeArgs);
