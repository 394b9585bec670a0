#include "framework/settings.h"

#include "framework/file_version.h"
#include "framework/ini_file.h"
#include "platform/directory_entries.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

constexpr const char* kSettingsFileName = "TERGELIX.INI";

std::string upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// Strict: a file that cannot be read must not pass for one without keys.
TRealIniFile settingsFile() { return TRealIniFile(framework::SettingsFilePath(), true); }

}  // namespace

std::string GetWindowsDirectoryText() {
  if (const char* windir = std::getenv("WINDIR"); windir && *windir) {
    std::string dir = windir;
    while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
    return dir;
  }
  if (const char* home = std::getenv("HOME"); home && *home)
    return std::string(home) + "/.config/zeltoexport";
  return ".";
}

std::string framework::SettingsFilePath() {
  namespace fs = std::filesystem;
  const fs::path dir = GetWindowsDirectoryText();
  const fs::path exact = dir / kSettingsFileName;
  std::error_code ec;
  if (fs::exists(exact, ec)) return exact.string();
  // Files copied from Windows keep whatever case they were given there.
  for (const std::string& name : platform::directoryEntries(dir, ec))
    if (upper(name) == kSettingsFileName) return (dir / name).string();
  return exact.string();
}

std::string ReadIniString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) {
  return settingsFile().ReadString(section, key, defaultValue);
}

std::int32_t ReadIniInteger(std::string_view section, std::string_view key,
                            std::int32_t defaultValue) {
  return settingsFile().ReadInteger(section, key, defaultValue);
}

double ReadIniFloat(std::string_view section, std::string_view key, double defaultValue) {
  return settingsFile().ReadFloat(section, key, defaultValue);
}

bool ReadIniBool(std::string_view section, std::string_view key, bool defaultValue) {
  return settingsFile().ReadBool(section, key, defaultValue);
}

std::int32_t ReadExportIniInteger(std::string_view key, std::int32_t defaultValue) {
  return ReadIniInteger("EXPORT", key, defaultValue);
}

namespace {

// A bound as the user would write it: "10000", "0.01", never "10000.000000".
std::string BoundText(double value) {
  std::string text = std::to_string(value);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return text;
}

}  // namespace

std::optional<double> CheckedSetting(std::string_view section, std::string_view key, double defaultValue,
                                     SettingRange range, std::string& error) {
  std::string text;
  try {
    text = ReadIniString(section, key, "");
  } catch (const IniFileError& e) {
    error = e.what();
    return std::nullopt;
  }
  if (text.empty()) return defaultValue;
  double value = 0;
  bool number = false;
  if (range.Whole) {
    std::int32_t whole = 0;
    number = framework::ParseIniInteger(text, whole);
    value = whole;
  } else {
    number = framework::ParseIniFloat(text, value) && std::isfinite(value);
  }
  if (number && value >= range.Min && value <= range.Max) return value;
  error = "Chybná hodnota " + std::string(key) + " = \"" + text + "\" v sekci " + std::string(section) + " souboru " +
          kSettingsFileName + ": " + (range.Whole ? "celé číslo" : "číslo") + " od " + BoundText(range.Min) +
          " do " + BoundText(range.Max);
  return std::nullopt;
}

double SettingsCheck::Read(std::string_view section, std::string_view key, double defaultValue, SettingRange range) {
  std::string error;
  const std::optional<double> value = CheckedSetting(section, key, defaultValue, range, error);
  if (value) return *value;
  // A file that cannot be read is named once, not once per key.
  if (std::find(errors_.begin(), errors_.end(), error) == errors_.end()) errors_.push_back(error);
  return defaultValue;
}

std::string SettingsCheck::Errors() const {
  std::string text;
  for (const std::string& error : errors_) text += (text.empty() ? "" : "\n") + error;
  return text;
}

std::string framework::ProgramSettingsFilePath() {
  namespace fs = std::filesystem;
  return (fs::path(GetWindowsDirectoryText()) / fs::path(ProgramFile()).filename().replace_extension(".INI")).string();
}
