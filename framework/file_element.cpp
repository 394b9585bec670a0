#include "framework/file_element.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "framework/drive_map.h"
#include "framework/ini_file.h"
#include "framework/name_compare.h"

namespace fs = std::filesystem;

ZELTO_IMPLEMENT_ELEMENT(TFileElement, TOwnerEntity, [](auto& p) {
  using E = TFileElement;
  p.Boolean("Exists", &E::GetExists);
  p.String("FileName", &E::GetFileName, &E::SetFileName);
  p.String("FilePath", &E::GetFilePath);
  p.String("FileExt", &E::GetFileExt, &E::SetFileExt);
  p.Integer("FileSize", &E::GetFileSize);
  p.Float("FileTime", &E::GetFileTime, &E::SetFileTime);
  p.String("FileTimeString", &E::GetFileTimeString, &E::SetFileTimeString);
  p.Integer("Attributes", &E::GetAttributes, [](E& e, std::int64_t v) {
    e.SetAttributes(static_cast<std::uint8_t>(v & 0xFF));
  });
  const auto flag = [&p](const char* name, std::uint8_t bit, bool writable) {
    if (writable)
      p.Boolean(name, [bit](E& e) { return e.AttrBit(bit); }, [bit](E& e, bool on) { e.SetAttrFlag(bit, on); });
    else
      p.Boolean(name, [bit](E& e) { return e.AttrBit(bit); });
  };
  flag("AttrReadOnly", framework::faReadOnly, true);
  flag("AttrHidden", framework::faHidden, true);
  flag("AttrSysFile", framework::faSysFile, true);
  flag("AttrVolumeID", framework::faVolumeID, false);
  flag("AttrDirectory", framework::faDirectory, false);
  flag("AttrArchive", framework::faArchive, true);
  p.Boolean("ReadInfo", nullptr, &E::SetReadInfo);
})

ZELTO_IMPLEMENT_ELEMENT(TTextFileElement, TFileElement, ZELTO_NO_PROPERTIES)

ZELTO_IMPLEMENT_ELEMENT(TPascalUnitElement, TFileElement, [](auto& p) {
  using E = TPascalUnitElement;
  const auto text = [&p](const char* key, bool stored) {
    std::string k = key;
    p.String(key, [k](E& e) { return e.ReadDescription(k); }, [](E&, const std::string&) {}).Stored(stored);
  };
  text("Description", false);
  text("Version", true);
  text("Admin", false);
  text("TechTopic", false);
  text("Topic", false);
})

ZELTO_IMPLEMENT_ELEMENT(TPascalUnits, TOwnerEntity, [](auto& p) {
  using E = TPascalUnits;
  p.Object("Admins", TOwnerEntity::StaticClass(), [](E& e) { return e.Group("Admins"); });
  p.Object("TechTopics", TOwnerEntity::StaticClass(), [](E& e) { return e.Group("Tech topics"); });
  p.Object("Topics", TOwnerEntity::StaticClass(), [](E& e) { return e.Group("Topics"); });
  p.Object("Units", TOwnerEntity::StaticClass(), [](E& e) { return e.Group("Units"); });
  p.Object("NextUnit", TFileElement::StaticClass(), nullptr, [](E&, TElement*) {});
})

namespace framework {

std::size_t LastSeparator(const std::string& fullName) {
  const std::size_t back = fullName.rfind('\\');
  const std::size_t slash = fullName.rfind('/');
  if (back == std::string::npos) return slash;
  if (slash == std::string::npos) return back;
  return std::max(back, slash);
}

std::string JoinFileName(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  const char last = directory.back();
  if (last == '\\' || last == '/') return directory + name;
  const bool windows = directory.find('\\') != std::string::npos ||
                       (directory.size() >= 2 && directory[1] == ':');
  return directory + (windows ? '\\' : '/') + name;
}

}  // namespace framework

namespace {

// Days from 1 January 1970 of a civil date (proleptic Gregorian).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

const std::int64_t kDelphiEpoch = daysFromCivil(1899, 12, 30);

struct Stamp {
  int year = 1980;
  unsigned month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

Stamp unpack(std::int32_t packed) {
  const auto p = static_cast<std::uint32_t>(packed);
  return {static_cast<int>(p >> 25) + 1980, (p >> 21) & 0x0F, (p >> 16) & 0x1F,
          (p >> 11) & 0x1F, (p >> 5) & 0x3F, (p & 0x1F) * 2};
}

std::int32_t pack(const Stamp& s) {
  if (s.year < 1980) return (1 << 21) | (1 << 16);
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(s.year - 1980) << 25) | (s.month << 21) |
                                   (s.day << 16) | (s.hour << 11) | (s.minute << 5) | (s.second / 2));
}

double toDateTime(const Stamp& s) {
  const double days = static_cast<double>(daysFromCivil(s.year, s.month, s.day) - kDelphiEpoch);
  return days + (s.hour * 3600.0 + s.minute * 60.0 + s.second) / 86400.0;
}

Stamp fromDateTime(double dateTime) {
  Stamp s;
  const double whole = std::floor(dateTime);
  civilFromDays(static_cast<std::int64_t>(whole) + kDelphiEpoch, s.year, s.month, s.day);
  const auto seconds = std::min(static_cast<unsigned>(std::lround((dateTime - whole) * 86400.0)), 86399u);
  s.hour = seconds / 3600;
  s.minute = seconds / 60 % 60;
  s.second = seconds % 60;
  return s;
}

std::time_t toTimeT(const Stamp& s) {
  std::tm t{};
  t.tm_year = s.year - 1900;
  t.tm_mon = static_cast<int>(s.month) - 1;
  t.tm_mday = static_cast<int>(s.day);
  t.tm_hour = static_cast<int>(s.hour);
  t.tm_min = static_cast<int>(s.minute);
  t.tm_sec = static_cast<int>(s.second);
  t.tm_isdst = -1;
  return std::mktime(&t);
}

}  // namespace

std::string TFileElement::GetName() const {
  if (fileName_.empty()) return TOwnerEntity::GetName();
  const std::size_t at = framework::LastSeparator(fileName_);
  return at == std::string::npos ? fileName_ : fileName_.substr(at + 1);
}

void TFileElement::SetName(const std::string& name) {
  const std::string newName = framework::JoinFileName(GetFilePath(), name);
  const fs::path from = framework::ResolvePath(fileName_);
  if (fileName_.empty() || from.empty()) return;
  const fs::path to = from.parent_path() / name;
  std::error_code ec;
  // Renaming onto an existing file would replace it: refused, as on Windows.
  if (fs::exists(fs::symlink_status(to, ec))) return;
  fs::rename(from, to, ec);
  if (ec) return;
  record_.Name = name;
  SetFileName(newName);
}

void TFileElement::SetFileName(const std::string& name) { fileName_ = name; }

bool TFileElement::GetExists() const {
  const fs::path path = framework::ResolvePath(fileName_);
  std::error_code ec;
  return !fileName_.empty() && !path.empty() && fs::exists(path, ec);
}

std::string TFileElement::GetFilePath() const {
  const std::size_t at = framework::LastSeparator(fileName_);
  return at == std::string::npos ? std::string() : fileName_.substr(0, at + 1);
}

std::string TFileElement::GetFileExt() const {
  const std::string name = GetName();
  const std::size_t dot = fileName_.empty() ? std::string::npos : name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

void TFileElement::SetFileExt(const std::string& ext) {
  if (fileName_.empty()) return;
  std::string base = fileName_;
  const std::size_t sep = framework::LastSeparator(base);
  const std::size_t dot = base.rfind('.');
  if (dot != std::string::npos && (sep == std::string::npos || dot > sep)) base.erase(dot);
  fileName_ = base + (ext.empty() || ext[0] == '.' ? ext : "." + ext);
}

std::int32_t TFileElement::GetFileSize() const {
  return record_.Size > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(record_.Size);
}

double TFileElement::GetFileTime() const { return toDateTime(unpack(record_.Time)); }

void TFileElement::SetFileTime(double dateTime) {
  const Stamp s = fromDateTime(dateTime);
  record_.Time = pack(s);
  const fs::path path = framework::ResolvePath(fileName_);
  if (!path.empty()) framework::WriteFileTime(path, toTimeT(s));
}

std::string TFileElement::GetFileTimeString() const {
  const Stamp s = unpack(record_.Time);
  char text[40];
  std::snprintf(text, sizeof text, "%u.%u.%d %u:%02u:%02u", s.day, s.month, s.year, s.hour, s.minute, s.second);
  return text;
}

void TFileElement::SetFileTimeString(const std::string& text) {
  Stamp s;
  int consumed = 0;
  const int fields = std::sscanf(text.c_str(), "%u.%u.%d %u:%u:%u%n", &s.day, &s.month, &s.year, &s.hour,
                                 &s.minute, &s.second, &consumed);
  if (fields < 5) {
    s.second = 0;
    if (std::sscanf(text.c_str(), "%u.%u.%d %u:%u%n", &s.day, &s.month, &s.year, &s.hour, &s.minute,
                    &consumed) != 5)
      return;
  }
  const bool valid = s.month >= 1 && s.month <= 12 && s.day >= 1 && s.day <= 31 && s.hour < 24 &&
                     s.minute < 60 && s.second < 60 && s.year >= 1 && s.year <= 9999;
  if (!valid) return;
  int y;
  unsigned m, d;
  civilFromDays(daysFromCivil(s.year, s.month, s.day), y, m, d);
  if (d != s.day || m != s.month) return;  // 31 February and the like
  SetFileTime(toDateTime(s));
}

void TFileElement::SetAttributes(std::uint8_t attr) {
  record_.Attr = attr;
  const fs::path path = framework::ResolvePath(fileName_);
  if (!path.empty()) framework::WriteAttributes(path, attr);
}

void TFileElement::SetAttrFlag(std::uint8_t bit, bool on) {
  SetAttributes(on ? static_cast<std::uint8_t>(record_.Attr | bit) : static_cast<std::uint8_t>(record_.Attr & ~bit));
}

void TFileElement::SetReadInfo(bool read) {
  if (!read) return;
  const fs::path path = framework::ResolvePath(fileName_);
  if (path.empty()) return;
  if (auto record = framework::ReadSearchRecord(path)) record_ = *record;
}

std::string TPascalUnitElement::ReadDescription(const std::string& key) const {
  const fs::path path = framework::ResolvePath(fileName_);
  if (path.empty()) return {};
  return TRealIniFile(path.string()).ReadString("Unit_Description", key, "");
}

TOwnerEntity* TPascalUnits::Group(const std::string& name) {
  return dynamic_cast<TOwnerEntity*>(FindOrAddByName(TOwnerEntity::StaticClass(), name));
}
