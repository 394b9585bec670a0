#include "app/jobs/lhc_merge.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <memory>
#include <optional>
#include <system_error>

#include "app/jobs/line_jobs.h"
#include "framework/settings.h"
#include "app/jobs/read_commands.h"
#include "areas/area_attribute_carrier.h"
#include "areas/export_areas.h"
#include "areas/node_area_drivers.h"
#include "framework/message_dispatch.h"
#include "framework/world.h"
#include "geometry/area_element.h"
#include "gisblock/block_damage.h"
#include "gisblock/gelix_props.h"
#include "gisblock/gelix_writers.h"
#include "gisblock/staged_block.h"
#include "platform/directory_entries.h"
#include "platform/pacer.h"
#include "platform/path_resolver.h"
#include "platform/progress_form.h"
#include "platform/user_interaction.h"
#include "render/layer_script.h"
#include "render/model_by_script_creator.h"

namespace fs = std::filesystem;

namespace jobs {

const LhcLayerKind& LhcLayer() {
  static const LhcLayerKind layer{1100, "_94REG.BLK", "_11LHC.BLK", "Tvorba vrstvy LHC", "Export ploch LHC do ",
                                  "Chyba exportu revírů do LHC", false};
  return layer;
}

const LhcLayerKind& LhcZroLayer() {
  static const LhcLayerKind layer{1400, "_91ZRO.BLK", "_91ZRO.BLK", "Tvorba vrstvy ZRO", "Export ploch ZRO do ",
                                  "Chyba exportu revírů do ZRO", true};
  return layer;
}

namespace {

// Characters, not bytes: a name is UTF-8.
std::size_t CharacterCount(const std::string& name) {
  return std::count_if(name.begin(), name.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

TGelixAreaProps* AreaProps(TElement* element) {
  if (!element || !element->Is<TAreaElement>()) return nullptr;
  TElement* props = static_cast<TAreaElement*>(element)->GetProperties();
  return props && props->Is<TGelixAreaProps>() ? static_cast<TGelixAreaProps*>(props) : nullptr;
}

void Log(const LhcMergeContext& context, const std::string& text) {
  if (context.Log) context.Log(text);
}

}  // namespace

std::vector<std::string> SortedEntryNames(const fs::path& directory) {
  std::error_code ec;
  std::vector<std::string> names = platform::directoryEntries(directory, ec);
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string la = Lower(a), lb = Lower(b);
    return la != lb ? la < lb : a < b;
  });
  return names;
}

bool IsDistrictCode(const std::string& name) { return CharacterCount(name) == 2; }

std::vector<std::string> DistrictCodes(const fs::path& lhcDirectory) {
  std::vector<std::string> codes;
  for (const std::string& name : SortedEntryNames(lhcDirectory))
    if (IsDistrictCode(name)) codes.push_back(name);
  return codes;
}

void ClassifyLhcArea(TElement* element, const DetKinds& kinds, const std::function<void(const std::string&)>& log) {
  TGelixAreaProps* props = AreaProps(element);
  if (!props) {
    MarkEmptyArea(element, kinds.Empty, std::string(LhcLayer().Marker) + ": plocha mimo plochy revírů", log);
    return;
  }
  props->Druh = props->Druh == 9400 ? 1100 : kinds.Empty;
  OldAreaOf(*static_cast<TAreaElement*>(element));
}

void ClassifyLhcZroArea(TElement* element, const DetKinds& kinds, const std::function<void(const std::string&)>& log) {
  if (!element || !element->Is<TAreaElement>()) return;
  auto* area = static_cast<TAreaElement*>(element);
  if (!area->GetProperties()) {
    if (TGelixAreaProps* props =
            MarkEmptyArea(element, kinds.Empty, std::string(LhcZroLayer().Marker) + ": plocha mimo plochy revírů", log))
      props->Barva = 13;
    return;
  }
  TGelixAreaProps* props = AreaProps(element);
  if (!props) return;
  if (props->Druh == 0) props->Barva = 13;
  else if (props->Druh == 134) props->Barva = 15;
  else if (props->Druh == 1400) props->Barva = 12;
  if (props->Druh != 1400) props->Druh = kinds.Empty;
  OldAreaOf(*area);
}

namespace {

// A directory of the LHC is a district's when it holds the district's DET
// block (put back first where a killed writer left it aside) or a block the
// level exports wrote for it ("01_16PSK.BLK", also the hidden sibling a
// replacement leaves behind).
bool IsDistrictDirectory(const std::string& lhcDirectory, const fs::path& lhc, const std::string& code) {
  const fs::path directory = lhc / code;
  std::error_code ec;
  if (!fs::is_directory(directory, ec)) return false;
  std::string refused;
  if (gisblock::findBlock(gisblock::joinShownPath(lhcDirectory, code + "\\DET.BLK"), refused) !=
      gisblock::BlockFound::Missing)
    return true;
  const std::string prefix = Lower(code) + "_";
  for (std::string name : SortedEntryNames(directory)) {
    name = Lower(name);
    if (name.starts_with('.')) name.erase(0, 1);
    if (name.starts_with(prefix) && name.find(".blk") != std::string::npos) return true;
  }
  return false;
}

// "chybí blok revíru A" or, for several, "chybí bloky revírů A, B".
std::string BlocksText(const std::vector<std::string>& blocks, const char* one, const char* several) {
  std::string text = blocks.size() == 1 ? one : several;
  for (std::size_t i = 0; i < blocks.size(); ++i) text += (i ? ", " : " ") + blocks[i];
  return text;
}

// The old LHC block stays; the user learns why in a box and in the log.
MergeResult NotWritten(const LhcMergeContext& context, const std::string& block, const std::string& why) {
  const std::string text = gisblock::notWrittenText(block, why);
  platform::showError(text);
  Log(context, text);
  return MergeResult::Failed;
}

// The areas one layer of the model read.
int AreaCount(TElement* layer) {
  int count = 0;
  if (auto* entity = dynamic_cast<TEntity*>(layer))
    for (TElement* loaded : entity->Items())
      if (auto* list = dynamic_cast<TEntity*>(loaded))
        for (TElement* item : list->Items()) count += item && item->Is<TAreaElement>();
  return count;
}

MergeResult Merge(const LhcMergeContext& context, const LhcLayerKind& layer, double snap, std::int32_t maxCoords) {
  const fs::path lhc = platform::pathResolver().existing(context.LhcDirectory);
  std::error_code ec;
  if (!fs::is_directory(lhc, ec)) {
    Refuse(context.Log, layer.Marker, "Adresář LHC " + context.LhcDirectory + " neexistuje");
    return MergeResult::NoLhcDirectory;
  }
  const std::string block = gisblock::joinShownPath(context.LhcDirectory, layer.Block);
  if (context.DisableReadButtons) context.DisableReadButtons();

  LoadedModel& state = *context.Model;
  RenewObjectModel(state);
  state.MadeBy = layer.Marker;
  TObjectModel* objects = GetWorld()->GetObjectModel();
  objects->Adopt(new TEntity)->SetName(layer.Marker);

  // Every district of the LHC must be in the merge: a block that is missing
  // (never exported, or left only as the hidden copy of an interrupted
  // replacement) would make an LHC block without that district.
  auto* script = objects->Adopt(new TModelScript);
  std::string lastDistrictBlock;
  std::vector<std::string> merged, missing;
  // Held until the LHC block is written: the districts' rows are read then.
  gisblock::BlockReadHold reading;
  for (const std::string& code : DistrictCodes(lhc)) {
    const std::string path = gisblock::joinShownPath(context.LhcDirectory, code + "\\" + code + layer.DistrictBlock);
    lastDistrictBlock = path;
    if (!IsDistrictDirectory(context.LhcDirectory, lhc, code)) continue;
    std::string refused;
    const gisblock::BlockFound found = gisblock::findBlock(path, refused);
    if (found == gisblock::BlockFound::Refused) return NotWritten(context, block, refused);
    if (found == gisblock::BlockFound::Missing) {
      missing.push_back(path);
      continue;
    }
    if (!reading.hold(path)) return NotWritten(context, block, reading.error());
    detail::AddBlockLayer(*script, "ARE", path);
    merged.push_back(path);
  }
  if (!missing.empty()) return NotWritten(context, block, BlocksText(missing, "chybí blok revíru", "chybí bloky revírů"));
  if (merged.empty()) {
    Log(context, gisblock::notWrittenText(block, "v " + context.LhcDirectory + " není žádný revír s blokem <kód>" +
                                                     layer.DistrictBlock));
    return MergeResult::NoDistricts;
  }
  TElement* read = nullptr;
  {
    TModelByScriptCreator creator;
    creator.SetInput(script);
    creator.DoIt();
    read = creator.Output();
  }
  if (read) objects->Adopt(read);
  // A district block read with damage would give the LHC less than the
  // district holds. The damage is named before a block that gave no area,
  // since damage is often why it gave none.
  if (const std::optional<gisblock::DamagedBlock> damage = gisblock::FindDamagedBlock(read))
    return NotWritten(context, block, DamagedInputText(*damage));
  // One layer per district block, in the script's order; a block that gave
  // no area is not a district's area.
  std::vector<std::string> unreadable;
  auto* layers = dynamic_cast<TEntity*>(read);
  for (std::size_t i = 0; i < merged.size(); ++i)
    if (!layers || static_cast<int>(i) >= layers->GetCount() || AreaCount(layers->GetItem(static_cast<int>(i))) == 0)
      unreadable.push_back(merged[i]);
  if (!unreadable.empty())
    return NotWritten(context, block,
                      BlocksText(unreadable, "nelze přečíst blok revíru", "nelze přečíst bloky revírů"));
  state.Subject.Set(read);

  // The builder owns the noded network; the line links are read from its
  // nodes when the block is written, so it lives until then.
  TMakeNodesAndAreas builder;
  builder.DeletePseudoNodes = true;
  builder.JoinLines = context.JoinLines;
  builder.SnapDistance = snap;
  builder.MaxCoordsCount = maxCoords;
  builder.SetInput(read);
  builder.DoIt();
  // A stop the user confirmed ends the merge where it is: no later step
  // runs, and nothing is said of the areas of the lines joined so far.
  if (platform::BreakableJob::broken()) return NotWritten(context, block, kBrokenOff);
  auto* list = dynamic_cast<TEntity*>(builder.Output());
  if (!list || list->GetCount() == 0)
    return NotWritten(context, block, "z bloků revírů nevznikla žádná plocha");
  {
    TCarryArToArThroughLines carrier;
    carrier.SelectForProblem = true;
    carrier.SetInput(list);
    carrier.DoIt();
  }
  // The carrier stopped leaves areas without attributes, each of which
  // would be logged as an area outside the districts.
  if (platform::BreakableJob::broken()) return NotWritten(context, block, kBrokenOff);
  const auto log = [&context](const std::string& text) { Log(context, text); };
  platform::Pacer pacer;
  for (TElement* element : std::vector<TElement*>(list->Items())) {
    if (layer.Zro) ClassifyLhcZroArea(element, context.Kinds, log);
    else ClassifyLhcArea(element, context.Kinds, log);
    if (pacer.due()) zelto::ProcessPendingMessages();
  }

  gisblock::StagedBlock staged(block);
  if (!staged.ok()) {
    platform::showError(staged.error());
    Log(context, "; " + staged.error());
    return MergeResult::Failed;
  }
  TExportAreasToGelix exporter;
  exporter.SetName(layer.ExporterName + lastDistrictBlock);
  exporter.SetInput(list);
  exporter.BlockName = staged.shownPath();
  exporter.SetStagedBlock(&staged);
  exporter.ExportDBF = true;
  // The districts' keys (REVIR, LHC_KOD) come only from their rows: a row
  // without them is no row of the LHC.
  exporter.SourceRowsRequired = true;
  // The ZRO tables take their fields from the districts' tables; an area no
  // district's area lay under has none and takes those of its kind's control
  // file.
  exporter.ControlDir = context.GisRoot;
  if (layer.Zro) {
    exporter.CreateFromSource = true;
    exporter.ZnackaPloch = 105;
  } else {
    exporter.DruhLinii = 1100;
    exporter.BarvaPloch = 7, exporter.ZnackaPloch = 1;
    exporter.BarvaLinii = 13, exporter.ZnackaLinii = 0;
  }
  exporter.DoIt();
  return CommitExportedBlock(exporter, staged, context.Log) ? MergeResult::Written : MergeResult::Failed;
}

}  // namespace

namespace {

MergeResult CheckedMerge(const LhcMergeContext& context, const LhcLayerKind& layer) {
  if (const std::string missing = MissingControlFile(context.GisRoot, 'P', layer.Kind); !missing.empty()) {
    Refuse(context.Log, layer.Marker, missing);
    return MergeResult::MissingControlFile;
  }
  SettingsCheck settings;
  const double snap = settings.Read("EXPORT", "LHCSnapDistance", 0.01, {0, 1000, false});
  const auto maxCoords =
      static_cast<std::int32_t>(settings.Read("EXPORT", "MaxPocetSouradnic", 100, kMaxCoordsSettingRange));
  if (!settings.Ok()) {
    Refuse(context.Log, layer.Marker, settings.Errors());
    return MergeResult::BadSetting;
  }
  platform::BusyCursor busy;
  return Merge(context, layer, snap, maxCoords);
}

}  // namespace

MergeResult MergeLhcLayer(const LhcMergeContext& context, const LhcLayerKind& layer) {
  platform::BreakableJob job;
  MergeResult result = MergeResult::Failed;
  try {
    result = CheckedMerge(context, layer);
    // Both jobs end with the same words.
    if (result == MergeResult::Written) platform::showInfo("Konec tvorby LHC");
  } catch (const std::exception& e) {
    // Once the block is in place, only the telling of it failed.
    if (result == MergeResult::Written) return result;
    platform::showInfo(std::string(layer.ErrorBox) + "\r\n" + CauseOf(e));
    Log(context, "; " + std::string(layer.ErrorBox) + ": " + CauseOf(e));
    return MergeResult::Failed;
  }
  return result;
}

}  // namespace jobs
