// Reading the stand map of a district into the world's object model: its
// lines, its areas as rings of those lines and as rings of vertices, each
// filed in the block registers. The time per line and per area must stay
// flat from 10,000 to 100,000 lines.
#include <fstream>
#include <iterator>
#include <vector>

#include "bench/district_fixture.h"
#include "gisblock/crd_record.h"
#include "gisblock/lin_record.h"

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

std::vector<std::uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The yardstick of BM_ReadLines: the same two files decoded record by record
// into flat arrays of lines and vertices, with nothing filed anywhere.
void BM_PlainParseLines(benchmark::State& state) {
  const std::string block = districtBlock(state);
  if (block.empty()) return;
  double lines = 0;
  for (auto _ : state) {
    const std::vector<std::uint8_t> lin = FileBytes(block + "/TN.LIN");
    const std::vector<std::uint8_t> crd = FileBytes(block + "/TN.CRD");
    const std::size_t nLin = lin.size() / gisblock::LinRecord::kSize;
    const std::int32_t nCrd = static_cast<std::int32_t>(crd.size() / gisblock::CrdRecord::kSize);
    std::vector<gisblock::LinRecord> records;
    std::vector<double> xy;
    std::vector<std::size_t> starts;
    records.reserve(nLin);
    for (std::size_t r = 1; r < nLin; ++r) {
      const gisblock::LinRecord line = gisblock::LinRecord::decode(&lin[r * gisblock::LinRecord::kSize]);
      if (line.deleted() || line.firstCoord < 0 || line.lastCoord < line.firstCoord || line.lastCoord >= nCrd) continue;
      starts.push_back(xy.size());
      for (std::int32_t i = line.firstCoord; i <= line.lastCoord; ++i) {
        const gisblock::CrdRecord c =
            gisblock::CrdRecord::decode(&crd[static_cast<std::size_t>(i) * gisblock::CrdRecord::kSize]);
        xy.push_back(c.x);
        xy.push_back(c.y);
      }
      records.push_back(line);
    }
    lines = static_cast<double>(records.size());
    benchmark::DoNotOptimize(xy.data());
  }
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
BENCHMARK(BM_PlainParseLines)->Apply(sizeArgs);
BENCHMARK(BM_ReadAreasAsLineRings)->Apply(sizeArgs);
BENCHMARK(BM_ReadAreasWithTheirLines)->Apply(sizeArgs);
BENCHMARK(BM_ReadAreasAsVertexRings)->Apply(sizeArgs);
