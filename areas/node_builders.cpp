#include "areas/node_builders.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "geometry/line_end_cells.h"
#include "geometry/network_node.h"

ZELTO_IMPLEMENT_ELEMENT(TPutLinesIntoNodes, TProchazecLinii, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TPutNodesIntoQTree, TProchazecListuQTreeGauge, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TDeleteDirectRelationsToLinesInQTree, TProchazecListuQTreeGauge, [](auto&) {})

namespace {
constexpr const char* kNodesName = "NODES";
}  // namespace

TOwnerEntity* LeafNodes(TElement* leaf) {
  if (!leaf || !leaf->Is<TEntity>()) return nullptr;
  auto* cell = static_cast<TEntity*>(leaf);
  for (TElement* child : cell->Items())
    if (child && !child->Is<TRectEntity>() && child->Is<TOwnerEntity>() && child->GetName() == kNodesName)
      return static_cast<TOwnerEntity*>(child);
  return nullptr;
}

void TPutLinesIntoNodes::DoIt() {
  leaf_ = dynamic_cast<TSpaceLineBegEndCell*>(Input());
  if (!leaf_) return;
  nodes_ = LeafNodes(leaf_);
  mode_ = Ends::Both;
  TProchazecObjektu::DoIt();
}

bool TPutLinesIntoNodes::QGoInside(TElement* element) {
  if (!element || !element->Is<TRectEntity>() || IsWalkedLine(element)) return false;
  const std::string name = element->Is<TPolyLineString>() ? element->GetName() : std::string();
  mode_ = name == "BEGINS" ? Ends::First : name == "ENDS" ? Ends::Last : Ends::Both;
  return true;
}

void TPutLinesIntoNodes::Process(TElement* element) {
  if (!IsWalkedLine(element)) return;
  PumpWhenDue();
  if (!nodes_) {
    std::unique_ptr<TOwnerEntity> nodes(new TOwnerEntity);
    nodes->SetName(kNodesName);
    leaf_->Add(nodes.get());
    nodes_ = nodes.release();
  }
  auto* line = static_cast<TPolyLineElement*>(element);
  if (mode_ != Ends::Last) FileEnd(line, true);
  if (mode_ != Ends::First) FileEnd(line, false);
  line->SetIsDone(true);
  ++Count;
}

namespace {
TNode* NodeWithin(const TOwnerEntity* nodes, double x, double y) {
  if (!nodes) return nullptr;
  for (TElement* e : nodes->Items()) {
    if (!e || !e->Is<TNode>()) continue;
    auto* n = static_cast<TNode*>(e);
    if (std::fabs(n->GetX() - x) < TPutLinesIntoNodes::kNodeTolerance &&
        std::fabs(n->GetY() - y) < TPutLinesIntoNodes::kNodeTolerance)
      return n;
  }
  return nullptr;
}
}  // namespace

TNode* TPutLinesIntoNodes::NodeNear(double x, double y) const {
  if (TNode* n = NodeWithin(nodes_, x, y)) return n;
  const double t = kNodeTolerance;
  if (!Root || (x - leaf_->GetMinX() >= t && leaf_->GetMaxX() - x >= t && y - leaf_->GetMinY() >= t &&
                leaf_->GetMaxY() - y >= t))
    return nullptr;
  // An end that close to the leaf's edge may have its partner filed in the
  // leaf next door, which may already hold their node.
  TSpaceLineBegEndCell* seen[5] = {leaf_};
  int count = 1;
  for (auto [dx, dy] : {std::pair{-t, -t}, {-t, t}, {t, -t}, {t, t}}) {
    TSpaceLineBegEndCell* cell = Root->LeafAt(x + dx, y + dy);
    if (std::find(seen, seen + count, cell) != seen + count) continue;
    seen[count++] = cell;
    if (TNode* n = NodeWithin(LeafNodes(cell), x, y)) return n;
  }
  return nullptr;
}

void TPutLinesIntoNodes::FileEnd(TPolyLineElement* line, bool atBegin) {
  double x, y;
  GetLineVertex(line, 0, atBegin, x, y);
  TNode* node = NodeNear(x, y);
  if (!node) {
    node = nodes_->Adopt(new TNode);
  }
  node->AddLine(line, atBegin);
}

void TPutNodesIntoQTree::DoIt() {
  filer_ = std::make_unique<TPutLinesIntoNodes>();
  filer_->Root = dynamic_cast<TSpaceLineBegEndCell*>(Input());
  TProchazecListuQTreeGauge::DoIt();
  filer_.reset();
}

void TPutNodesIntoQTree::Process(TElement* element) {
  ++Count;
  if (filer_) {
    filer_->SetInput(element);
    filer_->DoIt();
  }
  StepGauge(Count);
}

void TDeleteDirectRelationsToLinesInQTree::Process(TElement* element) {
  ++Count;
  if (auto* leaf = dynamic_cast<TSpaceLineBegEndCell*>(element)) leaf->DropLineLists();
  StepGauge(Count);
}
