#pragma once
// The grouped sum that comparisons of tables need: one row per distinct
// combination of key fields with the sum of a numeric field, ordered by the
// keys, written as a new table.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Reads the live rows of `source` and writes `target` (replaced) with the
// key fields as the source defines them and the sum as `sumName`, a numeric
// field of the summed field's decimals. Numeric keys order by value, others
// by their Windows-1250 codes with letter case ignored (keys that differ
// only in case are one group); blank keys come first. Throws DbfError for a
// missing field, an unreadable or damaged table (see DbfTable::rowDamage),
// or a summed value or numeric key that is no number, naming its row.
void writeGroupedSum(const std::filesystem::path& source, const std::vector<std::string>& keyFields,
                     std::string_view sumField, const std::filesystem::path& target,
                     std::string_view sumName = "SUM_OF_PLO");

}  // namespace platform
