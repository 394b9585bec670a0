#include "framework/ini_file.h"

#include "framework/editor_text.h"
#include "framework/string_utils.h"
#include "platform/codepage.h"
#include "platform/regular_file.h"
#include "platform/system_cause.h"
#include "platform/whole_file.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

namespace framework {

namespace {

// The profile reader's value buffer holds 2048 characters with the NUL.
constexpr std::size_t kMaxValueLength = 2047;

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

std::string trimSpace(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t' || text[e - 1] == '\r')) --e;
  return std::string(text.substr(b, e - b));
}

// The lines of the file, or why a file that is there cannot be read; no
// lines when it is missing. The file is read whole before it is taken
// apart: a failed allocation fails the read instead of ending it early,
// as a stream's line reads would, with the rest of the keys missing.
struct IniLines {
  std::vector<std::string> lines;
  std::string problem;
};

IniLines readLines(const std::string& fileName) {
  IniLines read;
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(fileName, ec);
  if (status.type() == std::filesystem::file_type::not_found) return read;
  if (ec) {
    read.problem = platform::systemCause(ec);
    return read;
  }
  if (std::filesystem::is_directory(status)) {
    read.problem = "je to adresář";
    return read;
  }
  // A named pipe, which would be waited on for ever, is refused as what it
  // is.
  std::string bytes;
  if (!platform::readRegularFile(fileName, bytes, ec)) {
    read.problem = platform::systemCause(ec);
    return read;
  }
  std::optional<std::string> text = DecodeMarkedText(bytes);
  // UTF-16 saved without its mark begins with a zero byte before or after
  // the first character; read by a code page it would be a file without
  // keys. A zero byte further on is damage, which spoils its line only.
  if (!text && bytes.size() >= 2 && (bytes[0] == '\0' || bytes[1] == '\0')) {
    read.problem = "začíná nulovým bajtem, není uložen jako text ANSI, UTF-8 ani Unicode se značkou pořadí bajtů";
    return read;
  }
  read.lines = TextLines(text ? *text : bytes);
  // Settings files written on Windows hold their texts in its code page.
  if (!text)
    for (std::string& line : read.lines)
      if (!IsValidUtf8(line)) line = platform::toUtf8(line, platform::CodePage::Windows1250);
  return read;
}

// "[name]" gives the trimmed name.
std::optional<std::string> sectionName(std::string_view line) {
  const std::string t = trimSpace(line);
  if (t.size() < 2 || t.front() != '[') return std::nullopt;
  const std::size_t close = t.find(']');
  if (close == std::string::npos) return std::nullopt;
  return trimSpace(std::string_view(t).substr(1, close - 1));
}

struct KeyLine {
  std::string key;
  std::string value;
};

std::optional<KeyLine> keyLine(std::string_view line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  KeyLine k{trimSpace(line.substr(0, eq)), trimSpace(line.substr(eq + 1))};
  if (k.key.empty() || k.key[0] == ';') return std::nullopt;
  if (k.value.size() >= 2 && (k.value.front() == '"' || k.value.front() == '\'') &&
      k.value.back() == k.value.front())
    k.value = k.value.substr(1, k.value.size() - 2);
  return k;
}

std::optional<std::string> lookup(const std::vector<std::string>& lines, std::string_view section,
                                  std::string_view key) {
  bool inSection = false;
  for (const auto& line : lines) {
    if (auto name = sectionName(line)) {
      inSection = equalsIgnoringCase(*name, section);
      continue;
    }
    if (!inSection) continue;
    if (auto k = keyLine(line); k && equalsIgnoringCase(k->key, key)) {
      if (k->value.size() > kMaxValueLength) k->value.resize(kMaxValueLength);
      return k->value;
    }
  }
  return std::nullopt;
}

}  // namespace

bool ParseIniInteger(std::string_view text, std::int32_t& value) {
  int base = 10;
  std::size_t i = 0;
  bool negative = false;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    i = 2;
  } else {
    while (i < text.size() && text[i] == ' ') ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i < text.size() && text[i] == '$') base = 16, ++i;
  }
  if (i >= text.size()) return false;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0) return false;
    magnitude = magnitude * base + d;
    // Hexadecimal texts cover the whole 32-bit pattern, as the platform's did.
    const std::int64_t limit = base == 16 ? 0xFFFFFFFFLL : (negative ? 1LL << 31 : (1LL << 31) - 1);
    if (magnitude > limit) return false;
  }
  const std::int64_t v = negative ? -magnitude : magnitude;
  value = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
  return true;
}

bool ParseIniFloat(std::string_view text, double& value) {
  std::size_t stop = 0;
  if (auto parsed = ParseFixedPointPrefix(text, stop); parsed && stop == text.size()) {
    value = *parsed;
    return true;
  }
  if (stop >= text.size() || text[stop] != ',') return false;
  std::string retried(text);
  retried[stop] = '.';
  const auto parsed = ParseFixedPoint(retried);
  if (parsed) value = *parsed;
  return parsed.has_value();
}

}  // namespace framework

TRealIniFile::TRealIniFile(std::string fileName, bool strict) : fileName_(std::move(fileName)), strict_(strict) {}

std::string TRealIniFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) const {
  const framework::IniLines read = framework::readLines(fileName_);
  if (!read.problem.empty() && strict_) throw IniFileError("Soubor " + fileName_ + " nelze číst: " + read.problem);
  if (auto v = framework::lookup(read.lines, section, key)) return *v;
  return std::string(defaultValue);
}

std::int32_t TRealIniFile::ReadInteger(std::string_view section, std::string_view key,
                                       std::int32_t defaultValue) const {
  std::int32_t value = 0;
  const std::string text = ReadString(section, key, "");
  return framework::ParseIniInteger(text, value) ? value : defaultValue;
}

bool TRealIniFile::ReadBool(std::string_view section, std::string_view key,
                            bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

double TRealIniFile::ReadFloat(std::string_view section, std::string_view key,
                               double defaultValue) const {
  double value = 0;
  return framework::ParseIniFloat(ReadString(section, key, ""), value) ? value : defaultValue;
}

bool TRealIniFile::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
  writeError_.clear();
  framework::IniLines read = framework::readLines(fileName_);
  // What cannot be read would be lost by writing it again.
  if (!read.problem.empty()) {
    writeError_ = "soubor nelze číst: " + read.problem;
    return false;
  }
  std::vector<std::string>& lines = read.lines;
  const std::string newLine = std::string(key) + "=" + std::string(value);
  bool inSection = false;
  std::optional<std::size_t> sectionEnd;  // index after the section's last non-empty line
  bool written = false;
  for (std::size_t i = 0; i < lines.size() && !written; ++i) {
    if (auto name = framework::sectionName(lines[i])) {
      if (inSection) break;
      inSection = framework::equalsIgnoringCase(*name, section);
      if (inSection) sectionEnd = i + 1;
      continue;
    }
    if (!inSection) continue;
    if (!framework::trimSpace(lines[i]).empty()) sectionEnd = i + 1;
    if (auto k = framework::keyLine(lines[i]); k && framework::equalsIgnoringCase(k->key, key)) {
      // The key keeps the spelling it already has in the file.
      lines[i] = k->key + "=" + std::string(value);
      written = true;
    }
  }
  if (!written) {
    if (sectionEnd) {
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*sectionEnd), newLine);
    } else {
      if (!lines.empty() && !lines.back().empty()) lines.emplace_back();
      lines.push_back("[" + std::string(section) + "]");
      lines.push_back(newLine);
    }
  }
  // Built as a string: a stream's insertions would end at a failed
  // allocation and leave the file cut short.
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  std::error_code error;
  if (platform::replaceFileWhole(fileName_, text, error)) return true;
  writeError_ = platform::systemCause(error);
  return false;
}

bool TRealIniFile::WriteInteger(std::string_view section, std::string_view key,
                                std::int32_t value) {
  return WriteString(section, key, std::to_string(value));
}

bool TRealIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}
