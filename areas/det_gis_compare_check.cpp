#include "areas/det_gis_compare_check.h"

#include <stdexcept>

#include "areas/det_gis_compare.h"
#include "platform/codepage.h"
#include "platform/path_resolver.h"
#include "platform/user_interaction.h"

namespace detgis {
namespace {

struct CheckButton {
  const char* name;
  CheckedLevel level;
};

const std::vector<CheckButton>& buttons() {
  static const std::vector<CheckButton> table = {
      {"btKPSk", {"PSK", "_16PSK.BLK", "P1600.DBF"}}, {"btKPor", {"POR", "_15POR.BLK", "P1500.DBF"}},
      {"btKDil", {"DIL", "_14DIL.BLK", "P1400.DBF"}}, {"btKZRO", {"ZRO", "_91ZRO.BLK", "P1400.DBF"}},
      {"btKOdd", {"ODD", "_13ODD.BLK", "P1300.DBF"}}, {"btKRev", {"REG", "_94REG.BLK", "P9400.DBF"}},
      {"btKBZL", {"BZL", "_17BZL.BLK", "P1700.DBF"}}, {"btKJP", {"JP", "_18JP.BLK", "P1800.DBF"}},
      {"btKOP", {"OP", "_19OP.BLK", "P1900.DBF"}},
  };
  return table;
}

const CheckedLevel& levelOf(std::string_view button) {
  for (const CheckButton& b : buttons())
    if (b.name == button) return b.level;
  throw std::logic_error("no check button " + std::string(button));
}

}  // namespace

std::vector<CheckedLevel> checkedLevels(std::string_view buttonName) {
  if (platform::equalsIgnoringAsciiCase(buttonName, "btKVse")) {
    std::vector<CheckedLevel> all;
    for (const char* b : {"btKPSk", "btKDil", "btKOdd", "btKRev", "btKBZL", "btKJP", "btKOP"})
      all.push_back(levelOf(b));
    return all;
  }
  for (const CheckButton& b : buttons())
    if (platform::equalsIgnoringAsciiCase(buttonName, b.name)) return {b.level};
  return {};
}

}  // namespace detgis

bool CheckExportedLayer(std::string_view buttonName, const detgis::CheckContext& context) {
  if (buttonName.empty()) return false;
  const std::vector<detgis::CheckedLevel> levels = detgis::checkedLevels(buttonName);
  if (levels.empty()) return false;
  const std::string detTable = context.districtDirectory + "\\DET.BLK\\P0110.DBF";
  if (!platform::pathResolver().exists(detTable)) {
    platform::showInfo("Databáze " + detTable + " neexistuje");
    return false;
  }
  const std::optional<std::string> code = context.districtCode ? context.districtCode() : std::nullopt;
  if (!code) return false;
  const bool allLevels = levels.size() > 1;
  bool shown = true;
  for (const detgis::CheckedLevel& level : levels) {
    const std::string gisTable = context.outputDirectory + "\\" + *code + level.block + "\\" + level.table;
    shown = ShowDetGisComparison(level.level, detTable, allLevels, gisTable, context.limits, context.runModal) && shown;
  }
  return shown;
}

bool ShowDetGisComparison(const std::string& levelCode, const std::string& detTable, bool allLevels,
                          const std::string& gisTable, const detgis::GroupLimits& limits,
                          const detgis::ModalRunner& runModal) {
  if (!platform::pathResolver().exists(gisTable)) {
    platform::showInfo("Databáze " + gisTable + " neexistuje");
    return false;
  }
  TKompDETGIS form(limits);
  form.DETTableName = detTable;
  form.GISTableName = gisTable;
  form.LevelCode = levelCode;
  form.AllLevels = allLevels;
  form.Caption += " - vrstva " + levelCode;
  if (runModal)
    runModal(form);
  else
    form.FormShow();
  return true;
}
