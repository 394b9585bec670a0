#pragma once
// Fingerprints of every file a level export wrote: "<path> <fnv1a-64>" per
// file in path order, the output directory's own path (which a block's text
// file names) replaced by "<OUT>". The byte-identity test of the level
// exports and the whole-district benchmark compare them.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

namespace levelprints {

inline std::uint64_t Fnv1a(const std::filesystem::path& file, const std::string& outputPath) {
  std::ifstream in(file, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (std::size_t at; (at = bytes.find(outputPath)) != std::string::npos;) bytes.replace(at, outputPath.size(), "<OUT>");
  std::uint64_t h = 1469598103934665603ull;
  for (char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

inline std::string Fingerprints(const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  std::map<std::string, std::uint64_t> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), root).generic_string()] = Fnv1a(entry.path(), root.string());
  std::ostringstream text;
  for (const auto& [path, hash] : files) text << path << ' ' << std::hex << hash << '\n';
  return text.str();
}

}  // namespace levelprints
