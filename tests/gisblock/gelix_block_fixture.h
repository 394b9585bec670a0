#pragma once
// Blocks built in the test: a mesh of lines and areas written through the
// writers with left and right areas and node-ordered links the way the
// exporters lay them, record patches, and the code-8 texts the readers post.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/message_dispatch.h"
#include "framework/zelto_message.h"
#include "geometry/area_element.h"
#include "gisblock/are_record.h"
#include "gisblock/gelix_classes.h"
#include "gisblock/gelix_props.h"
#include "gisblock/gelix_writers.h"
#include "gisblock/lin_record.h"
#include "gisblock/record_bytes.h"
#include "platform/message_queue.h"
#include "platform/scripted_user_interaction.h"
#include "block_records.h"
#include "log_probe.h"
#include "table_fixture.h"

namespace gisblock_test {

using test_support::LogProbe;

using Pt = std::pair<double, double>;
using RingRef = std::vector<std::pair<int, bool>>;  // line index, used in its own direction

struct MeshArea {
  RingRef ring;
  Pt ref;
  int pater = -1;  // area index of the father
  std::vector<RingRef> holes = {};
};

// Lines numbered 1..n and areas 1..m in the order given.
struct Mesh {
  std::vector<std::vector<Pt>> lines;
  std::vector<MeshArea> areas;

  int line(std::vector<Pt> pts) {
    lines.push_back(std::move(pts));
    return static_cast<int>(lines.size()) - 1;
  }

  void write(const std::string& dir) const {
    TEntity lineHolder, areaHolder;
    std::vector<TPolyLineElement*> ls;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      auto* l = new TPolyLineElement;
      for (auto [x, y] : lines[i]) l->AddVertex(x, y);
      l->ID = static_cast<std::int32_t>(i + 1);
      auto* p = new TGelixLineProps;
      p->Cislo = l->ID;
      p->Druh = 1;
      l->SetProperties(p);
      lineHolder.Add(l);
      ls.push_back(l);
    }
    std::vector<int> left(lines.size(), -1), right(lines.size(), -1);
    std::vector<TPolyLineAreaElement*> as;
    auto ringOf = [&](const RingRef& ring) {
      auto* a = new TPolyLineAreaElement;
      for (auto [li, fwd] : ring) {
        a->AddAndExtend(ls[static_cast<std::size_t>(li)]);
        a->SetLineOrigin(a->GetCount() - 1, fwd);
      }
      return a;
    };
    for (std::size_t k = 0; k < areas.size(); ++k) {
      TPolyLineAreaElement* a = ringOf(areas[k].ring);
      for (auto [li, fwd] : areas[k].ring) (fwd ? left : right)[static_cast<std::size_t>(li)] = static_cast<int>(k + 1);
      for (const RingRef& h : areas[k].holes) {
        TPolyLineAreaElement* hole = ringOf(h);
        hole->IsHole = true;
        a->AddHole(hole);
      }
      a->ID = static_cast<std::int32_t>(k + 1);
      a->SetAbsRefX(areas[k].ref.first);
      a->SetAbsRefY(areas[k].ref.second);
      auto* p = new TGelixAreaProps;
      p->Cislo = a->ID;
      p->Druh = 1600;
      p->PaterNo = areas[k].pater < 0 ? -1 : areas[k].pater + 1;
      for (const MeshArea& other : areas) p->HasChildren |= &other != &areas[k] && other.pater == static_cast<int>(k);
      a->SetProperties(p);
      EXPECT_GT(a->GetWholeArea(), 0) << "area " << k + 1 << " must run clockwise";
      areaHolder.Add(a);
      as.push_back(a);
    }
    layLinks(ls);
    std::unique_ptr<TGelixLinWriter> lw(TGelixLinWriter::CreateForBlock(dir, true));
    ASSERT_TRUE(lw);
    for (std::size_t i = 0; i < ls.size(); ++i) EXPECT_TRUE(lw->WriteLineWithAreas(ls[i], left[i], right[i]));
    lw.reset();
    std::unique_ptr<TGelixAreaWriter> aw(TGelixAreaWriter::CreateForBlock(dir, true));
    ASSERT_TRUE(aw);
    for (TPolyLineAreaElement* a : as) EXPECT_TRUE(aw->WriteArea(a));
  }

  // At every node the branches in counter-clockwise order; each line links
  // to the branch before and after its own at both ends.
  static void layLinks(const std::vector<TPolyLineElement*>& ls) {
    struct Branch {
      std::int32_t line;
      bool begin;
      double angle;
    };
    std::map<Pt, std::vector<Branch>> nodes;
    for (TPolyLineElement* l : ls) {
      const int n = l->GetCoordsCount();
      auto angle = [&](int a, int b) {
        return std::atan2(l->GetVertexY(b) - l->GetVertexY(a), l->GetVertexX(b) - l->GetVertexX(a));
      };
      nodes[{l->GetVertexX(0), l->GetVertexY(0)}].push_back({l->ID, true, angle(0, 1)});
      nodes[{l->GetVertexX(n - 1), l->GetVertexY(n - 1)}].push_back({l->ID, false, angle(n - 1, n - 2)});
    }
    for (auto& [pt, branches] : nodes) {
      std::sort(branches.begin(), branches.end(), [](const Branch& a, const Branch& b) { return a.angle < b.angle; });
      const int n = static_cast<int>(branches.size());
      for (int i = 0; i < n; ++i) {
        const Branch& self = branches[static_cast<std::size_t>(i)];
        const Branch& prev = branches[static_cast<std::size_t>((i + n - 1) % n)];
        const Branch& next = branches[static_cast<std::size_t>((i + 1) % n)];
        auto* props = static_cast<TGelixLineProps*>(ls[static_cast<std::size_t>(self.line - 1)]->GetProperties());
        auto put = [&](int at, const Branch& b) {
          gisblock::bytes::putI32(props->Links.data(), at, b.line);
          props->Links[static_cast<std::size_t>(at + 4)] = b.begin ? 1 : 0;
        };
        if (self.begin) {
          put(0, prev);   // before, at the begin
          put(10, next);  // after, at the begin: the ring on the right
        } else {
          put(5, next);   // after, at the end: the ring on the left
          put(15, prev);  // before, at the end
        }
      }
    }
  }
};

// A square ring of four lines, clockwise: up, right, down, left.
inline RingRef squareLines(Mesh& m, double x0, double y0, double x1, double y1) {
  const int a = m.line({{x0, y0}, {x0, y1}});
  const int b = m.line({{x0, y1}, {x1, y1}});
  const int c = m.line({{x1, y1}, {x1, y0}});
  const int d = m.line({{x1, y0}, {x0, y0}});
  return {{a, true}, {b, true}, {c, true}, {d, true}};
}

inline RingRef reversed(const RingRef& ring) {
  RingRef r;
  for (auto it = ring.rbegin(); it != ring.rend(); ++it) r.push_back({it->first, !it->second});
  return r;
}

class BlockTest : public TableDir {
 protected:
  void SetUp() override {
    TableDir::SetUp();
    RegisterGelixClasses();
    platform::messageQueue().discardAll();
    zelto::SetMainToolResolver([this] { return &log; });
  }
  void TearDown() override {
    zelto::RunMessagesUntilIdle();
    zelto::SetMainToolResolver(nullptr);
    TableDir::TearDown();
  }
  std::string block(const std::string& name = "R.BLK") const { return (dir / name).string(); }

  // Rewrites record n of a block file through its codec.
  template <class Record>
  void patch(const std::string& file, std::int32_t n, const std::function<void(Record&)>& change) {
    test_support::PatchRecord<Record>(file, n, change);
  }
  void patchAre(std::int32_t n, const std::function<void(gisblock::AreRecord&)>& change) {
    patch<gisblock::AreRecord>(block() + "/TN.ARE", n, change);
  }
  void patchLin(std::int32_t n, const std::function<void(gisblock::LinRecord&)>& change) {
    patch<gisblock::LinRecord>(block() + "/TN.LIN", n, change);
  }

  platform::ScopedScriptedUi ui;
  LogProbe log;
};

}  // namespace gisblock_test
