#pragma once
// The units of forest management: the root "LES", districts, compartments,
// sub-compartments and, inside a sub-compartment, stand groups, non-forest
// land, other kinds and remaining land; areas of other kinds go to the unit
// of non-areas. Each unit sums the areas filed into it or below it; group
// units hold the areas themselves. Once gathered, a unit's line list holds
// the lines that bound it from outside and the lines of its islands.
#include <cstdint>
#include <functional>
#include <string>

#include "framework/rect_entity.h"

class TAreaElement;
class TPolyLineElement;
class TPolyLineString;

class TForestSpaceUnit : public TRectEntity {
  ZELTO_ELEMENT(TForestSpaceUnit)
 public:
  // The net area (outer ring less holes) is added to Plocha.
  void AddArea(TAreaElement* area);
  void AddArea(TAreaElement* area, double netArea);
  void AddExportedArea(TAreaElement* area);

  // The list "Linie v " + class name, nullptr before the first line.
  TPolyLineString* GetLines() const;
  void AddLineToUnit(TPolyLineElement* line);
  // A boundary line of one of the unit's areas (or holes): taken unless two
  // of the unit's own areas hold it.
  void GatherAreaLine(TPolyLineElement* line);
  // A line of a sub-unit's list: taken unless two sub-units hold it.
  void GatherLine(TPolyLineElement* line);
  // Fills the lists of this unit and of every unit below it; a unit that
  // has a list already is left as it is. `unitDone`, when given, is called
  // once for each unit whose list has been filled.
  void GatherUnitLines(const std::function<void()>& unitDone = {});
  // This unit and the units below it.
  std::int32_t CountUnits() const;

  std::int32_t PocetPloch = 0;
  std::int32_t PocetExpPloch = 0;
  double Plocha = 0.0;
  double ExpPlocha = 0.0;
  std::int32_t CisloOddeleni = 0;  // "ODDELENI" of compartments and below
  std::string PismenoDilce;        // first character of "DILEC", sub-compartments and below

 private:
  mutable TElementRef lines_;  // the list once found or made
  bool IsOwnArea(const TElement* owner) const;
  bool IsSubUnitList(const TElement* owner) const;
  bool InOwnList(const TPolyLineElement* line) const;
};

class TRevir : public TForestSpaceUnit {
  ZELTO_ELEMENT(TRevir)
};
class TOddeleni : public TForestSpaceUnit {
  ZELTO_ELEMENT(TOddeleni)
};
class TDilec : public TForestSpaceUnit {
  ZELTO_ELEMENT(TDilec)
};
class TPorostniSkupina : public TForestSpaceUnit {
  ZELTO_ELEMENT(TPorostniSkupina)
};
class TBezlesi : public TForestSpaceUnit {
  ZELTO_ELEMENT(TBezlesi)
};
class TJine : public TForestSpaceUnit {
  ZELTO_ELEMENT(TJine)
};
class TOstatni : public TForestSpaceUnit {
  ZELTO_ELEMENT(TOstatni)
};
class TNeplochy : public TForestSpaceUnit {
  ZELTO_ELEMENT(TNeplochy)
};

void RegisterForestUnitClasses();
