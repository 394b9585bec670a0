#pragma once
// Network nodes: every place where line ends meet, with the line ends as
// branches ordered by the direction in which the lines leave the node.
// Walking from a branch to the far node and turning to the next branch there
// traces one face of the network.
#include <cstdint>

#include "geometry/poly_element.h"

class TNode;

class TNodeBranch : public TElement {
  ZELTO_ELEMENT(TNodeBranch)
 public:
  // Direction of the first segment leaving the node, in (0, 2*pi].
  double GetAngle() const;
  double GetX2() const;
  double GetY2() const;
  void GetFarEnd(TNode*& node, TNodeBranch*& branch) const;
  TElement* GetLeftArea() const;
  TNodeBranch* NextAtFarNode(TNode*& node) const;
  // The face to the right of the walk; area is the sum of the lines' signed
  // shares (left unchanged when the branch has no far node). Steps of 10000,
  // a broken chain or a branch already marked end the walk with ok false.
  void WalkRing(double& area, bool& ok, std::int32_t& steps, bool mark);

  void SetFarNode(TNode* node) { farNode_ = node; }
  TNode* GetFarNode() const { return farNode_; }

  bool LineBegin = false;
  bool NotRegularArea = false;
  TElement* RightArea = nullptr;  // not owned
  TPolyLineElement* Line = nullptr;  // not owned

 private:
  TNode* farNode_ = nullptr;
};

class TNode : public TRectEntity {
  ZELTO_ELEMENT(TNode)
 public:
  // Files the line's first vertex (atBegin) or last at this node; the
  // node's position is the end of its first line. Returns the branch.
  TNodeBranch* AddLine(TPolyLineElement* line, bool atBegin);
  TNodeBranch* FindBranch(const TPolyLineElement* line, bool atBegin) const;
  TPolyLineElement* FindLine(const TPolyLineElement* line) const;
  void InsertBranchSorted(TNodeBranch* branch);
  TNodeBranch* NextBranch(const TNodeBranch* branch) const;
  TNodeBranch* PrevBranch(const TNodeBranch* branch) const;

  double GetX() const { return x_; }
  double GetY() const { return y_; }
  // The branches lead the child list.
  std::int32_t GetBranchCount() const;

  // The area whose ring was walked through this node last; only compared,
  // never followed (it may be gone).
  const TElement* LastRing = nullptr;

 private:
  int IndexOfBranch(const TNodeBranch* branch) const;
  // The end of the first line filed; 0, 0 before any. Kept in the node:
  // a network has as many nodes as lines, and each would be one more
  // object to make and free.
  double x_ = 0.0;
  double y_ = 0.0;
  bool placed_ = false;
};

void FindNodeOfLineEnd(const TPolyLineElement* line, bool atBegin, TNode*& node,
                       TNodeBranch*& branch);
