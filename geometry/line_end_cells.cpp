#include "geometry/line_end_cells.h"

#include <memory>

ZELTO_IMPLEMENT_ELEMENT(TSpaceRect, TRectEntity, [](auto& p) {
  p.Boolean("Last", &TSpaceRect::GetLast);
})
ZELTO_IMPLEMENT_ELEMENT(TSpaceLineBegEndCell, TSpaceRect, [](auto& p) {
  p.Integer("Count", &TSpaceLineBegEndCell::GetEntriesCount);
})

void TSpaceRect::Split() {
  CenterX = (GetMaxX() + GetMinX()) / 2.0;
  CenterY = (GetMaxY() + GetMinY()) / 2.0;
  auto make = [&](double minX, double minY, double maxX, double maxY, const char* name) {
    std::unique_ptr<TSpaceRect> cell(static_cast<TSpaceRect*>(ClassType().Create()));
    cell->SetMinX(minX);
    cell->SetMinY(minY);
    cell->SetMaxX(maxX);
    cell->SetMaxY(maxY);
    cell->SetName(name);
    cell->Depth = Depth + 1;
    return cell;
  };
  // All four or none: a cell that fails to split stays a leaf.
  std::unique_ptr<TSpaceRect> cells[4] = {make(GetMinX(), GetMinY(), CenterX, CenterY, "LEVY DOLNI"),
                                          make(GetMinX(), CenterY, CenterX, GetMaxY(), "LEVY HORNI"),
                                          make(CenterX, GetMinY(), GetMaxX(), CenterY, "PRAVY DOLNI"),
                                          make(CenterX, CenterY, GetMaxX(), GetMaxY(), "PRAVY HORNI")};
  AddAllOrNone({cells[0].get(), cells[1].get(), cells[2].get(), cells[3].get()});
  LevyDolni = cells[0].release();
  LevyHorni = cells[1].release();
  PravyDolni = cells[2].release();
  PravyHorni = cells[3].release();
  Last = false;
}

std::int32_t TSpaceLineBegEndCell::GetEntriesCount() const {
  if (Last)
    return (begins_ ? begins_->GetCount() : 0) + (ends_ ? ends_->GetCount() : 0);
  std::int32_t count = 0;
  for (TSpaceRect* c : {LevyDolni, LevyHorni, PravyDolni, PravyHorni})
    if (c) count += c->GetEntriesCount();
  return count;
}

void TSpaceLineBegEndCell::AddLineEnd(TPolyLineElement* line, bool atBegin) {
  double x, y;
  GetLineVertex(line, 0, atBegin, x, y);
  InsertAt(line, atBegin, x, y);
}

bool TSpaceLineBegEndCell::MaySplit() const {
  return Depth < kMaxDepth && (GetWidth() >= kMinCellSide || GetHeight() >= kMinCellSide);
}

TSpaceLineBegEndCell* TSpaceLineBegEndCell::ChildFor(double x, double y) const {
  TSpaceRect* c;
  if (x < CenterX) c = y < CenterY ? LevyDolni : LevyHorni;
  else c = y < CenterY ? PravyDolni : PravyHorni;
  return static_cast<TSpaceLineBegEndCell*>(c);
}

TSpaceLineBegEndCell* TSpaceLineBegEndCell::LeafAt(double x, double y) {
  TSpaceLineBegEndCell* cell = this;
  while (!cell->Last) cell = cell->ChildFor(x, y);
  return cell;
}

void TSpaceLineBegEndCell::InsertAt(TPolyLineElement* line, bool atBegin, double x, double y) {
  if (Last) {
    if (GetEntriesCount() < kCapacity || !MaySplit()) {
      AddToList(line, atBegin);
      return;
    }
    Split();
    Redistribute();
  }
  ChildFor(x, y)->InsertAt(line, atBegin, x, y);
}

void TSpaceLineBegEndCell::Redistribute() {
  for (bool atBegin : {true, false}) {
    TPolyLineString*& list = atBegin ? begins_ : ends_;
    if (!list) continue;
    const std::vector<TElement*> lines = list->Items();
    for (TElement* e : lines) {
      auto* line = static_cast<TPolyLineElement*>(e);
      double x, y;
      GetLineVertex(line, 0, atBegin, x, y);
      TSpaceLineBegEndCell* child = ChildFor(x, y);
      if (x < CenterX) child->AddToList(line, atBegin);
      else child->InsertAt(line, atBegin, x, y);
    }
    TPolyLineString* old = list;
    list = nullptr;
    Delete(old);
  }
}

void TSpaceLineBegEndCell::AddToList(TPolyLineElement* line, bool atBegin) {
  TPolyLineString*& list = atBegin ? begins_ : ends_;
  if (!list) {
    list = Adopt(new TPolyLineString);
    list->SetName(atBegin ? "BEGINS" : "ENDS");
  }
  list->AddAndExtend(line);
}

void TSpaceLineBegEndCell::DropLineLists() {
  for (TPolyLineString** list : {&begins_, &ends_}) {
    TPolyLineString* old = *list;
    *list = nullptr;
    if (old) Delete(old);
  }
}
