#include "areas/det_gis_compare_merge.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/dbase_group_sum.h"
#include "platform/dbase_structure.h"
#include "platform/dbase_table.h"
#include "platform/decimal_separator.h"

namespace detgis {
namespace {

struct KeyColumn {
  int index;
  bool numeric;
};

class SideCursor {
 public:
  explicit SideCursor(const MergeSide& side) : table_(side.table) {
    for (const std::string& name : side.key) {
      const int i = require(name);
      columns_.push_back({i, isNumeric(i)});
    }
    sum_ = require(side.sum);
    live_ = table_.first();
  }

  bool atEnd() const { return !live_; }
  void advance() { live_ = table_.next(); }
  // Deleting leaves the table on the row after the deleted one.
  void dropAndAdvance() {
    table_.deleteRecord();
    live_ = table_.next();
  }

  std::string key() const {
    std::string text;
    for (const KeyColumn& c : columns_) text += table_.text(c.index);
    return text;
  }
  std::string keyPart(std::size_t i) const { return table_.text(columns_[i].index); }
  bool keyPartNumeric(std::size_t i) const { return columns_[i].numeric; }
  std::size_t keyParts() const { return columns_.size(); }

  double sum() const {
    const std::string text = table_.text(sum_);
    return text.empty() ? 0.0 : std::strtod(text.c_str(), nullptr);
  }
  // As the user reads numbers.
  std::string sumText() const {
    std::string text = table_.text(sum_);
    for (char& c : text)
      if (c == '.') c = platform::decimalSeparator();
    return text;
  }

 private:
  int require(const std::string& name) const {
    const int i = table_.fieldIndex(name);
    if (i < 0) throw platform::DbfError("Položka " + name + " v tabulce " + table_.path().string() + " není");
    return i;
  }
  bool isNumeric(int i) const {
    const char type = table_.fields()[i].type;
    return type == 'N' || type == 'F';
  }

  platform::DbfTable& table_;
  std::vector<KeyColumn> columns_;
  int sum_ = -1;
  bool live_ = false;
};

// The keys are compared column by column in the order the grouped sums were
// sorted in (see platform::sharedKeyOrders: by value where either side keeps
// the column as numbers), so that the walk never steps past a partner;
// joined texts would put compartment 10 before 9. Text that differs only in
// letter case is the same unit.
int compareKeys(const SideCursor& det, const SideCursor& gis) {
  const std::size_t parts = std::min(det.keyParts(), gis.keyParts());
  for (std::size_t i = 0; i < parts; ++i) {
    const platform::KeyOrder order = det.keyPartNumeric(i) || gis.keyPartNumeric(i) ? platform::KeyOrder::Value
                                                                                    : platform::KeyOrder::Text;
    if (const int c = platform::compareKeyTexts(det.keyPart(i), gis.keyPart(i), order)) return c;
  }
  return 0;
}

}  // namespace

bool sumsAgree(double det, double gis) {
  // The sums carry a few decimals; without the margin a difference of one
  // hundredth would agree for some values and not for others.
  return std::fabs(det - gis) < 0.01 - 1e-9;
}

bool mergeGroupedSums(MergeSide det, MergeSide gis, const MergeHooks& hooks) {
  SideCursor d(det), g(gis);
  const auto missingInGis = [&] { hooks.list(d.key() + ": " + d.sumText() + " v GIS neexistuje"); };
  const auto missingInDet = [&] { hooks.list("V DET neexistuje " + g.key() + ": " + g.sumText()); };
  while (!d.atEnd() || !g.atEnd()) {
    if (hooks.interrupted && hooks.interrupted()) {
      hooks.list(kInterruptedLine);
      return false;
    }
    if (d.atEnd()) {
      missingInDet();
      g.advance();
    } else if (g.atEnd()) {
      missingInGis();
      d.advance();
    } else if (const int order = compareKeys(d, g); order < 0) {
      missingInGis();
      d.advance();
    } else if (order > 0) {
      missingInDet();
      g.advance();
    } else if (sumsAgree(d.sum(), g.sum())) {
      d.dropAndAdvance();
      g.dropAndAdvance();
    } else {
      hooks.list(d.key() + ":  " + d.sumText() + " <> " + g.sumText());
      d.advance();
      g.advance();
    }
  }
  return true;
}

}  // namespace detgis
