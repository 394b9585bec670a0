// The whole-district export after its read: every level of the generator's
// large district (about 100,000 boundary lines) written as blocks, with the
// read's time and the process's peak memory beside it.
//
// ZELTO_LEVEL_FINGERPRINTS names a file to write the fingerprints of every
// file written into, so that two builds can be compared byte for byte.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/jobs/forest_level_export.h"
#include "app/jobs/read_commands.h"
#include "areas/areas_classes.h"
#include "bench/level_fingerprints.h"
#include "framework/message_dispatch.h"
#include "framework/world.h"
#include "geometry/geometry_classes.h"
#include "gisblock/gelix_classes.h"
#include "gisblock/gisblock_classes.h"
#include "platform/message_queue.h"
#include "render/render_classes.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The large district, generated once (kept in ZELTO_BENCH_DISTRICTS when set).
fs::path LargeDistrictRoot() {
  const char* keep = std::getenv("ZELTO_BENCH_DISTRICTS");
  const fs::path root = (keep && *keep ? fs::path(keep) : fs::temp_directory_path() /
                                                                ("zelto_bench_" + std::to_string(::getpid()))) /
                        "large";
  if (!fs::exists(root / "expected.json")) {
    const std::string generator = std::string(ZELTO_SOURCE_DIR) + "/tools/gendistrict/gendistrict.py";
    const std::string command = "python3 '" + generator + "' --out '" + root.string() + "' --size large >/dev/null";
    if (std::system(command.c_str()) != 0) return {};
  }
  return root;
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_ExportAllLevelsOfLargeDistrict(benchmark::State& state) {
  const fs::path root = LargeDistrictRoot();
  if (root.empty()) {
    state.SkipWithError("the generator failed");
    return;
  }
  RegisterGeometryClasses();
  RegisterGisblockClasses();
  RegisterGelixClasses();
  RegisterRenderClasses();
  RegisterAreasClasses();
  ::setenv("WINDIR", root.c_str(), 1);  // the generated TERGELIX.INI
  fs::path district;
  for (const auto& lhc : fs::directory_iterator(root / "GIS"))
    if (fs::exists(lhc.path() / "01" / "DET.BLK")) district = lhc.path() / "01";
  // The output has the district's and its LHC's names, as the exports ask.
  const fs::path scratch = fs::temp_directory_path() / ("zelto_bench_levels_" + std::to_string(::getpid()));
  const fs::path output = scratch / district.parent_path().filename() / "01";
  double readMs = 0, exportMs = 0;
  std::error_code ec;
  const fs::path caller = fs::current_path(ec);
  for (auto _ : state) {
    fs::remove_all(scratch);
    fs::create_directories(output);
    // What an export leaves in the current directory (Create.sql) goes
    // with the output, not beside the caller.
    fs::current_path(scratch, ec);
    auto world = std::make_unique<TWorld>();
    SetWorld(world.get());
    platform::messageQueue().discardAll();
    jobs::LoadedModel model;
    const auto t0 = Clock::now();
    if (!jobs::ReadDistrict(model, district.string())) {
      state.SkipWithError("the district was not read");
      break;
    }
    const auto t1 = Clock::now();
    jobs::LevelExportContext ctx;
    ctx.Model = &model;
    ctx.OutputDirectory = output.string();
    ctx.GisRoot = (root / "GIS").string();
    ctx.LhcCode = district.parent_path().filename().string();
    jobs::ExportWholeDistrict(ctx);
    const auto t2 = Clock::now();
    readMs = std::chrono::duration<double, std::milli>(t1 - t0).count();
    exportMs = std::chrono::duration<double, std::milli>(t2 - t1).count();
    state.SetIterationTime(exportMs / 1000.0);
    world.reset();
    SetWorld(nullptr);
    platform::messageQueue().discardAll();
  }
  if (!caller.empty()) fs::current_path(caller, ec);
  state.counters["read_ms"] = readMs;
  state.counters["export_ms"] = exportMs;
  state.counters["peak_mb"] = PeakMegabytes();
  if (const char* prints = std::getenv("ZELTO_LEVEL_FINGERPRINTS"); prints && *prints)
    std::ofstream(prints) << levelprints::Fingerprints(output);
  fs::remove_all(scratch);
}

}  // namespace

BENCHMARK(BM_ExportAllLevelsOfLargeDistrict)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
