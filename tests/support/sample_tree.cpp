#include "sample_tree.h"

#include <map>

#include "process.h"
#include "temp_dir.h"

namespace test_support {

namespace fs = std::filesystem;

namespace {

fs::path generate(const std::string& name, const std::string& arguments) {
  if (!HaveProgram("python3")) return {};
  const fs::path tree = ProcessDirectory() / name;
  const std::string generator = std::string(ZELTO_SOURCE_DIR) + "/tools/gendistrict/gendistrict.py";
  if (Run("python3 " + Quoted(generator) + " --out " + Quoted(tree.string()) + " " + arguments + " >/dev/null") != 0)
    return {};
  return tree;
}

}  // namespace

const fs::path& GeneratedSample() {
  static const fs::path tree = generate("generated_sample", "--seed 1");
  return tree;
}

const fs::path& GeneratedTree(const std::string& arguments) {
  static std::map<std::string, fs::path> trees;
  auto it = trees.find(arguments);
  if (it == trees.end())
    it = trees.emplace(arguments, generate("generated_" + std::to_string(trees.size() + 1), arguments)).first;
  return it->second;
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
