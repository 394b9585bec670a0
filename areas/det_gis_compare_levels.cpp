#include "areas/det_gis_compare_levels.h"

#include <charconv>
#include <optional>

#include "platform/codepage.h"

namespace detgis {
namespace {

const std::vector<ComparisonLevel>& levels() {
  static const std::vector<ComparisonLevel> table = [] {
    const std::vector<std::string> group = {"ODDELENI", "DILEC", "SKUPINA"};
    const auto byGroup = [&](const char* code, const char* column, DetRows rows) {
      std::vector<std::string> gis = {"ODD", "DIL", column};
      return ComparisonLevel{code, group, gis, group, gis, rows};
    };
    const std::vector<std::string> dil = {"ODDELENI", "DILEC"}, gisDil = {"ODD", "DIL"};
    const std::vector<std::string> por = {"ODDELENI", "POROST"}, gisPor = {"ODD", "POR"};
    const std::vector<std::string> odd = {"ODDELENI"}, gisOdd = {"ODD"};
    return std::vector<ComparisonLevel>{
        byGroup("PSK", "PSK", DetRows::StandGroups),
        {"POR", por, gisPor, por, gisPor, DetRows::All},
        {"DIL", dil, gisDil, dil, gisDil, DetRows::All},
        {"ZRO", dil, gisDil, dil, gisDil, DetRows::All},
        {"ODD", odd, gisOdd, odd, gisOdd, DetRows::All},
        {"REG", {"LHC"}, {"LHC_KOD"}, {}, {}, DetRows::All},
        byGroup("BZL", "BZL", DetRows::NonForest),
        byGroup("JP", "JP", DetRows::Other),
        byGroup("OP", "OP", DetRows::Remaining),
    };
  }();
  return table;
}

std::string joined(const std::vector<std::string>& columns) {
  std::string text;
  for (const std::string& c : columns) text += (text.empty() ? "" : ",") + c;
  return text;
}

std::optional<int> groupNumber(std::string_view skupina) {
  std::string_view head = skupina.substr(0, 3);
  while (!head.empty() && head.front() == ' ') head.remove_prefix(1);
  while (!head.empty() && head.back() == ' ') head.remove_suffix(1);
  if (!head.empty() && head.front() == '+') head.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(head.data(), head.data() + head.size(), value);
  if (head.empty() || error != std::errc() || end != head.data() + head.size()) return std::nullopt;
  return value;
}

}  // namespace

const ComparisonLevel* findComparisonLevel(std::string_view code) {
  for (const ComparisonLevel& level : levels())
    if (platform::equalsIgnoringAsciiCase(level.code, code)) return &level;
  return nullptr;
}

std::vector<std::string> groupedSumQuery(const std::vector<std::string>& columns, std::string_view table) {
  const std::string list = joined(columns);
  return {"Select " + list + ",SUM(PLOCHA) from \"" + std::string(table) + "\"", "Group By " + list,
          "Order By " + list};
}

bool keepsDetRow(DetRows rows, std::string_view skupina, const GroupLimits& limits) {
  if (rows == DetRows::All) return true;
  const std::optional<int> n = groupNumber(skupina);
  // The same split as the forest hierarchy's classes: a group numbered at
  // the non-forest limit is non-forest land and never exported as a stand
  // group, so it must not be looked for there.
  switch (rows) {
    case DetRows::StandGroups: return !n || *n < limits.nonForest;
    case DetRows::NonForest: return n && *n >= limits.nonForest && *n < limits.other;
    case DetRows::Other: return n && *n >= limits.other && *n < limits.remaining;
    case DetRows::Remaining: return n && *n >= limits.remaining;
    case DetRows::All: break;
  }
  return true;
}

}  // namespace detgis
