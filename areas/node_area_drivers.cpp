#include "areas/node_area_drivers.h"

#include <exception>
#include <memory>
#include <new>
#include <unordered_set>
#include <utility>

#include "areas/export_areas.h"
#include "areas/line_joining.h"
#include "areas/line_walkers.h"
#include "areas/node_area_pipeline.h"
#include "framework/class_registry.h"
#include "framework/settings.h"
#include "framework/world.h"
#include "geometry/area_element.h"
#include "geometry/line_end_cells.h"
#include "geometry/qtree.h"
#include "platform/progress_form.h"
#include "platform/user_interaction.h"

ZELTO_IMPLEMENT_ELEMENT(TMakeNodes, TTool, [](auto& p) {
  using T = TMakeNodes;
  p.Boolean("JoinLines", &T::JoinLines, &T::JoinLines);
  p.Float("SnapDistance", &T::SnapDistance, &T::SnapDistance);
  p.Boolean("CompareOnlyDifferentSource", &T::CompareOnlyDifferentSource, &T::CompareOnlyDifferentSource);
  p.Boolean("JoinDifferentLines", &T::JoinDifferentLines, &T::JoinDifferentLines);
  p.Boolean("DeletePseudoNodes", &T::DeletePseudoNodes, &T::DeletePseudoNodes);
  p.Object("NodesQTree", TSpaceLineBegEndCell::StaticClass(), &T::NodesQTree);
})
ZELTO_IMPLEMENT_ELEMENT(TMakeNodesAndAreas, TMakeNodes, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TSaveAreasToBlok, TTool, [](auto& p) {
  using T = TSaveAreasToBlok;
  p.Integer("DruhLinii", &T::DruhLinii, &T::DruhLinii);
  p.Integer("DruhPloch", &T::DruhPloch, &T::DruhPloch);
  p.String("BlockDir", &T::BlockDir, &T::BlockDir);
  p.String("CreateDBFFileName", &T::CreateDBFFileName, &T::CreateDBFFileName);
  p.String("TransferDBFScript", &T::TransferDBFScript, &T::TransferDBFScript);
})

TSpaceLineBegEndCell* TMakeNodes::NodesQTree() const {
  for (TElement* e : Items())
    if (e && e->Is<TSpaceLineBegEndCell>()) return static_cast<TSpaceLineBegEndCell*>(e);
  return nullptr;
}

TMakeNodes::Noded TMakeNodes::NodeLines(TEntity& lines, bool buildAreas) {
  auto* bounded = dynamic_cast<TRectEntity*>(&lines);
  if (!bounded) return {};
  // The level exports' vertex limit: joining a long chain of pseudo-nodes
  // into one line of thousands of vertices helps no reader of the block.
  std::int32_t maxCoords = 0;
  if (MaxCoordsCount) {
    maxCoords = *MaxCoordsCount;
  } else {
    SettingsCheck check;
    maxCoords = static_cast<std::int32_t>(check.Read("EXPORT", "MaxPocetSouradnic", 100, kMaxCoordsSettingRange));
    if (!check.Ok()) {
      platform::showError(check.Errors());
      return {};
    }
  }
  nodearea::Options options;
  options.JoinDifferentLines = JoinDifferentLines;
  options.DeletePseudoNodes = DeletePseudoNodes;
  options.MaxCoordsCount = maxCoords;
  options.BuildAreas = buildAreas;
  nodearea::Network net = nodearea::BuildAreasOfLines(*bounded, options);
  // The index and the area tree become the tool's children one by one: the
  // network keeps what has not been handed over yet.
  Noded noded;
  if (net.Index) {
    Add(net.Index);
    noded.Index = std::exchange(net.Index, nullptr);
  }
  if (net.Areas) {
    Add(net.Areas);
    net.Areas = nullptr;
  }
  noded.AreaList = std::exchange(net.AreaList, nullptr);
  return noded;
}

void TMakeNodes::DoIt() {
  TTool::DoIt();
  auto* lines = dynamic_cast<TEntity*>(Input());
  if (!lines) return;
  TSpaceLineBegEndCell* index = NodeLines(*lines, false).Index;
  if (!index) return;
  auto* noded = Adopt(new TSpaceEntity);
  THledacLinii finder;
  finder.SetOutput(noded);
  finder.SetInput(index);
  finder.DoIt();
  SetOutput(noded);
}

namespace {

// The rings of the holes of the areas below `entity`, which lie outside the
// areas' items: a hole whose island was not read (deleted in its block)
// still bounds its area, and the face it leaves must be built.
void AddHoleRings(TEntity& entity, TSpaceEntity& found, std::unordered_set<const TElement*>& have) {
  for (TElement* item : entity.Items()) {
    if (!item) continue;
    if (item->Is<TAreaElement>()) {
      THolesEntity* holes = static_cast<TAreaElement*>(item)->GetHoles();
      if (!holes) continue;
      for (TElement* hole : holes->Items())
        if (hole && hole->Is<TEntity>())
          for (TElement* line : static_cast<TEntity*>(hole)->Items())
            if (line && line->Is<TPolyLineElement>() && have.insert(line).second) found.AddAndExtend(line);
    } else if (item->Is<TEntity>()) {
      AddHoleRings(*static_cast<TEntity*>(item), found, have);
    }
  }
}

}  // namespace

TEntity* TMakeNodesAndAreas::JoinedLines(TEntity& lines) {
  std::unique_ptr<TSpaceEntity> found(new TSpaceEntity);
  try {
    THledacLinii finder;
    finder.SetOutput(found.get());
    finder.SetInput(&lines);
    finder.DoIt();
    std::unordered_set<const TElement*> have(found->Items().begin(), found->Items().end());
    AddHoleRings(lines, *found, have);
  } catch (const std::bad_alloc&) {
    // Not the lines' fault: the caller tells what stopped it.
    throw;
  } catch (const std::exception&) {
    platform::showError("Chyba při hledání linií");
    return nullptr;
  }
  // The joiner's tree holds the joined lines (pieces of cut lines included)
  // until they are collected, so it outlives the temporary container.
  TJoinLines join;
  try {
    join.SnapDistance = SnapDistance;
    join.CompareOnlyDifferentSource = CompareOnlyDifferentSource;
    join.SelfTest = false;
    join.SetInput(found.get());
    join.DoIt();
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    platform::showError(std::string("Chyba při spojování linií\r\n") + e.what());
    return nullptr;
  }
  found.reset();
  if (!join.Accepted()) return nullptr;
  auto* joined = Adopt(new TSpaceEntity);
  THledacLinii collector;
  collector.SetOutput(joined);
  collector.SetInput(join.Accepted());
  collector.DoIt();
  return joined;
}

void TMakeNodesAndAreas::DoIt() {
  TTool::DoIt();
  auto* input = dynamic_cast<TEntity*>(Input());
  if (!input) return;
  TEntity* lines = JoinedLines(*input);
  // A stop the user confirmed while the lines were joined: no areas are
  // built of part of them.
  if (!lines || platform::BreakableJob::broken()) return;
  const Noded net = NodeLines(*lines, true);
  if (!net.AreaList) return;
  // Without a world the list stays with the tool rather than being lost.
  TWorld* world = GetWorld();
  if (world) world->GetObjectModel()->Add(net.AreaList);
  else Add(net.AreaList);
  SetOutput(net.AreaList);
}

void TSaveAreasToBlok::ResetLineMarks() {
  TOznacLinie marks;
  marks.SetInput(Input());
  marks.DoIt();
}

void TSaveAreasToBlok::DoIt() {
  TTool::DoIt();
  if (!dynamic_cast<TEntity*>(Input())) return;
  TExportAreasToGelix exporter;
  exporter.SetInput(Input());
  exporter.BlockName = BlockDir;
  exporter.ExportDBF = true;
  exporter.DoIt();
}

void RegisterNodeAreaDriverClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls : {&TMakeNodesAndAreas::StaticClass(), &TSaveAreasToBlok::StaticClass()})
    if (!FindZeltoClass(cls->ClassName())) RegisterZeltoClass(*cls);
}
