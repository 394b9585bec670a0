#pragma once
// The LHC merges: the district areas ("_94REG.BLK") or the ZRO layers
// ("_91ZRO.BLK") of every district of an LHC read again, noded together
// with a small snap distance, rebuilt as areas, given their LHC kinds and
// written as one block of the LHC. The new block replaces the old one only
// when it is complete: every district directory (one that holds a DET block
// or any block of its district) must give its block, and a block that is
// missing or gives no area keeps the old LHC block, with a box and a log
// line that name it. With no district at all the old block stays and the
// log says why.
//
//   jobs::LhcMergeContext ctx{&state, lhcDirectory, gisRoot};
//   jobs::MergeLhcLayer(ctx, jobs::LhcLayer());      // "LHC"
//   jobs::MergeLhcLayer(ctx, jobs::LhcZroLayer());   // "ZRO"
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/jobs/forest_level_export.h"
#include "app/jobs/loaded_model.h"

class TElement;

namespace jobs {

struct LhcMergeContext {
  LoadedModel* Model = nullptr;
  std::string LhcDirectory;  // the LHC's output directory, which holds the districts
  std::string GisRoot;
  bool JoinLines = false;  // "Spojovat linie"
  DetKinds Kinds;
  std::function<void()> DisableReadButtons;
  std::function<void(const std::string&)> Log;
};

struct LhcLayerKind {
  std::int16_t Kind;            // control files P<kind>
  const char* DistrictBlock;    // "_94REG.BLK" after the district code
  const char* Block;            // the LHC block
  const char* Marker;           // the entity that names the model
  const char* ExporterName;     // + the last district block
  const char* ErrorBox;         // + CR LF + the cause
  bool Zro;
};
const LhcLayerKind& LhcLayer();
const LhcLayerKind& LhcZroLayer();

// Failed: the old block stays and the user has been told why.
enum class MergeResult { Written, MissingControlFile, BadSetting, NoLhcDirectory, NoDistricts, Failed };

MergeResult MergeLhcLayer(const LhcMergeContext& context, const LhcLayerKind& layer);

// The names of the directory's entries, sorted without regard to case (and
// by their bytes where only case tells them apart), so that whatever order
// the file system lists them in, every machine reads and numbers alike.
std::vector<std::string> SortedEntryNames(const std::filesystem::path& directory);

// Whether an entry of an LHC directory is a district's by its name: two
// characters. A copy beside a district ("01 - kopie") is none.
bool IsDistrictCode(const std::string& name);
// The entries of the directory that are districts' by their names, sorted
// without regard to case, so that every machine numbers the districts
// alike.
std::vector<std::string> DistrictCodes(const std::filesystem::path& lhcDirectory);

// Kind 9400 becomes 1100, any other the empty kind. An area without a
// record (no district's area lay under it) gets one of the empty kind, and
// `log` learns where it lies.
void ClassifyLhcArea(TElement* element, const DetKinds& kinds,
                     const std::function<void(const std::string&)>& log = {});
// Kind 1400 stays, with colour 12; kind 0 gets colour 13 and 134 colour 15,
// and both become the empty kind; an area without a record gets one of the
// empty kind with colour 13, and `log` learns where it lies.
void ClassifyLhcZroArea(TElement* element, const DetKinds& kinds,
                        const std::function<void(const std::string&)>& log = {});

}  // namespace jobs
