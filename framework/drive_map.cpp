#include "framework/drive_map.h"

#include <cctype>

#include "platform/path_resolver.h"

namespace framework {

namespace {

bool hasDriveLetter(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

}  // namespace

void SetDriveDirectory(char letter, std::filesystem::path directory) {
  platform::pathResolver().setDrive(letter, std::move(directory));
}

void RemoveDrive(char letter) { platform::pathResolver().removeDrive(letter); }

std::map<char, std::filesystem::path> DriveDirectories() { return platform::pathResolver().drives(); }

std::uint32_t LogicalDriveMask() {
  std::uint32_t mask = 0;
  for (const auto& [letter, dir] : DriveDirectories()) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (upper >= 'A' && upper <= 'Z') mask |= std::uint32_t{1} << (upper - 'A');
  }
  return mask;
}

TDriveType DriveTypeOf(std::string_view root) {
  if (!hasDriveLetter(root)) return TDriveType::DontExists;
  const std::filesystem::path dir = platform::pathResolver().mapped(root.substr(0, 2));
  std::error_code ec;
  if (dir.empty() || !std::filesystem::is_directory(dir, ec)) return TDriveType::DontExists;
  return TDriveType::HardDisk;
}

std::filesystem::path ResolvePath(std::string_view path) { return platform::pathResolver().existing(path); }

}  // namespace framework
