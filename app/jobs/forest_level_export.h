#pragma once
// The level exports: one level of the forest hierarchy (stand groups,
// sub-compartments, compartments, district, ...) written as a new block
// with attribute tables. The level's areas are built afresh from the
// boundary lines of its units, take the attributes of the old areas, are
// filed under their units and exported.
//
//   jobs::LevelExportContext ctx{&state, outputDir, gisRoot};
//   ctx.JoinLines = cbJoinExpLHC; ctx.LhcCode = edLHCKOD; ...
//   jobs::ExportForestLevel(ctx, *jobs::FindForestLevel(95));
//   jobs::ExportWholeDistrict(ctx);                         // code 103
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/jobs/loaded_model.h"
#include "areas/node_area_drivers.h"
#include "framework/errors.h"
#include "framework/settings.h"

class TAreaElement;
class TGelixAreaProps;
class TElementClass;
class TPolyLineElement;

namespace jobs {

struct ForestLevel {
  std::int32_t Command;           // message code of the main tool
  const TElementClass* UnitClass;  // the hierarchy units of the level
  std::string Prefix;             // "16PSK": block name and tool names
  std::int16_t AreaKind;
  std::int16_t LineKind;
  std::string KeyStem;            // "PSK": section EXPORT, keys <stem>BP ZP BL ZL
  std::int32_t Defaults[4];       // area colour, area symbol, line colour, line symbol
  bool Zro = false;
};

// The levels in the order of the whole-district run.
const std::vector<ForestLevel>& ForestLevels();
// nullptr for a code that is no level export.
const ForestLevel* FindForestLevel(std::int32_t command);

// The program-wide kinds of section DET.
struct DetKinds {
  std::int16_t StandGroup = 110;  // DruhPorostniSkupiny
  std::int16_t Empty = 134;       // DruhPrazdnePlochy
};
// Both kinds through the check; their defaults while they are wrong. The
// two must differ.
DetKinds ReadDetKinds(SettingsCheck& check);

using ::kMaxCoordsSettingRange;

// What a level export needs of the main tool and its window.
struct LevelExportContext {
  LoadedModel* Model = nullptr;   // the hierarchy root
  std::string OutputDirectory;    // the district's output directory, as the user named it
  std::string GisRoot;            // holds the control files (as the user named it)
  bool JoinLines = false;         // "Spojovat linie": join lines at pseudo-nodes
  std::string LhcCode;            // LHC_KOD of the rows
  // The kinds the main tool read at start; read from TERGELIX.INI when unset.
  std::optional<DetKinds> Kinds;
  // Why no level may be exported at all, found by the caller (settings read
  // at start, codes typed in the window); shown and logged once.
  std::string Refusal;
  // Asked before each level of the whole-district run (0 first); false
  // stops the run, and the levels left are logged as not exported.
  std::function<bool(int)> NextLevel;
  // Told the district code once it is known (the window shows it).
  std::function<void(const std::string&)> ShowDistrictCode;
  // Called once a level goes on to change the hierarchy: after that no
  // other district may be read. A refused level leaves the buttons alone.
  std::function<void()> DisableReadButtons;
  // The read buttons are off already (a level or merge ran before).
  bool ReadLocked = false;
  // Called when the files changed since the read: the hierarchy serves no
  // export any more, and the user must be able to read the district again.
  std::function<void()> EnableReadButtons;
  // Lets the application handle its pending messages between areas.
  std::function<void()> ProcessMessages;
  // The whole areas of the hierarchy's areas, measured once for every level
  // of one run (the levels change none of them); nil: each level measures.
  std::unordered_map<TAreaElement*, double>* OldWholeAreas = nullptr;
  // How the failure of a level reaches the user (it is logged besides):
  // unset, an error box at once; the whole-district run gathers the
  // failures of its levels into one box at its end.
  std::function<void(const std::string&)> ShowFailure;
};

// NotWritten: the old block stays, the user has been told which file
// failed or why nothing was written. Refused: the caller's refusal, or the
// output is another district's than the one read. DamagedInput: the
// district was read from a damaged block; no block is touched. ReadOutdated:
// the district's files no longer give what was read; no block is touched.
enum class ExportResult {
  Written,
  Refused,
  BadDistrictCode,
  MissingControlFile,
  BadSetting,
  NothingToExport,
  NotWritten,
  DamagedInput,
  ReadOutdated
};

ExportResult ExportForestLevel(const LevelExportContext& context, const ForestLevel& level);
// Every level in order; a level that fails is logged and the next one
// still runs. What failed is shown in one box at the end.
void ExportWholeDistrict(const LevelExportContext& context);

// The level command of that message code (95, 97 to 103, 116); false for
// any other code.
bool RunLevelCommand(const LevelExportContext& context, std::int32_t command);

// The last component of the directory as a two-digit code 01..99; nullopt,
// with `error` "Špatný kód revíru: <component>", otherwise.
std::optional<std::string> DistrictCodeOf(const std::string& directory, std::string& error);
// The same, the error shown in a box.
bool GetDistrictCode(const std::string& directory, std::string& code);
// The first of the control files <letter><kind>.TDS and .CRT missing from
// the GIS root, as the message "Povinný soubor ... neexistuje !"; empty when
// both are there.
std::string MissingControlFile(const std::string& gisRoot, char letter, std::int32_t kind);
// Why the hierarchy read from `readDirectory` may not be written as the
// district of `outputDirectory`: the district directories, or the LHC
// directories above them, are named apart (letter case aside; "04107" is
// not "4107", nor "1" "01"). The drive and what lies above the LHC may
// differ. Empty when it may. `readLocked`: an export has taken the read buttons,
// which only a new start or an export refused for files changed since the
// read give back, so the advice is to choose the read one's output.
std::string OtherDistrictProblem(const std::string& readDirectory, const std::string& outputDirectory,
                                 bool readLocked = false);
// Whether two LHC directories are named for one LHC: the same name in any
// letter case ("04107" and "4107 - kopie" are not 4107).
bool NameOneLhc(const std::string& lhcDirectory, const std::string& otherDirectory);
// A job that does nothing says why: a box with the reason (or `show`, when
// given), and a protocol line that names the job (after ';', so that it
// raises no second box), through `log`, or as a log text when there is none.
void Refuse(const std::function<void(const std::string&)>& log, const std::string& job, const std::string& why,
            const std::function<void(const std::string&)>& show = {});
// What stopped a job, in words for the user: "nedostatek paměti" for an
// allocation that failed, otherwise the exception's own text.
using framework::CauseOf;
// Why a block is not written when the user stopped its job, as the
// exporters say it.
inline constexpr const char* kBrokenOff = "export přerušen";
// "<dir>/<code>_<prefix>.BLK"
std::string LevelBlockPath(const std::string& directory, const std::string& code, const std::string& prefix);


// The old area a built area took its record from: the first entry of the
// object register the area shares with it. When there is none, what is
// wrong is a problem of the job (zelto::ReportProblem).
TElement* OldAreaOf(TAreaElement& area);

// An area that no old area lay under (not a hole) becomes an empty area,
// and the log learns where its label point lies: `what` and the place.
// Answers its record; nil for a hole or anything else.
TGelixAreaProps* MarkEmptyArea(TElement* element, std::int16_t emptyKind, const std::string& what,
                               const std::function<void(const std::string&)>& log);

// The hierarchy's line of each copy a level's network is built of.
using LineOriginals = std::unordered_map<const TElement*, TPolyLineElement*>;

// Gives one built area the level's kind, colour and symbol and files it
// under its unit of the level, or marks it empty.
struct AreaClassifier {
  const ForestLevel& Level;
  DetKinds Kinds;
  std::int16_t AreaColour;
  std::int16_t AreaSymbol;
  const LineOriginals* Originals = nullptr;  // when the areas are of copied lines
  // Told of every area that no old area lay under.
  std::function<void(const std::string&)> Log;
  void Classify(TElement* element) const;

 private:
  // An area without attributes: an empty area of the level.
  void ClassifyGap(TElement* element) const;
};

}  // namespace jobs
