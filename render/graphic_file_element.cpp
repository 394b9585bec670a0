#include "render/graphic_file_element.h"

#include <filesystem>

#include "framework/drive_map.h"
#include "render/picture_file.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

// Index just past the last separator (0 when there is none).
std::size_t NamePart(const std::string& name) {
  for (std::size_t i = name.size(); i > 0; --i)
    if (IsSeparator(name[i - 1])) return i;
  return 0;
}

}  // namespace

ZELTO_IMPLEMENT_ELEMENT(TGraphicFileElement, TRectEntity, [](auto& p) {
  using E = TGraphicFileElement;
  p.String("FileName", &E::GetFileName, &E::SetFileName);
  p.String("Path", &E::GetPath, &E::SetPath);
})

ZELTO_IMPLEMENT_ELEMENT(TBMPFileElement, TGraphicFileElement, [](auto&) {})

std::string TGraphicFileElement::GetFileName() const { return fileName_; }

std::string TGraphicFileElement::GetPath() const { return fileName_.substr(0, NamePart(fileName_)); }

void TGraphicFileElement::SetFileName(const std::string& name) { fileName_ = name; }

void TGraphicFileElement::SetPath(const std::string& path) {
  std::string next = path;
  if (next.empty() || (next.back() != '\\' && next.back() != '/')) next += '\\';
  fileName_ = next + fileName_.substr(NamePart(fileName_));
}

std::unique_ptr<TMemoryRaster> TGraphicFileElement::LoadPicture() const {
  const std::filesystem::path local = framework::ResolvePath(fileName_);
  std::error_code ec;
  // Report the name as the page stores it: that is what the user can find.
  if (local.empty() || !std::filesystem::is_regular_file(local, ec))
    throw EPictureFileError("Obrázek \"" + fileName_ + "\" nelze načíst: soubor neexistuje");
  try {
    return render::LoadPictureFile(local.string());
  } catch (const EPictureFileError& e) {
    // The reader names the file it opened, this machine's; the user knows
    // it by the name the page stores.
    std::string text = e.what();
    const std::string opened = local.string();
    for (std::size_t at = text.find(opened); at != std::string::npos; at = text.find(opened, at + fileName_.size()))
      text.replace(at, opened.size(), fileName_);
    throw EPictureFileError(text);
  }
}
