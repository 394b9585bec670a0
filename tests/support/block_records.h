#pragma once
// The fixed-size records of a block file (TN.LIN, TN.ARE, ...) read and
// rewritten one at a time through their codecs, for tests that damage a
// block in one field.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <vector>

namespace test_support {

// Record n of the file; none beyond its end.
template <class Record>
std::optional<Record> ReadRecord(const std::filesystem::path& file, std::int32_t n) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::uint8_t> bytes(Record::kSize);
  in.seekg(static_cast<std::streamoff>(n) * Record::kSize);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), Record::kSize)) return std::nullopt;
  return Record::decode(bytes.data());
}

template <class Record>
std::int32_t RecordCount(const std::filesystem::path& file) {
  return static_cast<std::int32_t>(std::filesystem::file_size(file) / Record::kSize);
}

// Rewrites record n in place; a record beyond the end is appended from zeros.
template <class Record>
void PatchRecord(const std::filesystem::path& file, std::int32_t n, const std::function<void(Record&)>& change) {
  std::vector<std::uint8_t> zeros(Record::kSize, 0);
  Record r = ReadRecord<Record>(file, n).value_or(Record::decode(zeros.data()));
  change(r);
  const auto out = r.encode();
  std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
  f.seekp(static_cast<std::streamoff>(n) * Record::kSize);
  f.write(reinterpret_cast<const char*>(out.data()), Record::kSize);
}

}  // namespace test_support
