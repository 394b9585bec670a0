#include "gisblock/integer_format.h"

namespace gisblock {
namespace {

constexpr std::size_t kMaxWidth = 1024;  // a wider field is a broken format, not a wish

std::optional<std::size_t> readNumber(std::string_view f, std::size_t& i) {
  std::size_t n = 0;
  const std::size_t start = i;
  while (i < f.size() && f[i] >= '0' && f[i] <= '9') {
    n = n * 10 + static_cast<std::size_t>(f[i] - '0');
    if (n > kMaxWidth) return std::nullopt;
    ++i;
  }
  return i == start ? std::optional<std::size_t>(0) : n;
}

}  // namespace

std::optional<std::string> formatInteger(std::string_view f, std::int64_t value) {
  std::string out;
  bool used = false;
  for (std::size_t i = 0; i < f.size(); ++i) {
    if (f[i] != '%') {
      out += f[i];
      continue;
    }
    if (++i >= f.size()) return std::nullopt;
    if (f[i] == '%') {
      out += '%';
      continue;
    }
    const bool left = f[i] == '-';
    if (left) ++i;
    const auto width = readNumber(f, i);
    std::optional<std::size_t> precision = 0;
    if (i < f.size() && f[i] == '.') precision = readNumber(f, ++i);
    if (!width || !precision || i >= f.size() || (f[i] != 'd' && f[i] != 'D') || used) return std::nullopt;
    used = true;
    // The precision gives the least number of digits, the sign comes in front.
    const std::uint64_t magnitude =
        value < 0 ? static_cast<std::uint64_t>(-(value + 1)) + 1 : static_cast<std::uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    if (digits.size() < *precision) digits.insert(0, *precision - digits.size(), '0');
    if (value < 0) digits.insert(0, 1, '-');
    if (digits.size() < *width) {
      const std::string pad(*width - digits.size(), ' ');
      digits = left ? digits + pad : pad + digits;
    }
    out += digits;
  }
  return out;
}

}  // namespace gisblock
