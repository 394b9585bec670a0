// Command lines and scripts: the input's lines run one by one in a fresh
// world, then the same bytes as a script file.
#include <memory>

#include "framework/world.h"
#include "fuzz/fuzz_support.h"
#include "geometry/poly_element.h"
#include "script/command_line.h"

namespace {
constexpr std::size_t kMaxText = 4096;
constexpr std::size_t kMaxLines = 64;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Harness& harness = fuzz::Harness::Get();
  harness.Begin();
  const std::string text(reinterpret_cast<const char*>(data), fuzz::Bounded(size, kMaxText));
  // The interpreter runs any tool with any file name: a path that leaves
  // the scratch directory is not this driver's business.
  if (text.find_first_of("/\\") != std::string::npos) return -1;
  auto world = std::make_unique<TWorld>();
  SetWorld(world.get());
  auto* line = new TPolyLineElement;
  line->SetName("Hranice");
  line->AddVertex(0, 0);
  line->AddVertex(10, 5);
  world->GetObjectModel()->Add(line);
  {
    auto command = std::make_unique<TCommandLine>();
    command->ByDDE = true;
    std::size_t start = 0;
    for (std::size_t n = 0; n < kMaxLines && start <= text.size(); ++n) {
      const std::size_t end = std::min(text.find('\n', start), text.size());
      command->SetNextLine(text.substr(start, end - start));
      start = end + 1;
    }
    command->DoIt();
  }
  {
    harness.Write("SCRIPT.TXT", text);
    auto script = std::make_unique<TCommandLine>();
    script->ByDDE = true;
    script->SetFileName("C:\\SCRIPT.TXT");
    script->DoIt();
  }
  // Posted messages may name elements of this world.
  harness.Begin();
  world.reset();
  SetWorld(nullptr);
  return 0;
}
