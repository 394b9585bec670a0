#pragma once
// The read commands: a district's stand map or an LHC's lines loaded into
// the world's object model through a model script, and the forest hierarchy
// built on the district. Each command starts a new object model.
//
//   jobs::LoadedModel state;                      // kept by the main tool
//   if (jobs::ReadDistrict(state, districtDir))   // enable the area exports
//   if (jobs::ReadLhcLines(state, chosenDir))     // enable the line exports
#include <cstdint>
#include <string>
#include <vector>

#include "app/jobs/loaded_model.h"
#include "areas/forest_hierarchy.h"

class SettingsCheck;
class TLayerScript;
class TModelScript;

namespace jobs {

using ::HierarchyLimits;
using ::ReadHierarchyLimits;

// The district's DET.BLK as an area layer, then the hierarchy on it. Answers
// whether a model was loaded; without DET.BLK the object model is emptied
// and nothing is loaded. A wrong limit of section GLOBAL refuses the read
// and leaves what was loaded before. A read that fails (a block that cannot
// be read, a forest description without a field the hierarchy files by)
// loads nothing and tells why.
bool ReadDistrict(LoadedModel& state, const std::string& districtDirectory);

// The lines of the LHC above the chosen district directory: its CES.BLK,
// then DET.BLK, SLU.BLK and CES.BLK of every district (IsDistrictCode),
// with the kind lists of TERGELIX.INI. Answers whether a model was loaded.
bool ReadLhcLines(LoadedModel& state, const std::string& chosenDirectory);

// The hierarchy of the subject's first block; "Není nalezen blok" when there
// is none, and nothing when a limit of section GLOBAL is wrong. A table
// without a field the areas are filed by is shown and leaves no hierarchy,
// so that no level is exported. Answers whether a hierarchy was built.
bool BuildForestHierarchy(LoadedModel& state);
// Gathers the boundary lines of every unit of the hierarchy.
void SelectLinesIntoHierarchy(LoadedModel& state);

// Adds the lines of one block to the subject of interest (made as an empty
// spatial entity when there is none). A missing block adds nothing; one
// that is refused (see gisblock::findBlock) is thrown.
void LoadLineBlock(LoadedModel& state, const std::string& blockPath);

// Drops everything loaded before; the references die with the old model.
void RenewObjectModel(LoadedModel& state);

// What a read that met damage tells in its box: "Vstupní blok … je
// poškozen (<the first fault>; celkem N poškození)".
std::string DamagedReadText(const gisblock::DamagedBlock& damage);
// Why an export from a damaged read writes nothing: the damage as the read
// told it, then ", bloky zůstávají beze změny".
std::string DamagedInputText(const gisblock::DamagedBlock& damage);

// The refusal of a district read where the district has no DET.BLK: the
// job's name and the text. No directory chosen (no drive mapped) gives
// texts without one, not a gap where its name would be.
std::string DistrictReadJob(const std::string& districtDirectory);
std::string NoDetBlockText(const std::string& districtDirectory);

namespace detail {
// A layer of the kind ("ARE", "LIN") reading the block at the path.
TLayerScript* AddBlockLayer(TModelScript& script, const std::string& kind, const std::string& path);
// The district's model script: one "ARE" layer of DET.BLK.
TModelScript* DistrictScript(const std::string& districtDirectory);
// The line blocks of the LHC that lie there now, in the order they are
// read: its CES.BLK, then DET.BLK, SLU.BLK and CES.BLK of every district,
// each with the key of its kind list (section EXPORT) and that list's
// default.
struct LhcLineBlock {
  std::string Path;
  const char* KindsKey;
  const char* KindsDefault;
};
std::vector<LhcLineBlock> LhcLineBlocks(const std::string& lhcDirectory);
// The LHC's model script; nullptr when the directory lists nothing.
TModelScript* LhcScript(const std::string& lhcDirectory);
}  // namespace detail

}  // namespace jobs
