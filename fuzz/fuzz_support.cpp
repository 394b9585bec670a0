#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <system_error>

#include "areas/areas_classes.h"
#include "framework/entity.h"
#include "framework/world.h"
#include "geometry/geometry_classes.h"
#include "gisblock/gelix_classes.h"
#include "gisblock/gisblock_classes.h"
#include "platform/message_queue.h"
#include "platform/path_resolver.h"
#include "platform/scripted_progress_form.h"
#include "platform/scripted_user_interaction.h"
#include "render/render_classes.h"
#include "script/command_line.h"

namespace fuzz {

namespace {

// The services live as long as the process: the engine never returns.
struct Services {
  platform::ScopedScriptedUi ui;
  platform::ScopedScriptedProgressForms forms;
};

Services* services = nullptr;
std::filesystem::path* scratchToRemove = nullptr;

void RemoveScratch() {
  std::error_code ec;
  std::filesystem::current_path(std::filesystem::temp_directory_path(ec), ec);
  if (scratchToRemove) std::filesystem::remove_all(*scratchToRemove, ec);
}

std::uint32_t LengthAt(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

}  // namespace

Harness& Harness::Get() {
  static Harness* harness = new Harness;
  return *harness;
}

Harness::Harness() {
  RegisterElementClasses();
  RegisterGeometryClasses();
  RegisterGisblockClasses();
  RegisterGelixClasses();
  RegisterRenderClasses();
  RegisterAreasClasses();
  RegisterScriptClasses();
  services = new Services;
  scratch_ = std::filesystem::temp_directory_path() / ("zelto_fuzz_" + std::to_string(::getpid()));
  std::filesystem::remove_all(scratch_);
  std::filesystem::create_directories(scratch_);
  scratchToRemove = new std::filesystem::path(scratch_);
  std::atexit(RemoveScratch);
  // Whatever a reader writes beside its input lands here.
  std::filesystem::current_path(scratch_);
  ::setenv("WINDIR", scratch_.c_str(), 1);
  platform::pathResolver().setDrive('C', scratch_);
  platform::pathResolver().setDrive('D', scratch_);
}

void Harness::Begin() {
  platform::messageQueue().discardAll();
  services->ui->clear();
  std::error_code ec;
  std::filesystem::current_path(scratch_, ec);
  for (const auto& entry : std::filesystem::directory_iterator(scratch_, ec)) {
    // A reader may have left a file that it cannot delete itself.
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(entry.path(), ec);
  }
}

std::filesystem::path Harness::Write(const std::string& relative, std::string_view bytes) const {
  const std::filesystem::path path = scratch_ / relative;
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

void Harness::WriteControlFiles(std::initializer_list<const char*> kinds, std::string_view fields,
                                std::string_view transfer) const {
  for (const char* kind : kinds) {
    Write(std::string("GIS/") + kind + ".CRT", fields);
    Write(std::string("GIS/") + kind + ".TDS", transfer);
  }
}

void Harness::EnsureWorld() {
  static TWorld* world = [] {
    auto* w = new TWorld;
    SetWorld(w);
    return w;
  }();
  (void)world;
}

std::vector<std::string_view> SplitFiles(const std::uint8_t* data, std::size_t size, std::size_t count) {
  std::vector<std::string_view> files;
  std::size_t at = 0;
  while (files.size() < count) {
    if (size - at < 4) {
      files.emplace_back();
      at = size;
      continue;
    }
    const std::size_t length = Bounded(LengthAt(data + at), size - at - 4);
    files.emplace_back(reinterpret_cast<const char*>(data + at + 4), length);
    at += 4 + length;
  }
  return files;
}

std::string JoinFiles(const std::vector<std::string_view>& files) {
  std::string out;
  for (std::string_view file : files) {
    const auto n = static_cast<std::uint32_t>(file.size());
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((n >> shift) & 0xFF));
    out.append(file);
  }
  return out;
}

std::size_t MutateOneFile(std::uint8_t* data, std::size_t size, std::size_t maxSize, unsigned int seed,
                          std::size_t count) {
  const std::vector<std::string_view> files = SplitFiles(data, size, count);
  std::size_t others = 4 * count;
  const std::size_t chosen = seed % count;
  for (std::size_t i = 0; i < count; ++i)
    if (i != chosen) others += files[i].size();
  if (others >= maxSize) return LLVMFuzzerMutate(data, size, maxSize);
  std::string changed(files[chosen]);
  const std::size_t room = maxSize - others;
  changed.resize(std::max(room, changed.size()));
  const std::size_t length = LLVMFuzzerMutate(reinterpret_cast<std::uint8_t*>(changed.data()),
                                              files[chosen].size(), room);
  changed.resize(length);
  std::vector<std::string_view> next = files;
  next[chosen] = changed;
  const std::string joined = JoinFiles(next);
  const std::size_t out = std::min(joined.size(), maxSize);
  std::copy(joined.begin(), joined.begin() + static_cast<std::ptrdiff_t>(out), data);
  return out;
}

}  // namespace fuzz
