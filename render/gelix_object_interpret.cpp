#include "render/gelix_object_interpret.h"

#include <filesystem>

#include "render/stroke_font.h"

ZELTO_IMPLEMENT_ELEMENT(TInterpretGlxObject, TRectInterpret, ZELTO_NO_PROPERTIES)

void TInterpretGlxObject::SetLayerProperties(TElement* properties) {
  layerProperties_ = properties;
  overrides_ = {};
  if (GetBoolProperty("USESYMBOL")) overrides_.Symbol = GetIntProperty("SYMBOL");
  if (GetBoolProperty("USECOLOR")) overrides_.Colour = GetIntProperty("COLOR");
}

bool TInterpretGlxObject::GetBoolProperty(const std::string& name) const {
  return layerProperties_ && layerProperties_->GetPropertyBool(name);
}

std::int32_t TInterpretGlxObject::GetIntProperty(const std::string& name) const {
  return layerProperties_ ? layerProperties_->GetPropertyInt(name) : 0;
}

bool TInterpretGlxObject::MeetsVisible(double minX, double minY, double maxX, double maxY) const {
  return maxX >= GetMinX() && minX <= GetMaxX() && maxY >= GetMinY() && minY <= GetMaxY();
}

bool TInterpretGlxObject::InsideVisible(double minX, double minY, double maxX, double maxY) const {
  return minX >= GetMinX() && maxX <= GetMaxX() && minY >= GetMinY() && maxY <= GetMaxY();
}

namespace render {
std::string ExistingSymbolFile(const std::string& name) {
  std::error_code ec;
  const std::filesystem::path path = SymbolFile(name);
  return std::filesystem::is_regular_file(path, ec) ? path.string() : std::string();
}
}  // namespace render
