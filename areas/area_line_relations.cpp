#include "areas/area_line_relations.h"

#include <memory>

#include "geometry/area_element.h"
#include "geometry/poly_element.h"

ZELTO_IMPLEMENT_ELEMENT(TExtractAnyLines, TTool, [](auto& p) {
  p.Object("Lines", TPolyLineString::StaticClass(), &TExtractAnyLines::GetLines, &TExtractAnyLines::SetLines);
})
ZELTO_IMPLEMENT_ELEMENT(TExtractAnyLinesForArea, TExtractAnyLines, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TExtractBounderyLinesForArea, TExtractAnyLinesForArea, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TExtractHolesLinesForArea, TExtractAnyLinesForArea, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TExtractLinesForAreas, TExtractAnyLines, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TExtractSubAreasForArea, TTool, [](auto& p) {
  p.Object("SubAreas", TAreaString::StaticClass(), &TExtractSubAreasForArea::GetSubAreas,
           &TExtractSubAreasForArea::SetSubAreas);
  p.Object("AreaString", TElement::StaticClass(), &TExtractSubAreasForArea::AreaString,
           &TExtractSubAreasForArea::AreaString);
})

TPolyLineString* TExtractAnyLines::GetLines() {
  if (!lines_) SetLines(new TPolyLineString);
  return lines_;
}

void TExtractAnyLines::SetLines(TPolyLineString* lines) {
  lines_ = lines;
  listed_.clear();
  seeded_ = false;
}

void TExtractAnyLines::AddLine(TElement* line) {
  if (!line) return;
  TPolyLineString* lines = GetLines();
  if (!seeded_) {
    listed_.insert(lines->Items().begin(), lines->Items().end());
    seeded_ = true;
  }
  if (!listed_.insert(line).second) return;
  lines->AddAndExtend(line);
}

void TExtractBounderyLinesForArea::DoIt() {
  auto* area = dynamic_cast<TEntity*>(Input());
  if (!area) return;
  for (TElement* child : area->Items())
    if (child) AddLine(child);
  SetOutput(GetLines());
}

void TExtractHolesLinesForArea::DoIt() {
  auto* area = dynamic_cast<TAreaElement*>(Input());
  if (!area) return;
  if (THolesEntity* holes = area->GetHoles()) {
    auto boundary = std::make_unique<TExtractBounderyLinesForArea>();
    boundary->SetLines(GetLines());
    for (TElement* hole : holes->Items()) {
      boundary->SetInput(hole);
      boundary->DoIt();
    }
    // The lines the helper added are ours to know about too.
    SetLines(GetLines());
  }
  SetOutput(GetLines());
}

void TExtractLinesForAreas::DoIt() {
  auto* areas = dynamic_cast<TEntity*>(Input());
  if (!areas) return;
  for (TElement* area : areas->Items())
    if (area) ExtractForArea(area);
  SetOutput(GetLines());
}

void TExtractLinesForAreas::ExtractForArea(TElement* area) {
  auto* entity = dynamic_cast<TEntity*>(area);
  if (!entity) return;
  // Inline rather than through a boundary tool per area, so that the set of
  // listed lines is kept across the areas.
  for (TElement* child : entity->Items())
    if (child) AddLine(child);
}

TAreaString* TExtractSubAreasForArea::GetSubAreas() {
  if (!subAreas_) subAreas_ = new TAreaString;
  return subAreas_;
}

void TExtractSubAreasForArea::DoIt() {
  auto* area = dynamic_cast<TAreaElement*>(Input());
  if (!area) return;
  SetOutput(nullptr);
  THolesEntity* holes = area->GetHoles();
  if (!holes || holes->GetCount() == 0) return;
  auto holeLines = std::make_unique<TExtractHolesLinesForArea>();
  std::unique_ptr<TPolyLineString> lines(new TPolyLineString);
  holeLines->SetLines(lines.get());
  holeLines->SetInput(area);
  holeLines->DoIt();
  // A list made here goes again when it cannot be handed on whole.
  const bool made = !subAreas_;
  TAreaString* result = GetSubAreas();
  try {
    for (TElement* line : lines->Items()) {
      const int owners = line->GetOwnersCount();
      for (int i = 0; i < owners; ++i) {
        TElement* owner = line->GetOwner(i);
        if (!owner || owner == lines.get() || owner->HasOwner(holes)) continue;
        if (AreaString && !owner->HasOwner(AreaString)) continue;
        result->AddAndExtend(owner);
      }
    }
    SetOutput(result);
  } catch (...) {
    if (made) {
      result->Clear();
      delete result;
      subAreas_ = nullptr;
    }
    throw;
  }
}
