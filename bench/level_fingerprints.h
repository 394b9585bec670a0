#pragma once
// Fingerprints of every file a level export wrote: "<path> <fnv1a-64>" per
// file in path order, the output directory's own path (which a block's text
// file names) replaced by "<OUT>", and the date of last update in a dBase
// header (bytes 1 to 3, the day the table was written) left out, so that a
// fingerprint holds whatever the day. The byte-identity test of the level
// exports and the whole-district benchmark compare them.
#include <cctype>
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
  std::string extension = file.extension().string();
  for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (extension == ".DBF" && bytes.size() >= 4) bytes.replace(1, 3, 3, '\0');
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
