#include "framework/value_text.h"

#include "framework/string_utils.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace framework {

namespace {

int digitValue(char c, int base) {
  int d = -1;
  if (c >= '0' && c <= '9') d = c - '0';
  else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
  return d < base ? d : -1;
}

}  // namespace

bool ParseWholeNumber(std::string_view text, std::int32_t& value) {
  value = 0;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16, ++i;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16, i += 2;
  }
  const std::size_t first = i;
  std::uint64_t magnitude = 0;
  const std::uint64_t limit =
      base == 16 ? 0xFFFFFFFFull : (negative ? (1ull << 31) : (1ull << 31) - 1);
  bool ok = true;
  for (; i < n; ++i) {
    const int d = digitValue(text[i], base);
    if (d < 0 || magnitude * base + d > limit) {
      ok = false;
      break;
    }
    magnitude = magnitude * base + d;
  }
  if (i == first) ok = false;  // no digit at all
  if (base == 16) {
    const auto pattern = static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude));
    value = negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(pattern)) : pattern;
  } else {
    value = static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                               : static_cast<std::int64_t>(magnitude));
  }
  return ok;
}

std::string ScientificFloatText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14E", std::fabs(value));
  // buffer: d.ddddddddddddddE±xx[x]
  std::string text = buffer;
  const std::size_t e = text.find('E');
  const char expSign = text[e + 1];
  const int exponent = std::atoi(text.c_str() + e + 2);
  char expDigits[8];
  std::snprintf(expDigits, sizeof expDigits, "%04d", exponent);
  std::string out;
  out += value < 0 ? '-' : ' ';
  out += text.substr(0, e);
  out += 'E';
  out += expSign;
  out += expDigits;
  return out;
}

std::string GeneralFloatText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  std::string text = buffer;
  // "1E+20" -> "1E20", "1E-05" -> "1E-5".
  if (const std::size_t e = text.find('E'); e != std::string::npos) {
    std::string mantissa = text.substr(0, e);
    const int exponent = std::atoi(text.c_str() + e + 1);
    text = mantissa + "E" + std::to_string(exponent);
  }
  for (char& c : text)
    if (c == '.') c = DecimalSeparator();
  return text;
}

}  // namespace framework
