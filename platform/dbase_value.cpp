#include "platform/dbase_value.h"

#include "platform/codepage.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace platform::dbf {
namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\0')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
  return s;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The number as it reads without padding: no plus sign, no leading zeros
// before the units, no trailing zeros after the point. Text that is not a
// plain number is returned trimmed.
std::string numberText(std::string_view raw) {
  std::string_view s = trimmed(raw);
  std::string sign;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    if (s.front() == '-') sign = "-";
    s.remove_prefix(1);
  }
  const auto point = s.find('.');
  std::string_view whole = s.substr(0, point);
  std::string_view fraction = point == std::string_view::npos ? std::string_view() : s.substr(point + 1);
  for (char c : whole)
    if (!isDigit(c)) return std::string(trimmed(raw));
  for (char c : fraction)
    if (!isDigit(c)) return std::string(trimmed(raw));
  if (whole.empty() && fraction.empty()) return std::string(trimmed(raw));
  while (whole.size() > 1 && whole.front() == '0') whole.remove_prefix(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
  std::string text = sign + (whole.empty() ? std::string("0") : std::string(whole));
  if (!fraction.empty()) text += "." + std::string(fraction);
  return text == "-0" ? "0" : text;
}

[[noreturn]] void refuse(const DbfField& field, std::string_view text, const char* why) {
  throw DbfError("Hodnotu \"" + std::string(text) + "\" nelze zapsat do položky " + field.name + ": " + why);
}

// `value` as "%*.*f" prints it with the field's width and decimals; the
// usual widths without printf's parsing of a format.
std::string fixedText(double value, int width, int decimals) {
  constexpr int kMostDecimals = 64;
  if (decimals <= kMostDecimals) {
    // Room for every double in fixed notation and the decimals.
    char digits[400 + kMostDecimals];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    if (result.ec == std::errc()) {
      const auto length = static_cast<std::size_t>(result.ptr - digits);
      std::string text(width > static_cast<int>(length) ? static_cast<std::size_t>(width) - length : 0, ' ');
      text.append(digits, length);
      return text;
    }
  }
  const int length = std::snprintf(nullptr, 0, "%*.*f", width, decimals, value);
  if (length < 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%*.*f", width, decimals, value);
  text.pop_back();
  return text;
}

std::string numberBytes(const DbfField& field, std::string_view text) {
  const std::string_view t = trimmed(text);
  if (t.empty()) return std::string(field.width, ' ');
  std::string s(t);
  std::replace(s.begin(), s.end(), ',', '.');
  const std::optional<double> value = numberValue(s);
  if (!value) refuse(field, text, "není to číslo");
  // A field of a table made elsewhere may be far wider than dBase allows.
  const int width = static_cast<int>(field.width), decimals = static_cast<int>(field.decimals);
  std::string bytes = fixedText(*value, width, decimals);
  if (bytes.empty() || bytes.size() > field.width) refuse(field, text, "číslo se do položky nevejde");
  return bytes;
}

bool validDate(int y, int m, int d) {
  static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > days[m - 1]) return false;
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m != 2 || d <= 28 || leap;
}

std::string dateText(std::string_view raw) {
  const std::string_view s = trimmed(raw);
  if (s.size() != 8) return std::string(s);
  for (char c : s)
    if (!isDigit(c)) return std::string(s);
  const int y = std::atoi(std::string(s.substr(0, 4)).c_str());
  const int m = std::atoi(std::string(s.substr(4, 2)).c_str());
  const int d = std::atoi(std::string(s.substr(6, 2)).c_str());
  return std::to_string(d) + "." + std::to_string(m) + "." + std::to_string(y);
}

std::string dateBytes(const DbfField& field, std::string_view text) {
  const std::string s(trimmed(text));
  if (s.empty()) return std::string(8, ' ');
  int y = 0, m = 0, d = 0;
  char tail = 0;
  bool parsed = false;
  if (s.size() == 8 && s.find_first_not_of("0123456789") == std::string::npos)
    parsed = std::sscanf(s.c_str(), "%4d%2d%2d", &y, &m, &d) == 3;
  else if (std::sscanf(s.c_str(), "%d.%d.%d%c", &d, &m, &y, &tail) == 3)
    parsed = true;
  else if (std::sscanf(s.c_str(), "%d-%d-%d%c", &y, &m, &d, &tail) == 3)
    parsed = true;
  if (!parsed || !validDate(y, m, d)) refuse(field, text, "není to datum");
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", y, m, d);
  return buffer;
}

std::string logicalText(std::string_view raw) {
  const std::string_view s = trimmed(raw);
  if (s.empty()) return {};
  switch (s.front()) {
    case 'T': case 't': case 'Y': case 'y': return "TRUE";
    case 'F': case 'f': case 'N': case 'n': return "FALSE";
    default: return {};
  }
}

std::string logicalBytes(const DbfField& field, std::string_view text) {
  const std::string_view s = trimmed(text);
  if (s.empty()) return " ";
  switch (s.front()) {
    case 'T': case 't': case 'Y': case 'y': case 'A': case 'a': case '1': return "T";
    case 'F': case 'f': case 'N': case 'n': case '0': return "F";
    default: refuse(field, text, "není to logická hodnota");
  }
}

}  // namespace

std::optional<double> numberValue(std::string_view text) {
  std::string_view t = trimmed(text);
  std::size_t digits = 0, points = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (isDigit(t[i])) ++digits;
    else if (t[i] == '.') ++points;
    else if (i != 0 || (t[i] != '-' && t[i] != '+')) return std::nullopt;
  }
  if (digits == 0 || points > 1) return std::nullopt;
  if (t.front() == '+') t.remove_prefix(1);
  double value = 0;
  // Read whatever the locale: a '.' is the point.
  if (std::from_chars(t.data(), t.data() + t.size(), value).ec != std::errc()) return std::nullopt;
  return value == 0 ? 0.0 : value;  // no "-0"
}

std::optional<std::string> roundingOf(const DbfField& field, std::string_view text) {
  if (field.type != 'N' && field.type != 'F') return std::nullopt;
  std::string s(trimmed(text));
  std::replace(s.begin(), s.end(), ',', '.');
  if (!numberValue(s)) return std::nullopt;
  const std::string plain = numberText(s);  // without trailing zeros
  const auto point = plain.find('.');
  const std::size_t decimals = point == std::string::npos ? 0 : plain.size() - point - 1;
  if (decimals <= field.decimals) return std::nullopt;
  return field.decimals == 0 ? "není celé číslo" : "má více desetinných míst, než položka pojme";
}

std::optional<std::string> alterationOf(const DbfField& field, std::string_view text, CodePage codePage) {
  switch (field.type) {
    case 'N':
    case 'F':
      return roundingOf(field, text);
    case 'D':
    case 'L':
      return std::nullopt;
    default: {
      std::string_view kept = text;
      while (!kept.empty() && kept.back() == ' ') kept.remove_suffix(1);
      const std::string bytes = fromUtf8(kept, codePage);
      if (bytes.size() > field.width)
        return "text je delší, než položka pojme (šířka " + std::to_string(field.width) + ")";
      if (toUtf8(bytes, codePage) != kept) return std::string("obsahuje znaky, které tabulka neumí uložit");
      return std::nullopt;
    }
  }
}

void requireExactValue(const DbfField& field, std::string_view text, CodePage codePage) {
  if (const std::optional<std::string> why = alterationOf(field, text, codePage)) refuse(field, text, why->c_str());
}

std::optional<std::string> numberFieldBytes(const DbfField& field, double value) {
  if ((field.type != 'N' && field.type != 'F') || !std::isfinite(value)) return std::nullopt;
  std::string bytes = fixedText(value == 0 ? 0.0 : value, static_cast<int>(field.width), static_cast<int>(field.decimals));
  if (bytes.empty() || bytes.size() > field.width) return std::nullopt;
  return bytes;
}

std::string fieldText(const DbfField& field, std::string_view bytes, CodePage codePage) {
  switch (field.type) {
    case 'N':
    case 'F':
      return numberText(bytes);
    case 'D':
      return dateText(bytes);
    case 'L':
      return logicalText(bytes);
    default: {
      std::string_view s = bytes;
      while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
      return toUtf8(s, codePage);
    }
  }
}

std::string fieldBytes(const DbfField& field, std::string_view text, CodePage codePage) {
  std::string bytes;
  switch (field.type) {
    case 'N':
    case 'F':
      return numberBytes(field, text);
    case 'D':
      bytes = dateBytes(field, text);
      break;
    case 'L':
      bytes = logicalBytes(field, text);
      break;
    default: {
      bytes = fromUtf8(text, codePage);
      bytes.resize(field.width, ' ');
      return bytes;
    }
  }
  // A table made elsewhere (or damaged) may give a date or a truth value
  // another width; the row must keep its length all the same.
  if (bytes.size() > field.width) refuse(field, text, "hodnota se do položky nevejde");
  bytes.resize(field.width, ' ');
  return bytes;
}

}  // namespace platform::dbf
