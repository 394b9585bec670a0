#include "framework/file_version.h"

#include "framework/drive_map.h"

#include <filesystem>

#ifndef ZELTO_VERSION_MAJOR
#define ZELTO_VERSION_MAJOR 0
#define ZELTO_VERSION_MINOR 0
#define ZELTO_VERSION_PATCH 0
#define ZELTO_VERSION_TWEAK 0
#define ZELTO_PRODUCT_NAME "zeltoexport"
#endif

namespace {

namespace fs = std::filesystem;

std::string& programFileCell() {
  static std::string file;
  return file;
}

std::string versionText() {
  return std::to_string(ZELTO_VERSION_MAJOR) + "." + std::to_string(ZELTO_VERSION_MINOR) + "." +
         std::to_string(ZELTO_VERSION_PATCH) + "." + std::to_string(ZELTO_VERSION_TWEAK);
}

bool sameFile(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return !a.empty() && !b.empty() && fs::equivalent(a, b, ec) && !ec;
}

}  // namespace

void framework::SetProgramFile(std::string path) { programFileCell() = std::move(path); }

std::string framework::ProgramFile() {
  if (!programFileCell().empty()) return programFileCell();
  std::error_code ec;
  return fs::read_symlink("/proc/self/exe", ec).string();
}

TFileVersion::TFileVersion() : error_("Empty FileName") {}

void TFileVersion::SetFileName(std::string_view name) {
  fileName_ = std::string(name);
  if (!sameFile(framework::ResolvePath(name), framework::ProgramFile())) {
    error_ = "InfoSize=0";
    return;
  }
  error_.clear();
}

std::uint16_t TFileVersion::MajorVersion() const { return ok() ? ZELTO_VERSION_MAJOR : 0; }
std::uint16_t TFileVersion::MinorVersion() const { return ok() ? ZELTO_VERSION_MINOR : 0; }
std::uint16_t TFileVersion::Release() const { return ok() ? ZELTO_VERSION_PATCH : 0; }
std::uint16_t TFileVersion::Build() const { return ok() ? ZELTO_VERSION_TWEAK : 0; }
std::uint32_t TFileVersion::FileFlagsMask() const { return ok() ? 0x3F : 0; }
std::uint32_t TFileVersion::FileFlags() const { return 0; }

std::string TFileVersion::Language() const { return ok() ? "Čeština" : std::string(); }

std::string TFileVersion::InfoString(std::string_view key) const {
  if (!ok()) return {};
  std::string value;
  if (key == "ProductName" || key == "InternalName") value = ZELTO_PRODUCT_NAME;
  else if (key == "OriginalFilename") value = fs::path(framework::ProgramFile()).filename().string();
  else if (key == "FileVersion" || key == "ProductVersion") value = versionText();
  else if (key == "FileDescription") value = "Export vrstev lesního hospodářství";
  else if (key == "CompanyName" || key == "LegalCopyright") value.clear();
  else return {};
  return value.empty() ? "No " + std::string(key) : value;
}
