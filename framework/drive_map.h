#pragma once
// Drive letters of the Windows program mapped onto directories of this
// machine (the platform's path resolver keeps the map), and Windows-style
// paths resolved through it. A letter that is not mapped names no drive.
#include <cstdint>
#include <filesystem>
#include <map>
#include <string_view>

namespace framework {

// Types of a logical drive, numbered as the drive elements publish them.
enum class TDriveType : std::uint8_t {
  Unknown = 0,
  DontExists = 1,
  Floppy = 2,
  HardDisk = 3,
  Network = 4,
  CDROM = 5,
  RAM = 6,
};

void SetDriveDirectory(char letter, std::filesystem::path directory);
void RemoveDrive(char letter);
std::map<char, std::filesystem::path> DriveDirectories();

// Bit 0 for drive A and upward: the letters that are mapped.
std::uint32_t LogicalDriveMask();
// A mapped drive whose directory exists is a hard disk; anything else does
// not exist. `root` is a drive root such as "C:\".
TDriveType DriveTypeOf(std::string_view root);

// The existing file or directory the path names (letter case of the
// components ignored); a drive that is not mapped gives an empty path.
std::filesystem::path ResolvePath(std::string_view path);

}  // namespace framework
