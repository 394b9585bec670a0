#include "areas/area_line_relations.h"

#include <memory>
#include <unordered_map>
#include <vector>

#include "areas/area_builders.h"
#include "geometry/area_element.h"
#include "geometry/network_node.h"
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

namespace {

// The k-th line of a ring: most are plain lines, told without a cast.
TPolyLineElement* RingLine(const TPolyLineAreaElement& ring, int k) {
  TElement* item = ring.GetItem(k);
  if (item && &item->ClassType() == &TPolyLineElement::StaticClass()) return static_cast<TPolyLineElement*>(item);
  return dynamic_cast<TPolyLineElement*>(item);
}

// The nodes the ring's lines leave from, in the ring's direction; none
// when the ring is no walk of a network. Only the first is looked up among
// its line's owners: from there each branch knows the node it leads to.
std::vector<const TNode*> StartNodes(const TPolyLineAreaElement& ring) {
  const int count = ring.GetCount();
  if (count == 0) return {};
  std::vector<const TNode*> nodes;
  nodes.reserve(static_cast<std::size_t>(count));
  TNode* node = nullptr;
  TNodeBranch* branch = nullptr;
  FindNodeOfLineEnd(RingLine(ring, 0), ring.GetLineOrigin(0), node, branch);
  for (int k = 0; k < count && node; ++k) {
    TPolyLineElement* line = RingLine(ring, k);
    branch = line ? node->FindBranch(line, ring.GetLineOrigin(k)) : nullptr;
    if (!branch) return {};
    nodes.push_back(node);
    node = branch->GetFarNode();
  }
  if (static_cast<int>(nodes.size()) != count || node != nodes.front()) return {};
  return nodes;
}

// The lines of the area's own ring that go round islands. An island that
// touches the area's outer ring at one node, or hangs on it by a line, has
// no hole ring: the walk round the area goes round the island too, through
// that node. Cut at every node it passes twice, the ring falls into closed
// pieces; a piece of negative sign goes round an island as a hole ring
// would, one of nought goes out along a line and back.
std::vector<TElement*> IslandLinesOfRing(const TPolyLineAreaElement& ring) {
  const std::vector<const TNode*> nodes = StartNodes(ring);
  const int count = static_cast<int>(nodes.size());

  std::vector<TElement*> islands;
  std::vector<int> open;  // positions of the ring whose pieces are not closed yet
  std::unordered_map<const TNode*, std::size_t> openAt;  // node -> index in open
  auto close = [&](std::size_t from) {
    double sum = 0.0;
    for (std::size_t i = from; i < open.size(); ++i)
      sum += LineSignedArea(RingLine(ring, open[i]), ring.GetLineOrigin(open[i]));
    for (std::size_t i = from; i < open.size(); ++i) {
      if (sum < -TCreateAreaForBranch::kMinArea) islands.push_back(ring.GetItem(open[i]));
      openAt.erase(nodes[static_cast<std::size_t>(open[i])]);
    }
    open.resize(from);
  };
  for (int k = 0; k < count; ++k) {
    const TNode* node = nodes[static_cast<std::size_t>(k)];
    if (auto it = openAt.find(node); it != openAt.end()) close(it->second);
    openAt[node] = open.size();
    open.push_back(k);
  }
  // What is left closes at the ring's first node.
  close(0);
  return islands;
}

}  // namespace

TAreaString* TExtractSubAreasForArea::GetSubAreas() {
  if (!subAreas_) subAreas_ = new TAreaString;
  return subAreas_;
}

void TExtractSubAreasForArea::DoIt() {
  auto* area = dynamic_cast<TAreaElement*>(Input());
  if (!area) return;
  SetOutput(nullptr);
  THolesEntity* holes = area->GetHoles();
  std::vector<TElement*> islandLines;
  // Only a ring the area building found passing a node twice is cut.
  auto* ring = dynamic_cast<TPolyLineAreaElement*>(area);
  if (ring && ring->PassesNodeTwice && !area->IsHole) islandLines = IslandLinesOfRing(*ring);
  if ((!holes || holes->GetCount() == 0) && islandLines.empty()) return;
  auto holeLines = std::make_unique<TExtractHolesLinesForArea>();
  std::unique_ptr<TPolyLineString> lines(new TPolyLineString);
  holeLines->SetLines(lines.get());
  holeLines->SetInput(area);
  holeLines->DoIt();
  for (TElement* line : islandLines) holeLines->AddLine(line);
  // A list made here goes again when it cannot be handed on whole.
  const bool made = !subAreas_;
  TAreaString* result = GetSubAreas();
  try {
    for (TElement* line : lines->Items()) {
      const int owners = line->GetOwnersCount();
      for (int i = 0; i < owners; ++i) {
        TElement* owner = line->GetOwner(i);
        if (!owner || owner == lines.get() || owner == area || (holes && owner->HasOwner(holes))) continue;
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
