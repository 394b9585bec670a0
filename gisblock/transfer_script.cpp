#include "gisblock/transfer_script.h"

#include "framework/editor_text.h"
#include "framework/text_line_reader.h"
#include "platform/codepage.h"
#include "platform/path_resolver.h"
#include "platform/regular_file.h"

#include <algorithm>
#include <filesystem>
#include <iterator>

namespace gisblock {
namespace {

constexpr std::size_t kMaxName = 255;

std::string trimmedUpper(std::string s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return platform::upperUtf8(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

}  // namespace

std::vector<TransferPair> TransferScript::parse(std::string_view bytes) {
  std::vector<TransferPair> pairs;
  const std::vector<std::string> lines = framework::TextLines(bytes, platform::CodePage::Windows1250);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string line = lines[i];
    // Windows editors leave tabs between and after the names.
    std::replace(line.begin(), line.end(), '\t', ' ');
    TCtiRadekClass cursor(line);
    cursor.SkipBlanks();
    std::string source, target;
    cursor.ReadUntilChar(' ', source);
    cursor.ReadChars(static_cast<std::int32_t>(kMaxName), target);
    source = trimmedUpper(source);
    target = trimmedUpper(target);
    if (source.size() > 1 + kMaxName && source[0] == '*') source.resize(1 + kMaxName);
    if (!source.empty() && !target.empty())
      pairs.push_back({std::move(source), std::move(target), static_cast<int>(i + 1)});
  }
  return pairs;
}

bool TransferScript::load(std::string_view fileName) {
  const std::filesystem::path file = platform::pathResolver().existing(fileName);
  std::string bytes;
  if (!platform::readRegularFile(file, bytes, loadError_)) return false;
  pairs_ = parse(bytes);
  fileName_ = std::string(fileName);
  return true;
}

std::string TransferScript::GetSourceName(int i) const {
  return i >= 0 && i < Count() ? pairs_[static_cast<std::size_t>(i)].source : std::string();
}

std::string TransferScript::GetTargetName(int i) const {
  return i >= 0 && i < Count() ? pairs_[static_cast<std::size_t>(i)].target : std::string();
}

}  // namespace gisblock
