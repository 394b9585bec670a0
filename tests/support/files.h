#pragma once
// Whole files as bytes, for golden-byte comparisons and for damaging them.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace test_support {

inline std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace test_support
