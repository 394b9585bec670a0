#include "areas/forest_space_unit.h"

#include <memory>

#include "framework/class_registry.h"
#include "geometry/area_element.h"
#include "geometry/poly_element.h"

ZELTO_IMPLEMENT_ELEMENT(TForestSpaceUnit, TRectEntity, [](auto& p) {
  using E = TForestSpaceUnit;
  p.Integer("PocetPloch", &E::PocetPloch);
  p.Integer("PocetExpPloch", &E::PocetExpPloch);
  p.Float("Plocha", &E::Plocha);
  p.Float("ExpPlocha", &E::ExpPlocha);
})
ZELTO_IMPLEMENT_ELEMENT(TRevir, TForestSpaceUnit, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TOddeleni, TForestSpaceUnit, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TDilec, TForestSpaceUnit, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TPorostniSkupina, TForestSpaceUnit, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TBezlesi, TForestSpaceUnit, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TJine, TForestSpaceUnit, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TOstatni, TForestSpaceUnit, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TNeplochy, TForestSpaceUnit, [](auto&) {})

void TForestSpaceUnit::AddArea(TAreaElement* area) {
  if (area) AddArea(area, area->GetArea1());
}

void TForestSpaceUnit::AddArea(TAreaElement* area, double netArea) {
  if (!area) return;
  ExtendBy(area);
  Plocha += netArea;
  ++PocetPloch;
}

void TForestSpaceUnit::AddExportedArea(TAreaElement* area) {
  if (!area) return;
  ExpPlocha += area->GetArea1();
  ++PocetExpPloch;
}

TPolyLineString* TForestSpaceUnit::GetLines() const {
  if (TElement* known = lines_.Get(); known && known->HasOwner(this)) return static_cast<TPolyLineString*>(known);
  TPolyLineString* found = FindElementByClass<TPolyLineString>();
  lines_.Set(found);
  return found;
}

void TForestSpaceUnit::AddLineToUnit(TPolyLineElement* line) {
  if (!line) return;
  TPolyLineString* lines = GetLines();
  if (!lines) {
    auto made = std::make_unique<TPolyLineString>();
    made->SetName("Linie v " + ClassName());
    Add(made.get());
    lines = made.release();
    lines_.Set(lines);
  }
  lines->AddAndExtend(line);
}

// Membership through the line's owners: a line has a few owners, while a
// unit's list may hold thousands of lines.
bool TForestSpaceUnit::InOwnList(const TPolyLineElement* line) const {
  const TPolyLineString* lines = GetLines();
  return lines && line->HasOwner(lines);
}

bool TForestSpaceUnit::IsOwnArea(const TElement* owner) const {
  if (!owner->Is<TAreaElement>()) return false;
  const auto* area = static_cast<const TAreaElement*>(owner);
  if (area->IsHole) {
    const TAreaElement* outer = area->GetHoleOwnerArea();
    return outer && outer->HasOwner(this);
  }
  return area->HasOwner(this);
}

bool TForestSpaceUnit::IsSubUnitList(const TElement* owner) const {
  if (!owner->Is<TPolyLineString>()) return false;
  for (int i = 0; i < owner->GetOwnersCount(); ++i) {
    const TElement* unit = owner->GetOwner(i);
    if (unit && unit->Is<TForestSpaceUnit>() && unit->HasOwner(this)) return true;
  }
  return false;
}

void TForestSpaceUnit::GatherAreaLine(TPolyLineElement* line) {
  if (!line) return;
  if (line->GetOwnersCount() <= 1) {
    AddLineToUnit(line);
    return;
  }
  if (InOwnList(line)) return;
  int holders = 0;
  for (int i = 0; i < line->GetOwnersCount(); ++i)
    if (IsOwnArea(line->GetOwner(i))) ++holders;
  if (holders < 2) AddLineToUnit(line);
}

void TForestSpaceUnit::GatherLine(TPolyLineElement* line) {
  if (!line) return;
  if (line->GetOwnersCount() <= 1) {
    AddLineToUnit(line);
    return;
  }
  if (InOwnList(line)) return;
  int holders = 0;
  for (int i = 0; i < line->GetOwnersCount(); ++i)
    if (IsSubUnitList(line->GetOwner(i))) ++holders;
  if (holders < 2) AddLineToUnit(line);
}

std::int32_t TForestSpaceUnit::CountUnits() const {
  std::int32_t units = 1;
  for (TElement* child : Items())
    if (child->Is<TForestSpaceUnit>()) units += static_cast<TForestSpaceUnit*>(child)->CountUnits();
  return units;
}

void TForestSpaceUnit::GatherUnitLines(const std::function<void()>& unitDone) {
  if (IsEmpty() || GetLines()) return;
  // Only the children present now: the list is appended while gathering.
  const std::vector<TElement*> children = Items();
  for (TElement* child : children)
    if (child->Is<TForestSpaceUnit>() && !static_cast<TForestSpaceUnit*>(child)->GetLines())
      static_cast<TForestSpaceUnit*>(child)->GatherUnitLines(unitDone);
  for (TElement* child : children) {
    if (child->Is<TAreaElement>()) {
      auto* area = static_cast<TAreaElement*>(child);
      for (TElement* item : area->Items())
        if (item->Is<TPolyLineElement>()) GatherAreaLine(static_cast<TPolyLineElement*>(item));
      if (THolesEntity* holes = area->GetHoles())
        for (TElement* hole : holes->Items())
          if (hole->Is<TAreaElement>())
            for (TElement* item : static_cast<TAreaElement*>(hole)->Items())
              if (item->Is<TPolyLineElement>()) GatherAreaLine(static_cast<TPolyLineElement*>(item));
    } else if (child->Is<TForestSpaceUnit>()) {
      if (TPolyLineString* lines = static_cast<TForestSpaceUnit*>(child)->GetLines())
        for (TElement* item : lines->Items())
          if (item->Is<TPolyLineElement>()) GatherLine(static_cast<TPolyLineElement*>(item));
    }
  }
  if (unitDone) unitDone();
}

void RegisterForestUnitClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls :
       {&TForestSpaceUnit::StaticClass(), &TRevir::StaticClass(), &TOddeleni::StaticClass(),
        &TDilec::StaticClass(), &TPorostniSkupina::StaticClass(), &TBezlesi::StaticClass(),
        &TJine::StaticClass(), &TOstatni::StaticClass(), &TNeplochy::StaticClass()})
    RegisterZeltoClass(*cls);
}
