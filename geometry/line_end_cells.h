#pragma once
// The begin/end cell index of lines: a point quad-tree over a block's
// rectangle filing every line under its first vertex ("BEGINS") and its last
// ("ENDS") in the leaf that holds the point, so that node building compares
// ends only within one leaf.
#include <cstdint>

#include "geometry/poly_element.h"

class TSpaceRect : public TRectEntity {
  ZELTO_ELEMENT(TSpaceRect)
 public:
  bool GetLast() const { return Last; }
  virtual std::int32_t GetEntriesCount() const { return 0; }
  // Splits at the centre into four leaves of the cell's own class.
  void Split();

  double CenterX = 0.0;  // the split point
  double CenterY = 0.0;
  bool Last = true;
  std::int32_t Depth = 0;
  TSpaceRect* LevyHorni = nullptr;
  TSpaceRect* LevyDolni = nullptr;
  TSpaceRect* PravyHorni = nullptr;
  TSpaceRect* PravyDolni = nullptr;
};

class TSpaceLineBegEndCell : public TSpaceRect {
  ZELTO_ELEMENT(TSpaceLineBegEndCell)
 public:
  static constexpr std::int32_t kCapacity = 64;
  // Cells are not split below this side or depth: ends that coincide stay
  // together in one leaf, which then grows past the capacity.
  static constexpr double kMinCellSide = 0.001;
  static constexpr std::int32_t kMaxDepth = 48;

  // Called on the root.
  void AddLineEnd(TPolyLineElement* line, bool atBegin);
  // A leaf: lines in BEGINS and ENDS; an inner cell: the sum of its quadrants.
  std::int32_t GetEntriesCount() const override;
  TPolyLineString* Begins() const { return begins_; }
  TPolyLineString* Ends() const { return ends_; }
  // Frees both lists of a leaf (the lines stay): once the nodes hold the
  // lines, the index needs the ends no more.
  void DropLineLists();
  // The leaf a point is filed in (from this cell down).
  TSpaceLineBegEndCell* LeafAt(double x, double y);

 private:
  void InsertAt(TPolyLineElement* line, bool atBegin, double x, double y);
  TSpaceLineBegEndCell* ChildFor(double x, double y) const;
  void Redistribute();
  void AddToList(TPolyLineElement* line, bool atBegin);
  bool MaySplit() const;

  TPolyLineString* begins_ = nullptr;
  TPolyLineString* ends_ = nullptr;
};
