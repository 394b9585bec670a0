#include "render/edge_table.h"

#include <algorithm>
#include <cmath>

namespace {

std::int64_t roundToInt64(double v) { return static_cast<std::int64_t>(std::nearbyint(v)); }

}  // namespace

void TEdgeTable::Build(std::span<const TDevicePoint> points,
                       std::span<const std::int32_t> ringCounts, bool byColumns,
                       const RowPieceFn& onRowPiece) {
  records_.clear();
  records_.reserve(points.size());
  auto rowOf = [byColumns](TDevicePoint p) { return byColumns ? p.X : p.Y; };
  auto posOf = [byColumns](TDevicePoint p) { return byColumns ? p.Y : p.X; };

  bool haveMin = false;
  std::vector<std::int32_t> nextOtherRow;
  std::size_t offset = 0;
  for (std::int32_t count : ringCounts) {
    if (count <= 0) continue;
    const std::size_t n = std::min<std::size_t>(count, points.size() - std::min(offset, points.size()));
    const std::span<const TDevicePoint> ring = points.subspan(offset, n);
    offset += static_cast<std::size_t>(count);
    if (n == 0) continue;

    // The row of the next point with another row, for every point: walking
    // back twice around the ring settles every run of equal rows, so that an
    // edge looks ahead in constant time.
    nextOtherRow.assign(n, 0);
    for (std::size_t i = 2 * n; i-- > 0;) {
      const std::size_t j = i % n, next = (j + 1) % n;
      nextOtherRow[j] =
          rowOf(ring[next]) != rowOf(ring[j]) ? rowOf(ring[next]) : nextOtherRow[next];
    }

    TDevicePoint prev = ring[n - 1];
    if (!haveMin) {
      minRow_ = rowOf(prev);
      haveMin = true;
    }
    for (std::size_t j = 0; j < n; ++j) {
      const TDevicePoint cur = ring[j];
      const std::int32_t y1 = rowOf(prev);
      std::int32_t y2 = rowOf(cur);
      if (y1 != y2) {
        const double x1 = posOf(prev);
        double x2 = posOf(cur);
        const double s = (x2 - x1) / (static_cast<double>(y2) - y1);
        // A vertex that is no local extreme belongs to one edge only, so
        // that the crossings of its row stay paired.
        const std::int32_t y3 = nextOtherRow[j];
        if (y1 < y2 && y2 < y3) {
          --y2;
          x2 -= s;
        } else if (y1 > y2 && y2 > y3) {
          ++y2;
          x2 += s;
        }
        TEdgeRecord r;
        r.FirstRow = std::max(y1, y2);
        r.Rows = static_cast<std::int32_t>(std::abs(static_cast<std::int64_t>(y2) - y1) + 1);
        r.X1000 = y1 > y2 ? roundToInt64(x1 * 1000.0) : roundToInt64(x2 * 1000.0);
        r.Step1000 = roundToInt64(s * 1000.0);
        records_.push_back(r);
      } else if (onRowPiece) {
        onRowPiece(prev, cur);
      }
      minRow_ = std::min(minRow_, rowOf(cur));
      prev = cur;
    }
  }
  // Later edges after earlier ones of the same first row.
  std::stable_sort(records_.begin(), records_.end(),
                   [](const TEdgeRecord& a, const TEdgeRecord& b) { return a.FirstRow > b.FirstRow; });
}

void TEdgeTable::CrossingsAtRow(std::int32_t row, std::vector<std::int64_t>& x1000) const {
  x1000.clear();
  for (const TEdgeRecord& r : records_) {
    const std::int64_t steps = static_cast<std::int64_t>(r.FirstRow) - row;
    if (steps < 0 || steps >= r.Rows) continue;
    x1000.push_back(r.X1000 - steps * r.Step1000);
  }
  std::sort(x1000.begin(), x1000.end());
}

void UpdateActiveEdges(std::span<TEdgeRecord> edges, std::int32_t row, int& last, int& first) {
  const int count = static_cast<int>(edges.size());
  if (count == 0) return;
  while (last + 1 < count && edges[last + 1].FirstRow >= row) ++last;
  while (first < last && edges[first].Rows == 0) ++first;
}

void SortActiveEdges(std::span<TEdgeRecord> edges, int& activeCount, int last, int first) {
  activeCount = 0;
  if (edges.empty()) return;
  for (int i = first; i <= last; ++i) {
    if (edges[i].Rows > 0) ++activeCount;
    // Finished records go to the front of the window, where the next
    // update steps past them: the window stays as wide as the running
    // edges, however many edges a large area has finished.
    const TEdgeRecord moving = edges[i];
    auto after = [&moving](const TEdgeRecord& r) {
      if (moving.Rows == 0) return r.Rows > 0;
      return r.Rows > 0 && r.X1000 > moving.X1000;
    };
    int k = i;
    while (k > first && after(edges[k - 1])) {
      edges[k] = edges[k - 1];
      --k;
    }
    edges[k] = moving;
  }
}

void StepActiveEdges(std::span<TEdgeRecord> edges, int first, int last) {
  if (edges.empty()) return;
  for (int i = first; i <= last; ++i) {
    TEdgeRecord& r = edges[i];
    if (r.Rows <= 0) continue;
    --r.Rows;
    r.X1000 -= r.Step1000;
  }
}

void ForEachSpan(std::span<const TEdgeRecord> edges, int first, int last, int activeCount,
                 const std::function<void(std::int64_t, std::int64_t)>& span) {
  int i = first;
  auto nextRunning = [&]() -> const TEdgeRecord* {
    while (i <= last && edges[i].Rows == 0) ++i;
    return i <= last ? &edges[i++] : nullptr;
  };
  for (int k = activeCount / 2; k > 0; --k) {
    const TEdgeRecord* in = nextRunning();
    const TEdgeRecord* out = nextRunning();
    if (!in || !out) return;
    span(in->X1000 / 1000, out->X1000 / 1000);
  }
}
