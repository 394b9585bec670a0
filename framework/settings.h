#pragma once
// Readers of the system settings file TERGELIX.INI. Each call opens the file,
// reads one value and closes it again; nothing is cached and nothing is ever
// written. A file that is there and cannot be read throws IniFileError
// (the checked reads below report it as their error): a job must not run
// on the defaults of settings the user did write.
//
// Where the file lives: the Windows directory of the original program is the
// directory named by the environment variable WINDIR. Without WINDIR (or with
// it empty) the directory is $HOME/.config/zeltoexport, and "." when HOME is
// unset as well. The file name is matched without regard to letter case when
// the exact name does not exist in that directory.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// What a numeric setting may hold: a number from Min to Max, a whole one
// (in the integer rule of ReadIniInteger) when Whole, else a real (in the
// rule of ReadIniFloat). Kinds index the control files and tables, colours
// are Gelix colours (negative ones hold an RGB value), symbols index the
// symbol libraries, flags are 0 (off) or any other whole number (on).
struct SettingRange {
  double Min;
  double Max;
  bool Whole = true;
};
inline constexpr SettingRange kKindSettingRange{1, 32767};
inline constexpr SettingRange kColourSettingRange{-32768, 32767};
inline constexpr SettingRange kSymbolSettingRange{0, 32767};
inline constexpr SettingRange kFlagSettingRange{-2147483648.0, 2147483647.0};

// The value of a numeric key: the default when the key is missing or
// empty; nullopt when its text is no number of the kind asked or lies out
// of the range, with `error` naming the section, the key, the text and what
// the key may hold, or naming the file when it cannot be read. Every job
// checks its numeric keys through this before it changes anything, so that
// a wrong value never falls back silently.
std::optional<double> CheckedSetting(std::string_view section, std::string_view key, double defaultValue,
                                     SettingRange range, std::string& error);

// The numeric keys one job reads, each through CheckedSetting; what is
// wrong with any of them is gathered, so that one message names every
// wrong key before the job changes anything.
class SettingsCheck {
 public:
  // The key's value; its default while the key is wrong.
  double Read(std::string_view section, std::string_view key, double defaultValue, SettingRange range);
  // What is wrong with keys that are each right alone (two that must
  // differ), gathered with the rest.
  void Fail(std::string error) { errors_.push_back(std::move(error)); }
  bool Ok() const { return errors_.empty(); }
  // One line per wrong key.
  std::string Errors() const;

 private:
  std::vector<std::string> errors_;
};

namespace framework {
// The full path of TERGELIX.INI, built anew on every call.
std::string SettingsFilePath();
// The program's own settings file (the print set-up's switches): the
// program's name with ".INI", kept with the user's settings beside
// TERGELIX.INI, where a user may write; the directory of an installed
// program is not.
std::string ProgramSettingsFilePath();
}  // namespace framework
