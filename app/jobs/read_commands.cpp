#include "app/jobs/read_commands.h"

#include <filesystem>
#include <memory>
#include <optional>

#include "app/jobs/forest_level_export.h"
#include "app/jobs/lhc_merge.h"
#include "areas/forest_hierarchy.h"
#include "areas/forest_space_unit.h"
#include "framework/ini_file.h"
#include "framework/problem_report.h"
#include "framework/settings.h"
#include "framework/type_elements.h"
#include "framework/world.h"
#include "framework/zelto_message.h"
#include "geometry/space_entity.h"
#include "gisblock/staged_block.h"
#include "platform/path_resolver.h"
#include "platform/progress_form.h"
#include "platform/tables_read.h"
#include "platform/user_interaction.h"
#include "render/interpret_layer.h"
#include "render/layer_script.h"
#include "render/model_by_script_creator.h"

namespace fs = std::filesystem;

namespace jobs {

TForestSpaceUnit* LoadedModel::GetHierarchyRoot() const {
  TElement* root = HierarchyRoot.Get();
  return root && root->Is<TForestSpaceUnit>() ? static_cast<TForestSpaceUnit*>(root) : nullptr;
}

void RenewObjectModel(LoadedModel& state) {
  GetWorld()->SetObjectModel(nullptr);
  state.Subject.Set(nullptr);
  state.HierarchyRoot.Set(nullptr);
  state.DistrictDirectory.clear();
  state.Damage.reset();
  state.UnfiledAreas = 0;
  state.Inputs = {};
  state.MadeBy.clear();
  state.LhcDirectory.clear();
  state.LhcLines.Set(nullptr);
}

std::string DamagedReadText(const gisblock::DamagedBlock& damage) {
  return "Vstupní blok " + platform::pathResolver().userSpelling(damage.Block) + " je poškozen (" + damage.Damage + ")";
}

std::string DamagedInputText(const gisblock::DamagedBlock& damage) {
  return DamagedReadText(damage) + ", bloky zůstávají beze změny";
}

namespace {
std::string Named(const std::string& what, const std::string& directory) {
  return directory.empty() ? what : what + " " + directory;
}
}  // namespace

std::string DistrictReadJob(const std::string& districtDirectory) { return Named("Čtení revíru", districtDirectory); }

std::string NoDetBlockText(const std::string& districtDirectory) {
  return Named("Revír", districtDirectory) + " nemá blok DET.BLK, není co číst";
}

namespace {

TObjectModel* ObjectModel() { return GetWorld()->GetObjectModel(); }

// The main window spells its directories as the data tree does
// ("D:\GIS\4107\01"); such paths keep that spelling, since they are what the
// layers show and what the block readers resolve. Native paths stay native.
bool IsSpelled(const std::string& path) { return path.find('\\') != std::string::npos; }

std::string Join(const std::string& directory, const std::string& name) {
  if (!IsSpelled(directory)) return (fs::path(directory) / name).string();
  return directory + (directory.ends_with('\\') ? "" : "\\") + name;
}

std::string ParentOf(const std::string& path) {
  if (!IsSpelled(path)) {
    fs::path native = fs::path(path).lexically_normal();
    if (!native.has_filename()) native = native.parent_path();
    return native.parent_path().string();
  }
  std::string trimmed = path;
  while (trimmed.size() > 3 && trimmed.back() == '\\') trimmed.pop_back();
  const auto cut = trimmed.find_last_of('\\');
  if (cut == std::string::npos) return trimmed;
  std::string parent = trimmed.substr(0, cut);
  // A drive's root keeps its backslash ("D:\").
  if (parent.size() == 2 && parent[1] == ':') parent += '\\';
  return parent;
}

TLayerScript* AddLayer(TModelScript& script, const std::string& kind, const std::string& path) {
  auto layer = std::make_unique<TLayerScript>();
  layer->SetName(kind);
  layer->Description = path;
  layer->Adopt(TStringElement::CreateNamed(TPathElement::StaticClass(), "PATH", path));
  script.Add(layer.get());
  return layer.release();
}

// A named value in the layer's property list; it goes when the list
// cannot take it.
void AddLayerProperty(TLayerScript& layer, const std::string& name, const std::string& value) {
  std::unique_ptr<TStringElement> entry(TStringElement::CreateNamed(name, value));
  layer.AddToPropertyList(entry.get());
  entry.release();
}

void AddLineLayer(TModelScript& script, const std::string& block, const char* kindsKey, const char* kindsDefault) {
  const std::string kinds = ReadIniString("EXPORT", kindsKey, kindsDefault);
  AddLayerProperty(*AddLayer(script, "LIN", block), "!DRUH", kinds);
}

constexpr const char* kCesKinds = "350,352,353,354,10245,10280,10281,10325,10340,10341,10380,10381";
constexpr const char* kDetKinds = "21, 22, 25, 26, 35, 433";

// The limits the hierarchy files by; a wrong one is refused, with the job's
// name, before anything is replaced.
std::optional<HierarchyLimits> HierarchyLimitsFit(const std::string& job) {
  SettingsCheck check;
  const HierarchyLimits limits = ReadHierarchyLimits(check);
  if (check.Ok()) return limits;
  Refuse({}, job, check.Errors());
  return std::nullopt;
}

// Runs the script; the built model, when there is one, goes into the object
// model and becomes the subject.
bool LoadSubject(LoadedModel& state, TModelScript& script) {
  TModelByScriptCreator creator;
  creator.SetInput(&script);
  creator.DoIt();
  std::unique_ptr<TElement> built(creator.Output());
  if (!built) return false;
  ObjectModel()->Add(built.get());
  state.Subject.Set(built.release());
  state.Damage = gisblock::FindDamagedBlock(state.Subject.Get());
  return true;
}

// A read that met damage says so in its box at once, as the jobs that will
// refuse it say it; its log has every fault. Where the forest hierarchy is
// filed from the areas read (`hierarchyTellsTables`), a table of theirs
// that cannot be opened is named in the box by the hierarchy, with its
// cause: a block damaged by no more than that needs no second line.
void TellDamage(const LoadedModel& state, bool hierarchyTellsTables) {
  if (std::optional<gisblock::DamagedBlock> damage =
          gisblock::FindDamagedBlock(state.GetSubject(), hierarchyTellsTables))
    zelto::NoteFailure(DamagedReadText(*damage));
}

// The blocks' files as they are before the script reads them.
void NoteScriptBlocks(LoadedModel& state, TModelScript& script) {
  for (TElement* item : script.Items())
    if (auto* layer = dynamic_cast<TLayerScript*>(item)) NoteBlockFiles(state.Inputs, layer->PlainDescription());
}

}  // namespace

namespace detail {

TLayerScript* AddBlockLayer(TModelScript& script, const std::string& kind, const std::string& path) {
  return AddLayer(script, kind, path);
}

TModelScript* DistrictScript(const std::string& districtDirectory) {
  auto script = std::make_unique<TModelScript>();
  TLayerScript* layer = AddLayer(*script, "ARE", Join(districtDirectory, "DET.BLK"));
  AddLayerProperty(*layer, "@USECOLOR", "TRUE");
  AddLayerProperty(*layer, "@COLOR", "$FFFF");
  return script.release();
}

namespace {

// `entries`: the LHC directory's, sorted.
std::vector<LhcLineBlock> LineBlocksOf(const std::string& lhc, const std::vector<std::string>& entries) {
  std::vector<LhcLineBlock> blocks;
  const auto add = [&](const std::string& block, const char* kindsKey, const char* kindsDefault) {
    if (gisblock::blockLies(block)) blocks.push_back({block, kindsKey, kindsDefault});
  };
  add(Join(lhc, "CES.BLK"), "VYBLINCES", kCesKinds);
  // Sorted, so that the lines are numbered alike on every machine; the
  // districts as the merges take them, so that a copy of one beside it is
  // not read twice.
  for (const std::string& name : entries) {
    if (!IsDistrictCode(name)) continue;
    const std::string entry = Join(lhc, name);
    add(Join(entry, "DET.BLK"), "VYBLINDET", kDetKinds);
    add(Join(entry, "SLU.BLK"), "VYBLINSLU", kDetKinds);
    add(Join(entry, "CES.BLK"), "VYBLINCES", kCesKinds);
  }
  return blocks;
}

}  // namespace

std::vector<LhcLineBlock> LhcLineBlocks(const std::string& lhcDirectory) {
  return LineBlocksOf(lhcDirectory, SortedEntryNames(platform::pathResolver().existing(lhcDirectory)));
}

TModelScript* LhcScript(const std::string& lhcDirectory) {
  const std::vector<std::string> entries = SortedEntryNames(platform::pathResolver().existing(lhcDirectory));
  if (entries.empty()) return nullptr;
  // Held until it is whole: a settings file that cannot be read stops it.
  auto script = std::make_unique<TModelScript>();
  for (const LhcLineBlock& block : LineBlocksOf(lhcDirectory, entries))
    AddLineLayer(*script, block.Path, block.KindsKey, block.KindsDefault);
  return script.release();
}

}  // namespace detail

namespace {

// The hierarchy's failure (a table without a field it files by) goes to
// the caller.
bool BuildHierarchyOf(LoadedModel& state) {
  auto* subject = dynamic_cast<TEntity*>(state.GetSubject());
  TElement* block = subject ? subject->FindElementByClass(TSpaceEntity::StaticClass()) : nullptr;
  if (!block && subject) block = subject->FindElementByClass(TInterpretLayer::StaticClass());
  if (!block) {
    platform::showInfo("Není nalezen blok");
    return false;
  }
  const std::optional<HierarchyLimits> limits = HierarchyLimitsFit("Tvorba lesnické hierarchie");
  if (!limits) return false;
  TForestHierarchy hierarchy;
  hierarchy.Limits = limits;
  hierarchy.SetName("Vytvoř lesnickou hierarchii");
  hierarchy.SetInput(block);
  hierarchy.DoIt();
  state.UnfiledAreas = hierarchy.Unfiled;
  state.Inputs.Keys = hierarchy.Keys;
  state.HierarchyRoot.Set(hierarchy.Output());
  SelectLinesIntoHierarchy(state);
  return state.GetHierarchyRoot() != nullptr;
}

// A read that failed leaves nothing loaded: part of a district or of its
// lines would export as if it were the whole. The user learns what was not
// read and why.
bool ReadFailed(LoadedModel& state, const std::string& notRead, const std::string& cause) {
  RenewObjectModel(state);
  const std::string text = notRead + ": " + cause + "; nic není načteno";
  platform::showError(text);
  PostTextMessage(nullptr, zelto::msg::LogText, "; " + text);
  return false;
}

std::string DistrictNotRead(const std::string& districtDirectory) {
  return "Revír " + districtDirectory + " nebyl načten";
}

std::string LhcLinesNotRead(const std::string& chosenDirectory) {
  return "Linie LHC " + ParentOf(chosenDirectory) + " nebyly načteny";
}

bool ReadDistrictOf(LoadedModel& state, const std::string& districtDirectory) {
  if (!HierarchyLimitsFit(DistrictReadJob(districtDirectory))) return false;
  RenewObjectModel(state);
  // No directory is not the current one.
  if (districtDirectory.empty() || !gisblock::blockLies(Join(districtDirectory, "DET.BLK"))) {
    Refuse({}, DistrictReadJob(districtDirectory), NoDetBlockText(districtDirectory));
    return false;
  }
  state.DataDirectory = districtDirectory;
  state.DistrictDirectory = districtDirectory;
  std::unique_ptr<TModelScript> script(detail::DistrictScript(districtDirectory));
  state.Inputs.ChangedText = "Revír " + districtDirectory + " byl od načtení změněn";
  state.Inputs.ReadAgainText = "revír načtěte znovu";
  NoteScriptBlocks(state, *script);
  const bool loaded = LoadSubject(state, *script);
  BuildHierarchyOf(state);
  // Its steps cannot stop half way; a stop pressed in one is asked here.
  if (platform::BreakableJob::breakConfirmed("Přerušit čtení revíru ?"))
    return ReadFailed(state, DistrictNotRead(districtDirectory), "čtení přerušeno uživatelem");
  // A hierarchy filed from rows of two versions of a table is neither's.
  if (const std::optional<fs::path> changed = platform::tableChangedDuringJob())
    return ReadFailed(state, DistrictNotRead(districtDirectory),
                      platform::changedDuringJobText(*changed) + ", revír lze načíst znovu");
  TellDamage(state, true);
  platform::ui().beep();
  return loaded;
}

bool ReadLhcLinesOf(LoadedModel& state, const std::string& chosenDirectory) {
  const std::string lhc = ParentOf(chosenDirectory);
  // The script reads its kind lists before the loaded model goes: a
  // settings file that cannot be read leaves it.
  std::unique_ptr<TModelScript> script;
  try {
    script.reset(detail::LhcScript(lhc));
  } catch (const IniFileError& e) {
    Refuse({}, "Čtení linií LHC " + lhc, e.what());
    return false;
  }
  RenewObjectModel(state);
  state.DataDirectory = lhc;
  if (!script) return false;
  ObjectModel()->Add(script.get());
  state.Inputs.ChangedText = "Linie LHC " + lhc + " byly od načtení změněny";
  state.Inputs.ReadAgainText = "linie LHC načtěte znovu";
  NoteScriptBlocks(state, *script);
  // A district or a line block put there since would be left out.
  state.Inputs.BlocksNow = [lhc] {
    std::vector<std::string> paths;
    for (const detail::LhcLineBlock& block : detail::LhcLineBlocks(lhc)) paths.push_back(block.Path);
    return paths;
  };
  const bool loaded = LoadSubject(state, *script.release());
  if (const std::optional<fs::path> changed = platform::tableChangedDuringJob())
    return ReadFailed(state, LhcLinesNotRead(chosenDirectory),
                      platform::changedDuringJobText(*changed) + ", linie lze načíst znovu");
  TellDamage(state, false);
  if (loaded) {
    state.LhcDirectory = lhc;
    state.LhcLines.Set(state.GetSubject());
  }
  return loaded;
}

}  // namespace

// The one place a read's failure is caught.
bool ReadDistrict(LoadedModel& state, const std::string& districtDirectory) {
  platform::BreakableJob job;
  try {
    return ReadDistrictOf(state, districtDirectory);
  } catch (const std::exception& e) {
    return ReadFailed(state, DistrictNotRead(districtDirectory), CauseOf(e));
  }
}

bool ReadLhcLines(LoadedModel& state, const std::string& chosenDirectory) {
  platform::BreakableJob job;
  try {
    return ReadLhcLinesOf(state, chosenDirectory);
  } catch (const std::exception& e) {
    return ReadFailed(state, LhcLinesNotRead(chosenDirectory), CauseOf(e));
  }
}

bool BuildForestHierarchy(LoadedModel& state) {
  try {
    return BuildHierarchyOf(state);
  } catch (const std::exception& e) {
    // The block stays read; without a hierarchy no level is exported from
    // it.
    const std::string text = "Lesnická hierarchie nebyla vytvořena: " + CauseOf(e);
    platform::showError(text);
    PostTextMessage(nullptr, zelto::msg::LogText, "; " + text);
    return false;
  }
}

void SelectLinesIntoHierarchy(LoadedModel& state) {
  TForestSpaceUnit* root = state.GetHierarchyRoot();
  if (!root) return;
  TVyberLiniiDoHierarchie select;
  select.SetName("Výběr linií do hierarchie");
  select.SetInput(root);
  select.DoIt();
}

void LoadLineBlock(LoadedModel& state, const std::string& blockPath) {
  if (!gisblock::blockLies(blockPath)) return;
  TModelScript script;
  AddLayer(script, "LIN", blockPath);
  TModelByScriptCreator creator;
  creator.SetInput(&script);
  creator.DoIt();
  std::unique_ptr<TElement> built(creator.Output());
  auto* subject = dynamic_cast<TRectEntity*>(state.GetSubject());
  if (!subject) {
    auto made = std::make_unique<TSpaceEntity>();
    ObjectModel()->Add(made.get());
    state.Subject.Set(subject = made.release());
  }
  if (!built) return;
  subject->AddAndExtend(built.get());
  TElement* added = built.release();
  if (!state.Damage) state.Damage = gisblock::FindDamagedBlock(added);
}

}  // namespace jobs
