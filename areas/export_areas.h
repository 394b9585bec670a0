#pragma once
// The export of the areas of a level into a new block: the areas are
// numbered (holes never), islands tied to the area they lie in, the
// boundary lines numbered and linked, then the line file with the areas on
// both sides of every line and the area file are written, each object with
// its attribute row.
#include <cstdint>

#include "areas/export_elements.h"

class TPolyLineString;
class TAreaElement;
class TGelixAreaProps;

class TPrepareExportAreasToGelix : public TTool {
  ZELTO_ELEMENT(TPrepareExportAreasToGelix)
 public:
  ~TPrepareExportAreasToGelix() override;
  std::int32_t Druh = 0;
  std::int32_t Barva = -1;
  std::int32_t Znacka = -1;

  // The boundary lines of the input's areas, each once, in the order met;
  // made on first read. The caller takes what it reads (TakeLines).
  TPolyLineString* GetLines();
  void SetLines(TPolyLineString* lines);
  TPolyLineString* TakeLines();

  void DoIt() override;
  // The user broke the run off: some areas are left unnumbered.
  bool Interrupted() const { return interrupted_; }

 private:
  TPolyLineString* lines_ = nullptr;  // owned until taken
  std::int32_t counter_ = 0;
  bool interrupted_ = false;
};

class TExportAreasToGelix : public TExportGelixElements {
  ZELTO_ELEMENT(TExportAreasToGelix)
 public:
  std::int32_t DruhLinii = 0;
  bool DBFLinii = false;
  std::int32_t DruhPloch = 0;
  std::int32_t BarvaLinii = -1;
  std::int32_t ZnackaLinii = -1;
  std::int32_t BarvaPloch = -1;
  std::int32_t ZnackaPloch = -1;

  void DoIt() override;
  virtual void ExportAreaLines();
  virtual void ExportAreas();

 private:
  TEntity* lines_ = nullptr;  // during a run: the boundary lines, numbered
  bool interrupted_ = false;          // the user broke a loop off
};

class TMovedItemContainer;
class TSpaceEntityQTree;

// The rows take their values from the areas of another layer that contain
// each exported area's reference point.
class TExportAreasToGelixPropsFromAreaQTree : public TExportAreasToGelix {
  ZELTO_ELEMENT(TExportAreasToGelixPropsFromAreaQTree)
 public:
  TSpaceEntityQTree* AreaQTree = nullptr;  // not owned
  void ExportObject(TSpaceEntity* object) override;

 private:
  void passValuesOf(TElement* area, std::int16_t druh);
  TMovedItemContainer* transfer_ = nullptr;  // a child, made on first use
};

namespace areas {
// The attribute record of an exported area: kept when it is an area
// record, else a new one (colour 2, symbol 1, no father).
TGelixAreaProps* EnsureAreaProps(TAreaElement* area);
}  // namespace areas
