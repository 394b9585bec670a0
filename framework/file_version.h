#pragma once
// Version information of an executable file. Linux executables carry no
// version resource: the program's own file answers the values the build
// compiled in, every other file has none ("InfoSize=0").
#include <cstdint>
#include <string>
#include <string_view>

class TFileVersion {
 public:
  TFileVersion();

  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string_view name);
  // Empty when the information was read completely, else the reason.
  const std::string& Error() const { return error_; }

  std::uint16_t MajorVersion() const;
  std::uint16_t MinorVersion() const;
  std::uint16_t Release() const;
  std::uint16_t Build() const;
  std::uint32_t FileFlagsMask() const;
  std::uint32_t FileFlags() const;

  std::string Language() const;
  // The value of a string entry; "No " + key when it is empty, empty text
  // when there is no information or no such key.
  std::string InfoString(std::string_view key) const;
  std::string CompanyName() const { return InfoString("CompanyName"); }
  std::string FileDescription() const { return InfoString("FileDescription"); }
  std::string FileVersion() const { return InfoString("FileVersion"); }
  std::string InternalName() const { return InfoString("InternalName"); }
  std::string LegalCopyright() const { return InfoString("LegalCopyright"); }
  std::string OriginalFilename() const { return InfoString("OriginalFilename"); }
  std::string ProductName() const { return InfoString("ProductName"); }
  std::string ProductVersion() const { return InfoString("ProductVersion"); }

 private:
  bool ok() const { return error_.empty(); }

  std::string fileName_;
  std::string error_;
};

namespace framework {
// The program's own executable (the running process's file until set).
void SetProgramFile(std::string path);
std::string ProgramFile();
}  // namespace framework
