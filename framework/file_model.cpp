#include "framework/file_model.h"

#include "framework/file_element.h"
#include "platform/path_resolver.h"

ZELTO_IMPLEMENT_ELEMENT(TFileModel, TOwnerEntity, [](auto& p) {
  using E = TFileModel;
  p.String("FileName", &E::GetFileName, &E::SetFileName);
  p.String("Path", &E::GetPath, &E::SetPath);
})

ZELTO_IMPLEMENT_ELEMENT(TFilePathModel, TFileModel,
                        [](auto& p) { p.String("Path1", &TFilePathModel::Path1, &TFilePathModel::Path1); })

ZELTO_IMPLEMENT_ELEMENT(TFileBasedEntity, TOwnerEntity, [](auto& p) {
  using E = TFileBasedEntity;
  p.String("FileName", &E::GetFileName, &E::SetFileName);
  p.Integer("Error", &E::Error, &E::Error);
})

std::string TFileModel::GetPath() const {
  const std::string name = GetFileName();
  const std::size_t at = framework::LastSeparator(name);
  return at == std::string::npos ? std::string() : name.substr(0, at + 1);
}

void TFileModel::SetPath(const std::string& path) {
  const std::string name = GetFileName();
  const std::size_t at = framework::LastSeparator(name);
  const std::string namePart = at == std::string::npos ? name : name.substr(at + 1);
  std::string dir = path;
  if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir += '\\';
  SetFileName(dir + namePart);
}

void TFileBasedEntity::SetFileName(const std::string& name) {
  fileName_ = name;
  Error = 0;
  if (name.empty()) {
    Error = 11;
    return;
  }
  if (!platform::pathResolver().exists(name)) {
    Error = 12;
    return;
  }
  try {
    LoadFromFile(name);
  } catch (const std::exception&) {
    Error = 13;
  }
}
