#pragma once
// Whole files as bytes, for golden-byte comparisons and for damaging them.
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace test_support {

inline std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A file's bytes as two writes of the same contents compare: a dBase
// table's header holds the day it was last written (bytes 1 to 3), which
// tells a table written before midnight from one written after.
inline std::string ComparableBytes(const std::filesystem::path& file) {
  std::string bytes = ReadFile(file);
  std::string extension = file.extension().string();
  for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (extension == ".DBF" && bytes.size() >= 4) bytes.replace(1, 3, 3, '\0');
  return bytes;
}

inline void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// Every file of a directory tree with its bytes (ComparableBytes), by its
// path below the root.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
    if (entry.is_regular_file())
      files[std::filesystem::relative(entry.path(), root).string()] = ComparableBytes(entry.path());
  return files;
}

}  // namespace test_support
