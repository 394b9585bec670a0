#include "areas/line_end_readers.h"

#include <memory>

#include "geometry/line_end_cells.h"
#include "geometry/poly_element.h"

ZELTO_IMPLEMENT_ELEMENT(TReadLinesIntoQTree, TProchazecLiniiGauge, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TReadLinesIntoQTreeDleTridy, TProchazecLiniiDleTridy, [](auto&) {})

namespace {

TElement* SourceOf(TTool& tool) {
  return tool.HasNoParameters() ? tool.Input() : tool.GetParameterByIndex(0);
}

std::unique_ptr<TSpaceLineBegEndCell> NewIndex(const std::string& name, const TRectEntity& source) {
  std::unique_ptr<TSpaceLineBegEndCell> index(new TSpaceLineBegEndCell);
  index->SetName(name);
  index->SetMinX(source.GetMinX());
  index->SetMaxX(source.GetMaxX());
  index->SetMinY(source.GetMinY());
  index->SetMaxY(source.GetMaxY());
  return index;
}

void FileBothEnds(TSpaceLineBegEndCell& index, TPolyLineElement& line) {
  index.AddLineEnd(&line, true);
  index.AddLineEnd(&line, false);
  line.SetIsDone(true);
}

}  // namespace

void TReadLinesIntoQTree::DoIt() {
  auto* source = dynamic_cast<TRectEntity*>(SourceOf(*this));
  if (!source || !source->GetIsValid()) return;
  std::unique_ptr<TSpaceLineBegEndCell> index = NewIndex("QTREE", *source);
  index_ = index.get();
  SetInput(source);
  GaugeStep = 10;
  try {
    TProchazecLiniiGauge::DoIt();
    SetOutput(index_);
  } catch (...) {
    // A half-filled index would give the next step a network that lacks lines.
    index_ = nullptr;
    HideGauge();
    throw;
  }
  index.release();
}

void TReadLinesIntoQTree::Process(TElement* element) {
  if (!IsWalkedLine(element) || !index_) return;
  auto* line = static_cast<TPolyLineElement*>(element);
  if (!line->GetIsDone()) {
    FileBothEnds(*index_, *line);
    StepGauge(Count);
  }
  ++Count;
}

void TReadLinesIntoQTreeDleTridy::DoIt() {
  auto* source = dynamic_cast<TRectEntity*>(SourceOf(*this));
  if (!source) return;
  std::unique_ptr<TSpaceLineBegEndCell> index = NewIndex("QTREE " + GetContainerClassName(), *source);
  index_ = index.get();
  SetInput(source);
  try {
    TProchazecLiniiDleTridy::DoIt();
    // Added afterwards, so that the walk does not descend into what it builds.
    source->Add(index_);
    SetOutput(index_);
  } catch (...) {
    source->Remove(index_);
    index_ = nullptr;
    throw;
  }
  index.release();
}

void TReadLinesIntoQTreeDleTridy::Process(TElement* element) {
  if (!IsContainer(element) || !index_) return;
  auto* entity = static_cast<TEntity*>(element);
  auto* lines = static_cast<TPolyLineString*>(entity->FindElementByClass(TPolyLineString::StaticClass()));
  if (!lines) return;
  for (TElement* item : lines->Items()) {
    if (!IsWalkedLine(item)) continue;
    auto* line = static_cast<TPolyLineElement*>(item);
    if (!line->GetIsDone()) {
      FileBothEnds(*index_, *line);
      StepGauge(Count);
    }
    ++Count;
  }
}
