#include "areas/node_connectors.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "areas/node_builders.h"
#include "framework/problem_report.h"
#include "geometry/network_node.h"

ZELTO_IMPLEMENT_ELEMENT(TNodeConector, TTool, [](auto& p) {
  p.Boolean("JoinDifferentLines", &TNodeConector::JoinDifferentLines, &TNodeConector::JoinDifferentLines);
  p.Boolean("DeletePseudoNode", &TNodeConector::DeletePseudoNode, &TNodeConector::DeletePseudoNode);
  p.Integer("MaxCoordsCount", &TNodeConector::MaxCoordsCount, &TNodeConector::MaxCoordsCount);
})
ZELTO_IMPLEMENT_ELEMENT(TNodesConector, TProchazecListuQTreeGauge, [](auto& p) {
  p.Boolean("JoinDifferentLines", &TNodesConector::JoinDifferentLines, &TNodesConector::JoinDifferentLines);
  p.Boolean("DeletePseudoNodes", &TNodesConector::DeletePseudoNodes, &TNodesConector::DeletePseudoNodes);
  p.Integer("MaxCoordsCount", &TNodesConector::MaxCoordsCount, &TNodesConector::MaxCoordsCount);
})

namespace {

std::int32_t KindOf(TPolyLineElement* line) {
  try {
    return line->GetPropertyInt("Druh");
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
    return 0;
  }
}

}  // namespace

void TNodeConector::DoIt() {
  auto* node = dynamic_cast<TNode*>(Input());
  if (node && Connect(*node)) SetInput(nullptr);
}

bool TNodeConector::Connect(TNode& node) {
  if (DeletePseudoNode && node.GetBranchCount() == 2 && JoinAtPseudoNode(node)) {
    delete &node;
    return true;
  }
  LinkFarNodes(node);
  return false;
}

void TNodeConector::LinkFarNodes(TNode& node) {
  const std::int32_t branches = node.GetBranchCount();
  for (std::int32_t i = 0; i < branches; ++i) {
    auto* branch = static_cast<TNodeBranch*>(node.GetItem(i));
    if (branch->GetFarNode()) continue;
    TNode* far;
    TNodeBranch* farBranch;
    branch->GetFarEnd(far, farBranch);
    branch->SetFarNode(far);
    if (farBranch) farBranch->SetFarNode(&node);
  }
}

bool TNodeConector::JoinAtPseudoNode(TNode& node) {
  auto* b0 = dynamic_cast<TNodeBranch*>(node.GetItem(0));
  auto* b1 = dynamic_cast<TNodeBranch*>(node.GetItem(1));
  if (!b0 || !b1 || !b0->Line || !b1->Line) return false;
  TPolyLineElement* l0 = b0->Line;
  TPolyLineElement* l1 = b1->Line;
  if (l0 == l1) return false;
  if (MaxCoordsCount > 0 && l0->GetCoordsCount() + l1->GetCoordsCount() - 1 > MaxCoordsCount) return false;
  TNode *f0, *f1;
  TNodeBranch *g0, *g1;
  b0->GetFarEnd(f0, g0);
  b1->GetFarEnd(f1, g1);
  // Without both far ends the joined line could not be filed again.
  if (!g0 || !g1 || b0 == g1) return false;
  if (!JoinDifferentLines && KindOf(l0) != KindOf(l1)) return false;
  const bool l0Begins = b0->LineBegin;
  const int n1 = l1->GetCoordsCount();
  const int n0 = l0->GetCoordsCount();
  T2DCoordinate* shared0 = l0->GetCoordFrom(0, l0Begins);
  T2DCoordinate* shared1 = l1->GetCoordFrom(0, b1->LineBegin);
  std::vector<TElement*> order;
  // Appended; joining at the begin then moves the vertices once into
  // place, rather than inserting each in front of all the others.
  int appended = 0;
  try {
    if (l0Begins) order.reserve(static_cast<std::size_t>(l0->GetCount() + n1));
    for (int i = 1; i < n1; ++i, ++appended) l0->Add(l1->GetCoordFrom(l0Begins ? n1 - i : i, b1->LineBegin));
  } catch (const std::exception& e) {
    // Both lines as they were: the node and its two branches stay valid.
    for (; appended > 0; --appended) l0->Remove(l0->GetItem(l0->GetCount() - 1));
    // Memory that ran out is no fault of these lines: a network left with
    // a pseudo-node it could not join is given up by the caller.
    if (dynamic_cast<const std::bad_alloc*>(&e)) throw;
    std::string number;
    try {
      number = l0->PropertyText("Cislo");
    } catch (const std::exception&) {
    }
    zelto::ReportProblem("Chyba při spojování v pseudouzlu linie č." + number + ": " + e.what(),
                         std::string("Chyba při spojování v pseudouzlu: ") + e.what());
    return false;
  }
  // From here on the join cannot be taken back: a failure goes to the caller,
  // whose network is then given up.
  if (l0Begins) {
    order.assign(l0->Items().begin(), l0->Items().end());
    std::rotate(order.begin(), order.begin() + n0, order.end());
    for (std::size_t k = 0; k < order.size(); ++k) l0->PutItem(static_cast<int>(k), order[k]);
  }
  l1->Clear();
  if (shared1 != shared0) delete shared1;
  if (Joined) Joined->erase(l1);
  delete l1;  // leaves every container, this node and F1
  if (Joined) {
    Joined->insert(l0);
  } else {
    l0->RecalcEnvelope();
    l0->SetLabelPoint();
  }
  f1->Delete(g1);
  TNodeBranch* joined = f1->AddLine(l0, l0Begins);
  if (joined) joined->SetFarNode(f0);
  // F0's branch pointed at the node about to go.
  if (g0->GetFarNode() == &node) g0->SetFarNode(f1);
  return true;
}

void FinishJoinedLines(std::unordered_set<TPolyLineElement*>& joined) {
  for (TPolyLineElement* line : joined) {
    line->RecalcEnvelope();
    line->SetLabelPoint();
  }
  joined.clear();
}

void TNodesConector::DoIt() {
  joined_.clear();
  TProchazecListuQTreeGauge::DoIt();
  FinishJoinedLines(joined_);
}

void TNodesConector::Process(TElement* element) {
  ++Count;
  StepGauge(Count);
  TOwnerEntity* nodes = LeafNodes(element);
  if (!nodes) return;
  auto connector = std::make_unique<TNodeConector>();
  connector->JoinDifferentLines = JoinDifferentLines;
  connector->DeletePseudoNode = DeletePseudoNodes;
  connector->MaxCoordsCount = MaxCoordsCount;
  connector->Joined = &joined_;
  int i = 0;
  while (i < nodes->GetCount()) {
    const int before = nodes->GetCount();
    TElement* e = nodes->GetItem(i);
    if (e && e->Is<TNode>()) connector->Connect(*static_cast<TNode*>(e));
    if (nodes->GetCount() == before) ++i;
  }
}
