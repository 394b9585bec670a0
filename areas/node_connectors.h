#pragma once
// Connecting the nodes of the cell index: a node where exactly two lines
// meet may be removed by joining the lines into one; every branch learns the
// node at the far end of its line.
#include <cstdint>
#include <unordered_set>

#include "areas/leaf_walkers.h"
#include "framework/tool.h"

class TNode;
class TPolyLineElement;

// Input: one node.
class TNodeConector : public TTool {
  ZELTO_ELEMENT(TNodeConector)
 public:
  bool JoinDifferentLines = false;
  bool DeletePseudoNode = false;
  std::int32_t MaxCoordsCount = 0;  // 0: no limit

  void DoIt() override;
  // The work of DoIt on a node at hand; true when the node was joined away
  // and freed.
  bool Connect(TNode& node);
  // Joins the two lines of the node into its first branch's line; false
  // (nothing changed) when the join is refused. The node is left to the caller.
  bool JoinAtPseudoNode(TNode& node);

  // When given, a joined line's envelope and label point wait until the
  // caller has joined the whole chain (FinishJoinedLines); a chain of n
  // pieces then costs n appends, not n recomputations of the growing line.
  std::unordered_set<TPolyLineElement*>* Joined = nullptr;

 private:
  void LinkFarNodes(TNode& node);
};

// Runs a TNodeConector on every node of every leaf.
class TNodesConector : public TProchazecListuQTreeGauge {
  ZELTO_ELEMENT(TNodesConector)
 public:
  bool JoinDifferentLines = false;
  bool DeletePseudoNodes = false;
  std::int32_t MaxCoordsCount = 0;

  void DoIt() override;
  void Process(TElement* element) override;

 private:
  std::unordered_set<TPolyLineElement*> joined_;
};

// Envelope and label point of each line the joining lengthened, once.
void FinishJoinedLines(std::unordered_set<TPolyLineElement*>& joined);
