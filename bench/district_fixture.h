#pragma once
// Districts of three sizes (and larger trees on request) written by the
// generator once per process into a temp directory, and a world whose
// object model the block readers fill.
// Shared by the benchmarks of the block data path; the per-item counters
// let the time per line or area be compared across the sizes.
//
// ZELTO_BENCH_DISTRICTS names a directory to keep the generated trees in
// between runs (handy while profiling); without it they go to a temp
// directory removed at exit.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "framework/entity.h"
#include "framework/message_dispatch.h"
#include "framework/world.h"
#include "framework/zelto_message.h"
#include "gisblock/gelix_blok_reader.h"
#include "gisblock/gelix_classes.h"
#include "platform/message_queue.h"

namespace benchdistrict {

namespace fs = std::filesystem;

struct Size {
  int cols;
  int rows;
};
// About 10,000, 30,000 and 100,000 boundary lines in DET.BLK of district 01.
inline constexpr std::array<Size, 3> kSizes{{{148, 145}, {255, 250}, {470, 460}}};

class Districts {
 public:
  static Districts& instance() {
    static Districts d;
    return d;
  }
  // GIS/<LHC>/01/DET.BLK of the size, generated on first use.
  const std::string& detBlock(int sizeIndex) {
    std::string& block = blocks_[static_cast<std::size_t>(sizeIndex)];
    if (block.empty()) block = generate(sizeIndex);
    return block;
  }
  const fs::path& scratch() const { return scratch_; }

 private:
  Districts() {
    if (const char* keep = std::getenv("ZELTO_BENCH_DISTRICTS"); keep && *keep) {
      root_ = keep;
    } else {
      root_ = fs::temp_directory_path() / ("zelto_bench_" + std::to_string(::getpid()));
      temporary_ = true;
    }
    scratch_ = fs::temp_directory_path() / ("zelto_bench_scratch_" + std::to_string(::getpid()));
    fs::create_directories(root_);
    fs::create_directories(scratch_);
    // What an export leaves in the current directory (Create.sql, the
    // protocol) goes with the scratch, not beside the caller.
    std::error_code ec;
    caller_ = fs::current_path(ec);
    fs::current_path(scratch_, ec);
  }
  ~Districts() {
    std::error_code ec;
    if (!caller_.empty()) fs::current_path(caller_, ec);
    if (temporary_) fs::remove_all(root_, ec);
    fs::remove_all(scratch_, ec);
  }

  std::string generate(int sizeIndex) {
    return (tree(kSizes[static_cast<std::size_t>(sizeIndex)]) / "DET.BLK").string();
  }

 public:
  // The directory of district 01 of a generated tree of that size (made on
  // first use); its TERGELIX.INI lies at the tree's top, two levels above
  // the LHC directory.
  fs::path tree(Size s) { return lhc(std::to_string(s.cols) + "x" + std::to_string(s.rows)) / "01"; }

  // The LHC directory of the tree the generator makes with that --size
  // (made on first use; "million" takes minutes).
  fs::path lhc(const std::string& size) {
    const fs::path out = root_ / size;
    if (!fs::exists(out / "expected.json")) {
      const std::string generator = std::string(ZELTO_SOURCE_DIR) + "/tools/gendistrict/gendistrict.py";
      const std::string command =
          "python3 '" + generator + "' --out '" + out.string() + "' --size " + size + " >/dev/null";
      if (std::system(command.c_str()) != 0) throw std::runtime_error("the generator failed: " + command);
    }
    for (const auto& lhc : fs::directory_iterator(out / "GIS"))
      if (fs::exists(lhc.path() / "01" / "DET.BLK" / "TN.LIN")) return lhc.path();
    throw std::runtime_error("no DET.BLK under " + out.string());
  }

 private:

  fs::path root_;
  fs::path scratch_;
  fs::path caller_;
  bool temporary_ = false;
  std::array<std::string, kSizes.size()> blocks_;
};

// Swallows what the readers post to the main tool.
class Sink : public TOwnerEntity {
 public:
  int texts = 0;
  void HandleMessage(TZeltoMessage*& message, bool& handled) override {
    TOwnerEntity::HandleMessage(message, handled);
    if (dynamic_cast<TZeltoTextMessage*>(message)) ++texts;
    handled = true;
  }
};

// A world of its own for one benchmark: the readers file their objects in
// its object model.
class BenchWorld {
 public:
  BenchWorld() {
    RegisterGelixClasses();
    platform::messageQueue().discardAll();
    previous_ = GetWorld();
    world_ = std::make_unique<TWorld>();
    SetWorld(world_.get());
    zelto::SetMainToolResolver([this] { return &sink_; });
  }
  ~BenchWorld() {
    zelto::RunMessagesUntilIdle();
    world_.reset();
    zelto::SetMainToolResolver(nullptr);
    SetWorld(previous_);
  }
  TObjectModel* model() { return world_->GetObjectModel(); }
  // Frees the object model with all it holds; the next read starts afresh.
  void dropModel() { world_->SetObjectModel(nullptr); }
  void pump() { zelto::RunMessagesUntilIdle(); }

 private:
  Sink sink_;
  TWorld* previous_ = nullptr;
  std::unique_ptr<TWorld> world_;
};

// The DET.BLK of the benchmark's size; empty (and the benchmark skipped)
// when the district cannot be generated.
inline std::string districtBlock(benchmark::State& state) {
  try {
    return Districts::instance().detBlock(static_cast<int>(state.range(0)));
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
    return {};
  }
}

inline std::unique_ptr<TGeliXBlokReader> reader(const std::string& block) {
  return std::unique_ptr<TGeliXBlokReader>(TGeliXBlokReader::CreateForBlock(block));
}

// Lines, then areas as rings of those lines, filed in the world's model.
struct ReadModel {
  TPolyLineString* lines = nullptr;
  TAreaString* areas = nullptr;
};
inline ReadModel readLinesAndAreas(BenchWorld& world, const std::string& block, bool areasAsBoundary = false) {
  ReadModel m;
  m.lines = reader(block)->ReadLines();
  world.model()->Add(m.lines);
  auto r = reader(block);
  r->ReadAreaAsBoundary = areasAsBoundary;
  m.areas = r->ReadAreas();
  world.model()->Add(m.areas);
  return m;
}

// items/s and the time per item (in the benchmark's time unit per item).
inline void perItem(benchmark::State& state, const char* name, double items) {
  state.counters[name] = items;
  state.counters[std::string("per_") + name] =
      benchmark::Counter(items * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

inline void sizeArgs(benchmark::internal::Benchmark* b) {
  for (int i = 0; i < static_cast<int>(kSizes.size()); ++i) b->Arg(i);
  b->ArgName("size")->Unit(benchmark::kMillisecond)->Iterations(1);
}

}  // namespace benchdistrict
