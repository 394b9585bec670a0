#include "app/jobs/forest_level_export.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>
#include <unordered_map>

#include "app/jobs/read_commands.h"
#include "areas/area_attribute_carrier.h"
#include "areas/area_walkers.h"
#include "areas/export_areas.h"
#include "areas/forest_hierarchy.h"
#include "areas/forest_space_unit.h"
#include "areas/line_end_readers.h"
#include "areas/node_area_pipeline.h"
#include "areas/object_walker.h"
#include "framework/dynamic_properties.h"
#include "framework/problem_report.h"
#include "framework/settings.h"
#include "framework/string_utils.h"
#include "geometry/area_element.h"
#include "geometry/line_end_cells.h"
#include "geometry/poly_element.h"
#include "geometry/qtree.h"
#include "geometry/space_registers.h"
#include "areas/export_dbf_class.h"
#include "framework/zelto_message.h"
#include "gisblock/gelix_props.h"
#include "gisblock/staged_block.h"
#include "platform/codepage.h"
#include "platform/path_resolver.h"
#include "platform/progress_form.h"
#include "platform/tables_read.h"
#include "platform/user_interaction.h"

namespace fs = std::filesystem;

namespace jobs {

const std::vector<ForestLevel>& ForestLevels() {
  static const std::vector<ForestLevel> levels = {
      {95, &TPorostniSkupina::StaticClass(), "16PSK", 1600, 1600, "PSK", {14, 105, 6, 0}},
      {97, &TDilec::StaticClass(), "14DIL", 1400, 1400, "DIL", {12, 105, 5, 0}},
      {116, &TDilec::StaticClass(), "91ZRO", 1400, 1400, "DIL", {13, 105, 5, 0}, true},
      {98, &TOddeleni::StaticClass(), "13ODD", 1300, 1300, "ODD", {9, 105, 2, 0}},
      {100, &TBezlesi::StaticClass(), "17BZL", 1700, 1700, "BZL", {15, 105, 13, 0}},
      {101, &TJine::StaticClass(), "18JP", 1800, 1800, "JP", {15, 105, 13, 0}},
      {102, &TOstatni::StaticClass(), "19OP", 1900, 1900, "OP", {15, 105, 13, 0}},
      {99, &TRevir::StaticClass(), "94REG", 9400, 9400, "REG", {11, 1, 13, 1}},
  };
  return levels;
}

const ForestLevel* FindForestLevel(std::int32_t command) {
  for (const ForestLevel& level : ForestLevels())
    if (level.Command == command) return &level;
  return nullptr;
}

namespace {

// The last component of a path spelled with either separator, and the path
// before it.
std::pair<std::string, std::string> SplitLast(std::string path) {
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  const std::size_t cut = path.find_last_of("/\\");
  if (cut == std::string::npos) return {std::string(), path};
  return {path.substr(0, cut), path.substr(cut + 1)};
}

// Two directory names name one directory as the path resolver finds it:
// the same letters, letter case aside. "4107", "04107" and "4107 - kopie"
// are three directories, and so are "01" and "1".
bool SameDirectoryName(const std::string& name, const std::string& other) {
  return platform::lowerUtf8(name) == platform::lowerUtf8(other);
}

}  // namespace

std::optional<std::string> DistrictCodeOf(const std::string& directory, std::string& error) {
  const std::string component = SplitLast(directory).second;
  int number = 0;
  const char* end = component.data() + component.size();
  const auto [ptr, ec] = std::from_chars(component.data(), end, number);
  if (component.empty() || ec != std::errc() || ptr != end || number < 1 || number > 99) {
    error = "Špatný kód revíru: " + component;
    return std::nullopt;
  }
  char text[8];
  std::snprintf(text, sizeof text, "%02d", number);
  return std::string(text);
}

bool GetDistrictCode(const std::string& directory, std::string& code) {
  std::string error;
  const std::optional<std::string> found = DistrictCodeOf(directory, error);
  if (!found) {
    platform::showError(error);
    return false;
  }
  code = *found;
  return true;
}

std::string MissingControlFile(const std::string& gisRoot, char letter, std::int32_t kind) {
  char name[32];
  std::snprintf(name, sizeof name, "%c%04d", std::toupper(static_cast<unsigned char>(letter)), kind);
  for (const char* extension : {".TDS", ".CRT"}) {
    const std::string path = gisblock::joinShownPath(gisRoot, std::string(name) + extension);
    if (!platform::pathResolver().exists(path)) return "Povinný soubor " + path + " neexistuje !";
  }
  return {};
}

std::string OtherDistrictProblem(const std::string& readDirectory, const std::string& outputDirectory,
                                 bool readLocked) {
  if (readDirectory.empty()) return {};
  // The drive and the folders above the LHC may differ (a read of D:, the
  // output on the drive QVR names); the LHC and the district directories
  // must be the ones read.
  const auto [readAbove, readDistrict] = SplitLast(readDirectory);
  const auto [outputAbove, outputDistrict] = SplitLast(outputDirectory);
  if (SameDirectoryName(readDistrict, outputDistrict) && NameOneLhc(readAbove, outputAbove)) return {};
  const std::string said = "Načten je revír " + readDirectory + ", výstup je zvolen do revíru " + outputDirectory +
                           ": do jiného revíru se nezapisuje. ";
  // Once a level has been exported, the read stays until the program is
  // started again, or until an export finds the read's files changed
  // since and gives the read back.
  if (readLocked)
    return said +
           "Zvolte výstup načteného revíru; jiný revír lze po exportu načíst až po novém spuštění programu, nebo "
           "když export odmítne načtený revír jako od načtení změněný.";
  return said + "Načtěte revír výstupu, nebo zvolte výstup načteného revíru.";
}

bool NameOneLhc(const std::string& lhcDirectory, const std::string& otherDirectory) {
  return SameDirectoryName(SplitLast(lhcDirectory).second, SplitLast(otherDirectory).second);
}

void Refuse(const std::function<void(const std::string&)>& log, const std::string& job, const std::string& why,
            const std::function<void(const std::string&)>& show) {
  if (show) show(why);
  else platform::showError(why);
  const std::string line = "; " + job + " – neprovedeno: " + why;
  if (log) log(line);
  else PostTextMessage(nullptr, zelto::msg::LogText, line);
}

std::string LevelBlockPath(const std::string& directory, const std::string& code, const std::string& prefix) {
  return gisblock::joinShownPath(directory, code + "_" + prefix + ".BLK");
}

DetKinds ReadDetKinds(SettingsCheck& check) {
  const DetKinds kinds{static_cast<std::int16_t>(check.Read("DET", "DruhPorostniSkupiny", 110, kKindSettingRange)),
                       static_cast<std::int16_t>(check.Read("DET", "DruhPrazdnePlochy", 134, kKindSettingRange))};
  // An empty area of the stand groups' kind would pass for a stand group,
  // and a stand group would keep its kind and find no control file.
  if (check.Ok() && kinds.StandGroup == kinds.Empty)
    check.Fail("Chybné hodnoty DruhPorostniSkupiny = DruhPrazdnePlochy = " + std::to_string(kinds.Empty) +
               " v sekci DET souboru TERGELIX.INI: druh porostních skupin a druh prázdných ploch se musí lišit");
  return kinds;
}

namespace {

TGelixAreaProps* AreaProps(TElement* element) {
  if (!element || !element->Is<TAreaElement>()) return nullptr;
  TElement* props = static_cast<TAreaElement*>(element)->GetProperties();
  return props && props->Is<TGelixAreaProps>() ? static_cast<TGelixAreaProps*>(props) : nullptr;
}

// The ZRO layer draws the boundaries of sub-compartments and compartments
// in their own kinds.
void SetZroBoundaryLineDruh(TAreaElement& area, const LineOriginals* originals) {
  for (TElement* child : area.Items()) {
    if (!child || !child->Is<TPolyLineElement>()) continue;
    TPolyLineElement* exported = static_cast<TPolyLineElement*>(child);
    TElement* record = exported->GetProperties();
    if (!record || !record->Is<TGelixLineProps>()) continue;
    auto* props = static_cast<TGelixLineProps*>(record);
    // A copy is in no unit's line list: its original tells the unit.
    TPolyLineElement* line = exported;
    if (originals) {
      const auto found = originals->find(exported);
      if (found != originals->end()) line = found->second;
    }
    for (int i = 0; i < line->GetOwnersCount(); ++i) {
      TElement* list = line->GetOwner(i);
      if (!list || !list->Is<TPolyLineString>() || list->GetOwnersCount() != 1) continue;
      TElement* unit = list->GetOwner(0);
      if (unit && unit->Is<TDilec>()) {
        props->Druh = 1400, props->Barva = 5, props->Znacka = 0;
      } else if (unit && unit->Is<TOddeleni>()) {
        props->Druh = 1300, props->Barva = 2, props->Znacka = 0;
      }
    }
  }
}

// A copy of a line with its own vertices and its own copy of the record,
// filed beside the original in its object owner, so that it answers the
// original's block and row.
TPolyLineElement* CopyLine(TPolyLineElement& line) {
  auto* copy = new TPolyLineElement;
  copy->AssignSpace(line);
  copy->SetName(line.GetName());
  // The anchor as it stands: setting it through the rectangle would move it.
  copy->SetRelRef(line.GetRelRefX(), line.GetRelRefY());
  copy->Angle = line.Angle;
  for (int i = 0; i < line.GetCoordsCount(); ++i)
    if (T2DCoordinate* c = line.GetCoord(i)) copy->Add(c->Clone());
  if (TElement* owner = line.FindOwnerByClass(TObjectOwner::StaticClass())) static_cast<TEntity*>(owner)->Add(copy);
  return copy;
}

// The lines of the level's units. The units are found once, in the walk's
// own order and by its own choices, before the walk: the done marks cleared
// are those of the lines the walk takes, not those of every boundary line
// of every area of the hierarchy, and the walk then goes through the units
// found. A unit's line list holds lines only and is not entered.
class LevelLineReader : public TReadLinesIntoQTreeDleTridy {
 public:
  bool QGoInside(TElement* element) override {
    return !element->Is<TPolyLineString>() && TReadLinesIntoQTreeDleTridy::QGoInside(element);
  }

  void Recurse(TElement* element) override {
    if (element != Input() || !found_) {
      TReadLinesIntoQTreeDleTridy::Recurse(element);
      return;
    }
    for (TElement* unit : units_) Process(unit);
  }

 protected:
  std::int32_t ClearLineMarks() override {
    units_.clear();
    found_ = false;
    if (!Input()) return 0;
    FindUnits(*Input());
    found_ = true;
    std::int32_t count = 0;
    for (TElement* unit : units_) {
      auto* lines = static_cast<TPolyLineString*>(
          static_cast<TEntity*>(unit)->FindElementByClass(TPolyLineString::StaticClass()));
      if (!lines) continue;
      for (TElement* item : lines->Items()) {
        if (!IsWalkedLine(item)) continue;
        static_cast<TPolyLineElement*>(item)->SetIsDone(false);
        ++count;
      }
    }
    return count;
  }

 private:
  void FindUnits(TElement& element) {
    if (IsContainer(&element)) {
      units_.push_back(&element);
      return;
    }
    if (!QGoInside(&element) || !element.Is<TEntity>()) return;
    for (TElement* child : static_cast<TEntity&>(element).Items())
      if (child) FindUnits(*child);
  }

  std::vector<TElement*> units_;
  bool found_ = false;
};

// Joining at pseudo-nodes deletes lines and lengthens others. The level's
// lines are the hierarchy's, shared by every level of one read, and a
// point where only two of this level's lines meet can be a node of
// another level; so a joining level reads copies of its lines.
class LineCopyReader : public LevelLineReader {
 public:
  LineCopyReader(TEntity& copies, LineOriginals& originals) : copies_(copies), originals_(originals) {}

  void Process(TElement* element) override {
    if (!IsContainer(element) || !Index()) return;
    auto* entity = static_cast<TEntity*>(element);
    auto* lines = static_cast<TPolyLineString*>(entity->FindElementByClass(TPolyLineString::StaticClass()));
    if (!lines) return;
    for (TElement* item : lines->Items()) {
      if (!IsWalkedLine(item)) continue;
      auto* line = static_cast<TPolyLineElement*>(item);
      if (!line->GetIsDone()) {
        TPolyLineElement* copy = CopyLine(*line);
        copies_.Add(copy);
        originals_[copy] = line;
        Index()->AddLineEnd(copy, true);
        Index()->AddLineEnd(copy, false);
        copy->SetIsDone(true);
        line->SetIsDone(true);
        StepGauge(Count);
      }
      ++Count;
    }
  }

 private:
  TEntity& copies_;
  LineOriginals& originals_;
};

// The walks of a level's pipeline, freed in the order the network needs.
struct LevelNetwork {
  TRectEntity* Source = nullptr;
  nodearea::Network Net;
  // The copies the network was built of, when it joins lines; those the
  // joining deleted have left the list.
  std::unique_ptr<TEntity> Copies;
  LineOriginals Originals;
  ~LevelNetwork() {
    platform::BusyCursor busy;
    if (Source && Net.Index) Source->Remove(Net.Index);
    nodearea::Release(Net);
    if (Copies)
      for (TElement* copy : std::vector<TElement*>(Copies->Items())) delete copy;
  }
};

}  // namespace

TElement* OldAreaOf(TAreaElement& area) {
  TElement* owner = area.FindOwnerByClass(TObjectOwner::StaticClass());
  if (!owner) {
    zelto::ReportProblem("Nenasel jsem vlastnika v registru");
    return nullptr;
  }
  auto* objects = static_cast<TObjectOwner*>(owner);
  if (objects->GetCount() == 1) {
    zelto::ReportProblem("Jsem v registru sam");
    return nullptr;
  }
  TElement* old = objects->GetItem(0);
  if (!old) zelto::ReportProblem("Je tady se mnou nejaky blbec");
  return old;
}

void AreaClassifier::Classify(TElement* element) const {
  TGelixAreaProps* props = AreaProps(element);
  if (!props) {
    ClassifyGap(element);
    return;
  }
  auto* area = static_cast<TAreaElement*>(element);
  if (props->Druh == Kinds.StandGroup) props->Druh = Level.AreaKind;
  props->Barva = AreaColour;
  props->Znacka = AreaSymbol;
  if (Level.Zro) SetZroBoundaryLineDruh(*area, Originals);
  TElement* old = OldAreaOf(*area);
  if (!old) return;
  for (TElement* unit = old->FindOwnerByClass(TForestSpaceUnit::StaticClass()); unit;
       unit = unit->FindOwnerByClass(TForestSpaceUnit::StaticClass())) {
    if (unit->InheritsFrom(*Level.UnitClass)) {
      static_cast<TForestSpaceUnit*>(unit)->AddExportedArea(area);
      return;
    }
  }
  props->Druh = Kinds.Empty;
  if (Level.Zro) props->Barva = 15, props->Znacka = 1;
}

TGelixAreaProps* MarkEmptyArea(TElement* element, std::int16_t emptyKind, const std::string& what,
                               const std::function<void(const std::string&)>& log) {
  if (!element || !element->Is<TAreaElement>() || static_cast<TAreaElement*>(element)->IsHole) return nullptr;
  // Exported as an empty area rather than as an area of no kind, whose
  // table no control file defines.
  auto* area = static_cast<TAreaElement*>(element);
  TGelixAreaProps* props = areas::EnsureAreaProps(area);
  props->Druh = emptyKind;
  if (log)
    log(what + " (X " + areas::FieldNumberText(-area->GetAbsRefY()) + ", Y " +
        areas::FieldNumberText(-area->GetAbsRefX()) + ") exportována jako druh " + std::to_string(emptyKind));
  return props;
}

void AreaClassifier::ClassifyGap(TElement* element) const {
  // No old area lay under it: a gap in the stands' coverage.
  TGelixAreaProps* props =
      MarkEmptyArea(element, Kinds.Empty, "Export " + Level.Prefix + ": plocha bez porostu v DET", Log);
  if (!props) return;
  props->Barva = Level.Zro ? 15 : AreaColour;
  props->Znacka = Level.Zro ? 1 : AreaSymbol;
}

namespace {

void LogText(const std::string& text) { PostTextMessage(nullptr, zelto::msg::LogText, text); }

// A level's failure, the caller's way or in an error box; it is logged besides.
void ShowLevelFailure(const LevelExportContext& context, const std::string& text) {
  if (context.ShowFailure) context.ShowFailure(text);
  else platform::showError(text);
}

// The colours and symbols of a level's areas and lines (section EXPORT).
struct LevelStyle {
  std::int16_t AreaColour, AreaSymbol, LineColour, LineSymbol;
};

LevelStyle ReadLevelStyle(const ForestLevel& level, SettingsCheck& check) {
  auto read = [&](const char* suffix, std::int32_t defaultValue, SettingRange range) {
    return static_cast<std::int16_t>(check.Read("EXPORT", level.KeyStem + suffix, defaultValue, range));
  };
  return {read("BP", level.Defaults[0], kColourSettingRange), read("ZP", level.Defaults[1], kSymbolSettingRange),
          read("BL", level.Defaults[2], kColourSettingRange), read("ZL", level.Defaults[3], kSymbolSettingRange)};
}

// The job's name in the protocol.
std::string LevelJob(const ForestLevel& level) { return "Export vrstvy " + level.Prefix; }

// The filed areas of the level into the staged block, which takes the old
// block's place only when every file and table was written.
ExportResult WriteLevelBlock(const LevelExportContext& context, const ForestLevel& level, TAreaString& areas,
                             const LevelStyle& style, gisblock::StagedBlock& staged, bool& committed) {
  TExportAreasToGelix exporter;
  exporter.SetInput(&areas);
  exporter.SetName("Export ploch z QTree do " + level.Prefix);
  exporter.BlockName = staged.shownPath();
  exporter.SetStagedBlock(&staged);
  exporter.ControlDir = context.GisRoot;
  exporter.ExportDBF = true;
  exporter.PlochyVHa = true;
  exporter.BothSources = true;
  if (!level.Zro) {
    exporter.DruhLinii = level.LineKind;
    exporter.BarvaLinii = style.LineColour;
    exporter.ZnackaLinii = style.LineSymbol;
  }
  exporter.GetDynamicProps()->SetPropertyText("LHC_KOD", context.LhcCode);
  exporter.DoIt();
  if (exporter.LastRun().Written && staged.commit()) {
    committed = true;
    LogText(exporter.LastRun().Text(staged.shownPath()));
    return ExportResult::Written;
  }
  // A file that failed, a break or nothing to write: the staged block says which.
  if (!staged.error().empty()) {
    ShowLevelFailure(context, staged.error());
    LogText("; " + staged.error());
  }
  return ExportResult::NotWritten;
}

// The built areas take the old areas' attributes, are filed under their
// units and written. A stop the user confirmed ends the level where it is:
// no later step runs, and of its areas nothing more is said than, once,
// that the block was not written.
ExportResult CarryFileAndWrite(const LevelExportContext& context, const ForestLevel& level, const DetKinds& kinds,
                               const LevelStyle& style, LevelNetwork& network, gisblock::StagedBlock& staged,
                               bool& committed) {
  {
    TCarryArToArThroughLines carrier;
    carrier.SelectForProblem = true;
    carrier.ShareOldWholeAreas(context.OldWholeAreas);
    carrier.SetInput(network.Net.AreaList);
    carrier.DoIt();
  }
  // The carrier stopped leaves areas without attributes, each of which
  // would be logged as a gap.
  if (platform::BreakableJob::broken()) {
    staged.abandon(kBrokenOff);
    ShowLevelFailure(context, staged.error());
    LogText("; " + staged.error());
    return ExportResult::NotWritten;
  }
  // A line per gap, for the log and the protocol, not a box each.
  AreaClassifier classifier{level, kinds, style.AreaColour, style.AreaSymbol,
                            network.Copies ? &network.Originals : nullptr,
                            [](const std::string& text) { LogText("; " + text); }};
  for (TElement* element : std::vector<TElement*>(network.Net.AreaList->Items())) {
    classifier.Classify(element);
    if (context.ProcessMessages) context.ProcessMessages();
  }
  return WriteLevelBlock(context, level, *network.Net.AreaList, style, staged, committed);
}

}  // namespace

namespace {

// Whether a unit of the level's class lies anywhere below `unit`.
bool HasUnitOf(const TForestSpaceUnit& unit, const TElementClass& cls) {
  for (TElement* child : unit.Items())
    if (child && child->Is<TForestSpaceUnit>() &&
        (child->InheritsFrom(cls) || HasUnitOf(*static_cast<TForestSpaceUnit*>(child), cls)))
      return true;
  return false;
}

// Counts the areas of the read that the hierarchy leaves out for their size.
class SmallAreaCounter : public TPocitacPloch {
 public:
  explicit SmallAreaCounter(double minArea) : minArea_(minArea) {}
  void Process(TElement* element) override {
    TPocitacPloch::Process(element);
    if (element->Is<TAreaElement>() && static_cast<TAreaElement*>(element)->GetWholeArea() < minArea_) ++Small;
  }
  std::int32_t Small = 0;

 private:
  double minArea_;
};

// A level without units, and the cause when the read shows it: every area
// too small to be filed.
std::string NoUnitsText(const LevelExportContext& context, const ForestLevel& level) {
  std::string text = "Úroveň " + level.Prefix + " nemá žádné jednotky";
  auto* subject = dynamic_cast<TEntity*>(context.Model ? context.Model->GetSubject() : nullptr);
  if (!subject) return text;
  SettingsCheck check;
  const double minArea = ReadHierarchyLimits(check).MinArea;
  SmallAreaCounter counter(minArea);
  // The layers the read made, as the hierarchy walked them.
  for (TElement* layer : subject->Items()) {
    counter.SetInput(layer);
    counter.DoIt();
  }
  if (counter.Count > 0 && counter.Small == counter.Count)
    text += ": všechny plochy revíru jsou menší než MinPlochaM = " + FloatToStrWidth(0, 2, minArea) + " m2";
  return text;
}

// The damage of the read the levels would be exported from; none when
// the read was sound.
std::optional<std::string> InputDamage(const LevelExportContext& context) {
  if (!context.Model || !context.Model->Damage) return std::nullopt;
  return DamagedInputText(*context.Model->Damage);
}

}  // namespace

namespace {

// The level's block as far as the export got: its name once known, and
// whether one lay there before.
struct LevelBlock {
  std::string Shown;
  bool There = false;
};

// `committed`: the new block has taken the old one's place.
ExportResult ExportLevel(const LevelExportContext& context, const ForestLevel& level, LevelBlock& named,
                         bool& committed) {
  auto refused = [&](ExportResult result, const std::string& why) {
    Refuse(LogText, LevelJob(level), why, context.ShowFailure);
    return result;
  };
  if (!context.Refusal.empty()) return refused(ExportResult::Refused, context.Refusal);
  // An export from a damaged read would replace a block of sound input
  // with one that lacks what the damage hid.
  if (const std::optional<std::string> damage = InputDamage(context))
    return refused(ExportResult::DamagedInput, *damage);
  std::string error;
  const std::optional<std::string> code = DistrictCodeOf(context.OutputDirectory, error);
  if (!code) return refused(ExportResult::BadDistrictCode, error);
  if (context.ShowDistrictCode) context.ShowDistrictCode(*code);
  // The hierarchy is the district read; under another district's name it
  // would replace that district's level with this one's areas.
  const std::string other =
      OtherDistrictProblem(context.Model ? context.Model->DistrictDirectory : "", context.OutputDirectory,
                           context.ReadLocked);
  if (!other.empty()) return refused(ExportResult::Refused, other);
  const std::string block = LevelBlockPath(context.OutputDirectory, *code, level.Prefix);
  // Areas filed by keys their rows no longer hold, or built of boundaries
  // saved since, would be neither the district as read nor as it is.
  if (context.Model) {
    if (const std::optional<std::string> change = ChangeSinceRead(context.Model->Inputs, true)) {
      if (context.EnableReadButtons) context.EnableReadButtons();
      return refused(ExportResult::ReadOutdated, NotWrittenSinceReadText(context.Model->Inputs, *change, block));
    }
  }
  if (const std::string missing = MissingControlFile(context.GisRoot, 'P', level.AreaKind); !missing.empty())
    return refused(ExportResult::MissingControlFile, missing);

  // The settings are read now, so that a changed file counts at once; a
  // wrong value stops the level before anything is written.
  SettingsCheck settings;
  const LevelStyle style = ReadLevelStyle(level, settings);
  const DetKinds kinds = context.Kinds ? *context.Kinds : ReadDetKinds(settings);
  const bool joinLines =
      level.Zro ? settings.Read("EXPORT", "RusitPseudouzly", 0, kFlagSettingRange) != 0 : context.JoinLines;
  const bool joinDifferentLines = settings.Read("EXPORT", "RusitPseudouzlyIProRuzneDruhy", 1, kFlagSettingRange) != 0;
  const auto maxCoords =
      static_cast<std::int32_t>(settings.Read("EXPORT", "MaxPocetSouradnic", 100, kMaxCoordsSettingRange));
  if (!settings.Ok()) return refused(ExportResult::BadSetting, settings.Errors());

  // The new block is written beside the old one, which stays until the new
  // one is complete.
  gisblock::StagedBlock staged(block);
  named = {block, staged.blockThere()};
  if (!staged.ok()) {
    ShowLevelFailure(context, staged.error());
    LogText("; " + staged.error());
    platform::ui().beep();
    return ExportResult::NotWritten;
  }

  ExportResult result = ExportResult::NothingToExport;
  std::string nothing;  // why nothing was written
  std::string noUnits;  // why the level has no unit to write
  // The one place where a failure inside the level's building or writing
  // is caught: the old block stays (the staging goes with `staged`).
  try {
    platform::BusyCursor busy;
    TForestSpaceUnit* root = context.Model ? context.Model->GetHierarchyRoot() : nullptr;
    LevelNetwork network;
    if (!root) nothing = "není načten revír (lesnická hierarchie chybí)";
    if (root && !HasUnitOf(*root, *level.UnitClass)) noUnits = NoUnitsText(context, level);
    if (root && noUnits.empty()) {
      // From here on the hierarchy changes (the units count their areas,
      // the areas take the old ones' attributes): no other district may
      // replace it while this run still exports from it.
      if (context.DisableReadButtons) context.DisableReadButtons();
      network.Source = root;
      std::unique_ptr<TReadLinesIntoQTreeDleTridy> copying;
      if (joinLines) {
        network.Copies = std::make_unique<TEntity>();
        copying = std::make_unique<LineCopyReader>(*network.Copies, network.Originals);
      }
      LevelLineReader plain;
      TReadLinesIntoQTreeDleTridy& reader = copying ? *copying : plain;
      reader.SetSkipClass(level.UnitClass);
      nodearea::Options options;
      options.DeletePseudoNodes = joinLines;
      options.JoinDifferentLines = joinDifferentLines;
      options.MaxCoordsCount = maxCoords;
      nodearea::StepNames names;
      names.Reader = "Načítání linií do QTREE pro " + level.Prefix;
      names.Nodes = "Vytváření uzlů v QTREE pro " + level.Prefix;
      names.DropLineEnds = "Rušení QTree vazeb na linie pro " + level.Prefix;
      names.Connector = "Zapojování uzlů v QTree pro " + level.Prefix;
      names.Areas = "Tvorba ploch v QTree pro " + level.Prefix;
      network.Net = nodearea::BuildAreasOfLines(reader, *root, options, names);
      if (!network.Net.Index) nothing = "lesnická hierarchie nemá žádné linie úrovně " + level.Prefix;
    }
    if (network.Net.Index && !network.Net.Areas) nothing = "z linií úrovně " + level.Prefix + " nevznikla žádná plocha";
    if (network.Net.Areas) result = CarryFileAndWrite(context, level, kinds, style, network, staged, committed);
  } catch (const std::exception& e) {
    // Once the block is in place, only the telling of it failed.
    if (committed) return ExportResult::Written;
    result = ExportResult::NotWritten;
    // A failure while writing may name a file of the staging directory.
    nothing = "chyba při tvorbě nebo zápisu ploch: " + staged.shownText(CauseOf(e));
  }
  // Areas left out of the hierarchy for want of their rows may be the
  // level's units: its old block then stays.
  const bool wholeHierarchy = context.Model && context.Model->UnfiledAreas == 0;
  if (!noUnits.empty() && result != ExportResult::NotWritten && wholeHierarchy) {
    // The read was whole (a damaged one is refused above): the district no
    // longer has the level, and a block left from an earlier export would
    // say it has.
    std::error_code ec;
    const bool old = fs::exists(fs::symlink_status(staged.target(), ec));
    std::string text;
    if (!staged.commitRemoval()) text = noUnits + ". " + staged.error();
    else if (old) text = noUnits + ". Starý blok " + block + " byl odstraněn.";
    else text = noUnits + ". Blok " + block + " nebyl zapsán.";
    ShowLevelFailure(context, text);
    LogText("; " + text);
  } else if (!nothing.empty() || !noUnits.empty()) {
    const std::string why = noUnits.empty() ? "Úroveň " + level.Prefix + " nebyla exportována: " + nothing : noUnits;
    const std::string text =
        why + ". Blok " + block + (staged.blockThere() ? " zůstává beze změny." : " nebyl zapsán.");
    ShowLevelFailure(context, text);
    LogText("; " + text);
  }
  platform::ui().beep();
  return result;
}

}  // namespace

ExportResult ExportForestLevel(const LevelExportContext& context, const ForestLevel& level) {
  LevelBlock block;
  platform::BreakableJob job;
  bool committed = false;
  try {
    return ExportLevel(context, level, block, committed);
  } catch (const std::exception& e) {
    if (committed) return ExportResult::Written;
    // Before the level's building or after it: the staging, if any, went
    // with its owner, and this level's block was not replaced. In a run
    // of every level the later levels are still written, so the text
    // speaks of this level's block alone.
    const std::string left = block.Shown.empty() ? "Blok úrovně " + level.Prefix + " se nezměnil."
                             : "Blok " + block.Shown + (block.There ? " zůstává beze změny." : " nebyl zapsán.");
    const std::string text = "Úroveň " + level.Prefix + " nebyla exportována: " + CauseOf(e) + ". " + left;
    ShowLevelFailure(context, text);
    LogText("; " + text);
    return ExportResult::NotWritten;
  }
}

void ExportWholeDistrict(const LevelExportContext& context) {
  platform::BreakableJob breakable;
  const std::string job = "Export všech vrstev revíru";
  if (!context.Refusal.empty()) {
    Refuse(LogText, job, context.Refusal);
    return;
  }
  if (const std::optional<std::string> damage = InputDamage(context)) {
    Refuse(LogText, job, *damage);
    return;
  }
  // Once for the run rather than once for each of its levels.
  const std::string other = OtherDistrictProblem(context.Model ? context.Model->DistrictDirectory : "",
                                                 context.OutputDirectory, context.ReadLocked);
  if (!other.empty()) {
    Refuse(LogText, job, other);
    return;
  }
  std::unordered_map<TAreaElement*, double> oldWholeAreas;
  LevelExportContext shared = context;
  if (!shared.OldWholeAreas) shared.OldWholeAreas = &oldWholeAreas;
  // A box for each level that fails would stop the run until answered: the
  // failures, and what went wrong with single areas, are told at the end in
  // one box, an error box when a level failed, by the job that keeps the
  // tally (the main tool's, once its progress window is gone), or here.
  std::optional<zelto::ProblemTally> own;
  if (!zelto::ProblemTally::Current()) own.emplace();
  if (!shared.ShowFailure) shared.ShowFailure = [](const std::string& text) { zelto::NoteFailure(text); };
  const std::vector<ForestLevel>& levels = ForestLevels();
  bool outdated = false;
  for (std::size_t i = 0; i < levels.size(); ++i) {
    // A level broken off stops the run: the user stopped the whole export.
    // So does a table another program changed meanwhile, or files changed
    // since the read: it was told with the block it kept from being
    // written, and would keep every later one.
    const std::optional<fs::path> changed = platform::tableFoundChangedInJob();
    if (changed || outdated || platform::BreakableJob::broken() ||
        (context.NextLevel && !context.NextLevel(static_cast<int>(i)))) {
      std::string left;
      for (std::size_t k = i; k < levels.size(); ++k) left += (left.empty() ? "" : ", ") + levels[k].Prefix;
      std::string why = " přerušen uživatelem, ";
      if (changed) why = " ukončen, " + platform::changedDuringJobText(*changed) + "; ";
      else if (outdated) why = " ukončen, revír byl od načtení změněn; ";
      LogText("; " + job + why + "neexportovány vrstvy " + left);
      break;
    }
    outdated = ExportForestLevel(shared, levels[i]) == ExportResult::ReadOutdated;
  }
  if (own) zelto::ShowProblems(*own);
}

bool RunLevelCommand(const LevelExportContext& context, std::int32_t command) {
  if (command == 103) {
    ExportWholeDistrict(context);
    return true;
  }
  const ForestLevel* level = FindForestLevel(command);
  if (level) ExportForestLevel(context, *level);
  return level != nullptr;
}

}  // namespace jobs
