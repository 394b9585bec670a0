// The area building beside a general-purpose library doing the same work:
// the same boundary lines built into areas by nodearea::BuildAreasOfLines
// and by GEOS's polygonizer, in one process, at about 10,000, 30,000 and
// 100,000 lines of generated districts and 1,000,000 lines of the grid
// network. Reported: both build times, their ratio, the time per line, and
// the time to release what each built (GEOS: destroying its result).
// GEOS is a benchmark-only dependency; the program never links it.
#include <geos_c.h>

#include <chrono>
#include <cmath>
#include <cstdarg>
#include <vector>

#include "areas/node_area_classes.h"
#include "areas/node_area_pipeline.h"
#include "bench/district_fixture.h"
#include "bench/grid_network.h"

namespace {

using namespace benchdistrict;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Quiet(const char*, ...) {}

class Geos {
 public:
  Geos() : ctx_(GEOS_init_r()) {
    GEOSContext_setNoticeHandler_r(ctx_, Quiet);
    GEOSContext_setErrorHandler_r(ctx_, Quiet);
  }
  ~Geos() {
    for (GEOSGeometry* g : lines_) GEOSGeom_destroy_r(ctx_, g);
    GEOS_finish_r(ctx_);
  }
  // The vertices of every line; ends snapped to `snap` (0: as they are), as
  // the polygonizer joins only ends that are equal.
  void SetLines(const TPolyLineString& lines, double snap) {
    for (TElement* e : lines.Items()) {
      auto* line = static_cast<TPolyLineElement*>(e);
      const int n = line->GetCoordsCount();
      GEOSCoordSequence* seq = GEOSCoordSeq_create_r(ctx_, static_cast<unsigned>(n), 2);
      for (int i = 0; i < n; ++i) {
        double x = line->GetVertexX(i), y = line->GetVertexY(i);
        if (snap > 0) x = std::round(x / snap) * snap, y = std::round(y / snap) * snap;
        GEOSCoordSeq_setXY_r(ctx_, seq, static_cast<unsigned>(i), x, y);
      }
      lines_.push_back(GEOSGeom_createLineString_r(ctx_, seq));
    }
  }
  // Build and release times in ms; the polygons found.
  void Polygonize(double& buildMs, double& releaseMs, int& polygons) {
    const auto t0 = Clock::now();
    GEOSGeometry* result = GEOSPolygonize_r(ctx_, lines_.data(), static_cast<unsigned>(lines_.size()));
    const auto t1 = Clock::now();
    polygons = result ? GEOSGetNumGeometries_r(ctx_, result) : 0;
    const auto t2 = Clock::now();
    GEOSGeom_destroy_r(ctx_, result);
    const auto t3 = Clock::now();
    buildMs = Ms(t1 - t0);
    releaseMs = Ms(t3 - t2);
  }

 private:
  GEOSContextHandle_t ctx_;
  std::vector<GEOSGeometry*> lines_;
};

struct Ours {
  double buildMs = 0, releaseMs = 0;
  int areas = 0;
};

Ours BuildOurs(TPolyLineString& lines) {
  Ours r;
  const auto t0 = Clock::now();
  nodearea::Network net = nodearea::BuildAreasOfLines(lines);
  const auto t1 = Clock::now();
  r.areas = net.AreaList ? net.AreaList->GetCount() : 0;
  nodearea::Release(net);
  const auto t2 = Clock::now();
  r.buildMs = Ms(t1 - t0);
  r.releaseMs = Ms(t2 - t1);
  return r;
}

void Report(benchmark::State& state, const Ours& ours, double geosMs, double geosReleaseMs, int polygons,
            double lines) {
  state.counters["lines"] = lines;
  state.counters["ours_ms"] = ours.buildMs;
  state.counters["geos_ms"] = geosMs;
  state.counters["ratio"] = ours.buildMs / geosMs;
  state.counters["us_per_line"] = 1000.0 * ours.buildMs / lines;
  state.counters["release_ms"] = ours.releaseMs;
  state.counters["geos_release_ms"] = geosReleaseMs;
  state.counters["areas"] = ours.areas;
  state.counters["geos_polygons"] = polygons;
}

// Each iteration builds both from lines read afresh; the manual time is ours.
void BM_AreasVsGeosDistrict(benchmark::State& state) {
  const std::string block = districtBlock(state);
  if (block.empty()) return;
  RegisterNodeAreaClasses();
  BenchWorld world;
  Geos geos;
  {
    std::unique_ptr<TPolyLineString> lines(reader(block)->ReadLines());
    geos.SetLines(*lines, 0);
  }
  Ours ours;
  double geosMs = 0, geosReleaseMs = 0, lines = 0;
  int polygons = 0;
  for (auto _ : state) {
    TPolyLineString* read = reader(block)->ReadLines();
    world.model()->Add(read);
    lines = read->GetCount();
    ours = BuildOurs(*read);
    world.dropModel();
    world.pump();
    geos.Polygonize(geosMs, geosReleaseMs, polygons);
    state.SetIterationTime(ours.buildMs / 1000.0);
  }
  Report(state, ours, geosMs, geosReleaseMs, polygons, lines);
}

// The grid of separate lines with jittered ends (GEOS gets them snapped).
void BM_AreasVsGeosGrid(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  RegisterNodeAreaClasses();
  BenchWorld world;
  Geos geos;
  {
    gridnet::Network grid;
    gridnet::buildGrid(grid, n);
    geos.SetLines(*grid.lines, 0.001);
  }
  Ours ours;
  double geosMs = 0, geosReleaseMs = 0, lines = 0;
  int polygons = 0;
  for (auto _ : state) {
    gridnet::Network grid;
    gridnet::buildGrid(grid, n);
    grid.lines->ExtendByChildren();
    lines = static_cast<double>(grid.lineCount);
    ours = BuildOurs(*grid.lines);
    grid = {};
    world.pump();
    geos.Polygonize(geosMs, geosReleaseMs, polygons);
    state.SetIterationTime(ours.buildMs / 1000.0);
  }
  Report(state, ours, geosMs, geosReleaseMs, polygons, lines);
}

}  // namespace

BENCHMARK(BM_AreasVsGeosDistrict)
    ->Apply(sizeArgs)
    ->UseManualTime()
    ->Iterations(3);
// 2 * 707 * 708 = 1,001,112 lines.
BENCHMARK(BM_AreasVsGeosGrid)->Arg(707)->ArgName("n")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);
