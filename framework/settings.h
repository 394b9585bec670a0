#pragma once
// Readers of the system settings file TERGELIX.INI. Each call opens the file,
// reads one value and closes it again; nothing is cached and nothing is ever
// written.
//
// Where the file lives: the Windows directory of the original program is the
// directory named by the environment variable WINDIR. Without WINDIR (or with
// it empty) the directory is $HOME/.config/zeltoexport, and "." when HOME is
// unset as well. The file name is matched without regard to letter case when
// the exact name does not exist in that directory.
#include <cstdint>
#include <string>
#include <string_view>

// The Windows directory as text, without a trailing separator.
std::string GetWindowsDirectoryText();

std::string ReadIniString(std::string_view section, std::string_view key,
                          std::string_view defaultValue);
std::int32_t ReadIniInteger(std::string_view section, std::string_view key,
                            std::int32_t defaultValue);
double ReadIniFloat(std::string_view section, std::string_view key, double defaultValue);
bool ReadIniBool(std::string_view section, std::string_view key, bool defaultValue);
// ReadIniInteger of section "EXPORT".
std::int32_t ReadExportIniInteger(std::string_view key, std::int32_t defaultValue);

// The values a numeric setting may take: kinds index the control files and
// tables, colours are Gelix colours (negative ones hold an RGB value),
// symbols index the symbol libraries.
struct SettingRange {
  std::int32_t Min;
  std::int32_t Max;
};
inline constexpr SettingRange kKindSettingRange{1, 32767};
inline constexpr SettingRange kColourSettingRange{-32768, 32767};
inline constexpr SettingRange kSymbolSettingRange{0, 32767};
// Whether the value lies in the range; if not, an error box names the key,
// the value and the allowed range.
bool CheckSettingRange(std::string_view key, std::int32_t value, SettingRange range);

namespace framework {
// The full path of TERGELIX.INI, built anew on every call.
std::string SettingsFilePath();
}  // namespace framework
