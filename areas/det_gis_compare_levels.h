#pragma once
// What each exported level compares with the forest description table
// (DET): the columns summed per unit on either side, the columns that make
// the unit's key, and which DET rows belong to the level at all. The group
// numbers of SKUPINA split the DET rows between the stand-group levels by
// the limits of the "GLOBAL" settings.
#include <string>
#include <string_view>
#include <vector>

namespace detgis {

// "SpodniMezBezlesi", "SpodniMezJine", "SpodniMezOstatni".
struct GroupLimits {
  int nonForest = 100;
  int other = 500;
  int remaining = 900;
};

enum class DetRows { All, StandGroups, NonForest, Other, Remaining };

struct ComparisonLevel {
  std::string code;  // "PSK", "POR", "DIL", "ZRO", "ODD", "REG", "BZL", "JP", "OP"
  std::vector<std::string> detColumns;  // grouped by, in this order
  std::vector<std::string> gisColumns;
  std::vector<std::string> detKey;  // empty: the rows pair in order
  std::vector<std::string> gisKey;
  DetRows detRows = DetRows::All;
};

// The level of that code (letter case ignored); nullptr for an unknown one.
const ComparisonLevel* findComparisonLevel(std::string_view code);

// The three lines of a grouped-sum query of PLOCHA over `table`: the select
// with the table's name in double quotes, then "Group By" and "Order By".
std::vector<std::string> groupedSumQuery(const std::vector<std::string>& columns, std::string_view table);

// Whether a DET row with this SKUPINA belongs to the level. The group number
// is the integer of SKUPINA's first three characters; a group without one
// counts as a stand group, as the forest hierarchy files it.
bool keepsDetRow(DetRows rows, std::string_view skupina, const GroupLimits& limits);

}  // namespace detgis
