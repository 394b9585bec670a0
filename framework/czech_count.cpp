#include "framework/czech_count.h"

namespace framework {

std::string_view CzechPlural(std::int64_t count, std::string_view one, std::string_view few, std::string_view many) {
  const std::uint64_t n = count < 0 ? 0 - static_cast<std::uint64_t>(count) : static_cast<std::uint64_t>(count);
  if (n == 1) return one;
  if (n >= 2 && n <= 4) return few;
  return many;
}

std::string CzechCount(std::int64_t count, std::string_view one, std::string_view few, std::string_view many) {
  return std::to_string(count) + " " + std::string(CzechPlural(count, one, few, many));
}

}  // namespace framework
