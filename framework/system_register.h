#pragma once
// The one register of the running system, held by the world: named groups
// of image and cursor file names, the class models that the user interface
// shows for element classes, and raster settings. Its content comes only from
// model files and scripts.
#include <cstdint>
#include <string>

#include "framework/inheritance_model.h"
#include "framework/string_list.h"

// What the user interface shows for one property.
class TRegisterPropertyModel : public TOwnerEntity {
  ZELTO_ELEMENT(TRegisterPropertyModel)
 public:
  std::string Alias;
  std::int32_t ImageIndex = 0;
  std::string Editor;
};

// What the user interface shows for elements of one class.
class TRegisterClassModel : public TInheritanceModel {
  ZELTO_ELEMENT(TRegisterClassModel)
 public:
  std::string Alias;
  std::int32_t ImageIndex = 0;
  std::int32_t ImageSelectedIndex = 0;
  std::string Editor;
  std::string Interpret;
  std::string SubClass;

  // Groups found by name (a loaded one counts) or created on first read.
  TOwnerEntity* GetPropertyModels();
  TOwnerEntity* GetShell();
};

class TRegisterClassModels : public TInheritanceModelEntity {
  ZELTO_ELEMENT(TRegisterClassModels)
 public:
  const TElementClass& GetDefaultItemClass() const override;
  TRegisterClassModel* ActualClassModel() const;
};

class TSystemRegister : public TOwnerEntity {
  ZELTO_ELEMENT(TSystemRegister)
 public:
  TStringListElement* GetImages();
  TStringListElement* GetCursors();
  TRegisterClassModels* GetClassModels();
  // "MEMORY_TILE" and the other raster settings.
  TStringListElement* GetRaster();
};

void RegisterModelClasses();
