#include "areas/lines_absc_entity.h"

#include <memory>

ZELTO_IMPLEMENT_ELEMENT(TLinesAbscEntity, TEntity, ZELTO_NO_PROPERTIES)

void TLinesAbscEntity::AddLineSegments(TPolyLineElement* line) {
  for (int i = 0; i + 1 < line->GetCoordsCount(); ++i) AddSegment(line, i);
}

void TLinesAbscEntity::AddSegment(TPolyLineElement* line, int index) {
  auto* segment = Adopt(new TGlxLinAbscissa);
  segment->Line = line;
  segment->Index = index;
  if (line == newLine_) ++newCount_;
}

void TLinesAbscEntity::Renumber(int from, const TPolyLineElement* line, int delta) {
  for (int j = from; j < GetCount(); ++j) {
    TGlxLinAbscissa* s = Segment(j);
    if (s->Line != line) continue;
    s->Index += delta;
  }
}

void TLinesAbscEntity::DeleteAt(int position) {
  TGlxLinAbscissa* segment = Segment(position);
  TPolyLineElement* line = segment->Line;
  if (line && segment->Index < line->GetCount()) line->Delete(line->GetItem(segment->Index));
  Remove(segment);
  delete segment;
  if (line == newLine_) --newCount_;
  Renumber(position, line, -1);
}

void TLinesAbscEntity::InsertAfter(int position, TGlxLinAbscissa* piece) {
  Renumber(position + 1, piece->Line, +1);
  Insert(position + 1, piece);
  if (piece->Line == newLine_) ++newCount_;
}

TGlxLinAbscissa* TLinesAbscEntity::SplitAt(int position, double x, double y) {
  TGlxLinAbscissa* piece = nullptr;
  Segment(position)->SplitAt(x, y, piece);
  if (!piece) return nullptr;
  // Held here until the list takes it.
  std::unique_ptr<TGlxLinAbscissa> owned(piece);
  InsertAfter(position, piece);
  return owned.release();
}
