#pragma once
// The common base of the renderers of objects read from Gelix blocks. A map
// layer may force one symbol or one colour on all its objects through
// dynamic properties (USESYMBOL/SYMBOL, USECOLOR/COLOR); the base remembers
// the properties of the layer the walk last entered so that the renderers
// can ask for them. Overrides change what is drawn, never the objects'
// attribute records.
#include <cstdint>
#include <optional>
#include <string>

#include "framework/rect_entity.h"
#include "render/interpret.h"

class TInterpretGlxObject : public TRectInterpret {
  ZELTO_ELEMENT(TInterpretGlxObject)
 public:
  TElement* GetLayerProperties() const { return layerProperties_; }
  // Not owned; the layer's overrides are read from it now.
  void SetLayerProperties(TElement* properties);

  // False, or 0, without layer properties.
  bool GetBoolProperty(const std::string& name) const;
  std::int32_t GetIntProperty(const std::string& name) const;
  bool AlwaysTrue(TElement*) const { return true; }

  // The symbol and colour the layer forces on its objects (SYMBOL when
  // USESYMBOL is set, COLOR when USECOLOR is): read once per layer, since
  // looking them up by name for every object cost a tenth of a map's drawing.
  struct LayerOverrides {
    std::optional<std::int32_t> Symbol;
    std::optional<std::int32_t> Colour;
  };
  const LayerOverrides& Overrides() const { return overrides_; }

 protected:
  // Whether the rectangle meets the visible rectangle, edges touching.
  bool MeetsVisible(double minX, double minY, double maxX, double maxY) const;
  bool MeetsVisible(const TRectEntity& e) const {
    return MeetsVisible(e.GetMinX(), e.GetMinY(), e.GetMaxX(), e.GetMaxY());
  }
  // Whether the rectangle lies inside the visible rectangle, edges allowed.
  bool InsideVisible(double minX, double minY, double maxX, double maxY) const;

 private:
  TElement* layerProperties_ = nullptr;
  LayerOverrides overrides_;
};

namespace render {
// The symbol directory's file as a path when it exists; empty otherwise.
std::string ExistingSymbolFile(const std::string& name);
}  // namespace render
