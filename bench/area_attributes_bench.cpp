// A column of every area's row in the stand table, read and written through
// the area's attribute record (the table located through its .IND index).
// Each area costs one row, whatever the size of the table.
#include <vector>

#include "bench/district_fixture.h"

namespace {

using namespace benchdistrict;

TAreaString* readAreas(BenchWorld& world, const std::string& block) {
  auto r = reader(block);
  r->ReadAreaAsBoundary = true;
  TAreaString* areas = r->ReadAreas();
  world.model()->Add(areas);
  return areas;
}

void BM_ReadAreaColumn(benchmark::State& state) {
  const std::string block = districtBlock(state);
  if (block.empty()) return;
  BenchWorld world;
  double areas = 0;
  std::size_t filled = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TAreaString* read = readAreas(world, block);
    areas = read->GetCount();
    filled = 0;
    state.ResumeTiming();
    for (TElement* a : read->Items()) filled += !a->PropertyText("SKUPINA").empty();
    state.PauseTiming();
    world.dropModel();
    state.ResumeTiming();
  }
  if (filled == 0) state.SkipWithError("no area reached its row");
  state.SetItemsProcessed(static_cast<std::int64_t>(areas) * state.iterations());
  perItem(state, "areas", areas);
}

// Writes back the value read, into a copy of the block.
void BM_WriteAreaColumn(benchmark::State& state) {
  const std::string block = districtBlock(state);
  if (block.empty()) return;
  const fs::path copy = Districts::instance().scratch() / ("DET" + std::to_string(state.range(0)) + ".BLK");
  fs::remove_all(copy);
  fs::copy(block, copy);
  BenchWorld world;
  double areas = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TAreaString* read = readAreas(world, copy.string());
    areas = read->GetCount();
    std::vector<std::string> values;
    for (TElement* a : read->Items()) values.push_back(a->PropertyText("POROST"));
    state.ResumeTiming();
    for (std::size_t i = 0; i < values.size(); ++i) read->GetItem(static_cast<int>(i))->SetPropertyText("POROST", values[i]);
    state.PauseTiming();
    world.dropModel();
    state.ResumeTiming();
  }
  fs::remove_all(copy);
  state.SetItemsProcessed(static_cast<std::int64_t>(areas) * state.iterations());
  perItem(state, "areas", areas);
}

}  // namespace

BENCHMARK(BM_ReadAreaColumn)->Apply(sizeArgs);
BENCHMARK(BM_WriteAreaColumn)->Apply(sizeArgs);
