#pragma once
// Map layers: a named group of loaded object strings with its own switches,
// scale range and interpret, and the container of layers that switches them
// by type and lists them in an info file.
#include <memory>
#include <string>

#include "framework/rect_entity.h"
#include "render/interpret.h"

class TInterpretLayer : public TRectEntity {
  ZELTO_ELEMENT(TInterpretLayer)
 public:
  ~TInterpretLayer() override;

  std::string Path;
  std::int32_t GlobalColor = 0;
  std::int32_t GlobalSymbol = 0;
  bool SwitchedOff = false;
  double MinScaleNumber = 0;
  double MaxScaleNumber = 0;
  std::string LayerType;
  std::string AsText;

  // Empty when the registry did not know the name.
  std::string GetLayerClassName() const;
  void SetLayerClassName(const std::string& name);
  const TElementClass* GetLayerClass() const { return layerClass_; }

  TInterpret* GetInterpret() const { return interpret_; }
  // Owned; the previous one is freed.
  void SetInterpret(TInterpret* interpret);
  std::string GetInterpretName() const;
  // A new interpret of the registered class of that name, or none.
  void SetInterpretName(const std::string& name);

  // Not switched off and the scale number strictly inside the set limits
  // (0 means no limit).
  bool IsVisibleAtScale(double scale) const;

 private:
  const TElementClass* layerClass_ = nullptr;
  TInterpret* interpret_ = nullptr;
};

class TInterpretContainer : public TRectEntity {
  ZELTO_ELEMENT(TInterpretContainer)
 public:
  // A layer also extends the container's rectangle.
  void Add(TElement* element) override;

  void SwitchAll(bool off);
  // Every layer of that type (case ignored).
  void SwitchLayerType(const std::string& type, bool off);
  // Writes [LAYERi] sections, i the layer's index among all children.
  // Raises EZeltoError when the file cannot be written.
  void WriteInfoFile(const std::string& fileName) const;
};
