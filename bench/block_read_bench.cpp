// Reading the stand map of a district into the world's object model: its
// lines, its areas as rings of those lines and as rings of vertices, each
// filed in the block registers. The time per line and per area must stay
// flat from 10,000 to 100,000 lines.
#include "bench/district_fixture.h"

namespace {

using namespace benchdistrict;

void BM_ReadLines(benchmark::State& state) {
  const std::string block = districtBlock(state);
  if (block.empty()) return;
  BenchWorld world;
  double lines = 0;
  for (auto _ : state) {
    TPolyLineString* read = reader(block)->ReadLines();
    world.model()->Add(read);
    lines = read ? read->GetCount() : 0;
    state.PauseTiming();
    world.pump();
    world.dropModel();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(lines) * state.iterations());
  perItem(state, "lines", lines);
}

// Areas read after the lines: their rings are the lines already filed.
void BM_ReadAreasAsLineRings(benchmark::State& state) {
  const std::string block = districtBlock(state);
  if (block.empty()) return;
  BenchWorld world;
  double areas = 0;
  for (auto _ : state) {
    state.PauseTiming();
    world.model()->Add(reader(block)->ReadLines());
    state.ResumeTiming();
    TAreaString* read = reader(block)->ReadAreas();
    world.model()->Add(read);
    areas = read ? read->GetCount() : 0;
    state.PauseTiming();
    world.pump();
    world.dropModel();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(areas) * state.iterations());
  perItem(state, "areas", areas);
}

// Areas alone: the reader builds and files the ring lines itself.
void BM_ReadAreasWithTheirLines(benchmark::State& state) {
  const std::string block = districtBlock(state);
  if (block.empty()) return;
  BenchWorld world;
  double areas = 0;
  for (auto _ : state) {
    TAreaString* read = reader(block)->ReadAreas();
    world.model()->Add(read);
    areas = read ? read->GetCount() : 0;
    state.PauseTiming();
    world.pump();
    world.dropModel();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(areas) * state.iterations());
  perItem(state, "areas", areas);
}

void BM_ReadAreasAsVertexRings(benchmark::State& state) {
  const std::string block = districtBlock(state);
  if (block.empty()) return;
  BenchWorld world;
  double areas = 0;
  for (auto _ : state) {
    auto r = reader(block);
    r->ReadAreaAsBoundary = true;
    TAreaString* read = r->ReadAreas();
    world.model()->Add(read);
    areas = read ? read->GetCount() : 0;
    state.PauseTiming();
    world.pump();
    world.dropModel();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(areas) * state.iterations());
  perItem(state, "areas", areas);
}

}  // namespace

BENCHMARK(BM_ReadLines)->Apply(sizeArgs);
BENCHMARK(BM_ReadAreasAsLineRings)->Apply(sizeArgs);
BENCHMARK(BM_ReadAreasWithTheirLines)->Apply(sizeArgs);
BENCHMARK(BM_ReadAreasAsVertexRings)->Apply(sizeArgs);
