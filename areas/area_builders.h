#pragma once
// Areas from the noded network: every face is walked as a ring of branches,
// turning at each node to the next branch in angle order. Rings of positive
// sign are areas (with a label point), rings of negative sign are holes.
#include <cstdint>
#include <memory>
#include <string>

#include "areas/leaf_walkers.h"
#include "framework/tool.h"

class TAreaPointPlacer;
class TNodeBranch;
class TSpaceEntityQTree;

// Input: one branch. Output: the area or hole built, else nothing.
class TCreateAreaForBranch : public TTool {
  ZELTO_ELEMENT(TCreateAreaForBranch)
 public:
  // Areas of this many branches or more are left out; holes, and the
  // outside of the network, are bounded by the walk's steps alone.
  static constexpr std::int32_t kMaxRingBranches = 2030;
  static constexpr std::int32_t kMaxSteps = 10000;
  // Rings enclosing no more (square metres) yield nothing.
  static constexpr double kMinArea = 0.001;

  // Off for callers that place every label point again once the areas
  // have their holes.
  bool PlaceLabelPoints = true;

  ~TCreateAreaForBranch() override;
  void DoIt() override;
  // The area or hole of the ring to the right of the branch, owned by the
  // caller; nullptr when it yields none.
  TElement* Build(TNodeBranch& first);
  double GetAreaValue() const { return areaValue_; }
  // Logs a ring that yields nothing, with where it starts; nullptr.
  TElement* Skipped(const TNodeBranch& first, const std::string& why);

 private:
  std::unique_ptr<TAreaPointPlacer> placer_;  // made on first use, kept for the next area
  double areaValue_ = 0.0;
};

// Frees an area quad-tree with its areas and holes (nil does nothing).
void FreeAreaQTree(TSpaceEntityQTree* areas);

// Runs TCreateAreaForBranch on every branch of every node that has no area
// yet; Output: the area quad-tree, holding areas and holes alike. When a
// ring cannot be built for want of memory, the tree built so far goes and
// the failure is thrown.
class TCreateAreasForQTree : public TProchazecListuQTreeGauge {
  ZELTO_ELEMENT(TCreateAreasForQTree)
 public:
  void DoIt() override;
  void Process(TElement* element) override;
  TSpaceEntityQTree* AreaQTree() const { return areas_; }
  // Handed to the builder of each area (see TCreateAreaForBranch).
  bool PlaceLabelPoints = true;
  std::int32_t GetAreasCount() const { return areasCount_; }

 private:
  std::unique_ptr<TCreateAreaForBranch> builder_;  // during DoIt
  TSpaceEntityQTree* areas_ = nullptr;  // owned by whoever takes the output
  std::int32_t areasCount_ = 0;
  std::int32_t built_ = 0;  // builder runs, for letting the user interface in
};
