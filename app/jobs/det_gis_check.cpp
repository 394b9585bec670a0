#include "app/jobs/det_gis_check.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "app/jobs/forest_level_export.h"
#include "gisblock/staged_block.h"
#include "platform/path_resolver.h"
#include "platform/user_interaction.h"

namespace jobs {

namespace {

struct CheckedLevel {
  const char* Button;
  const char* Block;  // after the district code
  const char* Table;
  const char* Level;
};

constexpr CheckedLevel kLevels[] = {
    {"btKPSk", "_16PSK.BLK", "P1600.DBF", "PSK"}, {"btKPor", "_15POR.BLK", "P1500.DBF", "POR"},
    {"btKDil", "_14DIL.BLK", "P1400.DBF", "DIL"}, {"btKZRO", "_91ZRO.BLK", "P1400.DBF", "ZRO"},
    {"btKOdd", "_13ODD.BLK", "P1300.DBF", "ODD"}, {"btKRev", "_94REG.BLK", "P9400.DBF", "REG"},
    {"btKBZL", "_17BZL.BLK", "P1700.DBF", "BZL"}, {"btKJP", "_18JP.BLK", "P1800.DBF", "JP"},
    {"btKOP", "_19OP.BLK", "P1900.DBF", "OP"},
};
constexpr const char* kAllLevels[] = {"PSK", "DIL", "ODD", "REG", "BZL", "JP", "OP"};

bool SameName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// The main window spells its directories as the data tree does.
std::string Join(const std::string& directory, const std::string& name) {
  const char separator = directory.find('\\') != std::string::npos ? '\\' : '/';
  return directory + (directory.empty() || directory.back() == separator ? "" : std::string(1, separator)) + name;
}

// A check that opens no window says why in a box and in one protocol line,
// as the other commands that do nothing do.
void Refused(const std::string& job, const std::string& why, bool information) {
  Refuse(nullptr, job, why, information ? [](const std::string& text) { platform::showInfo(text); }
                                        : std::function<void(const std::string&)>());
}

std::string JobOf(const CheckedLevel* level) {
  return level ? std::string("Kontrola vrstvy ") + level->Level : std::string("Kontrola všech vrstev");
}

// The table of a block; a box and a protocol line say why when it cannot
// be opened.
std::string TableOf(const std::string& job, const std::string& block, const std::string& table) {
  const std::string path = Join(block, table);
  std::string refused;
  if (gisblock::findBlock(block, refused) == gisblock::BlockFound::Refused) {
    Refused(job, "Databázi " + path + " nelze otevřít: " + refused, true);
    return {};
  }
  if (platform::pathResolver().exists(path)) return path;
  Refused(job, "Databáze " + path + " neexistuje", true);
  return {};
}

}  // namespace

int CheckExportedLayer(const std::string& buttonName, const std::string& chosenDirectory,
                       const std::string& outputDirectory, const std::function<void(const LayerComparison&)>& open,
                       const std::string& refusal) {
  std::vector<const CheckedLevel*> levels;
  const bool all = SameName(buttonName, "btKVse");
  for (const CheckedLevel& level : kLevels) {
    if (all ? std::find_if(std::begin(kAllLevels), std::end(kAllLevels), [&](const char* code) {
                return std::string(code) == level.Level;
              }) != std::end(kAllLevels)
            : SameName(buttonName, level.Button))
      levels.push_back(&level);
  }
  if (levels.empty()) return 0;
  const std::string job = JobOf(all ? nullptr : levels.front());
  const std::string det = TableOf(job, Join(chosenDirectory, "DET.BLK"), "P0110.DBF");
  if (det.empty()) return 0;
  if (!refusal.empty()) {
    Refused(job, refusal, false);
    return 0;
  }
  std::string error;
  const std::optional<std::string> code = DistrictCodeOf(outputDirectory, error);
  if (!code) {
    Refused(job, error, false);
    return 0;
  }
  int opened = 0;
  for (const CheckedLevel* level : levels) {
    const std::string gis = TableOf(JobOf(level), Join(outputDirectory, *code + level->Block), level->Table);
    if (gis.empty()) continue;
    open({level->Level, det, gis, all});
    ++opened;
  }
  return opened;
}

}  // namespace jobs
