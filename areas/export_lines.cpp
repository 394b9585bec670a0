#include "areas/export_lines.h"

#include <array>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include "areas/export_gauge.h"
#include "framework/wcs.h"
#include "geometry/area_element.h"
#include "geometry/network_node.h"
#include "gisblock/gelix_props.h"
#include "gisblock/gelix_writers.h"
#include "gisblock/staged_block.h"

ZELTO_IMPLEMENT_ELEMENT(TPrepareExportLinesToGelix, TTool, [](auto& p) {
  p.Integer("Barva", &TPrepareExportLinesToGelix::Barva);
  p.Integer("Znacka", &TPrepareExportLinesToGelix::Znacka);
})
ZELTO_IMPLEMENT_ELEMENT(TExportLinesToGelix, TExportGelixElements, [](auto& p) {
  p.Integer("Barva", &TExportLinesToGelix::Barva);
  p.Integer("Znacka", &TExportLinesToGelix::Znacka);
})
ZELTO_IMPLEMENT_ELEMENT(TSelectLinesFromGroups, TProchazecLiniiGauge, [](auto& p) {
  p.Integer("GroupId", &TSelectLinesFromGroups::GroupId);
})

namespace areas {

std::int16_t CheckedInt16(std::int32_t value) {
  if (value < INT16_MIN || value > INT16_MAX) throw std::range_error("Range check error");
  return static_cast<std::int16_t>(value);
}

}  // namespace areas

namespace {

// The lines being written, by number: line k of the list is numbered
// first + k. A neighbour that is not written has no number in this block:
// its ID is whatever an earlier export gave it.
struct ExportedLines {
  std::int32_t first = 1;
  std::vector<const TElement*> byNumber;
  bool holds(const TElement* line) const {
    const std::int64_t k = static_cast<std::int64_t>(line->ID) - first;
    return k >= 0 && k < static_cast<std::int64_t>(byNumber.size()) && byNumber[static_cast<std::size_t>(k)] == line;
  }
};

// Link k of the block: the i32 line number and the u8 begin flag at 5 * k.
void setLink(GelixLinkBlock& links, int k, const TNodeBranch* branch, const ExportedLines& exported) {
  const bool written = branch->Line && exported.holds(branch->Line);
  const std::int32_t number = written ? branch->Line->ID : -1;
  const auto value = static_cast<std::uint32_t>(number);
  for (int b = 0; b < 4; ++b) links[5 * k + b] = static_cast<std::uint8_t>(value >> (8 * b));
  links[5 * k + 4] = written && branch->LineBegin ? 1 : 0;
}

// Each end of the line at the first of its owners that is a node holding
// it (as FindNodeOfLineEnd finds it), both in one walk of the owners.
struct LineEnd {
  TNode* node = nullptr;
  TNodeBranch* branch = nullptr;
};
std::array<LineEnd, 2> endsOf(const TPolyLineElement* line) {
  std::array<LineEnd, 2> ends;  // the begin, the end
  const std::vector<TElement*>* links = line->OwnerLinks();
  const int n = links ? static_cast<int>(links->size()) : line->GetOwnersCount();
  for (int i = 0; i < n && !(ends[0].branch && ends[1].branch); ++i) {
    TElement* owner = links ? (*links)[static_cast<std::size_t>(i)] : line->GetOwner(i);
    if (!owner || !owner->Is<TNode>()) continue;
    auto* node = static_cast<TNode*>(owner);
    for (int end = 0; end < 2; ++end)
      if (!ends[end].branch)
        if (TNodeBranch* branch = node->FindBranch(line, end == 0)) ends[end] = {node, branch};
  }
  return ends;
}

// Before and after at the begin node are links 0 and 2; at the end node
// after and before are links 1 and 3.
void linkEnd(const LineEnd& end, bool atBegin, GelixLinkBlock& links, const ExportedLines& exported) {
  if (!end.node || !end.branch) return;
  const TNodeBranch* next = end.node->NextBranch(end.branch);
  const TNodeBranch* prev = end.node->PrevBranch(end.branch);
  if (!next || !prev) return;
  setLink(links, atBegin ? 2 : 1, next, exported);
  setLink(links, atBegin ? 0 : 3, prev, exported);
}

}  // namespace

void TPrepareExportLinesToGelix::DoIt() {
  TTool::DoIt();
  interrupted_ = false;
  TElement* input = Input();
  if (!input || !input->Is<TEntity>()) return;
  // A copy: the gauge lets messages through, whose handlers may change the list.
  const std::vector<TElement*> items = static_cast<TEntity*>(input)->Items();
  counter_ = FirstNumber - 1;
  ExportedLines exported{FirstNumber, {}};
  exported.byNumber.reserve(items.size());
  for (TElement* child : items)
    if (child) child->ID = ++counter_, exported.byNumber.push_back(child);
  // The links of the lines of a large level take a while.
  areas::ExportGauge gauge("Příprava linií k exportu", static_cast<int>(items.size()), "Přerušit export linií ?");
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!gauge.step(static_cast<int>(i))) {
      interrupted_ = true;
      return;
    }
    TElement* child = items[i];
    if (!child || !child->Is<TPolyLineElement>()) continue;
    auto* line = static_cast<TPolyLineElement*>(child);
    if (!line->GetProperties() || !line->GetProperties()->Is<TGelixLineProps>()) continue;
    auto* props = static_cast<TGelixLineProps*>(line->GetProperties());
    if (Barva > -1) props->Barva = areas::CheckedInt16(Barva);
    if (Znacka > -1) props->Znacka = areas::CheckedInt16(Znacka);
    GelixLinkBlock links = props->Links;
    const std::array<LineEnd, 2> ends = endsOf(line);
    linkEnd(ends[0], true, links, exported);
    linkEnd(ends[1], false, links, exported);
    props->Links = links;
  }
  SetOutput(input);
}

void TExportLinesToGelix::DoIt() {
  TTool::DoIt();
  TElement* input = Input();
  if (!input || !input->Is<TEntity>() || BlockName.empty()) return;
  auto* lines = static_cast<TEntity*>(input);
  bool interrupted = false;
  {
    TPrepareExportLinesToGelix prepare;
    prepare.Barva = Barva;
    prepare.Znacka = Znacka;
    prepare.SetInput(input);
    prepare.DoIt();
    interrupted = prepare.Interrupted();
  }
  gisblock::StagedBlock* staged = BeginBlock();
  if (!staged) return;
  if (interrupted) {
    EndBlock(true);
    return;
  }
  gisblock::FileFailure opening;
  // Before `new TJTSK`: a failure in between would leak the system.
  const std::string target = TargetDirectory();
  std::unique_ptr<TGelixLinWriter> writer(
      WriteEmptyBlock() ? TGelixLinWriter::CreateForBlock(target, true, new TJTSK, &opening) : nullptr);
  if (WriterWorks(writer.get(), opening)) {
    writer->ShownPath = staged->shownFile(writer->GetFileName());
    if (JedenDruh > 0) writer->Druh = areas::CheckedInt16(JedenDruh);
    areas::ExportGauge gauge("Export linií do " + BlockName, lines->GetCount(), "Přerušit export linií ?");
    const std::vector<TElement*> items = lines->Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (!gauge.step(static_cast<int>(i))) {
        interrupted = true;
        break;
      }
      TElement* child = items[i];
      if (!child || !child->Is<TPolyLineElement>()) continue;
      auto* line = static_cast<TPolyLineElement*>(child);
      if (writer->WriteLine(line)) ++summary_.Lines;
      ExportObject(line);
      if (!WriterWorks(writer.get())) break;
    }
    writer->FlushWrites();
    WriterWorks(writer.get());
  }
  writer.reset();
  EndBlock(interrupted);
}

void TSelectLinesFromGroups::DoIt() {
  if (!Output() || !Output()->Is<TPolyLineString>()) return;
  TProchazecLiniiGauge::DoIt();
}

TElement* TSelectLinesFromGroups::groupOf(TElement* owner) const {
  TElement* area = owner;
  if (owner->Is<TAreaElement>() && static_cast<TAreaElement*>(owner)->IsHole) {
    area = static_cast<TAreaElement*>(owner)->GetHoleOwnerArea();
    if (!area) return nullptr;
  }
  for (int i = 0; i < area->GetOwnersCount(); ++i) {
    TElement* group = area->GetOwner(i);
    if (group && group->ID == GroupId) return group;
  }
  return nullptr;
}

void TSelectLinesFromGroups::Process(TElement* element) {
  if (!IsWalkedLine(element)) return;
  ++Count;
  StepGauge(Count);
  TElement* owners[2] = {nullptr, nullptr};
  int found = 0;
  for (int i = 0; i < element->GetOwnersCount() && found < 2; ++i)
    if (TElement* owner = element->GetOwner(i)) owners[found++] = owner;
  const bool selected = found < 2 || groupOf(owners[0]) != groupOf(owners[1]);
  if (selected) static_cast<TEntity*>(Output())->Add(element);
}
