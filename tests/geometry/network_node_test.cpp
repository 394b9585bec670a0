#include "geometry/network_node.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "bench/grid_network.h"

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

}  // namespace

TEST(Node, BranchesOrderedByAngleWithWrapAround) {
  Lines lines;
  TNode node;
  // Directions 6.1, 0.2 and 3.1 rad from the origin.
  auto* a = lines.add(0, 0, std::cos(6.1), std::sin(6.1));
  auto* b = lines.add(0, 0, std::cos(0.2), std::sin(0.2));
  auto* c = lines.add(std::cos(3.1), std::sin(3.1), 0, 0);
  TNodeBranch* ba = node.AddLine(a, true);
  TNodeBranch* bb = node.AddLine(b, true);
  TNodeBranch* bc = node.AddLine(c, false);
  EXPECT_EQ(node.GetBranchCount(), 3);
  EXPECT_EQ(node.GetItem(0), bb);
  EXPECT_EQ(node.GetItem(1), bc);
  EXPECT_EQ(node.GetItem(2), ba);
  EXPECT_EQ(node.NextBranch(ba), bb);
  EXPECT_EQ(node.PrevBranch(bb), ba);
  EXPECT_EQ(node.AddLine(a, true), ba);  // the same end again
  EXPECT_EQ(node.GetCount(), 6);
  EXPECT_EQ(node.GetX(), 0.0);
  // +x carries the largest angle: it sorts last.
  auto* east = lines.add(0, 0, 5, 0);
  TNodeBranch* be = node.AddLine(east, true);
  EXPECT_EQ(node.GetItem(3), be);
  TNode* far;
  TNodeBranch* farBranch;
  FindNodeOfLineEnd(a, true, far, farBranch);
  EXPECT_EQ(far, &node);
  EXPECT_EQ(farBranch, ba);
}

TEST(Node, WalkRingAroundASquare) {
  Lines lines;
  std::vector<std::unique_ptr<TNode>> nodes;
  for (int i = 0; i < 4; ++i) nodes.push_back(std::make_unique<TNode>());
  // Corners (0,0) (1,0) (1,1) (0,1); the line from (0,1) to (1,1) runs left to right.
  auto* bottom = lines.add(0, 0, 1, 0);
  auto* right = lines.add(1, 0, 1, 1);
  auto* top = lines.add(0, 1, 1, 1);
  auto* left = lines.add(0, 1, 0, 0);
  nodes[0]->AddLine(bottom, true);
  nodes[0]->AddLine(left, false);
  nodes[1]->AddLine(bottom, false);
  nodes[1]->AddLine(right, true);
  nodes[2]->AddLine(right, false);
  nodes[2]->AddLine(top, false);
  nodes[3]->AddLine(top, true);
  nodes[3]->AddLine(left, true);
  for (auto& n : nodes)
    for (int i = 0; i < n->GetBranchCount(); ++i) {
      auto* b = static_cast<TNodeBranch*>(n->GetItem(i));
      TNode* far;
      TNodeBranch* fb;
      b->GetFarEnd(far, fb);
      b->SetFarNode(far);
    }
  TNodeBranch* up = nodes[0]->FindBranch(left, false);  // (0,0) towards (0,1)
  double area = 0;
  bool ok;
  std::int32_t steps;
  up->WalkRing(area, ok, steps, true);
  EXPECT_TRUE(ok);
  EXPECT_EQ(steps, 4);
  EXPECT_EQ(area, 1.0);  // clockwise face
  // A second walk meets the marks.
  TNodeBranch* again = nodes[1]->FindBranch(bottom, false);
  EXPECT_TRUE(again->NotRegularArea);
  TNodeBranch* east = nodes[0]->FindBranch(bottom, true);
  east->WalkRing(area, ok, steps, true);
  EXPECT_TRUE(ok);
  EXPECT_EQ(area, -1.0);  // the outer face
  TNodeBranch* marked = nodes[1]->FindBranch(bottom, false);
  marked->NotRegularArea = false;
  marked->WalkRing(area, ok, steps, false);
  EXPECT_FALSE(ok);  // met a marked branch

  TNodeBranch loose;
  loose.Line = bottom;
  area = 42;
  loose.WalkRing(area, ok, steps, false);
  EXPECT_TRUE(ok);
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(area, 42);
}

TEST(Node, GridOfLinesNodesIntoUnitFacesAndOneOuterFace) {
  for (int n : {1, 7, 40}) {
    gridnet::Network net;
    gridnet::buildNetwork(net, n);
    EXPECT_EQ(net.nodes->GetCount(), (n + 1) * (n + 1));
    const gridnet::FaceSummary faces = gridnet::walkFaces(net, n);
    EXPECT_EQ(faces.unitFaces, std::int64_t{n} * n) << "n = " << n;
    EXPECT_EQ(faces.outerFaces, 1) << "n = " << n;
    EXPECT_EQ(faces.broken, 0);
    EXPECT_EQ(faces.faces, std::int64_t{n} * n + 1);
  }
}
