#include "areas/node_builders.h"

#include <cmath>
#include <memory>

#include "geometry/line_end_cells.h"
#include "geometry/network_node.h"

ZELTO_IMPLEMENT_ELEMENT(TPutLinesIntoNodes, TProchazecLinii, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TPutNodesIntoQTree, TProchazecListuQTreeGauge, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TDeleteDirectRelationsToLinesInQTree, TProchazecListuQTreeGauge, [](auto&) {})

namespace {
constexpr const char* kNodesName = "NODES";
}  // namespace

TOwnerEntity* LeafNodes(TElement* leaf) {
  auto* cell = dynamic_cast<TEntity*>(leaf);
  if (!cell) return nullptr;
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
    nodes_ = new TOwnerEntity;
    nodes_->SetName(kNodesName);
    leaf_->Add(nodes_);
  }
  auto* line = static_cast<TPolyLineElement*>(element);
  if (mode_ != Ends::Last) FileEnd(line, true);
  if (mode_ != Ends::First) FileEnd(line, false);
  line->SetIsDone(true);
  ++Count;
}

void TPutLinesIntoNodes::FileEnd(TPolyLineElement* line, bool atBegin) {
  double x, y;
  GetLineVertex(line, 0, atBegin, x, y);
  TNode* node = nullptr;
  for (TElement* e : nodes_->Items()) {
    if (!e || !e->Is<TNode>()) continue;
    auto* n = static_cast<TNode*>(e);
    if (std::fabs(n->GetX() - x) < kNodeTolerance && std::fabs(n->GetY() - y) < kNodeTolerance) {
      node = n;
      break;
    }
  }
  if (!node) {
    node = new TNode;
    nodes_->Add(node);
  }
  node->AddLine(line, atBegin);
}

void TPutNodesIntoQTree::Process(TElement* element) {
  ++Count;
  auto filer = std::make_unique<TPutLinesIntoNodes>();
  filer->SetInput(element);
  filer->DoIt();
  StepGauge(Count);
}

void TDeleteDirectRelationsToLinesInQTree::Process(TElement* element) {
  ++Count;
  if (auto* leaf = dynamic_cast<TSpaceLineBegEndCell*>(element)) leaf->DropLineLists();
  StepGauge(Count);
}
