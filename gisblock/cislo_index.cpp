#include "gisblock/cislo_index.h"
#include "framework/czech_count.h"
#include "platform/dbase_value.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <unordered_map>

namespace gisblock {

std::int32_t cisloFromText(const std::string& text) {
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) return 0;
  const std::string s = text.substr(start, text.find_last_not_of(' ') - start + 1);
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(s.c_str(), &end, 10);
  if (end != s.c_str() + s.size() || errno == ERANGE || value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    return 0;
  return static_cast<std::int32_t>(value);
}

std::int32_t cisloFromField(const platform::DbfField& field, std::string_view bytes, platform::CodePage codePage) {
  const std::size_t digits = bytes.find_first_not_of(' ');
  if (digits == std::string_view::npos || bytes.size() - digits > 9 ||
      bytes.find_first_not_of("0123456789", digits) != std::string_view::npos)
    return cisloFromText(platform::dbf::fieldText(field, bytes, codePage));
  std::int32_t cislo = 0;
  for (const char c : bytes.substr(digits)) cislo = cislo * 10 + (c - '0');
  return cislo;
}

void CisloIndex::set(std::int32_t cislo, std::int32_t recNo) {
  if (cislo < 0 || cislo > kMaxCislo) return;
  if (static_cast<std::size_t>(cislo) >= entries_.size()) entries_.resize(static_cast<std::size_t>(cislo) + 1, kGap);
  entries_[static_cast<std::size_t>(cislo)] = recNo;
}

std::int32_t CisloIndex::entry(std::int32_t cislo) const {
  if (cislo < 0 || static_cast<std::size_t>(cislo) >= entries_.size()) return kGap;
  return entries_[static_cast<std::size_t>(cislo)];
}

std::vector<std::uint8_t> CisloIndex::encode() const {
  std::vector<std::uint8_t> bytes(entries_.size() * 4);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const auto v = static_cast<std::uint32_t>(entries_[i]);
    for (int b = 0; b < 4; ++b) bytes[4 * i + b] = static_cast<std::uint8_t>(v >> (8 * b));
  }
  return bytes;
}

CisloIndex CisloIndex::decode(const std::vector<std::uint8_t>& bytes) {
  CisloIndex index;
  const std::size_t count = std::min(bytes.size() / 4, static_cast<std::size_t>(kMaxCislo) + 1);
  index.entries_.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* b = bytes.data() + 4 * i;
    index.entries_[i] = static_cast<std::int32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24);
  }
  return index;
}

CisloIndex::Built CisloIndex::build(platform::DbfTable& table) {
  const int field = table.fieldIndex("CISLO");
  if (field < 0) throw platform::DbfError("tabulka nemá položku CISLO");
  Built built;
  std::size_t negative = 0, beyond = 0;
  std::unordered_map<std::int32_t, std::size_t> duplicated;  // CISLO -> its place in built.duplicates
  for (bool row = table.first(); row; row = table.next()) {
    const std::int32_t cislo = cisloFromText(table.text(field));
    const auto recNo = static_cast<std::int32_t>(table.recNo());
    if (cislo < 0) {
      ++negative;
      continue;
    }
    if (cislo > kMaxCislo) {
      ++beyond;
      continue;
    }
    if (const std::int32_t before = built.index.entry(cislo); before != kGap && cislo != 0) {
      const auto [at, fresh] = duplicated.try_emplace(cislo, built.duplicates.size());
      if (fresh) {
        built.duplicates.push_back({cislo, static_cast<std::uint32_t>(before), static_cast<std::uint32_t>(recNo), 2});
      } else {
        Built::Duplicate& duplicate = built.duplicates[at->second];
        duplicate.last = static_cast<std::uint32_t>(recNo);
        ++duplicate.rows;
      }
    }
    built.index.set(cislo, recNo);
  }
  const std::string name = table.path().filename().string();
  if (negative > 0)
    built.warnings.push_back("Tabulka " + name + ": " + framework::CzechCount(negative, "věta", "věty", "vět") +
                             " se záporným CISLO nelze indexovat");
  if (beyond > 0)
    built.warnings.push_back("Tabulka " + name + ": " + framework::CzechCount(beyond, "věta", "věty", "vět") +
                             " s CISLO nad " +
                             std::to_string(kMaxCislo) + " nelze indexovat");
  return built;
}

std::int32_t readIndexEntry(std::istream& file, std::int32_t cislo) {
  if (cislo < 0 || cislo > CisloIndex::kMaxCislo) return CisloIndex::kGap;
  file.clear();
  file.seekg(static_cast<std::streamoff>(4 * static_cast<std::int64_t>(cislo)));
  unsigned char b[4];
  if (!file.read(reinterpret_cast<char*>(b), 4)) {
    file.clear();
    return CisloIndex::kGap;
  }
  return static_cast<std::int32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24);
}

}  // namespace gisblock
