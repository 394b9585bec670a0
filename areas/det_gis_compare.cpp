#include "areas/det_gis_compare.h"

#include <algorithm>
#include <cerrno>

#include "areas/det_gis_compare_merge.h"
#include "platform/codepage.h"
#include "platform/dbase_group_sum.h"
#include "platform/dbase_structure.h"
#include "framework/message_dispatch.h"
#include "platform/pacer.h"
#include "platform/path_resolver.h"
#include "platform/regular_file.h"
#include "platform/system_cause.h"
#include "platform/tables_read.h"
#include "platform/user_interaction.h"

namespace {

constexpr const char* kDetWorkTable = "COPYDET.DBF";
constexpr const char* kGisWorkTable = "COPYGIS.DBF";
constexpr const char* kSumColumn = "SUM_OF_PLO";
constexpr const char* kTooMany = "Příliš mnoho chybových záznamů";

std::filesystem::path tableFile(const std::string& name) { return platform::pathResolver().existing(name); }

}  // namespace

TKompDETGIS::TKompDETGIS(detgis::GroupLimits limits, std::filesystem::path workDirectory)
    : limits_(limits),
      workDirectory_(workDirectory.empty() ? std::filesystem::current_path() : std::move(workDirectory)) {}

TKompDETGIS::~TKompDETGIS() {
  // The tables go before the lock that keeps them this form's.
  TableDET.close();
  TableGIS.close();
}

std::filesystem::path TKompDETGIS::ListingFileName() const {
  return tableFile(GISTableName).replace_extension(".ERR");
}

std::filesystem::path TKompDETGIS::WorkTable(const char* name) const { return workDirectory_ / name; }

void TKompDETGIS::FormShow() {
  const detgis::ComparisonLevel* level = detgis::findComparisonLevel(LevelCode);
  if (!level) {
    platform::showError("Neznámá vrstva porovnání: " + LevelCode);
    return;
  }
  if (prepareShown(*level) && AllLevels) compare();
}

bool TKompDETGIS::prepareShown(const detgis::ComparisonLevel& level) {
  try {
    platform::BusyCursor hourglass;
    prepare(level);
    return true;
  } catch (const platform::DbfError& e) {
    TableDET.close();
    TableGIS.close();
    workLock_.release();
    prepared_.clear();
    platform::showError(e.what());
    return false;
  }
}

void TKompDETGIS::prepare(const detgis::ComparisonLevel& level) {
  TableDET.close();
  TableGIS.close();
  lockWorkTables();
  QDET = detgis::groupedSumQuery(level.detColumns, DETTableName);
  QGIS = detgis::groupedSumQuery(level.gisColumns, GISTableName);
  // Both sides sorted alike, or the walk lists units that both hold.
  const std::filesystem::path det = tableFile(DETTableName), gis = tableFile(GISTableName);
  // Taken before the tables are read: a save while they are summed is
  // seen, here and by a later comparison.
  std::vector<std::pair<std::filesystem::path, std::optional<platform::DbfFileStamp>>> read;
  for (const std::filesystem::path& file : {det, gis}) read.emplace_back(file, platform::DbfTable::stampOf(file));
  const std::vector<platform::KeyOrder> orders = platform::sharedKeyOrders(det, level.detColumns, gis, level.gisColumns);
  platform::writeGroupedSum(det, level.detColumns, "PLOCHA", WorkTable(kDetWorkTable), kSumColumn, orders);
  TableDET.open(WorkTable(kDetWorkTable), false);
  platform::writeGroupedSum(gis, level.gisColumns, "PLOCHA", WorkTable(kGisWorkTable), kSumColumn, orders);
  TableGIS.open(WorkTable(kGisWorkTable), false);
  filterDetRows(level);
  TableDET.first();
  TableGIS.first();
  prepared_.clear();
  // Sums of a table saved while it was summed may hold rows of both its
  // versions.
  for (const auto& [file, stamp] : read)
    if (platform::DbfTable::stampOf(file) != stamp)
      throw platform::DbfError(platform::changedDuringJobText(file, true) + "; porovnání lze spustit znovu");
  prepared_ = std::move(read);
  for (const std::filesystem::path& file : {WorkTable(kDetWorkTable), WorkTable(kGisWorkTable)})
    prepared_.emplace_back(file, platform::DbfTable::stampOf(file));
}

bool TKompDETGIS::tablesAsPrepared() const {
  return std::all_of(prepared_.begin(), prepared_.end(),
                     [](const auto& table) { return platform::DbfTable::stampOf(table.first) == table.second; });
}

void TKompDETGIS::lockWorkTables() {
  if (workLock_.held()) return;
  std::error_code error;
  switch (workLock_.take(WorkTable(kDetWorkTable), error)) {
    case gisblock::BlockLock::Result::Taken: return;
    case gisblock::BlockLock::Result::Busy:
    case gisblock::BlockLock::Result::Reading:
      throw platform::DbfError("Pracovní tabulky " + std::string(kDetWorkTable) + " a " + kGisWorkTable +
                               " v adresáři " + platform::pathResolver().userSpelling(workDirectory_) +
                               " právě používá jiné porovnání DET-GIS; zkuste to znovu, až skončí");
    case gisblock::BlockLock::Result::Failed:
      // No lock where nothing can be written: making the work tables
      // fails too, and tells why.
      return;
  }
}

void TKompDETGIS::filterDetRows(const detgis::ComparisonLevel& level) {
  if (level.detRows == detgis::DetRows::All) return;
  for (bool row = TableDET.first(); row; row = TableDET.next())
    if (!detgis::keepsDetRow(level.detRows, TableDET.text("SKUPINA"), limits_)) TableDET.deleteRecord();
}

void TKompDETGIS::btPorovnejClick() {
  // The walk lets pending messages through, so the button can be pressed
  // again while it runs; a second walk would move the tables under the first.
  if (btPorovnejEnabled && !comparing_) compare();
}

void TKompDETGIS::compare() {
  const detgis::ComparisonLevel* level = detgis::findComparisonLevel(LevelCode);
  if (!level || !Prepared()) return;
  // Sums of tables written since, or work tables another program changed
  // under the open ones, would compare what the tables no longer hold.
  if (!tablesAsPrepared() && !prepareShown(*level)) return;
  const std::filesystem::path listingName = ListingFileName();
  const std::string shownListing = platform::pathResolver().userSpelling(listingName);
  platform::RegularFileStream listing(listingName, std::ios::out | std::ios::trunc);
  if (!listing) {
    platform::showError("Soubor " + shownListing + " nelze vytvořit: " + platform::systemCause(listing.error()));
    return;
  }
  comparing_ = true;
  bbprerusEnabled = true;
  Memo.clear();
  lbCount = "0";
  GridsUpdating = false;
  detgis::MergeHooks hooks;
  hooks.list = [&](const std::string& line) { listLine(line, listing); };
  // The first group already looks for a break pressed before the walk.
  platform::Pacer pacer;
  pacer.force();
  hooks.interrupted = [this, &pacer] {
    if (pacer.due()) zelto::ProcessPendingMessages();
    return breakRequested_;
  };
  try {
    interrupted_ = !detgis::mergeGroupedSums({TableDET, level->detKey, kSumColumn},
                                             {TableGIS, level->gisKey, kSumColumn}, hooks);
  } catch (const platform::DbfError& e) {
    platform::showError(e.what());
  }
  comparing_ = false;
  GridsUpdating = true;
  errno = 0;
  listing.close();
  if (!listing) platform::showError("Soubor " + shownListing + " nelze zapsat: " + platform::systemCause(errno));
  btPorovnejEnabled = false;
  bbprerusEnabled = false;
}

void TKompDETGIS::listLine(const std::string& line, std::ostream& listing) {
  Memo.push_back(line);
  listing << platform::fromUtf8(line, platform::CodePage::Windows1250) << "\r\n";
  lbCount = Memo.size() <= static_cast<std::size_t>(kMaxCountShown) ? std::to_string(Memo.size()) : kTooMany;
}
