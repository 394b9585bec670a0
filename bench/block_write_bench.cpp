// Writing every line and area of a district read before to a new block
// through the writers: the time per record must not grow with the block.
#include "bench/district_fixture.h"
#include "gisblock/gelix_writers.h"

namespace {

using namespace benchdistrict;

fs::path target(benchmark::State& state) {
  const fs::path out = Districts::instance().scratch() / ("OUT" + std::to_string(state.range(0)) + ".BLK");
  fs::remove_all(out);
  return out;
}

void BM_WriteLines(benchmark::State& state) {
  const std::string block = districtBlock(state);
  if (block.empty()) return;
  const fs::path out = target(state);
  BenchWorld world;
  const ReadModel m = readLinesAndAreas(world, block);
  // The writer numbers a line by its ID, as an exporter sets it.
  for (TElement* e : m.lines->Items()) e->ID = e->GetPropertyInt("Cislo");
  double written = 0;
  for (auto _ : state) {
    std::unique_ptr<TGelixLinWriter> w(TGelixLinWriter::CreateForBlock(out.string(), true));
    written = 0;
    for (TElement* e : m.lines->Items()) written += w->WriteLine(static_cast<TPolyLineElement*>(e));
  }
  if (written != m.lines->GetCount()) state.SkipWithError("a line was not written");
  fs::remove_all(out);
  state.SetItemsProcessed(static_cast<std::int64_t>(written) * state.iterations());
  perItem(state, "lines", written);
}

void BM_WriteAreas(benchmark::State& state) {
  const std::string block = districtBlock(state);
  if (block.empty()) return;
  const fs::path out = target(state);
  BenchWorld world;
  const ReadModel m = readLinesAndAreas(world, block);
  double written = 0;
  for (auto _ : state) {
    std::unique_ptr<TGelixAreaWriter> w(TGelixAreaWriter::CreateForBlock(out.string(), true));
    written = 0;
    for (TElement* e : m.areas->Items()) written += w->WriteArea(static_cast<TAreaElement*>(e));
  }
  if (written != m.areas->GetCount()) state.SkipWithError("an area was not written");
  fs::remove_all(out);
  state.SetItemsProcessed(static_cast<std::int64_t>(written) * state.iterations());
  perItem(state, "areas", written);
}

}  // namespace

BENCHMARK(BM_WriteLines)->Apply(sizeArgs);
BENCHMARK(BM_WriteAreas)->Apply(sizeArgs);
