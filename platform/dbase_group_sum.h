#pragma once
// The grouped sum that comparisons of tables need: one row per distinct
// combination of key fields with the sum of a numeric field, ordered by the
// keys, written as a new table.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// How the sums order a key column: by value (numbers first, then text that
// is no number, by text) or by text alone (Windows-1250 codes, letter case
// ignored, so that keys differing only in case are one group). Blank keys
// come first either way.
enum class KeyOrder { Text, Value };

// Negative, zero or positive as `a` orders before, with or after `b`.
int compareKeyTexts(std::string_view a, std::string_view b, KeyOrder order);

// The orders in which the sums of two tables must be written for a walk
// that pairs their rows key column by key column: by value where either
// table keeps the column as numbers, so that compartment 2 of one table
// meets compartment "2" of the other before 10 and 100. A field a table
// lacks leaves its column to the other table. Throws DbfError for a table
// that cannot be read.
std::vector<KeyOrder> sharedKeyOrders(const std::filesystem::path& a, const std::vector<std::string>& aFields,
                                      const std::filesystem::path& b, const std::vector<std::string>& bFields);

// Reads the live rows of `source` (a row whose every field is blank is
// none) and writes `target` (replaced) with the
// key fields as the source defines them and the sum as `sumName`, a numeric
// field of the summed field's decimals. Each key column is ordered as
// `orders` says; without orders, numeric keys by value and others by text.
// Throws DbfError for a missing field, an unreadable table, a damaged one
// (its header, or its rows: see DbfTable::rowDamage), or a summed value or
// numeric key that is no number, naming its row.
void writeGroupedSum(const std::filesystem::path& source, const std::vector<std::string>& keyFields,
                     std::string_view sumField, const std::filesystem::path& target,
                     std::string_view sumName = "SUM_OF_PLO", const std::vector<KeyOrder>& orders = {});

}  // namespace platform
