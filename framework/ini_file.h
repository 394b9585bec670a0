#pragma once
// A sectioned settings file of key=value lines in the Windows profile form.
// Every read opens and parses the file anew, so a change on disk is seen by
// the next read; nothing is cached. Sections and keys compare without regard
// to the case of a to z, values are trimmed of blanks (and of one pair of
// enclosing quotes), the first occurrence of a key wins, and a missing file,
// section or key gives the caller's default. A file that begins with a
// byte-order mark is read as UTF-8 or UTF-16 (Notepad's "Unicode"), any
// other line as UTF-8, or as Windows-1250 when it is not valid UTF-8. A
// Ctrl-Z ends the file.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// A settings file that is there and cannot be read; the text names it and
// says why.
class IniFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TRealIniFile {
 public:
  // A file that is there and cannot be read (it cannot be opened or read,
  // or it begins with a zero byte and no byte-order mark: UTF-16 saved
  // without one): a strict file's reads throw IniFileError, another's give
  // their defaults, as for a missing file.
  explicit TRealIniFile(std::string fileName, bool strict = false);

  const std::string& FileName() const { return fileName_; }

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // "0x"/"0X" + hexadecimal, or a decimal integer ('$' hexadecimal accepted);
  // anything that does not convert wholly gives the default.
  std::int32_t ReadInteger(std::string_view section, std::string_view key,
                           std::int32_t defaultValue) const;
  // The integer read with the default's ordinal; true when not 0.
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
  // A decimal point, or failing that one comma in its place ("0,01" is 0.01).
  double ReadFloat(std::string_view section, std::string_view key, double defaultValue) const;

  // Rewrites the file with the key set (section and key appended when missing).
  // False when the file cannot be written, or is there and cannot be read;
  // WriteError() then says why.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);
  // Why the last write failed, as the user reads it; empty after one that
  // went through.
  const std::string& WriteError() const { return writeError_; }

 private:
  std::string fileName_;
  bool strict_ = false;
  std::string writeError_;
};

namespace framework {
// The integer rule of the settings files, shared with the settings readers.
bool ParseIniInteger(std::string_view text, std::int32_t& value);
// The real rule: a decimal point, or failing that one comma in its place.
bool ParseIniFloat(std::string_view text, double& value);
}  // namespace framework
