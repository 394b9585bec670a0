// First smoke program: lists the block directories of a GIS data tree with
// their record counts. It grows into the export tool.
#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

struct RecordFile {
  const char* name;
  std::uintmax_t size;
};

constexpr RecordFile kRecordFiles[] = {
    {"TN.CRD", 12}, {"TN.LIN", 103}, {"TN.ARE", 71}, {"TN.PNT", 35}, {"TN.TBX", 85}};

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

void describeBlock(const fs::path& dir) {
  std::printf("%s\n", dir.string().c_str());
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    const std::string name = upper(entry.path().filename().string());
    for (const auto& rf : kRecordFiles) {
      if (name == rf.name) {
        std::printf("  %-7s %8ju records\n", rf.name, entry.file_size() / rf.size);
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: zeltoexport GIS-ROOT\n");
    return 2;
  }
  const fs::path root(argv[1]);
  std::error_code ec;
  if (!fs::is_directory(root, ec)) {
    std::fprintf(stderr, "zeltoexport: %s is not a directory\n", root.string().c_str());
    return 1;
  }
  int blocks = 0;
  for (auto it = fs::recursive_directory_iterator(root, ec); it != fs::recursive_directory_iterator(); ++it) {
    if (it->is_directory() && upper(it->path().extension().string()) == ".BLK") {
      describeBlock(it->path());
      ++blocks;
      it.disable_recursion_pending();
    }
  }
  std::printf("%d block directories\n", blocks);
  return 0;
}
