#include "geometry/network_node.h"

#include <memory>
#include <vector>

#include "framework/message_dispatch.h"
#include "platform/pacer.h"
#include "platform/user_interaction.h"

ZELTO_IMPLEMENT_ELEMENT(TNodeBranch, TElement, [](auto& p) {
  p.Boolean("LineBegin", &TNodeBranch::LineBegin, &TNodeBranch::LineBegin);
  p.Boolean("NotRegularArea", &TNodeBranch::NotRegularArea, &TNodeBranch::NotRegularArea);
  p.Object("RightArea", TElement::StaticClass(), &TNodeBranch::RightArea, &TNodeBranch::RightArea);
  p.Object("Line", TPolyLineElement::StaticClass(), &TNodeBranch::Line, &TNodeBranch::Line);
  p.Float("Angle", &TNodeBranch::GetAngle);
  p.Float("X2", &TNodeBranch::GetX2);
  p.Float("Y2", &TNodeBranch::GetY2);
  p.Object("LeftArea", TElement::StaticClass(), &TNodeBranch::GetLeftArea);
})
ZELTO_IMPLEMENT_ELEMENT(TNode, TRectEntity, [](auto& p) {
  p.Float("X", &TNode::GetX);
  p.Float("Y", &TNode::GetY);
  p.Integer("BranchCount", &TNode::GetBranchCount);
})

double TNodeBranch::GetAngle() const {
  if (!Line) return 0.0;
  double x0, y0, x1, y1;
  GetLineVertex(Line, 0, LineBegin, x0, y0);
  GetLineVertex(Line, 1, LineBegin, x1, y1);
  return DirectionAngle(x1 - x0, y1 - y0);
}

double TNodeBranch::GetX2() const {
  double x = 0.0, y = 0.0;
  if (Line) GetLineVertex(Line, 1, LineBegin, x, y);
  return x;
}

double TNodeBranch::GetY2() const {
  double x = 0.0, y = 0.0;
  if (Line) GetLineVertex(Line, 1, LineBegin, x, y);
  return y;
}

void TNodeBranch::GetFarEnd(TNode*& node, TNodeBranch*& branch) const {
  node = nullptr;
  branch = nullptr;
  if (!Line) return;
  // Once connected the far node is known: the line's other end is filed
  // there, and only there.
  if (farNode_)
    if (TNodeBranch* b = farNode_->FindBranch(Line, !LineBegin); b && b != this) {
      node = farNode_;
      branch = b;
      return;
    }
  const int owners = Line->GetOwnersCount();
  for (int i = 0; i < owners; ++i) {
    TElement* owner = Line->GetOwner(i);
    if (!owner || !owner->Is<TNode>()) continue;
    auto* n = static_cast<TNode*>(owner);
    TNodeBranch* b = n->FindBranch(Line, !LineBegin);
    if (b && b != this) {
      node = n;
      branch = b;
      return;
    }
  }
}

TElement* TNodeBranch::GetLeftArea() const {
  TNode* node;
  TNodeBranch* branch;
  GetFarEnd(node, branch);
  return branch ? branch->RightArea : nullptr;
}

TNodeBranch* TNodeBranch::NextAtFarNode(TNode*& node) const {
  // Every step of a ring walk comes here. With the far node known, the scan
  // that finds the far branch among its leading branches gives the next one
  // as well: the entry after it when that is a branch, else the first.
  if (Line && farNode_) {
    const std::vector<TElement*>& items = farNode_->Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
      TElement* e = items[i];
      if (!e || !e->Is<TNodeBranch>()) break;
      auto* b = static_cast<TNodeBranch*>(e);
      if (b->Line != Line || b->LineBegin == LineBegin) continue;
      if (b == this) break;
      node = farNode_;
      TElement* after = i + 1 < items.size() ? items[i + 1] : nullptr;
      return static_cast<TNodeBranch*>(after && after->Is<TNodeBranch>() ? after : items[0]);
    }
  }
  TNodeBranch* branch;
  GetFarEnd(node, branch);
  if (!node || !branch) return nullptr;
  return node->NextBranch(branch);
}

void TNodeBranch::WalkRing(double& area, bool& ok, std::int32_t& steps, bool mark) {
  constexpr std::int32_t kMaxSteps = 10000;
  // A long walk lets the user interface run now and then.
  platform::Pacer pacer;
  ok = true;
  steps = 1;
  bool stopped = false;
  if (mark) NotRegularArea = true;
  if (!Line || !farNode_) return;
  TNode* node;
  TNodeBranch* cur = NextAtFarNode(node);
  if (!cur) return;
  area = LineSignedArea(Line, LineBegin);
  while (cur != this && steps < kMaxSteps && !stopped) {
    if (cur->NotRegularArea) stopped = true;
    else if (mark) cur->NotRegularArea = true;
    area += LineSignedArea(cur->Line, cur->LineBegin);
    cur = cur->NextAtFarNode(node);
    if (!cur) {
      ok = false;
      return;
    }
    ++steps;
    if (pacer.due()) zelto::ProcessPendingMessages();
  }
  if (steps >= kMaxSteps || stopped) ok = false;
}

std::int32_t TNode::GetBranchCount() const {
  std::int32_t count = 0;
  for (const TElement* e : Items()) {
    if (!e || !e->Is<TNodeBranch>()) break;
    ++count;
  }
  return count;
}

TNodeBranch* TNode::AddLine(TPolyLineElement* line, bool atBegin) {
  double x, y;
  GetLineVertex(line, 0, atBegin, x, y);
  if (!placed_) {
    x_ = x;
    y_ = y;
    placed_ = true;
  }
  TNodeBranch* branch = FindBranch(line, atBegin);
  if (branch) {
    if (!FindLine(line)) AddAndExtend(line);
    return branch;
  }
  // The branch and the line join together or not at all: a branch without
  // its line in the node would be half a link.
  std::unique_ptr<TNodeBranch> added(new TNodeBranch);
  added->Line = line;
  added->LineBegin = atBegin;
  InsertBranchSorted(added.get());
  try {
    if (!FindLine(line)) AddAndExtend(line);
  } catch (...) {
    Remove(added.get());
    throw;
  }
  return added.release();
}

TNodeBranch* TNode::FindBranch(const TPolyLineElement* line, bool atBegin) const {
  for (const TElement* e : Items()) {
    if (!e || !e->Is<TNodeBranch>()) break;
    auto* b = static_cast<const TNodeBranch*>(e);
    if (b->Line == line && b->LineBegin == atBegin) return const_cast<TNodeBranch*>(b);
  }
  return nullptr;
}

TPolyLineElement* TNode::FindLine(const TPolyLineElement* line) const {
  for (const TElement* e : Items())
    if (e == line) return const_cast<TPolyLineElement*>(line);
  return nullptr;
}

void TNode::InsertBranchSorted(TNodeBranch* branch) {
  const double angle = branch->GetAngle();
  const auto& items = Items();
  std::size_t at = 0;
  while (at < items.size() && items[at] && items[at]->Is<TNodeBranch>() &&
         !(static_cast<TNodeBranch*>(items[at])->GetAngle() > angle))
    ++at;
  if (at >= items.size()) Add(branch);
  else Insert(static_cast<int>(at), branch);
}

int TNode::IndexOfBranch(const TNodeBranch* branch) const {
  const auto& items = Items();
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i] == branch) return static_cast<int>(i);
  return -1;
}

// After the last branch comes the first child.
TNodeBranch* TNode::NextBranch(const TNodeBranch* branch) const {
  const int i = IndexOfBranch(branch);
  if (i < 0) return nullptr;
  const int count = GetBranchCount();
  return static_cast<TNodeBranch*>(Items()[static_cast<std::size_t>(i + 1 < count ? i + 1 : 0)]);
}

TNodeBranch* TNode::PrevBranch(const TNodeBranch* branch) const {
  const int i = IndexOfBranch(branch);
  if (i < 0) return nullptr;
  return static_cast<TNodeBranch*>(
      Items()[static_cast<std::size_t>(i > 0 ? i - 1 : GetBranchCount() - 1)]);
}

void FindNodeOfLineEnd(const TPolyLineElement* line, bool atBegin, TNode*& node,
                       TNodeBranch*& branch) {
  node = nullptr;
  branch = nullptr;
  if (!line) return;
  const int owners = line->GetOwnersCount();
  for (int i = 0; i < owners; ++i) {
    TElement* owner = line->GetOwner(i);
    if (!owner || !owner->Is<TNode>()) continue;
    if (TNodeBranch* b = static_cast<TNode*>(owner)->FindBranch(line, atBegin)) {
      node = static_cast<TNode*>(owner);
      branch = b;
      return;
    }
  }
}
