#include "gisblock/block_info.h"

#include "framework/text_line_reader.h"
#include "platform/path_resolver.h"
#include "platform/regular_file.h"

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>

namespace gisblock {
namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// The value of the first line named `name`, case ignored, as a string list
// looks it up.
std::optional<std::string> valueOf(std::string_view text, std::string_view name) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto eq = line.find('=');
    if (eq != std::string_view::npos && platform::equalsIgnoringAsciiCase(line.substr(0, eq), name))
      return std::string(line.substr(eq + 1));
    start = end + 1;
  }
  return std::nullopt;
}

}  // namespace

platform::CodePage toPlatformCodePage(TCodePage codePage) {
  switch (codePage) {
    case cpLatin2: return platform::CodePage::Latin2;
    case cpKamenickych: return platform::CodePage::Kamenicky;
    case cpWindows: return platform::CodePage::Windows1250;
    case cpIBM: break;
  }
  return platform::CodePage::Ibm437;
}

TCodePage codePageFromInfoValue(std::string_view value) {
  const std::string v(trimmed(value));
  char* end = nullptr;
  const long number = v.empty() ? 0 : std::strtol(v.c_str(), &end, 10);
  switch (end == v.c_str() + v.size() ? number : 0) {
    case 1: return cpKamenickych;
    case 2:
    case 852: return cpLatin2;
    case 1250: return cpWindows;
    default: return cpIBM;
  }
}

BlockInfo parseBlockInfo(std::string_view text) {
  BlockInfo info;
  if (const auto value = valueOf(text, "CODEPAGE")) info.codePage = codePageFromInfoValue(*value);
  if (const auto value = valueOf(text, "OPSANYOBDELNIKBLOKU")) {
    TCtiRadekClass cursor(*value);
    StoredBox box;
    box.minX = cursor.ReadFloat();
    box.minY = cursor.ReadFloat();
    box.maxX = cursor.ReadFloat();
    box.maxY = cursor.ReadFloat();
    // Fewer than four numbers is no rectangle either.
    if (!cursor.AtEnd() && !(box.minX == 0 && box.maxX == 0)) info.rectangle = box;
  }
  return info;
}

BlockInfo readBlockInfo(std::string_view blockDirectory) {
  const std::filesystem::path file = platform::pathResolver().existing(std::string(blockDirectory) + "\\INFO.TXT");
  // Anything but a file in its place counts as no INFO.TXT.
  std::string bytes;
  std::error_code error;
  if (!platform::readRegularFile(file, bytes, error)) return {};
  return parseBlockInfo(bytes);
}

}  // namespace gisblock
