#pragma once
// The scan-line edge table of an area given as rings of device pixels: the
// fill of the hatch symbols walks it row by row from the largest row down,
// the label-point placer reads one row of it. Edge x is kept in thousandths
// of a pixel so that every step is integer arithmetic.
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "geometry/device_types.h"

struct TEdgeRecord {
  std::int32_t FirstRow = 0;  // the first (largest) row of the edge
  std::int64_t X1000 = 0;     // x on the current row, thousandths of a pixel
  std::int32_t Rows = 0;      // rows still to visit, the current one included
  std::int64_t Step1000 = 0;  // subtracted from X1000 at every step down
};

class TEdgeTable {
 public:
  // Called for a piece of ring lying along a row (it makes no edge).
  using RowPieceFn = std::function<void(TDevicePoint from, TDevicePoint to)>;

  // Rings follow one another in points; ringCounts gives their sizes. Each
  // ring is taken as closed. With byColumns the rows are device x and the
  // positions device y (vertical hatching), else rows are device y.
  void Build(std::span<const TDevicePoint> points, std::span<const std::int32_t> ringCounts,
             bool byColumns, const RowPieceFn& onRowPiece = {});

  std::vector<TEdgeRecord>& Records() { return records_; }
  const std::vector<TEdgeRecord>& Records() const { return records_; }
  int Count() const { return static_cast<int>(records_.size()); }
  bool Empty() const { return records_.empty(); }
  // The largest first row; meaningful only with edges.
  std::int32_t HighRow() const { return records_.empty() ? 0 : records_.front().FirstRow; }
  // The smallest row of any ring point.
  std::int32_t MinRow() const { return minRow_; }

  // The x (thousandths) of the edges still running on the row, in ascending
  // order: the same integers that stepping down from the top would reach, in
  // one pass over the table.
  void CrossingsAtRow(std::int32_t row, std::vector<std::int64_t>& x1000) const;

 private:
  std::vector<TEdgeRecord> records_;
  std::int32_t minRow_ = 0;
};

// The active-edge steps of one row, over a table sorted by FirstRow (largest
// first). first and last are 0-based indices and start at 0; the records
// first..last are the active window.
void UpdateActiveEdges(std::span<TEdgeRecord> edges, std::int32_t row, int& last, int& first);
// Insertion sort of first..last by X1000, finished records moved to the
// front; activeCount := the records of the window with rows left.
void SortActiveEdges(std::span<TEdgeRecord> edges, int& activeCount, int last, int first);
void StepActiveEdges(std::span<TEdgeRecord> edges, int first, int last);
// The spans of a sorted window: activeCount / 2 pairs of running edges, each
// end in whole pixels (truncated towards zero), both ends inside the span.
void ForEachSpan(std::span<const TEdgeRecord> edges, int first, int last, int activeCount,
                 const std::function<void(std::int64_t from, std::int64_t to)>& span);
