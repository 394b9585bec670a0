#pragma once
// The merge walk over the two grouped-sum work tables of a DET-GIS
// comparison. Both tables are ordered by their key columns; the walk pairs
// equal keys, deletes pairs whose sums agree, and lists every row without a
// partner and every pair that disagrees. One pass over each table.
#include <functional>
#include <string>
#include <vector>

namespace platform {
class DbfTable;
}

namespace detgis {

struct MergeSide {
  platform::DbfTable& table;  // open for writing
  std::vector<std::string> key;  // columns; none pairs the rows in order
  std::string sum = "SUM_OF_PLO";
};

struct MergeHooks {
  std::function<void(const std::string&)> list;  // one disagreement line
  // Asked before every step; true stops the walk with the interruption line.
  std::function<bool()> interrupted;
};

inline constexpr const char* kInterruptedLine = "! ... proces ručně přerušen ! ";

// Returns false when interrupted. Throws DbfError for a missing column or a
// table that cannot be read or written.
bool mergeGroupedSums(MergeSide det, MergeSide gis, const MergeHooks& hooks);

// Sums agree when they differ by less than one hundredth.
bool sumsAgree(double det, double gis);

}  // namespace detgis
