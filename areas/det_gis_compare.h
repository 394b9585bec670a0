#pragma once
// The DET-GIS comparison form: the sums of PLOCHA per forest unit in the
// forest description table (DET) and in an exported level's table are
// grouped into the work tables "COPYDET.DBF" and "COPYGIS.DBF", walked
// against each other, and every disagreement is listed in the memo and in
// a listing file beside the exported table (".ERR", Windows-1250). Only the
// rows that disagree stay in the work tables, which the grids show.
//
// The form keeps its own state; a toolkit shows it through a view that
// reads these fields and calls the handlers.
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "areas/det_gis_compare_levels.h"
#include "gisblock/block_lock.h"
#include "platform/dbase_table.h"

class TKompDETGIS {
 public:
  static constexpr int kMaxCountShown = 20000;

  // The work tables go to `workDirectory` (the current directory when
  // empty); the limits are the "GLOBAL" group limits of the settings.
  explicit TKompDETGIS(detgis::GroupLimits limits = {}, std::filesystem::path workDirectory = {});
  ~TKompDETGIS();
  TKompDETGIS(const TKompDETGIS&) = delete;
  TKompDETGIS& operator=(const TKompDETGIS&) = delete;

  // Set by the opener before the form is shown.
  std::string LevelCode;
  std::string DETTableName;  // full file names of dBase tables
  std::string GISTableName;
  bool AllLevels = false;  // compare as soon as the form is shown

  // Components.
  std::string Caption = "Porovnání DET-GIS";
  std::string Label1 = "Nalezené nesoulady";
  std::string lbCount = "0";
  std::vector<std::string> Memo;
  bool btPorovnejEnabled = true;  // "Porovnej"
  // "Přeruš": only while a comparison runs, so that a press with nothing
  // to stop cannot stop the comparison started after it.
  bool bbprerusEnabled = false;
  std::vector<std::string> QDET, QGIS;  // the grouped-sum queries
  platform::DbfTable TableDET, TableGIS;
  // While false the grids leave the tables alone (the walk moves them).
  bool GridsUpdating = true;

  // Prepares both work tables and, with AllLevels, compares. Errors of the
  // tables are shown to the user and leave the work tables closed. A
  // comparison asked for later prepares them again first where another
  // program has written a table since (the window may stand open while
  // the office edits one).
  void FormShow();
  void btPorovnejClick();
  void bbprerusClick() {
    if (comparing_) breakRequested_ = true;
  }

  bool Prepared() const { return TableDET.isOpen() && TableGIS.isOpen(); }
  bool Interrupted() const { return interrupted_; }
  // The GIS table's name with ".ERR".
  std::filesystem::path ListingFileName() const;
  std::filesystem::path WorkTable(const char* name) const;

 private:
  // prepare, its errors shown; false when it failed.
  bool prepareShown(const detgis::ComparisonLevel& level);
  void prepare(const detgis::ComparisonLevel& level);
  bool tablesAsPrepared() const;
  void lockWorkTables();
  void filterDetRows(const detgis::ComparisonLevel& level);
  void compare();
  void listLine(const std::string& line, std::ostream& listing);

  detgis::GroupLimits limits_;
  std::filesystem::path workDirectory_;
  // The tables compared and the work tables as prepare left them.
  std::vector<std::pair<std::filesystem::path, std::optional<platform::DbfFileStamp>>> prepared_;
  // Held while the work tables are this form's: another comparison started
  // in the same directory (another copy of the program) would write its
  // sums into them under this one's walk.
  gisblock::BlockLock workLock_;
  bool comparing_ = false;
  bool breakRequested_ = false;
  bool interrupted_ = false;
};
