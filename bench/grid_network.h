#pragma once
// A network of N x N unit square faces drawn as separate lines whose ends
// are jittered within the node tolerance, noded through the line-end cell
// index and walked face by face. Shared by the benchmark and the end-to-end
// test of the geometry.
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "geometry/line_end_cells.h"
#include "geometry/network_node.h"

namespace gridnet {

inline constexpr double kNodeTolerance = 0.0001;

struct Network {
  std::unique_ptr<TPolyLineString> lines = std::make_unique<TPolyLineString>();
  std::unique_ptr<TSpaceLineBegEndCell> cells;
  std::unique_ptr<TEntity> nodes = std::make_unique<TEntity>();
  std::size_t lineCount = 0;
};

struct FaceSummary {
  std::int64_t faces = 0;
  std::int64_t unitFaces = 0;   // area +1 within rounding
  std::int64_t outerFaces = 0;  // area -N*N within rounding
  std::int64_t broken = 0;      // walks that did not close
};

inline void addLine(TPolyLineString& lines, double x1, double y1, double x2, double y2) {
  auto* line = new TPolyLineElement;
  line->AddVertex(x1, y1);
  line->AddVertex(x2, y2);
  lines.Add(line);
}

inline void buildGrid(Network& net, int n, std::uint32_t seed = 7) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> jitter(-0.3 * kNodeTolerance, 0.3 * kNodeTolerance);
  auto j = [&](double v) { return v + jitter(rng); };
  for (int y = 0; y <= n; ++y)
    for (int x = 0; x < n; ++x) addLine(*net.lines, j(x), j(y), j(x + 1), j(y));
  for (int x = 0; x <= n; ++x)
    for (int y = 0; y < n; ++y) addLine(*net.lines, j(x), j(y), j(x), j(y + 1));
  net.lineCount = static_cast<std::size_t>(net.lines->GetCount());
}

// Cell borders at -0.3 plus whole numbers never pass within the tolerance of
// a grid point, so the ends of one node always share a leaf.
inline void indexEnds(Network& net, int n) {
  double side = 1;
  while (side < n + 1) side *= 2;
  net.cells = std::make_unique<TSpaceLineBegEndCell>();
  net.cells->SetName("QTREE");
  net.cells->SetMinX(-0.3);
  net.cells->SetMinY(-0.3);
  net.cells->SetMaxX(-0.3 + side);
  net.cells->SetMaxY(-0.3 + side);
  for (TElement* e : net.lines->Items()) {
    auto* line = static_cast<TPolyLineElement*>(e);
    net.cells->AddLineEnd(line, true);
    net.cells->AddLineEnd(line, false);
  }
}

inline void nodeLeaf(Network& net, TSpaceLineBegEndCell& leaf) {
  struct End {
    TPolyLineElement* line;
    bool atBegin;
    double x, y;
  };
  std::vector<End> ends;
  for (bool atBegin : {true, false}) {
    TPolyLineString* list = atBegin ? leaf.Begins() : leaf.Ends();
    if (!list) continue;
    for (TElement* e : list->Items()) {
      auto* line = static_cast<TPolyLineElement*>(e);
      double x, y;
      GetLineVertex(line, 0, atBegin, x, y);
      ends.push_back({line, atBegin, x, y});
    }
  }
  std::vector<bool> done(ends.size(), false);
  for (std::size_t i = 0; i < ends.size(); ++i) {
    if (done[i]) continue;
    auto* node = new TNode;
    net.nodes->Add(node);
    for (std::size_t k = i; k < ends.size(); ++k) {
      if (done[k] || !PointsNear(ends[i].x, ends[i].y, ends[k].x, ends[k].y, kNodeTolerance))
        continue;
      node->AddLine(ends[k].line, ends[k].atBegin);
      done[k] = true;
    }
  }
}

inline void nodeCells(Network& net, TSpaceLineBegEndCell& cell) {
  if (cell.GetLast()) {
    nodeLeaf(net, cell);
    return;
  }
  for (TSpaceRect* child : {cell.LevyDolni, cell.LevyHorni, cell.PravyDolni, cell.PravyHorni})
    nodeCells(net, *static_cast<TSpaceLineBegEndCell*>(child));
}

inline void linkFarNodes(Network& net) {
  for (TElement* e : net.nodes->Items()) {
    auto* node = static_cast<TNode*>(e);
    for (int i = 0; i < node->GetBranchCount(); ++i) {
      auto* branch = static_cast<TNodeBranch*>(node->GetItem(i));
      TNode* far;
      TNodeBranch* farBranch;
      branch->GetFarEnd(far, farBranch);
      branch->SetFarNode(far);
    }
  }
}

inline void buildNetwork(Network& net, int n) {
  buildGrid(net, n);
  indexEnds(net, n);
  nodeCells(net, *net.cells);
  linkFarNodes(net);
}

inline FaceSummary walkFaces(Network& net, int n) {
  FaceSummary summary;
  const double outer = -static_cast<double>(n) * n;
  for (TElement* e : net.nodes->Items()) {
    auto* node = static_cast<TNode*>(e);
    for (int i = 0; i < node->GetBranchCount(); ++i) {
      auto* branch = static_cast<TNodeBranch*>(node->GetItem(i));
      if (branch->NotRegularArea) continue;
      double area = 0;
      bool ok;
      std::int32_t steps;
      branch->WalkRing(area, ok, steps, true);
      ++summary.faces;
      // The ends of separate lines differ by the jitter, so a face's sum of
      // line shares is off by up to jitter times the coordinates.
      if (!ok) ++summary.broken;
      else if (std::abs(area - 1.0) < 0.5) ++summary.unitFaces;
      else if (std::abs(area - outer) < 0.5 + 0.01 * outer * -1.0) ++summary.outerFaces;
    }
  }
  return summary;
}

}  // namespace gridnet
