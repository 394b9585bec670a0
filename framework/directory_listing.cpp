#include "framework/directory_listing.h"

#include "platform/directory_entries.h"

#include <algorithm>
#include <sys/stat.h>
#include <utime.h>

namespace framework {

namespace fs = std::filesystem;

std::int32_t PackDateTime(std::time_t time) {
  std::tm t{};
  localtime_r(&time, &t);
  if (t.tm_year < 80) return (1 << 21) | (1 << 16);
  const std::uint32_t packed = (static_cast<std::uint32_t>(t.tm_year - 80) << 25) |
                               (static_cast<std::uint32_t>(t.tm_mon + 1) << 21) |
                               (static_cast<std::uint32_t>(t.tm_mday) << 16) |
                               (static_cast<std::uint32_t>(t.tm_hour) << 11) |
                               (static_cast<std::uint32_t>(t.tm_min) << 5) |
                               static_cast<std::uint32_t>(t.tm_sec / 2);
  return static_cast<std::int32_t>(packed);
}

std::time_t UnpackDateTime(std::int32_t packed) {
  const auto p = static_cast<std::uint32_t>(packed);
  std::tm t{};
  t.tm_year = static_cast<int>(p >> 25) + 80;
  t.tm_mon = static_cast<int>((p >> 21) & 0x0F) - 1;
  t.tm_mday = static_cast<int>((p >> 16) & 0x1F);
  t.tm_hour = static_cast<int>((p >> 11) & 0x1F);
  t.tm_min = static_cast<int>((p >> 5) & 0x3F);
  t.tm_sec = static_cast<int>(p & 0x1F) * 2;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

std::optional<SearchRecord> ReadSearchRecord(const fs::path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
  SearchRecord r;
  r.Name = path.filename().string();
  r.Size = static_cast<std::int64_t>(st.st_size);
  r.Time = PackDateTime(st.st_mtime);
  if (S_ISDIR(st.st_mode)) r.Attr |= faDirectory;
  else r.Attr |= faArchive;
  if ((st.st_mode & S_IWUSR) == 0 && !S_ISLNK(st.st_mode)) r.Attr |= faReadOnly;
  if (!r.Name.empty() && r.Name[0] == '.') r.Attr |= faHidden;
  if (r.Attr & faDirectory) r.Size = 0;
  return r;
}

std::vector<SearchRecord> ListDirectory(const fs::path& directory, bool dirOnly) {
  std::vector<SearchRecord> entries;
  std::error_code ec;
  for (const std::string& name : platform::directoryEntries(directory, ec)) {
    auto record = ReadSearchRecord(directory / name);
    if (!record) continue;
    if (dirOnly && !(record->Attr & faDirectory)) continue;
    entries.push_back(std::move(*record));
  }
  std::sort(entries.begin(), entries.end(),
            [](const SearchRecord& a, const SearchRecord& b) { return a.Name < b.Name; });
  return entries;
}

bool WriteAttributes(const fs::path& path, std::uint8_t attr) {
  std::error_code ec;
  const auto write = fs::perms::owner_write;
  fs::permissions(path, write, (attr & faReadOnly) ? fs::perm_options::remove : fs::perm_options::add,
                  ec);
  return !ec;
}

bool WriteFileTime(const fs::path& path, std::time_t time) {
  struct utimbuf times {};
  times.actime = time;
  times.modtime = time;
  return ::utime(path.c_str(), &times) == 0;
}

}  // namespace framework
