#pragma once
// The roots of the exporters that write spatial objects out of the model:
// the text export of a container, and the block export, which gives every
// exported object its row in the attribute table of its kind and may enter
// it in the register of the target block.
#include <cstdint>
#include <exception>
#include <functional>
#include <string>

#include "framework/tool.h"

class TBlockRegister;
class TDynamicProperties;
class TPropertyList;
class TSpaceEntity;

class TExportElements : public TTool {
  ZELTO_ELEMENT(TExportElements)
 public:
  ~TExportElements() override;
  TPropertyList* GetExpProps();
  void SetNextPropName(const std::string& name);
  void SetDelimiter(const std::string& delimiter);

 private:
  TPropertyList* expProps_ = nullptr;  // owned
};

class TExportElementsToText : public TExportElements {
  ZELTO_ELEMENT(TExportElementsToText)
 public:
  std::string FileName;
  void DoIt() override;
};

class TExpBlockName : public TNameElement {
  ZELTO_ELEMENT(TExpBlockName)
 public:
  std::string BlockDir;
  std::string BlockName;
  std::string GetFullBlockName() const;
};

class TExportGelixElements : public TExportElements {
  ZELTO_ELEMENT(TExportGelixElements)
 public:
  std::string BlockName;
  std::string ControlDir;
  bool ExportDBF = false;
  bool CreateFromSource = false;
  std::int32_t JedenDruh = 0;
  bool RegisterObject = false;
  bool PlochyVHa = false;
  bool BothSources = false;
  std::function<void(TSpaceEntity* object, TDynamicProperties*& values)> OnExportObject;

  // Created on first use as a child of the exporter.
  TDynamicProperties* GetDynamicProps();

  // The row of the object in the table of its kind.
  virtual void ExportObjectRow(TSpaceEntity* object);
  // Row and registration; an error of the object is shown with its name,
  // number and place, and the export goes on.
  virtual void ExportObject(TSpaceEntity* object);
  virtual void DoExportObject(TSpaceEntity* object);

 protected:
  void RegisterInBlock(TSpaceEntity* object);
  // "Chyba exportu objektu" with the object's name, number and place.
  void ReportExportError(TSpaceEntity* object, const std::exception& e);

 private:
  TDynamicProperties* dynamicProps_ = nullptr;
  TBlockRegister* blockRegister_ = nullptr;
};
