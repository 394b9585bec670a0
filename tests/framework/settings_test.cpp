#include "framework/file_version.h"
#include "framework/ini_file.h"
#include "framework/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "files.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

// A private Windows directory for one test, restoring WINDIR afterwards.
class WindowsDirectory {
 public:
  void write(const std::string& name, const std::string& text) const { test_support::WriteFile(dir_ / name, text); }
  const fs::path& path() const { return dir_.path(); }

 private:
  test_support::TempDir dir_{"windir"};
  test_support::ScopedEnv env_{"WINDIR", dir_.string()};
};

}  // namespace

TEST(Settings, MissingFileGivesEveryDefault) {
  WindowsDirectory windir;
  EXPECT_EQ(GetWindowsDirectoryText(), windir.path().string());
  EXPECT_EQ(ReadIniString("DET", "X", "def"), "def");
  EXPECT_EQ(ReadIniInteger("DET", "X", 17), 17);
  EXPECT_EQ(ReadIniFloat("DET", "X", 2.5), 2.5);
  EXPECT_TRUE(ReadIniBool("DET", "X", true));
  EXPECT_EQ(ReadExportIniInteger("X", -3), -3);
}

TEST(Settings, ValuesFollowTheIntegerBooleanAndFloatRules) {
  WindowsDirectory windir;
  windir.write("tergelix.ini",
               "; settings\r\n"
               "[export]\r\n"
               "  Hex = 0x1A\r\n"
               "Blank=26 \r\n"
               "Bad=2A\r\n"
               "Dollar=$10\r\n"
               "Five=5\r\n"
               "Word=TRUE\r\n"
               "Zero=0\r\n"
               "Comma=0,01\r\n"
               "Point=2.5\r\n"
               "Text=abc\r\n"
               "Both=1.000,5\r\n"
               "Quoted=\"  a b \"\r\n"
               "[GLOBAL]\r\n"
               "Hex=99\r\n");
  EXPECT_EQ(ReadIniInteger("EXPORT", "hex", -1), 26);
  EXPECT_EQ(ReadExportIniInteger("HEX", -1), 26);
  EXPECT_EQ(ReadIniInteger("Export", "Blank", -1), 26);
  EXPECT_EQ(ReadIniInteger("EXPORT", "Bad", -1), -1);
  EXPECT_EQ(ReadIniInteger("EXPORT", "Dollar", -1), 16);
  EXPECT_EQ(ReadIniInteger("GLOBAL", "Hex", -1), 99);

  EXPECT_TRUE(ReadIniBool("EXPORT", "Five", false));
  EXPECT_FALSE(ReadIniBool("EXPORT", "Word", false));
  EXPECT_TRUE(ReadIniBool("EXPORT", "Word", true));
  EXPECT_FALSE(ReadIniBool("EXPORT", "Zero", true));

  EXPECT_DOUBLE_EQ(ReadIniFloat("EXPORT", "Comma", -1), 0.01);
  EXPECT_DOUBLE_EQ(ReadIniFloat("EXPORT", "Point", -1), 2.5);
  EXPECT_EQ(ReadIniFloat("EXPORT", "Text", -1), -1);
  EXPECT_EQ(ReadIniFloat("EXPORT", "Both", -1), -1);

  EXPECT_EQ(ReadIniString("EXPORT", "Quoted", ""), "  a b ");
  EXPECT_EQ(ReadIniString("EXPORT", "Missing", "d"), "d");
}

TEST(Settings, WindowsCodePageTextsAreReadAsWell) {
  WindowsDirectory windir;
  windir.write("TERGELIX.INI", "[DET]\nNazev=Lesn\xED \xFAsek\nJiny=Lesní úsek\n");
  EXPECT_EQ(ReadIniString("DET", "Nazev", ""), "Lesní úsek");
  EXPECT_EQ(ReadIniString("DET", "Jiny", ""), "Lesní úsek");
}

TEST(Settings, EveryReadSeesTheFileAsItIsNow) {
  WindowsDirectory windir;
  windir.write("TERGELIX.INI", "[DET]\nKind=1\n");
  EXPECT_EQ(ReadIniInteger("DET", "Kind", 0), 1);
  windir.write("TERGELIX.INI", "[DET]\nKind=2\n");
  EXPECT_EQ(ReadIniInteger("DET", "Kind", 0), 2);
}

TEST(Settings, ProgramIniIsWrittenInPlaceAndReadBack) {
  WindowsDirectory windir;
  const std::string file = (windir.path() / "zelto.ini").string();
  TRealIniFile ini(file);
  EXPECT_TRUE(ini.WriteString("PRINT", "Preview", "1"));
  EXPECT_TRUE(ini.WriteString("OTHER", "A", "x"));
  EXPECT_TRUE(ini.WriteString("print", "PREVIEW", "0"));
  EXPECT_TRUE(ini.WriteString("PRINT", "Copies", "2"));
  EXPECT_EQ(ini.ReadString("PRINT", "Preview", ""), "0");
  EXPECT_EQ(ini.ReadInteger("PRINT", "Copies", 0), 2);
  EXPECT_EQ(ini.ReadString("OTHER", "A", ""), "x");
  EXPECT_EQ(test_support::ReadFile(file), "[PRINT]\r\nPreview=0\r\nCopies=2\r\n\r\n[OTHER]\r\nA=x\r\n");
}

TEST(Settings, ACheckedKeyTakesOnlyANumberOfItsRangeAndNamesWhatItHolds) {
  WindowsDirectory windir;
  windir.write("TERGELIX.INI",
               "[GLOBAL]\nNan=nan\nHuge=1e300\nComma=0,5\n"
               "[EXPORT]\nWord=abc\nHex=0x1A\nZero=0\nMinus=-1\nExponent=2e9\nEmpty=\n");
  constexpr SettingRange kReal{0, 10000, false};
  constexpr SettingRange kCount{2, 1000000};
  struct Case {
    const char *section, *key;
    SettingRange range;
    std::optional<double> value;  // nullopt: refused
  };
  for (const Case& c : {Case{"GLOBAL", "Nan", kReal, std::nullopt}, Case{"GLOBAL", "Huge", kReal, std::nullopt},
                        Case{"GLOBAL", "Comma", kReal, 0.5}, Case{"EXPORT", "Word", kColourSettingRange, std::nullopt},
                        Case{"EXPORT", "Hex", kKindSettingRange, 26}, Case{"EXPORT", "Zero", kCount, std::nullopt},
                        Case{"EXPORT", "Minus", kCount, std::nullopt}, Case{"EXPORT", "Exponent", kCount, std::nullopt},
                        Case{"EXPORT", "Empty", kCount, 100}, Case{"EXPORT", "Missing", kCount, 100}}) {
    SCOPED_TRACE(c.key);
    std::string error;
    EXPECT_EQ(CheckedSetting(c.section, c.key, 100, c.range, error), c.value);
    EXPECT_EQ(error.empty(), c.value.has_value()) << error;
  }
  // One message names every wrong key, with its section and text.
  SettingsCheck check;
  EXPECT_EQ(check.Read("EXPORT", "Word", 14, kColourSettingRange), 14);
  EXPECT_EQ(check.Read("GLOBAL", "Huge", 10, kReal), 10);
  EXPECT_FALSE(check.Ok());
  EXPECT_EQ(check.Errors(),
            "Chybná hodnota Word = \"abc\" v sekci EXPORT souboru TERGELIX.INI: celé číslo od -32768 do 32767\n"
            "Chybná hodnota Huge = \"1e300\" v sekci GLOBAL souboru TERGELIX.INI: číslo od 0 do 10000");
}

TEST(Settings, TheProgramsOwnFileIsKeptWithTheUsersSettings) {
  test_support::TempDir home("home");
  const std::string program = framework::ProgramFile();
  framework::SetProgramFile("/usr/lib/zeltoexport/zelto");
  {
    WindowsDirectory windir;
    EXPECT_EQ(framework::ProgramSettingsFilePath(), (windir.path() / "zelto.INI").string());
  }
  {
    test_support::ScopedEnv noWindir{"WINDIR", ""};
    test_support::ScopedEnv user{"HOME", home.string()};
    EXPECT_EQ(framework::ProgramSettingsFilePath(), (home.path() / ".config/zeltoexport/zelto.INI").string());
  }
  framework::SetProgramFile(program);
}
