#include "framework/file_version.h"
#include "framework/ini_file.h"
#include "framework/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "file_size_limit.h"
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

TEST(Settings, ASettingThatCannotBeWrittenWholeLeavesTheFileAsItWas) {
  WindowsDirectory windir;
  const std::string file = (windir.path() / "zelto.ini").string();
  TRealIniFile ini(file);
  ASSERT_TRUE(ini.WriteString("PRINT", "Preview", "1"));
  ASSERT_TRUE(ini.WriteString("OTHER", "A", "x"));
  const std::string before = test_support::ReadFile(file);
  {
    test_support::FileSizeLimit full(before.size() + 8);
    EXPECT_FALSE(ini.WriteString("PRINT", "Title", std::string(200, 'x')));
  }
  EXPECT_EQ(test_support::ReadFile(file), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(windir.path()), fs::directory_iterator()), 1);
  // A link to the file stays a link.
  const fs::path link = windir.path() / "link.ini";
  fs::create_symlink(file, link);
  EXPECT_TRUE(TRealIniFile(link.string()).WriteString("PRINT", "Preview", "0"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ini.ReadString("PRINT", "Preview", ""), "0");
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

namespace {

// The text as Notepad's "Unicode" saves it: UTF-16 with its byte-order mark.
std::string Utf16(const std::string& ascii, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : ascii) bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
  return bytes;
}

}  // namespace

// Whatever editor saved the file, its keys read alike; DOS editors end the
// text with Ctrl-Z.
TEST(Settings, UnicodeFilesAndAnEndOfFileMarkReadAsTheWindowsCodePageDoes) {
  WindowsDirectory windir;
  const std::string ascii = "[DET]\r\nDruhPorostniSkupiny=111\r\n[EXPORT]\r\nVYBLINCES=350, 352\r\n";
  for (const std::string& bytes :
       {Utf16(ascii, false), Utf16(ascii, true), "\xEF\xBB\xBF" + ascii, ascii + "\x1A", Utf16(ascii + "\x1A", false)}) {
    SCOPED_TRACE(bytes);
    windir.write("TERGELIX.INI", bytes);
    EXPECT_EQ(ReadIniInteger("DET", "DruhPorostniSkupiny", 110), 111);
    EXPECT_EQ(ReadIniString("EXPORT", "VYBLINCES", ""), "350, 352");
  }
  // Czech letters beyond Latin-1, and a character of two UTF-16 units.
  windir.write("TERGELIX.INI", std::string("\xFF\xFE[\0D\0]\0\n\0N\0=\0\x1B\x01\x00\xD8\x00\xDC\n\0", 22));
  EXPECT_EQ(ReadIniString("D", "N", ""), "ě\xF0\x90\x80\x80");
  // A last line without its end, then the mark: the key ends before it.
  windir.write("TERGELIX.INI", "[DET]\r\nDruhPrazdnePlochy=135\x1A\r\nDruhPorostniSkupiny=112\r\n");
  EXPECT_EQ(ReadIniInteger("DET", "DruhPrazdnePlochy", 134), 135);
  EXPECT_EQ(ReadIniInteger("DET", "DruhPorostniSkupiny", 110), 110);
}

// A file that is there and cannot be read is named, and never passes for
// one whose keys all take their defaults.
TEST(Settings, AFileThatCannotBeReadIsNamedNotTakenForDefaults) {
  WindowsDirectory windir;
  const std::string file = (windir.path() / "TERGELIX.INI").string();
  // UTF-16 saved without its mark.
  const std::string unmarked = Utf16("[DET]\r\nDruhPorostniSkupiny=111\r\n", false).substr(2);
  windir.write("TERGELIX.INI", unmarked);
  try {
    ReadIniInteger("DET", "DruhPorostniSkupiny", 110);
    ADD_FAILURE() << "read as a file without keys";
  } catch (const IniFileError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Soubor " + file + " nelze číst: začíná nulovým bajtem", 0), 0u) << e.what();
  }
  SettingsCheck check;
  check.Read("DET", "DruhPorostniSkupiny", 110, kKindSettingRange);
  check.Read("DET", "DruhPrazdnePlochy", 134, kKindSettingRange);
  EXPECT_EQ(check.Errors().rfind("Soubor " + file + " nelze číst: ", 0), 0u) << check.Errors();
  EXPECT_EQ(check.Errors().find('\n'), std::string::npos) << "named once: " << check.Errors();

  // The program's own settings file gives its defaults, and is not written
  // over: what it held would be lost.
  TRealIniFile own(file);
  EXPECT_EQ(own.ReadInteger("DET", "DruhPorostniSkupiny", 110), 110);
  EXPECT_FALSE(own.WriteString("PRINT", "Preview", "1"));
  EXPECT_EQ(test_support::ReadFile(file), unmarked);

  fs::remove(file);
  fs::create_directory(file);
  std::string error;
  EXPECT_EQ(CheckedSetting("DET", "DruhPorostniSkupiny", 110, kKindSettingRange, error), std::nullopt);
  EXPECT_EQ(error, "Soubor " + file + " nelze číst: je to adresář");
}
