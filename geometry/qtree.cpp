#include "geometry/qtree.h"

#include <cmath>
#include <exception>
#include <memory>
#include <vector>

#include "framework/errors.h"
#include "geometry/grid_squares.h"

namespace {
const char* const kQuadNames[4] = {"Levý dolní čtverec", "Pravý dolní čtverec",
                                   "Levý horní čtverec", "Pravý horní čtverec"};

bool isNode(const TElement* e) { return e && e->Is<TQTree>(); }
}  // namespace

ZELTO_IMPLEMENT_ELEMENT(TQTree, TRectEntity, [](auto& p) {
  p.Integer("Level", &TQTree::Level, &TQTree::Level);
  p.Float("QXMin", &TQTree::GetQXMin, &TQTree::SetQXMin);
  p.Float("QYMin", &TQTree::GetQYMin, &TQTree::SetQYMin);
  p.Integer("QWidth", &TQTree::GetQWidth, &TQTree::SetQWidth);
  p.Boolean("IsLeaf", &TQTree::GetIsLeaf);
  p.Integer("ElementsCount", &TQTree::GetElementsCount);
  p.Integer("LeavesCount", &TQTree::GetLeavesCount);
})
ZELTO_IMPLEMENT_ELEMENT(TSpaceEntityQTree, TQTree, [](auto& p) {
  p.Object("NextSpaceEntity", TRectEntity::StaticClass(), nullptr,
           &TSpaceEntityQTree::SetNextSpaceEntity);
})
ZELTO_IMPLEMENT_ELEMENT(TQTreeGlxLin, TSpaceEntityQTree, ZELTO_NO_PROPERTIES)

void TQTree::SetQWidth(std::int32_t w) {
  qWidth_ = w;
  SetMaxX(GetMinX() + w);
  SetMaxY(GetMinY() + w);
}

bool TQTree::ElementMeetsRect(TElement* element, double minX, double minY, double maxX,
                              double maxY) const {
  return element && element->Is<TRectEntity>() &&
         static_cast<TRectEntity*>(element)->IntersectsRect(minX, minY, maxX, maxY);
}

bool TQTree::GetIsLeaf() const { return GetCount() == 0 || !isNode(GetItem(0)); }

std::int32_t TQTree::GetElementsCount() const {
  if (GetIsLeaf()) return GetCount();
  std::int32_t n = 0;
  for (TElement* e : Items())
    if (isNode(e)) n += static_cast<TQTree*>(e)->GetElementsCount();
  return n;
}

std::int32_t TQTree::GetLeavesCount() const {
  if (GetIsLeaf()) return 1;
  std::int32_t n = 0;
  for (TElement* e : Items())
    if (isNode(e)) n += static_cast<TQTree*>(e)->GetLeavesCount();
  return n;
}

bool TQTree::SquareMeetsRect(double minX, double minY, double maxX, double maxY) const {
  const double x = GetQXMin(), y = GetQYMin();
  return x <= maxX && x + qWidth_ >= minX && y <= maxY && y + qWidth_ >= minY;
}

bool TQTree::SquareContainsRect(double minX, double minY, double maxX, double maxY) const {
  const double x = GetQXMin(), y = GetQYMin();
  return x <= minX && x + qWidth_ >= maxX && y <= minY && y + qWidth_ >= maxY;
}

bool TQTree::SquareHoldsSquare(std::int32_t x, std::int32_t y, std::int32_t w) const {
  const double qx = GetQXMin(), qy = GetQYMin();
  return qWidth_ >= w && x >= qx && x + double(w) <= qx + qWidth_ && y >= qy &&
         y + double(w) <= qy + qWidth_;
}

void TQTree::InitRootSquare(double minX, double minY, double maxX, double maxY) {
  std::int32_t x, y, w;
  GridSquare(x, y, w, minX, minY, maxX, maxY);
  SetQXMin(x);
  SetQYMin(y);
  SetQWidth(w);
}

void TQTree::Insert(TElement* element) {
  double minX, minY, maxX, maxY;
  GetElementEnvelope(element, minX, minY, maxX, maxY);
  if (qWidth_ == 0) InitRootSquare(minX, minY, maxX, maxY);
  else GrowRoot(minX, minY, maxX, maxY);
  InsertInto(element, minX, minY, maxX, maxY);
}

void TQTree::InsertWithinRoot(TElement* element) {
  double minX, minY, maxX, maxY;
  GetElementEnvelope(element, minX, minY, maxX, maxY);
  InsertInto(element, minX, minY, maxX, maxY);
}

void TQTree::InsertInto(TElement* element, double minX, double minY, double maxX, double maxY) {
  if (!SquareMeetsRect(minX, minY, maxX, maxY)) return;
  if (GetIsLeaf()) {
    Add(element);
    if (GetCount() > GetCapacity()) {
      try {
        SplitLeaf();
      } catch (...) {
        Remove(element);
        throw;
      }
    }
    return;
  }
  const std::vector<TElement*> children = Items();
  std::size_t done = 0;
  try {
    for (; done < children.size(); ++done)
      if (isNode(children[done]))
        static_cast<TQTree*>(children[done])->InsertInto(element, minX, minY, maxX, maxY);
  } catch (...) {
    // The element goes in whole or not at all: the quadrants that took it
    // let it go again.
    for (std::size_t i = 0; i < done; ++i)
      if (isNode(children[i])) static_cast<TQTree*>(children[i])->Withdraw(element, minX, minY, maxX, maxY);
    throw;
  }
}

void TQTree::Withdraw(TElement* element, double minX, double minY, double maxX, double maxY) {
  if (!SquareMeetsRect(minX, minY, maxX, maxY)) return;
  if (GetIsLeaf()) {
    if (IndexOf(element) >= 0) Remove(element);
    return;
  }
  for (TElement* child : Items())
    if (isNode(child)) static_cast<TQTree*>(child)->Withdraw(element, minX, minY, maxX, maxY);
}

void TQTree::Split(TQTree* quads[4]) const {
  const std::int32_t half = qWidth_ / 2;
  const double x = GetQXMin(), y = GetQYMin();
  const double xs[4] = {x, x + half, x, x + half};
  const double ys[4] = {y, y, y + half, y + half};
  std::unique_ptr<TQTree> made[4];
  for (int i = 0; i < 4; ++i) {
    made[i].reset(static_cast<TQTree*>(ClassType().Create()));
    TQTree* q = made[i].get();
    q->SetQXMin(xs[i]);
    q->SetQYMin(ys[i]);
    q->SetQWidth(half);
    q->SetName(kQuadNames[i]);
    q->Level = Level + 1;
  }
  for (int i = 0; i < 4; ++i) quads[i] = made[i].release();
}

void TQTree::SplitLeaf() {
  const std::int32_t count = GetCount();
  if (qWidth_ < kMinSplitWidth || count < retrySplitAt_) return;
  TQTree* made[4];
  Split(made);
  std::unique_ptr<TQTree> quads[4];
  for (int i = 0; i < 4; ++i) quads[i].reset(made[i]);
  // A quadrant filled only partly lets its elements go rather than free them.
  struct Unfilled {
    std::unique_ptr<TQTree>* quads;
    ~Unfilled() {
      if (quads)
        for (int i = 0; i < 4; ++i)
          if (quads[i]) quads[i]->Clear();
    }
  } unfilled{quads};
  const std::vector<TElement*> elements = Items();
  std::vector<TElement*> parts[4];
  for (TElement* e : elements) {
    double minX, minY, maxX, maxY;
    GetElementEnvelope(e, minX, minY, maxX, maxY);
    for (int i = 0; i < 4; ++i)
      if (quads[i]->SquareMeetsRect(minX, minY, maxX, maxY)) parts[i].push_back(e);
  }
  // When every quadrant would receive every element (envelopes covering the
  // whole square), splitting separates nothing and each later insertion
  // would split all four copies again: the leaf grows instead.
  bool separates = false;
  for (const auto& part : parts)
    if (static_cast<std::int32_t>(part.size()) < count) separates = true;
  if (!separates) {
    retrySplitAt_ = count * 2;
    return;
  }
  for (int i = 0; i < 4; ++i) {
    for (TElement* e : parts[i]) quads[i]->Add(e);
    // A quadrant that took every element gained nothing by this split; it
    // waits until it has doubled, so that a cluster or a shared envelope
    // edge does not refine the tree one level per insertion.
    if (static_cast<std::int32_t>(parts[i].size()) == count) quads[i]->retrySplitAt_ = count * 2;
  }
  // The quadrants join behind the elements, which then leave: every element
  // lives on in some quadrant, and the leaf only lets go of it.
  AddAllOrNone({quads[0].get(), quads[1].get(), quads[2].get(), quads[3].get()});
  for (auto& q : quads) q.release();
  unfilled.quads = nullptr;
  for (TElement* e : elements) Remove(e);
  retrySplitAt_ = 0;
}

void TQTree::GrowRoot(double minX, double minY, double maxX, double maxY) {
  if (SquareContainsRect(minX, minY, maxX, maxY)) return;
  const auto x0 = static_cast<std::int32_t>(std::lround(GetQXMin()));
  const auto y0 = static_cast<std::int32_t>(std::lround(GetQYMin()));
  const std::int32_t w0 = qWidth_;
  std::int32_t nx, ny, wx, wy;
  GrowGridInterval(x0, w0, nx, minX, maxX, wx);
  GrowGridInterval(y0, w0, ny, minY, maxY, wy);
  const std::int32_t w = wx >= wy ? wx : wy;
  if (GetIsLeaf()) {
    if (Level == 0) {
      SetQXMin(nx);
      SetQYMin(ny);
      SetQWidth(w);
    }
    return;
  }
  std::vector<TElement*> old;
  for (TElement* child : Items())
    if (isNode(child)) old.push_back(child);
  for (TElement* child : old) Remove(child);
  FreeAll();
  SetQXMin(nx);
  SetQYMin(ny);
  SetQWidth(w);
  // Undo: the old square and children come back, so nothing is lost.
  auto restore = [&] {
    FreeAll();
    SetQXMin(x0);
    SetQYMin(y0);
    SetQWidth(w0);
    for (TElement* child : old) Add(child);
  };
  try {
    TQTree* current = this;
    while (current->qWidth_ > w0) {
      TQTree* made[4];
      current->Split(made);
      std::unique_ptr<TQTree> quads[4];
      for (int i = 0; i < 4; ++i) quads[i].reset(made[i]);
      TQTree* picked = nullptr;
      for (auto& q : quads)
        if (!picked && q->SquareHoldsSquare(x0, y0, w0)) picked = q.get();
      if (!picked) throw EZeltoError("Chyba při rozšiřování QTree");
      for (auto& q : quads) {
        current->Add(q.get());
        q.release();
      }
      current = picked;
    }
    for (std::size_t i = 0; i < old.size(); ++i) {
      try {
        current->Add(old[i]);
      } catch (...) {
        for (std::size_t k = 0; k < i; ++k) current->Remove(old[k]);
        throw;
      }
    }
  } catch (...) {
    restore();
    throw;
  }
}

bool TQTree::HasElementInRect(double minX, double minY, double maxX, double maxY) const {
  if (GetIsLeaf()) {
    if (!SquareMeetsRect(minX, minY, maxX, maxY)) return false;
    for (TElement* e : Items())
      if (ElementMeetsRect(e, minX, minY, maxX, maxY)) return true;
    return false;
  }
  for (TElement* e : Items())
    if (isNode(e) && static_cast<TQTree*>(e)->HasElementInRect(minX, minY, maxX, maxY))
      return true;
  return false;
}

void TSpaceEntityQTree::GetElementEnvelope(TElement* element, double& minX, double& minY,
                                           double& maxX, double& maxY) const {
  auto* r = static_cast<TRectEntity*>(element);
  minX = r->GetMinX();
  minY = r->GetMinY();
  maxX = r->GetMaxX();
  maxY = r->GetMaxY();
}

void TSpaceEntityQTree::SetNextSpaceEntity(TElement* element) {
  if (element && element->Is<TRectEntity>()) Insert(element);
}

// ---- TQTreeWalker ----------------------------------------------------------

bool TQTreeWalker::NodeMeetsQuery(const TQTree* node) const {
  return node->SquareMeetsRect(minX_ - tolerance_, minY_ - tolerance_, maxX_ + tolerance_,
                               maxY_ + tolerance_);
}

TElement* TQTreeWalker::FindFirst(TQTree* tree, double tolerance, double minX, double minY,
                                  double maxX, double maxY) {
  tree_ = tree;
  tolerance_ = tolerance;
  minX_ = minX;
  minY_ = minY;
  maxX_ = maxX;
  maxY_ = maxY;
  node_ = nullptr;
  if (!tree || !NodeMeetsQuery(tree)) return nullptr;
  node_ = tree;
  index_ = 0;
  return FindNext();
}

TElement* TQTreeWalker::FindNext() {
  while (node_) {
    const int count = node_->GetCount();
    if (index_ < count) {
      TElement* child = node_->GetItem(index_);
      if (!isNode(child)) {
        ++index_;
        if (tree_->ElementMeetsRect(child, minX_ - tolerance_, minY_ - tolerance_,
                                    maxX_ + tolerance_, maxY_ + tolerance_))
          return child;
        continue;
      }
      if (NodeMeetsQuery(static_cast<TQTree*>(child))) {
        node_ = static_cast<TQTree*>(child);
        index_ = 0;
      } else {
        ++index_;
      }
      continue;
    }
    // Up: the walk ends when it leaves the node it started at.
    if (node_ == tree_) {
      node_ = nullptr;
      break;
    }
    TElement* owner = node_->FindOwnerByClass(TQTree::StaticClass());
    TQTree* up = owner ? static_cast<TQTree*>(owner) : nullptr;
    if (up) index_ = up->IndexOf(node_) + 1;
    node_ = up;
  }
  return nullptr;
}
