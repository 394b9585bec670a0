// Writing every line and area of a district read before to a new block
// through the writers: the time per record must not grow with the block.
// BM_ExportBlock writes the district's areas as a level export writes its
// block (boundary lines, areas, a table row for each area with the values
// of its source row) and sets that beside the disk's own speed:
//   write_ms   the export of the areas read, staged commit included
//   write_cpu_ms  the processor time of it (without waiting for the disk)
//   disk_ms    the same files' bytes written by one write each and synced
//   write_ratio = write_ms / disk_ms, and the megabytes written
#include <chrono>
#include <ctime>
#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <unistd.h>

#include "areas/areas_classes.h"
#include "areas/export_areas.h"
#include "bench/district_fixture.h"
#include "framework/dynamic_properties.h"
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

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double CpuMs() {
  timespec t{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Every file of `from` written into `to` as the disk takes it at best: one
// write each from memory, then synced, as the staged commit syncs.
double DiskMs(const fs::path& from, const fs::path& to, double& megabytes) {
  std::vector<std::pair<fs::path, std::string>> files;
  megabytes = 0;
  for (const auto& entry : fs::directory_iterator(from)) {
    std::ifstream in(entry.path(), std::ios::binary);
    files.emplace_back(to / entry.path().filename(), std::string(std::istreambuf_iterator<char>(in), {}));
    megabytes += static_cast<double>(files.back().second.size()) / 1e6;
  }
  fs::remove_all(to);
  fs::create_directories(to);
  const auto t0 = Clock::now();
  for (const auto& [path, bytes] : files) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return 0;
    ::fsync(fd);
    ::close(fd);
  }
  const double ms = Ms(Clock::now() - t0);
  fs::remove_all(to);
  return ms;
}

void BM_ExportBlock(benchmark::State& state) {
  const std::string block = districtBlock(state);
  if (block.empty()) return;
  RegisterAreasClasses();
  // The control files of the tree lie in its GIS directory: <GIS>/<LHC>/01/DET.BLK.
  const fs::path gis = fs::path(block).parent_path().parent_path().parent_path();
  const fs::path out = target(state);
  BenchWorld world;
  const ReadModel m = readLinesAndAreas(world, block);
  double writeMs = 0, cpuMs = 0, diskMs = 0, megabytes = 0;
  for (auto _ : state) {
    TExportAreasToGelix exporter;
    exporter.SetInput(m.areas);
    exporter.BlockName = out.string();
    exporter.ControlDir = gis.string();
    exporter.ExportDBF = true;
    exporter.PlochyVHa = true;
    exporter.BothSources = true;
    // The DET table has no control file of its kind: the rows' table is made
    // like it and takes its fields.
    exporter.CreateFromSource = true;
    exporter.DruhLinii = 1600;
    exporter.GetDynamicProps()->SetPropertyText("LHC_KOD", "4107");
    const auto t0 = Clock::now();
    const double cpu0 = CpuMs();
    exporter.DoIt();
    cpuMs = CpuMs() - cpu0;
    writeMs = Ms(Clock::now() - t0);
    world.pump();
    if (!exporter.LastRun().Written) {
      state.SkipWithError("the block was not written");
      break;
    }
    diskMs = DiskMs(out, out.string() + ".COPY", megabytes);
    state.SetIterationTime(writeMs / 1000.0);
  }
  fs::remove_all(out);
  state.counters["write_ms"] = writeMs;
  state.counters["write_cpu_ms"] = cpuMs;
  state.counters["disk_ms"] = diskMs;
  state.counters["write_ratio"] = diskMs > 0 ? writeMs / diskMs : 0;
  state.counters["mb"] = megabytes;
  perItem(state, "areas", m.areas->GetCount());
}

}  // namespace

BENCHMARK(BM_ExportBlock)->Apply(sizeArgs)->UseManualTime();
BENCHMARK(BM_WriteLines)->Apply(sizeArgs);
BENCHMARK(BM_WriteAreas)->Apply(sizeArgs);
