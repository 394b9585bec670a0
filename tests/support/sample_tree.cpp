#include "sample_tree.h"

#include "process.h"
#include "temp_dir.h"

namespace test_support {

namespace fs = std::filesystem;

namespace {

fs::path generate() {
  if (!HaveProgram("python3")) return {};
  const fs::path tree = ProcessDirectory() / "generated_sample";
  const std::string generator = std::string(ZELTO_SOURCE_DIR) + "/tools/gendistrict/gendistrict.py";
  if (Run("python3 " + Quoted(generator) + " --out " + Quoted(tree.string()) + " --seed 1 >/dev/null") != 0) return {};
  return tree;
}

}  // namespace

const fs::path& GeneratedSample() {
  static const fs::path tree = generate();
  return tree;
}

bool CopySample(const fs::path& destination) {
  const fs::path& tree = GeneratedSample();
  if (tree.empty()) return false;
  fs::create_directories(destination);
  fs::copy(tree, destination, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  return true;
}

std::string Expected(const fs::path& tree, const std::string& expression) {
  std::string out = Capture("python3 -c \"import json,sys; e=json.load(open(sys.argv[1])); d=e['districts']['01']; print(" +
                            expression + ")\" " + Quoted((tree / "expected.json").string()));
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

}  // namespace test_support
