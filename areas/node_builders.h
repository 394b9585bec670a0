#pragma once
// Node building over the begin/end cell index: the line ends filed in one
// leaf that meet in a point become one node, whose branches stand in the
// order of the directions in which the lines leave it.
#include <cstdint>
#include <memory>

#include "areas/leaf_walkers.h"
#include "areas/line_walkers.h"

class TNode;
class TOwnerEntity;
class TPolyLineElement;
class TSpaceLineBegEndCell;

// Input: one leaf. Its nodes go to the leaf's child list "NODES".
class TPutLinesIntoNodes : public TProchazecLinii {
  ZELTO_ELEMENT(TPutLinesIntoNodes)
 public:
  // Ends closer than this in both X and Y share a node.
  static constexpr double kNodeTolerance = 0.0001;

  void DoIt() override;
  bool QGoInside(TElement* element) override;
  void Process(TElement* element) override;

  // The whole index: ends near the leaf's edge may meet a node of the
  // neighbouring leaf. Without it only the leaf's own nodes are searched.
  TSpaceLineBegEndCell* Root = nullptr;

 private:
  enum class Ends { First, Last, Both };
  void FileEnd(TPolyLineElement* line, bool atBegin);
  TNode* NodeNear(double x, double y) const;

  Ends mode_ = Ends::Both;
  TSpaceLineBegEndCell* leaf_ = nullptr;
  TOwnerEntity* nodes_ = nullptr;
};

// Runs TPutLinesIntoNodes on every leaf of the index (the Input).
class TPutNodesIntoQTree : public TProchazecListuQTreeGauge {
  ZELTO_ELEMENT(TPutNodesIntoQTree)
 public:
  void DoIt() override;
  void Process(TElement* element) override;

 private:
  std::unique_ptr<TPutLinesIntoNodes> filer_;  // one for every leaf, during DoIt
};

// Frees the leaves' "BEGINS" and "ENDS" lists once the nodes hold the lines.
class TDeleteDirectRelationsToLinesInQTree : public TProchazecListuQTreeGauge {
  ZELTO_ELEMENT(TDeleteDirectRelationsToLinesInQTree)
 public:
  void Process(TElement* element) override;
};

// The "NODES" list of a leaf; nullptr when the leaf has none.
TOwnerEntity* LeafNodes(TElement* leaf);
