#include "areas/area_builders.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "areas/area_point_placer.h"
#include "areas/node_builders.h"
#include "framework/problem_report.h"
#include "framework/zelto_message.h"
#include "geometry/area_element.h"
#include "geometry/network_node.h"
#include "geometry/qtree.h"
#include "framework/message_dispatch.h"
#include "platform/pacer.h"
#include "platform/user_interaction.h"

ZELTO_IMPLEMENT_ELEMENT(TCreateAreaForBranch, TTool, [](auto& p) {
  p.Float("AreaValue", &TCreateAreaForBranch::GetAreaValue);
})
ZELTO_IMPLEMENT_ELEMENT(TCreateAreasForQTree, TProchazecListuQTreeGauge, [](auto&) {})

namespace {
std::string SquareMetres(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", std::fabs(v));
  return text;
}

std::string Coordinates(double x, double y) {
  char text[64];
  std::snprintf(text, sizeof text, "%.3f ; %.3f", x, y);
  return text;
}

bool Eligible(const TNodeBranch& b) { return b.Line && !b.RightArea && !b.NotRegularArea; }

// An area given up after its second walk is freed: no branch may keep it,
// and the ring stays marked like one that failed its trial walk.
void Abandon(TNodeBranch& first, const TElement* area) {
  TNode* node;
  TNodeBranch* b = &first;
  for (std::int32_t steps = 0; b && steps < TCreateAreaForBranch::kMaxSteps; ++steps) {
    if (b->RightArea == area) b->RightArea = nullptr;
    b->NotRegularArea = true;
    b = b->NextAtFarNode(node);
    if (b == &first) break;
  }
}

// An area under construction: unless it is handed on, it is freed when the
// scope is left, by a skip or an exception, and its ring abandoned first.
class PendingArea {
 public:
  explicit PendingArea(TNodeBranch& first) : first_(first), area_(std::make_unique<TPolyLineAreaElement>()) {}
  PendingArea(const PendingArea&) = delete;
  PendingArea& operator=(const PendingArea&) = delete;
  ~PendingArea() {
    if (area_) Abandon(first_, area_.get());
  }
  TPolyLineAreaElement* operator->() const { return area_.get(); }
  TPolyLineAreaElement& operator*() const { return *area_; }
  TPolyLineAreaElement* get() const { return area_.get(); }
  TPolyLineAreaElement* release() { return area_.release(); }

 private:
  TNodeBranch& first_;
  std::unique_ptr<TPolyLineAreaElement> area_;
};
}  // namespace

TCreateAreaForBranch::~TCreateAreaForBranch() = default;

void TCreateAreaForBranch::DoIt() {
  SetOutput(nullptr);
  if (auto* b = dynamic_cast<TNodeBranch*>(Input())) SetOutput(Build(*b));
}

TElement* TCreateAreaForBranch::Build(TNodeBranch& first) {
  TNodeBranch* b = &first;
  if (!Eligible(*b) || !b->GetFarNode()) return nullptr;
  TNode* node;
  if (!b->NextAtFarNode(node)) return nullptr;

  double sum = 0.0;
  bool ok = false;
  std::int32_t steps = 0;
  b->WalkRing(sum, ok, steps, true);
  areaValue_ = sum;
  // The trial walk has marked the ring: a ring given up here is met once.
  if (!ok) return Skipped(*b, "se neuzavírá");
  if (std::fabs(sum) <= kMinArea) return Skipped(*b, "má plochu " + SquareMetres(sum) + " m2");
  const bool hole = sum < 0;
  // Only an area is bounded in its lines. A ring of negative sign is a hole
  // or the outside of the whole network, which on a large district runs
  // round thousands of lines and is no area anyone loses.
  if (!hole && steps >= kMaxRingBranches)
    return Skipped(*b, "má " + std::to_string(steps) + " linií, nejvýše " + std::to_string(kMaxRingBranches - 1));

  // A hole's first branch keeps no area; it stays marked so that running
  // the area step again does not build the hole a second time.
  b->NotRegularArea = hole;
  PendingArea area(*b);
  // The walk below follows the trial walk's ring branch by branch, so the
  // trial's sum (the same shares added in the same order) stands for it.
  area->AddItemsFrom(b->Line, b->LineBegin);
  if (hole) area->IsHole = true;
  else b->RightArea = area.get();

  std::int32_t lines = 1;
  platform::Pacer pacer;
  // Every node the walk passes keeps the area, so that a node met again
  // tells of a ring touching itself, the only rings that may go round an
  // island of their own.
  auto pass = [&area](TNode* at) {
    if (at->LastRing == area.get()) area->PassesNodeTwice = true;
    at->LastRing = area.get();
  };
  TNodeBranch* next = b->NextAtFarNode(node);
  while (next != b && lines < kMaxSteps) {
    if (!next) return Skipped(*b, "se neuzavírá");
    pass(node);
    next->NotRegularArea = false;
    next->RightArea = area.get();
    area->AddItemsFrom(next->Line, next->LineBegin);
    ++lines;
    next = next->NextAtFarNode(node);
    if (pacer.due()) zelto::ProcessPendingMessages();
  }
  if (next == b) pass(node);
  if (std::fabs(sum) <= kMinArea) return Skipped(*b, "má plochu " + SquareMetres(sum) + " m2");
  if (sum > 0) {
    if (PlaceLabelPoints) {
      if (!placer_) placer_ = std::make_unique<TAreaPointPlacer>();
      placer_->PlaceLabelPoint(*area);
    }
  } else {
    area->IsHole = true;
  }
  return area.release();
}

TElement* TCreateAreaForBranch::Skipped(const TNodeBranch& first, const std::string& why) {
  double x, y;
  GetLineVertex(first.Line, 0, first.LineBegin, x, y);
  PostTextMessage(this, zelto::msg::LogText,
                  "Plocha u bodu " + Coordinates(x, y) + " " + why + ": vynechána");
  return nullptr;
}

namespace {

// Frees the areas below `node` (`holes`: the holes and anything else too).
// An element stored in several leaves leaves them all when it goes, so each
// is freed once; nothing is allocated, as freeing may be what follows a
// failed allocation.
void FreeAreasBelow(TQTree& node, bool holes) {
  for (int i = 0; i < node.GetCount();) {
    TElement* e = node.Items()[static_cast<std::size_t>(i)];
    if (e && e->Is<TQTree>()) {
      FreeAreasBelow(*static_cast<TQTree*>(e), holes);
    } else if (e && (holes || (e->Is<TAreaElement>() && !static_cast<TAreaElement*>(e)->IsHole))) {
      delete e;
      // Gone from this leaf too, unless it was listed without a link.
      if (i < node.GetCount() && node.Items()[static_cast<std::size_t>(i)] != e) continue;
    }
    ++i;
  }
}

}  // namespace

void FreeAreaQTree(TSpaceEntityQTree* tree) {
  if (!tree) return;
  // Holes leave their areas' hole lists when they go, so the areas first.
  FreeAreasBelow(*tree, false);
  FreeAreasBelow(*tree, true);
  delete tree;
}

void TCreateAreasForQTree::DoIt() {
  if (!dynamic_cast<TOwnerEntity*>(Input())) return;
  areas_ = new TSpaceEntityQTree;
  areasCount_ = 0;
  try {
    builder_ = std::make_unique<TCreateAreaForBranch>();
    builder_->PlaceLabelPoints = PlaceLabelPoints;
    TProchazecListuQTreeGauge::DoIt();
    SetOutput(areas_);
  } catch (...) {
    builder_.reset();
    FreeAreaQTree(areas_);
    areas_ = nullptr;
    areasCount_ = 0;
    throw;
  }
  builder_.reset();
}

void TCreateAreasForQTree::Process(TElement* element) {
  try {
    ++Count;
    StepGauge(Count);
    TOwnerEntity* nodes = LeafNodes(element);
    if (!nodes) return;
    for (TElement* e : nodes->Items()) {
      if (!e || !e->Is<TNode>()) continue;
      auto* node = static_cast<TNode*>(e);
      const std::int32_t branches = node->GetBranchCount();
      for (std::int32_t i = 0; i < branches; ++i) {
        auto* branch = static_cast<TNodeBranch*>(node->GetItem(i));
        if (!Eligible(*branch)) continue;
        if (TElement* area = builder_->Build(*branch)) {
          // Coordinates beyond the tree's grid throw: the area, owned by
          // nothing yet, goes with the branches' links to it.
          std::unique_ptr<TElement> held(area);
          // Vertices too far for any rectangle (a damaged vertex file) give
          // the area no place in the tree.
          if (static_cast<TRectEntity*>(area)->Rect().IsValid()) {
            try {
              areas_->Insert(area);
            } catch (...) {
              Abandon(*branch, area);
              throw;
            }
          }
          // Nothing holds an area the tree did not take: it goes.
          if (area->IsOrphan()) {
            Abandon(*branch, area);
            builder_->Skipped(*branch, "leží mimo rozsah stromu ploch");
          } else {
            held.release();
            ++areasCount_;
          }
        }
        ++built_;
        PumpWhenDue();
      }
    }
  } catch (const std::bad_alloc&) {
    // Areas missing for want of memory are no fault of the lines.
    throw;
  } catch (const std::exception&) {
    zelto::ReportProblem("Chyba v CreateAreaForQtree");
  }
}
