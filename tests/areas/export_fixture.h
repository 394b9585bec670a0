#pragma once
// A small level for the exporter tests, built as the node and area
// building leaves it: a 2×2 grid of squares whose boundaries are shared
// lines with nodes at their ends, an island of two lines in the lower-left
// square, the hole it leaves there, and the control files of a generated
// district.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "areas/export_classes.h"
#include "framework/message_dispatch.h"
#include "geometry/network_node.h"
#include "gisblock/gelix_classes.h"
#include "platform/dbase_table.h"
#include "platform/message_queue.h"
#include "walkers_fixture.h"
#include "sample_tree.h"
#include "temp_dir.h"

namespace areas_test {

namespace fs = std::filesystem;

struct ExportLevel {
  static constexpr double X0 = -700000, Y0 = -1100000;
  TEntity root;  // owns everything below
  TOwnerEntity* lineList = new TOwnerEntity;
  TOwnerEntity* nodes = new TOwnerEntity;
  TOwnerEntity* input = new TOwnerEntity;  // the areas, the hole included
  std::map<std::pair<double, double>, TNode*> nodeAt;
  TPolyLineElement* h[2][3] = {};  // h[i][j]: along +x from grid point (i, j)
  TPolyLineElement* v[3][2] = {};  // v[i][j]: along +y from grid point (i, j)
  TPolyLineElement* island[2] = {};
  TPolyLineAreaElement* cell[2][2] = {};
  TPolyLineAreaElement* islandArea = nullptr;
  TPolyLineAreaElement* hole = nullptr;

  ExportLevel() {
    root.Add(lineList);
    root.Add(nodes);
    root.Add(input);
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) {
        if (i < 2) h[i][j] = line({{gx(i), gy(j)}, {gx(i + 1), gy(j)}});
        if (j < 2) v[i][j] = line({{gx(i), gy(j)}, {gx(i), gy(j + 1)}});
      }
    island[0] = line({{X0 + 20, Y0 + 20}, {X0 + 20, Y0 + 60}, {X0 + 60, Y0 + 60}});
    island[1] = line({{X0 + 60, Y0 + 60}, {X0 + 60, Y0 + 20}, {X0 + 20, Y0 + 20}});
    for (int i = 0; i < 2; ++i)
      for (int j = 0; j < 2; ++j)
        cell[i][j] = area({{v[i][j], true}, {h[i][j + 1], true}, {v[i + 1][j], false}, {h[i][j], false}});
    islandArea = area({{island[0], true}, {island[1], true}});
    hole = area({{island[1], false}, {island[0], false}});
    hole->IsHole = true;
    cell[0][0]->AddHole(hole);
    // The island comes first: the father's number must reach it all the same.
    for (TElement* a : std::vector<TElement*>{islandArea, cell[0][0], hole, cell[1][0], cell[0][1], cell[1][1]})
      input->Add(a);
  }

  static double gx(int i) { return X0 + 100 * i; }
  static double gy(int j) { return Y0 + 100 * j; }

  TPolyLineElement* line(Pts points) {
    TPolyLineElement* l = Line(points, 7);
    lineList->Add(l);
    node(l->GetVertexX(0), l->GetVertexY(0))->AddLine(l, true);
    const int n = l->GetCoordsCount() - 1;
    node(l->GetVertexX(n), l->GetVertexY(n))->AddLine(l, false);
    return l;
  }

  TNode* node(double x, double y) {
    TNode*& n = nodeAt[{x, y}];
    if (!n) {
      n = new TNode;
      nodes->Add(n);
    }
    return n;
  }

  static TPolyLineAreaElement* area(std::vector<std::pair<TPolyLineElement*, bool>> ring) {
    auto* a = new TPolyLineAreaElement;
    for (auto [l, forward] : ring) {
      a->AddAndExtend(l);
      a->SetLineOrigin(a->GetCount() - 1, forward);
    }
    return a;
  }
};

class ExportTest : public WalkerTest {
 protected:
  void SetUp() override {
    WalkerTest::SetUp();
    RegisterGelixClasses();
    RegisterExportClasses();
    platform::messageQueue().discardAll();
  }
  void TearDown() override { platform::messageQueue().discardAll(); }
  // The control files of a generated district, in dir/GIS.
  std::string controlDir() {
    if (!test_support::CopySample(dir)) return {};
    return (dir / "GIS").string();
  }
  std::string block(const std::string& name = "OUT.BLK") const { return (dir / name).string(); }

  // The rows of a table: field name to text, one map a row.
  static std::vector<std::map<std::string, std::string>> rows(const fs::path& file,
                                                              const std::vector<std::string>& fields) {
    std::vector<std::map<std::string, std::string>> result;
    platform::DbfTable t;
    t.open(file, true);
    for (bool ok = t.first(); ok; ok = t.next()) {
      std::map<std::string, std::string> row;
      for (const std::string& f : fields) row[f] = t.text(f);
      result.push_back(row);
    }
    return result;
  }

  test_support::TempDir scratch{"export"};
  fs::path dir = scratch.path();
};

}  // namespace areas_test
