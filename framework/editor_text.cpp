#include "framework/editor_text.h"

namespace framework {
namespace {
constexpr char kEndOfFile = '\x1A';
}  // namespace

std::optional<std::string> DecodeMarkedText(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return std::string(bytes.substr(3));
  if (bytes.starts_with("\xFF\xFE")) return platform::fromUtf16(bytes.substr(2), false);
  if (bytes.starts_with("\xFE\xFF")) return platform::fromUtf16(bytes.substr(2), true);
  return std::nullopt;
}

std::vector<std::string> TextLines(std::string_view text) {
  text = text.substr(0, text.find(kEndOfFile));
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> TextLines(std::string_view bytes, platform::CodePage unmarked) {
  const std::optional<std::string> marked = DecodeMarkedText(bytes);
  return TextLines(marked ? *marked : platform::toUtf8(bytes, unmarked));
}

}  // namespace framework
