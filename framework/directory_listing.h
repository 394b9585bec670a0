#pragma once
// Directory entries as the file elements keep them: the search record of a
// file (packed date-time, size, attribute byte, name), and the listing of one
// directory. Symbolic links to directories are listed as files and never
// descended into, so a listing cannot loop or escape the tree it was given.
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace framework {

// The attribute bits of a search record.
enum FileAttribute : std::uint8_t {
  faReadOnly = 0x01,
  faHidden = 0x02,
  faSysFile = 0x04,
  faVolumeID = 0x08,
  faDirectory = 0x10,
  faArchive = 0x20,
};

struct SearchRecord {
  std::int32_t Time = 0;  // packed date-time, see PackDateTime
  std::int64_t Size = 0;
  std::uint8_t Attr = 0;
  std::string Name;
};

// The packed date-time of the file system: year-1980 in bits 25-31, month
// 21-24, day 16-20, hour 11-15, minute 5-10, seconds/2 0-4 (local time).
// Times before 1980 pack as 1 January 1980.
std::int32_t PackDateTime(std::time_t time);
std::time_t UnpackDateTime(std::int32_t packed);

// The record of one path (the link itself for a symbolic link); nothing when
// the path does not exist.
std::optional<SearchRecord> ReadSearchRecord(const std::filesystem::path& path);

// The entries of a directory other than "." and "..", sorted by name; only
// the sub-directories when dirOnly is set. Empty when it cannot be read.
std::vector<SearchRecord> ListDirectory(const std::filesystem::path& directory, bool dirOnly);

// Writes the attribute byte to the file: only read-only maps to the Linux
// permissions (the owner's write bit); the other bits have no counterpart.
bool WriteAttributes(const std::filesystem::path& path, std::uint8_t attr);
// Sets the modification time of the file.
bool WriteFileTime(const std::filesystem::path& path, std::time_t time);

}  // namespace framework
