#pragma once
// The check command of the main window's "K" buttons: picks the exported
// level's table and the district's forest description table and opens the
// DET-GIS comparison for them. Without a main window the caller hands in
// what the window holds (button name, chosen district directory, output
// directory, district code) and, to show the form, a modal runner.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "areas/det_gis_compare_levels.h"

class TKompDETGIS;

namespace detgis {

struct CheckedLevel {
  std::string level;  // "PSK" ...
  std::string block;  // after the district code: "_16PSK.BLK"
  std::string table;  // "P1600.DBF"
};

// The levels a button checks, in order (all of them for "btKVse"); empty
// for any other name. Letter case is ignored.
std::vector<CheckedLevel> checkedLevels(std::string_view buttonName);

// Shows the form modally; the form prepares itself in FormShow, which the
// runner calls when the form appears. Without a runner FormShow is called
// directly, so that a batch run with AllLevels compares at once.
using ModalRunner = std::function<void(TKompDETGIS&)>;

struct CheckContext {
  std::string districtDirectory;  // chosen in the directory list
  std::string outputDirectory;    // lbRevir's text
  // GetDistrictCode: the two-digit code, or nothing after it has shown why.
  std::function<std::optional<std::string>()> districtCode;
  GroupLimits limits;
  ModalRunner runModal;
};

}  // namespace detgis

// The handler of code 105: `buttonName` is the Name of the "K" button that
// posted it (empty when the message carried none). Returns false when it
// stopped at a missing table or a wrong district code.
bool CheckExportedLayer(std::string_view buttonName, const detgis::CheckContext& context);

// Informs and returns false when the GIS table does not exist.
bool ShowDetGisComparison(const std::string& levelCode, const std::string& detTable, bool allLevels,
                          const std::string& gisTable, const detgis::GroupLimits& limits = {},
                          const detgis::ModalRunner& runModal = {});
