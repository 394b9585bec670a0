// Reading the stand map of a district into the world's object model: its
// lines, its areas as rings of those lines and as rings of vertices, each
// filed in the block registers. The time per line and per area must stay
// flat from 10,000 to 100,000 lines.
//
// BM_ReadLhcLines is "Čti linie LHC" on an LHC of 40 districts of about
// 1,500 ha: 121 line blocks, each with its line tables, so that what a read
// costs per block and per table shows beside what it costs per line.
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/jobs/read_commands.h"
#include "areas/areas_classes.h"
#include "bench/district_fixture.h"
#include "geometry/geometry_classes.h"
#include "gisblock/crd_record.h"
#include "gisblock/gisblock_classes.h"
#include "gisblock/lin_record.h"
#include "platform/scripted_progress_form.h"
#include "platform/scripted_user_interaction.h"
#include "render/render_classes.h"

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

void BM_ReadLhcLines(benchmark::State& state) {
  fs::path lhc;
  try {
    lhc = Districts::instance().lhc("65x64*40");
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
    return;
  }
  ::setenv("WINDIR", lhc.parent_path().parent_path().c_str(), 1);  // TERGELIX.INI of the tree
  RegisterGeometryClasses();
  RegisterGisblockClasses();
  RegisterRenderClasses();
  RegisterAreasClasses();
  platform::ScopedScriptedUi ui;
  platform::ScopedScriptedProgressForms forms;
  BenchWorld world;
  double lines = 0;
  for (auto _ : state) {
    jobs::LoadedModel model;
    if (!jobs::ReadLhcLines(model, (lhc / "01").string()) || model.Damage) state.SkipWithError("not read whole");
    state.PauseTiming();
    lines = 0;
    if (auto* read = dynamic_cast<TEntity*>(model.GetSubject()))
      for (TElement* layer : read->Items())
        if (auto* blocks = dynamic_cast<TEntity*>(layer))
          for (TElement* string : blocks->Items())
            if (auto* s = dynamic_cast<TEntity*>(string)) lines += s->GetCount();
    world.pump();
    world.dropModel();
    state.ResumeTiming();
  }
  perItem(state, "lines", lines);
}

}  // namespace

BENCHMARK(BM_ReadLhcLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadLines)->Apply(sizeArgs);
BENCHMARK(BM_PlainParseLines)->Apply(sizeArgs);
BENCHMARK(BM_ReadAreasAsLineRings)->Apply(sizeArgs);
BENCHMARK(BM_ReadAreasWithTheirLines)->Apply(sizeArgs);
BENCHMARK(BM_ReadAreasAsVertexRings)->Apply(sizeArgs);
