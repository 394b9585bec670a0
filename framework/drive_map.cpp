#include "framework/drive_map.h"

#include <cctype>

namespace framework {

namespace {

std::map<char, std::filesystem::path>& drives() {
  static std::map<char, std::filesystem::path> map;
  return map;
}

char upperLetter(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool isDriveSpec(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

std::string slashes(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

}  // namespace

void SetDriveDirectory(char letter, std::filesystem::path directory) {
  drives()[upperLetter(letter)] = std::move(directory);
}

void RemoveDrive(char letter) { drives().erase(upperLetter(letter)); }

std::map<char, std::filesystem::path> DriveDirectories() { return drives(); }

std::uint32_t LogicalDriveMask() {
  std::uint32_t mask = 0;
  for (const auto& [letter, dir] : drives())
    if (letter >= 'A' && letter <= 'Z') mask |= std::uint32_t{1} << (letter - 'A');
  return mask;
}

TDriveType DriveTypeOf(std::string_view root) {
  if (!isDriveSpec(root)) return TDriveType::DontExists;
  const auto it = drives().find(upperLetter(root[0]));
  std::error_code ec;
  if (it == drives().end() || !std::filesystem::is_directory(it->second, ec))
    return TDriveType::DontExists;
  return TDriveType::HardDisk;
}

std::filesystem::path ResolvePath(std::string_view path) {
  if (!isDriveSpec(path)) return slashes(path);
  const auto it = drives().find(upperLetter(path[0]));
  if (it == drives().end()) return {};
  std::string rest = slashes(path.substr(2));
  while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
  return rest.empty() ? it->second : it->second / rest;
}

}  // namespace framework
