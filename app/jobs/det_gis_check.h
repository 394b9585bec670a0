#pragma once
// The check of an exported level against the district's forest description
// table: the "K" button pressed names the level, the command finds the two
// tables and hands them to the comparison window.
//
//   jobs::CheckExportedLayer("btkDil", chosenDirectory, districtOutput,
//                            [](const jobs::LayerComparison& c) { openWindow(c); });
#include <functional>
#include <string>

namespace jobs {

struct LayerComparison {
  std::string LevelCode;  // "PSK", "DIL", ...
  std::string DetTable;
  std::string GisTable;
  bool AllLevels = false;  // compare at once when the window shows
};

// Calls `open` for the level of the button (compared without regard to
// case), or for each level of "btKVse"; a missing table (a block left aside
// by a killed export is put back first), a block an export is putting in
// place or a wrong district code is shown in a box instead, and so is
// `refusal` (what the caller found wrong with the output's codes or the
// settings) once the forest description is found; each box also leaves a
// protocol line "; Kontrola vrstvy PSK – neprovedeno: …" ("Kontrola všech
// vrstev" for "btKVse" before a level is taken). Answers how many windows
// were asked for.
int CheckExportedLayer(const std::string& buttonName, const std::string& chosenDirectory,
                       const std::string& outputDirectory, const std::function<void(const LayerComparison&)>& open,
                       const std::string& refusal = {});

}  // namespace jobs
