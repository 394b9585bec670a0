#include "platform/dbase_group_sum.h"

#include "platform/codepage.h"
#include "platform/dbase_table.h"
#include "platform/dbase_value.h"
#include "platform/path_resolver.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <map>
#include <optional>

namespace platform {
namespace {

constexpr std::uint16_t kSumWidth = 20;

bool isNumeric(const DbfField& field) { return field.type == 'N' || field.type == 'F'; }

DbfError damagedTable(const std::string& shown, const std::string& fault) {
  return DbfError("Tabulka " + shown + " je poškozena: " + fault);
}

// A damaged header is told as damaged rows are, one text for all damage of
// the tables compared.
void openToSum(DbfTable& table, const std::filesystem::path& file) {
  try {
    table.open(file, true);
  } catch (const DbfOpenError& e) {
    if (!e.damagedHeader()) throw;
    throw damagedTable(pathResolver().userSpelling(file), e.fault());
  }
}

// The empty line a spreadsheet leaves below its rows names no unit and
// holds no area; as a group of blank keys it would be listed as a unit, and
// where the keys are none at all it would be paired in place of a real one.
bool blankRow(const DbfTable& table) {
  for (int i = 0; i < static_cast<int>(table.fields().size()); ++i)
    if (!table.text(i).empty()) return false;
  return true;
}

struct KeyLess {
  std::vector<KeyOrder> orders;

  bool operator()(const std::vector<std::string>& a, const std::vector<std::string>& b) const {
    for (std::size_t i = 0; i < a.size(); ++i)
      if (const int c = compareKeyTexts(a[i], b[i], orders[i])) return c < 0;
    return false;
  }
};

}  // namespace

int compareKeyTexts(std::string_view a, std::string_view b, KeyOrder order) {
  if (a.empty() || b.empty()) return a.empty() == b.empty() ? 0 : a.empty() ? -1 : 1;
  if (order == KeyOrder::Value) {
    const std::optional<double> x = dbf::numberValue(a), y = dbf::numberValue(b);
    if (x && y) return *x < *y ? -1 : *x > *y ? 1 : 0;
    if (x || y) return x ? -1 : 1;
  }
  return compareByCp1250IgnoringCase(a, b);
}

std::vector<KeyOrder> sharedKeyOrders(const std::filesystem::path& a, const std::vector<std::string>& aFields,
                                      const std::filesystem::path& b, const std::vector<std::string>& bFields) {
  std::vector<KeyOrder> orders(std::max(aFields.size(), bFields.size()), KeyOrder::Text);
  for (const auto& [file, names] : {std::pair{&a, &aFields}, std::pair{&b, &bFields}}) {
    DbfTable table;
    openToSum(table, *file);
    for (std::size_t i = 0; i < names->size(); ++i)
      if (const int field = table.fieldIndex((*names)[i]); field >= 0 && isNumeric(table.fields()[field]))
        orders[i] = KeyOrder::Value;
  }
  return orders;
}

void writeGroupedSum(const std::filesystem::path& source, const std::vector<std::string>& keyFields,
                     std::string_view sumField, const std::filesystem::path& target, std::string_view sumName,
                     const std::vector<KeyOrder>& orders) {
  DbfTable in;
  openToSum(in, source);
  // Sums over a table cut short would tell of differences that are none.
  const std::string shown = pathResolver().userSpelling(source);
  if (const std::string damage = in.rowDamage(); !damage.empty()) throw damagedTable(shown, damage);
  std::vector<int> keys;
  std::vector<DbfField> outFields;
  assert(orders.empty() || orders.size() >= keyFields.size());
  KeyLess order{orders};
  for (const std::string& name : keyFields) {
    const int i = in.fieldIndex(name);
    if (i < 0) throw DbfError("Položka " + name + " v tabulce " + shown + " není");
    keys.push_back(i);
    outFields.push_back(in.fields()[i]);
    if (orders.empty()) order.orders.push_back(isNumeric(in.fields()[i]) ? KeyOrder::Value : KeyOrder::Text);
  }
  const int sum = in.fieldIndex(sumField);
  if (sum < 0) throw DbfError("Položka " + std::string(sumField) + " v tabulce " + shown + " není");
  const std::uint16_t decimals = in.fields()[sum].decimals;
  outFields.push_back({std::string(sumName), 'N', kSumWidth, decimals, 0});

  // A value that is no number would be summed as some other number: the
  // user learns where to mend it.
  auto number = [&](int field, const std::string& text) {
    const std::optional<double> value = dbf::numberValue(text);
    if (!value)
      throw DbfError("Tabulka " + shown + ", řádek " + std::to_string(in.recNo()) + ": hodnota \"" + text +
                     "\" položky " + in.fields()[field].name + " není číslo");
    return *value;
  };
  // A key its own field holds only rounded ("1.5" in a field without
  // decimals) would be summed with the unit it is rounded to.
  auto exactKey = [&](int field, const std::string& text) {
    if (const std::optional<std::string> why = dbf::roundingOf(in.fields()[field], text))
      throw DbfError("Tabulka " + shown + ", řádek " + std::to_string(in.recNo()) + ": hodnota \"" + text +
                     "\" položky " + in.fields()[field].name + " " + *why);
  };
  std::map<std::vector<std::string>, double, KeyLess> groups(order);
  for (bool row = in.first(); row; row = in.next()) {
    if (blankRow(in)) continue;
    std::vector<std::string> key;
    for (std::size_t k = 0; k < keys.size(); ++k) {
      key.push_back(in.text(keys[k]));
      if (isNumeric(in.fields()[keys[k]]) && !key.back().empty()) {
        number(keys[k], key.back());
        exactKey(keys[k], key.back());
      }
    }
    const std::string value = in.text(sum);
    groups[std::move(key)] += value.empty() ? 0.0 : number(sum, value);
  }
  in.close();

  DbfTable::create(target, outFields);
  DbfTable out;
  out.open(target, false);
  char text[64];
  for (const auto& [key, total] : groups) {
    out.append();
    for (std::size_t i = 0; i < key.size(); ++i) out.setText(static_cast<int>(i), key[i]);
    std::snprintf(text, sizeof text, "%.*f", static_cast<int>(decimals), total);
    out.setText(static_cast<int>(key.size()), text);
    out.post();
  }
}

}  // namespace platform
