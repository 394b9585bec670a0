#include "render/graphic_file_element.h"

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
