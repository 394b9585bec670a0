#include "framework/string_utils.h"

#include "framework/value_text.h"
#include "platform/decimal_separator.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <limits>
#include <optional>

namespace framework {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The locale's float grammar with `separator`: blanks, sign, digits with at
// most one separator (at least one digit), exponent, blanks. Nothing else.
std::optional<double> parseFloat(std::string_view text, char separator) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  std::string normalized;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') normalized += '-';
    ++i;
  }
  std::size_t digits = 0;
  while (i < n && isDigit(text[i])) normalized += text[i++], ++digits;
  if (i < n && text[i] == separator) {
    normalized += '.';
    ++i;
    while (i < n && isDigit(text[i])) normalized += text[i++], ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    normalized += 'e';
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) normalized += text[i++];
    std::size_t expDigits = 0;
    while (i < n && isDigit(text[i])) normalized += text[i++], ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  while (i < n && text[i] == ' ') ++i;
  if (i != n) return std::nullopt;
  double value = 0;
  const auto [end, ec] =
      std::from_chars(normalized.data(), normalized.data() + normalized.size(), value);
  if (ec != std::errc() || end != normalized.data() + normalized.size()) return std::nullopt;
  return value;
}

std::optional<double> lenientFloat(std::string_view text) {
  if (auto v = parseFloat(text, DecimalSeparator())) return v;
  std::string toggled(text);
  ToggleDecimalSeparator(toggled, '.', ',');
  return parseFloat(toggled, DecimalSeparator());
}

bool isBlankOrNul(char c) { return c == ' ' || c == '\0'; }

}  // namespace

std::optional<double> ParseFixedPointPrefix(std::string_view text, std::size_t& stop) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  const std::size_t begin = i;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < n && isDigit(text[i])) ++i, ++digits;
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && isDigit(text[i])) ++i, ++digits;
  }
  stop = i;
  if (digits == 0) return std::nullopt;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
    std::size_t expDigits = 0;
    while (j < n && isDigit(text[j])) ++j, ++expDigits;
    if (expDigits > 0) stop = i = j;
  }
  std::string number(text.substr(begin, i - begin));
  if (!number.empty() && number[0] == '+') number.erase(0, 1);
  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec != std::errc() || end != number.data() + number.size()) return std::nullopt;
  return value;
}

std::optional<double> ParseFixedPoint(std::string_view text) {
  std::size_t stop = 0;
  auto value = ParseFixedPointPrefix(text, stop);
  if (!value || stop != text.size()) return std::nullopt;
  return value;
}

char DecimalSeparator() { return platform::decimalSeparator(); }
void SetDecimalSeparator(char separator) { platform::setDecimalSeparator(separator); }

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    const int follow = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    if (follow < 0 || (follow == 1 && c < 0xC2) || i + static_cast<std::size_t>(follow) >= text.size())
      return false;
    for (int k = 1; k <= follow; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += static_cast<std::size_t>(follow) + 1;
  }
  return true;
}

CharSet MakeCharSet(std::string_view chars) {
  CharSet set;
  for (char c : chars) set.set(static_cast<unsigned char>(c));
  return set;
}

}  // namespace framework

std::int32_t StrToIntOrZero(std::string_view text) {
  std::int32_t value = 0;
  framework::ParseWholeNumber(text, value);
  return value;
}

bool IsFloatText(std::string_view text) { return framework::lenientFloat(text).has_value(); }

double StrToFloatLenient(std::string_view text) {
  return framework::lenientFloat(text).value_or(0.0);
}

void ToggleDecimalSeparator(std::string& text, char a, char b) {
  for (char& c : text) {
    if (c == a) {
      c = b;
      return;
    }
    if (c == b) {
      c = a;
      return;
    }
  }
}

std::string BoolToText(bool value) { return value ? "TRUE" : "FALSE"; }

bool TextIsTrue(std::string_view text) { return !text.empty() && (text[0] == 'T' || text[0] == 't'); }

std::string IntToStrWidth(std::int64_t value, int width, bool zeroPad) {
  char buffer[64];
  if (zeroPad)
    std::snprintf(buffer, sizeof buffer, "%*.*lld", width, width, static_cast<long long>(value));
  else
    std::snprintf(buffer, sizeof buffer, "%*lld", width, static_cast<long long>(value));
  return buffer;
}

std::string FloatToStrWidth(int width, int decimals, double value) {
  const int size = std::snprintf(nullptr, 0, "%*.*f", width, decimals, value);
  std::string text(static_cast<std::size_t>(size), '\0');
  std::snprintf(text.data(), text.size() + 1, "%*.*f", width, decimals, value);
  // snprintf follows the C locale, which the program never changes.
  for (char& c : text)
    if (c == '.') c = framework::DecimalSeparator();
  return text;
}

std::string TrimBlanks(std::string_view text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && framework::isBlankOrNul(text[begin])) ++begin;
  while (end > begin && framework::isBlankOrNul(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

bool SplitAtChar(std::string_view text, char separator, std::string& head, std::string& rest) {
  const std::size_t at = text.find(separator);
  if (at == std::string_view::npos) {
    head = TrimBlanks(text);
    rest.clear();
    return false;
  }
  head = TrimBlanks(text.substr(0, at));
  rest = TrimBlanks(text.substr(at + 1));
  return true;
}

bool SplitNameValue(std::string_view text, std::string& name, std::string& value) {
  return SplitAtChar(text, '=', name, value);
}

void ScanToken(std::string_view text, const framework::CharSet& delimiters, std::size_t start,
               std::string& token, std::size_t& position, char& delimiter) {
  token.clear();
  position = start;
  delimiter = '\0';
  if (text.empty()) return;
  const auto stops = [&](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 32 && u <= 127 && delimiters.test(u);
  };
  while (position <= text.size() && !stops(text[position - 1])) ++position;
  const bool found = position <= text.size();
  if (found) delimiter = text[position - 1];
  if (position > start) token = std::string(text.substr(start - 1, position - start));
  // Past the delimiter; a scan that ran off the end already stands one past it.
  if (found) ++position;
}

void ScanTrimmedToken(std::string_view text, const framework::CharSet& delimiters,
                      std::size_t start, std::string& token, std::size_t& position,
                      char& delimiter) {
  ScanToken(text, delimiters, start, token, position, delimiter);
  token = TrimBlanks(token);
}

std::string AppendBackslash(std::string& path) {
  if (path.empty()) return "\\";
  if (path.back() != '\\' && path.back() != '/') path += '\\';
  return path;
}

std::string AddTrailingBackslash(std::string_view path) {
  std::string copy(path);
  return AppendBackslash(copy);
}

std::string EnsureTPrefix(std::string& text) {
  if (!text.empty() && text[0] != 'T' && text[0] != 't') text.insert(text.begin(), 'T');
  return text;
}

std::string PStrToStr(const PString& cell) { return cell ? *cell : std::string(); }

void AssignPStr(PString& cell, std::string_view text) {
  cell.reset();
  if (!text.empty()) cell = std::make_unique<std::string>(text);
}
