#pragma once
// Runs a model script: every layer script loads the objects of its block
// directories into one map layer (TInterpretLayer), "ELEMENT" scripts create
// single elements, and the output is a rectangle entity holding them all.
//
//   TModelByScriptCreator creator;
//   creator.SetInput(&script);
//   creator.DoIt();
//   world.ObjectModel()->Add(creator.Output());   // the caller takes it
#include <functional>
#include <string>

#include "framework/rect_entity.h"
#include "framework/tool.h"

class TLayerScript;
class TPropertyList;

class TModelByScriptCreator : public TTool {
  ZELTO_ELEMENT(TModelByScriptCreator)
 public:
  // The window; it counts only when all four are non-zero.
  double MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
  // Reads only the objects inside the window, not just the blocks that
  // meet it.
  bool CutLayer = false;
  // Handed to the block readers, called for every new object.
  std::function<void(TElement*&)> OnNewObject;
  // Where the block readers keep their object registers; the world's object
  // model when unset.
  TEntity* ObjectModel = nullptr;

  void SetDeltaX(double d) { MinX += d, MaxX += d; }
  void SetDeltaY(double d) { MinY += d, MaxY += d; }
  void SetWidth(double w) { MaxX = MinX + w; }
  void SetHeight(double h) { MaxY = MinY + h; }
  double GetCenterX() const { return (MinX + MaxX) / 2; }
  double GetCenterY() const { return (MinY + MaxY) / 2; }

  void DoIt() override;

  // One path of a layer: a ".BLK" directory read by kind; nil for anything
  // else. A block that is refused (see gisblock::findBlock) is not taken for
  // missing: the refusal is thrown. The caller owns what it returns.
  TElement* LoadPath(const std::string& kind, const std::string& path, TPropertyList* list);
  TElement* LoadBlock(const std::string& kind, const std::string& directory, TPropertyList* list);
  // "ELEMENT": the element of the registered class, its properties set from
  // the list's entries; nil for an unknown class.
  TElement* CreateElement(const std::string& className, TPropertyList* list);

 private:
  bool HasWindow() const { return MinX != 0 && MinY != 0 && MaxX != 0 && MaxY != 0; }
  TRectEntity* NewWindow() const;
  TElement* LoadLayer(TLayerScript& layer);
};

void RegisterModelByScriptClasses();
