#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "geometry/line_end_cells.h"
#include "geometry/qtree.h"

namespace {

struct Lines {
  TPolyLineString holder;
  TPolyLineElement* add(double x1, double y1, double x2, double y2) {
    auto* l = new TPolyLineElement;
    l->AddVertex(x1, y1);
    l->AddVertex(x2, y2);
    holder.Add(l);
    return l;
  }
};

std::unique_ptr<TSpaceLineBegEndCell> rootCell() {
  auto root = std::make_unique<TSpaceLineBegEndCell>();
  root->SetName("QTREE");
  root->SetMinX(0);
  root->SetMinY(0);
  root->SetMaxX(100);
  root->SetMaxY(100);
  return root;
}

TSpaceEntity* box(TPolyLineString& holder, double minX, double minY, double maxX, double maxY) {
  auto* e = new TPointElement;
  e->SetMinX(minX);
  e->SetMinY(minY);
  e->SetMaxX(maxX);
  e->SetMaxY(maxY);
  holder.Add(e);
  return e;
}

int depth(const TSpaceRect& cell) {
  if (cell.GetLast()) return 0;
  int d = 0;
  for (TSpaceRect* c : {cell.LevyDolni, cell.LevyHorni, cell.PravyDolni, cell.PravyHorni})
    d = std::max(d, depth(*c));
  return d + 1;
}

}  // namespace

TEST(LineEndCells, TheSixtyFifthEndSplitsTheRoot) {
  Lines lines;
  auto root = rootCell();
  for (int i = 0; i < 64; ++i) root->AddLineEnd(lines.add(i * 1.5, i, 50, 50), true);
  EXPECT_TRUE(root->GetLast());
  EXPECT_EQ(root->GetEntriesCount(), 64);
  root->AddLineEnd(lines.add(99, 99, 1, 1), true);
  EXPECT_FALSE(root->GetLast());
  EXPECT_EQ(root->GetEntriesCount(), 65);
  EXPECT_EQ(root->FindElementByName("BEGINS"), nullptr);
  auto* centre = lines.add(50, 50, 1, 1);
  root->AddLineEnd(centre, true);
  auto* upperRight = static_cast<TSpaceLineBegEndCell*>(root->PravyHorni);
  ASSERT_TRUE(upperRight->GetLast());
  EXPECT_EQ(upperRight->Begins()->IndexOf(centre), upperRight->Begins()->GetCount() - 1);
}

TEST(LineEndCells, CoincidingEndsStopSplittingAtTheFloor) {
  Lines lines;
  auto root = rootCell();
  for (int i = 0; i < 5000; ++i) root->AddLineEnd(lines.add(12.5, 12.5, 60, 60), true);
  EXPECT_EQ(root->GetEntriesCount(), 5000);
  EXPECT_LE(depth(*root), TSpaceLineBegEndCell::kMaxDepth);
}

TEST(QTree, FirstInsertionAndTheSixtyFifthElement) {
  TPolyLineString holder;
  TSpaceEntityQTree tree;
  tree.Insert(box(holder, 10.3, 10.3, 12.1, 12.1));
  EXPECT_TRUE(tree.GetIsLeaf());
  EXPECT_EQ(tree.GetCount(), 1);
  EXPECT_EQ(tree.GetQXMin(), 8);
  EXPECT_EQ(tree.GetQWidth(), 8);
  for (int i = 1; i < 64; ++i) tree.Insert(box(holder, 8.5 + i % 7, 8.5 + i % 5, 8.6 + i % 7, 8.6 + i % 5));
  EXPECT_TRUE(tree.GetIsLeaf());
  tree.Insert(box(holder, 9, 9, 9.1, 9.1));
  EXPECT_FALSE(tree.GetIsLeaf());
  EXPECT_EQ(tree.GetLeavesCount(), 4);
  // The first box crosses the centre (12, 12): it sits in all four quadrants.
  EXPECT_EQ(tree.GetElementsCount(), 65 + 3);
  TQTreeWalker walker;
  int found = 0;
  for (TElement* e = walker.FindFirst(&tree, 0, 11.9, 11.9, 12.0, 12.0); e; e = walker.FindNext())
    ++found;
  EXPECT_EQ(found, 4);  // once per leaf holding it
  EXPECT_EQ(walker.FindFirst(&tree, 0.5, 100, 100, 101, 101), nullptr);
  EXPECT_TRUE(tree.HasElementInRect(12, 12, 12, 12));
  EXPECT_FALSE(tree.HasElementInRect(15.5, 8.1, 15.9, 8.2));
}

TEST(QTree, GrowingTheRootKeepsTheOldNodesAsOneCell) {
  TPolyLineString holder;
  TSpaceEntityQTree tree;
  for (int i = 0; i < 65; ++i) tree.Insert(box(holder, i % 8, i / 8, i % 8 + 0.5, i / 8 + 0.5));
  ASSERT_FALSE(tree.GetIsLeaf());
  const int leaves = tree.GetLeavesCount();
  const double x0 = tree.GetQXMin(), w0 = tree.GetQWidth();
  std::vector<TElement*> oldChildren = tree.Items();
  tree.Insert(box(holder, 100, 100, 101, 101));
  EXPECT_GT(tree.GetQWidth(), w0);
  EXPECT_EQ((tree.GetLeavesCount() - leaves) % 3, 0);
  // The old quadrants hang, in their order, under a node of the old square.
  auto* holderNode = static_cast<TQTree*>(oldChildren[0]->GetOwner(0));
  EXPECT_EQ(holderNode->GetQWidth(), w0);
  EXPECT_EQ(holderNode->GetQXMin(), x0);
  EXPECT_EQ(holderNode->Items(), oldChildren);
  TQTreeWalker walker;
  EXPECT_NE(walker.FindFirst(&tree, 0, 100.5, 100.5, 100.5, 100.5), nullptr);
}

TEST(QTree, CoincidingOrCoveringEnvelopesDoNotMultiplyLeaves) {
  TPolyLineString holder;
  TSpaceEntityQTree tree;
  tree.Insert(box(holder, 0, 0, 1000, 1000));
  for (int i = 0; i < 3000; ++i) tree.Insert(box(holder, 500.25, 500.25, 500.25, 500.25));
  for (int i = 0; i < 300; ++i) tree.Insert(box(holder, 0, 0, 1000, 1000));
  EXPECT_LT(tree.GetLeavesCount(), 200);
  TQTreeWalker walker;
  int found = 0;
  for (TElement* e = walker.FindFirst(&tree, 0, 500, 500, 501, 501); e; e = walker.FindNext())
    ++found;
  EXPECT_GE(found, 3301);
}
