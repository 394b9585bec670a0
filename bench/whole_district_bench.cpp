// What a user waits for, beside its floors: "Čti revír" and "Vše v revíru"
// on generated districts of about 10,000, 30,000, 100,000 and 300,000
// boundary lines, each set beside the least the same work could cost.
//   read_ms         the district read: blocks, tables, hierarchy
//   flat_parse_ms   the same DET.BLK files' records decoded into plain
//                   structs (whole files read, one codec per record kind,
//                   the tables' rows split into fields)
//   export_ms       all eight levels built and written
//   geos_levels_ms  GEOS's polygonizer over the lines of each level block
//                   written, summed over the levels
//   export_ratio, read_ratio, us_per_line, peak_mb (the process's peak
//   resident memory once that size is done; sizes run smallest first).
// GEOS is a benchmark-only dependency; the program never links it.
#include <geos_c.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "app/jobs/forest_level_export.h"
#include "app/jobs/read_commands.h"
#include "areas/areas_classes.h"
#include "bench/district_fixture.h"
#include "geometry/geometry_classes.h"
#include "gisblock/are_record.h"
#include "gisblock/crd_record.h"
#include "gisblock/gisblock_classes.h"
#include "gisblock/lin_record.h"
#include "gisblock/pnt_record.h"
#include "gisblock/tbx_record.h"
#include "render/render_classes.h"

namespace {

using namespace benchdistrict;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

constexpr std::array<Size, 4> kWholeSizes{{{148, 145}, {255, 250}, {470, 460}, {810, 795}}};

std::vector<std::uint8_t> FileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

template <class Record>
std::vector<Record> Records(const fs::path& file) {
  const std::vector<std::uint8_t> bytes = FileBytes(file);
  std::vector<Record> records;
  records.reserve(bytes.size() / Record::kSize);
  for (std::size_t at = 0; at + Record::kSize <= bytes.size(); at += Record::kSize)
    records.push_back(Record::decode(bytes.data() + at));
  return records;
}

// A dBase table's rows split into their fields: the floor of reading a table.
std::size_t TableFields(const fs::path& file) {
  const std::vector<std::uint8_t> bytes = FileBytes(file);
  if (bytes.size() < 32) return 0;
  const std::uint32_t count = bytes[4] | bytes[5] << 8 | bytes[6] << 16 | static_cast<std::uint32_t>(bytes[7]) << 24;
  const std::size_t header = bytes[8] | bytes[9] << 8, size = bytes[10] | bytes[11] << 8;
  std::vector<std::size_t> widths;
  for (std::size_t at = 32; at + 32 <= header && bytes[at] != 0x0D; at += 32) widths.push_back(bytes[at + 16]);
  std::vector<std::string_view> fields;
  fields.reserve(static_cast<std::size_t>(count) * widths.size());
  for (std::size_t at = header, row = 0; at + size <= bytes.size() && row < count; at += size, ++row) {
    std::size_t field = at + 1;
    for (std::size_t w : widths) {
      fields.emplace_back(reinterpret_cast<const char*>(bytes.data() + field), w);
      field += w;
    }
  }
  return fields.size();
}

struct FlatBlock {
  std::size_t lines = 0, records = 0;
};

FlatBlock ParseFlat(const fs::path& block) {
  FlatBlock flat;
  flat.lines = Records<gisblock::LinRecord>(block / "TN.LIN").size();
  flat.records = flat.lines + Records<gisblock::CrdRecord>(block / "TN.CRD").size() +
                 Records<gisblock::AreRecord>(block / "TN.ARE").size() +
                 Records<gisblock::PntRecord>(block / "TN.PNT").size() +
                 Records<gisblock::TbxRecord>(block / "TN.TBX").size();
  for (const auto& entry : fs::directory_iterator(block))
    if (entry.path().extension() == ".DBF") flat.records += TableFields(entry.path());
  return flat;
}

void Quiet(const char*, ...) {}

// GEOS's polygonizer over the live lines of one written block, in stored
// coordinates (the ends of neighbouring lines are equal there, as the
// polygonizer needs). Returns the time of the polygonize call alone.
double GeosPolygonizeMs(const fs::path& block) {
  const std::vector<gisblock::LinRecord> lines = Records<gisblock::LinRecord>(block / "TN.LIN");
  const std::vector<gisblock::CrdRecord> coords = Records<gisblock::CrdRecord>(block / "TN.CRD");
  GEOSContextHandle_t ctx = GEOS_init_r();
  GEOSContext_setNoticeHandler_r(ctx, Quiet);
  GEOSContext_setErrorHandler_r(ctx, Quiet);
  std::vector<GEOSGeometry*> geometries;
  for (const gisblock::LinRecord& line : lines) {
    if (line.deleted() || line.firstCoord < 0 || line.lastCoord <= line.firstCoord ||
        line.lastCoord >= static_cast<std::int32_t>(coords.size()))
      continue;
    const auto n = static_cast<unsigned>(line.lastCoord - line.firstCoord + 1);
    GEOSCoordSequence* seq = GEOSCoordSeq_create_r(ctx, n, 2);
    for (unsigned i = 0; i < n; ++i) {
      const gisblock::CrdRecord& c = coords[static_cast<std::size_t>(line.firstCoord) + i];
      GEOSCoordSeq_setXY_r(ctx, seq, i, c.x, c.y);
    }
    geometries.push_back(GEOSGeom_createLineString_r(ctx, seq));
  }
  const auto t0 = Clock::now();
  GEOSGeometry* result = GEOSPolygonize_r(ctx, geometries.data(), static_cast<unsigned>(geometries.size()));
  const double ms = Ms(Clock::now() - t0);
  GEOSGeom_destroy_r(ctx, result);
  for (GEOSGeometry* g : geometries) GEOSGeom_destroy_r(ctx, g);
  GEOS_finish_r(ctx);
  return ms;
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_WholeDistrict(benchmark::State& state) {
  fs::path district;
  try {
    district = Districts::instance().tree(kWholeSizes[static_cast<std::size_t>(state.range(0))]);
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
    return;
  }
  RegisterGeometryClasses();
  RegisterGisblockClasses();
  RegisterGelixClasses();
  RegisterRenderClasses();
  RegisterAreasClasses();
  const fs::path top = district.parent_path().parent_path().parent_path();
  ::setenv("WINDIR", top.c_str(), 1);  // the generated TERGELIX.INI
  // The output has the district's and its LHC's names, as the exports ask.
  const fs::path scratch = Districts::instance().scratch() / "whole";
  const fs::path output = scratch / district.parent_path().filename() / "01";
  double readMs = 0, flatMs = 0, exportMs = 0, geosMs = 0, lines = 0;
  for (auto _ : state) {
    {
      const auto t0 = Clock::now();
      const FlatBlock flat = ParseFlat(district / "DET.BLK");
      flatMs = Ms(Clock::now() - t0);
      lines = static_cast<double>(flat.lines);
      benchmark::DoNotOptimize(flat.records);
    }
    fs::remove_all(scratch);
    fs::create_directories(output);
    auto world = std::make_unique<TWorld>();
    SetWorld(world.get());
    platform::messageQueue().discardAll();
    {
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
      ctx.GisRoot = district.parent_path().parent_path().string();
      ctx.LhcCode = district.parent_path().filename().string();
      jobs::ExportWholeDistrict(ctx);
      const auto t2 = Clock::now();
      readMs = Ms(t1 - t0);
      exportMs = Ms(t2 - t1);
    }
    world.reset();
    SetWorld(nullptr);
    platform::messageQueue().discardAll();
    geosMs = 0;
    for (const auto& block : fs::directory_iterator(output))
      if (block.is_directory() && fs::exists(block.path() / "TN.LIN")) geosMs += GeosPolygonizeMs(block.path());
    state.SetIterationTime(exportMs / 1000.0);
  }
  fs::remove_all(scratch);
  state.counters["lines"] = lines;
  state.counters["read_ms"] = readMs;
  state.counters["flat_parse_ms"] = flatMs;
  state.counters["export_ms"] = exportMs;
  state.counters["geos_levels_ms"] = geosMs;
  state.counters["export_ratio"] = geosMs > 0 ? exportMs / geosMs : 0;
  state.counters["read_ratio"] = flatMs > 0 ? readMs / flatMs : 0;
  state.counters["export_us_per_line"] = lines > 0 ? 1000.0 * exportMs / lines : 0;
  state.counters["read_us_per_line"] = lines > 0 ? 1000.0 * readMs / lines : 0;
  state.counters["peak_mb"] = PeakMegabytes();
}

}  // namespace

BENCHMARK(BM_WholeDistrict)
    ->DenseRange(0, static_cast<int>(kWholeSizes.size()) - 1)
    ->ArgName("size")
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);
