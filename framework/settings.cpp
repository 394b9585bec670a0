#include "framework/settings.h"

#include "framework/ini_file.h"
#include "platform/user_interaction.h"

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

TRealIniFile settingsFile() { return TRealIniFile(framework::SettingsFilePath()); }

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
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (upper(it->path().filename().string()) == kSettingsFileName) return it->path().string();
  }
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

bool CheckSettingRange(std::string_view key, std::int32_t value, SettingRange range) {
  if (value >= range.Min && value <= range.Max) return true;
  platform::showError("Hodnota " + std::string(key) + " = " + std::to_string(value) + " v " + kSettingsFileName +
                      " je mimo rozsah " + std::to_string(range.Min) + ".." + std::to_string(range.Max));
  return false;
}
