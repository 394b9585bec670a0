#include "areas/node_area_pipeline.h"

#include "areas/area_builders.h"
#include "areas/area_point_placer.h"
#include "areas/area_walkers.h"
#include "areas/line_end_readers.h"
#include "areas/node_builders.h"
#include "areas/node_connectors.h"
#include "areas/sub_area_maker.h"
#include "geometry/area_element.h"
#include "geometry/line_end_cells.h"
#include "geometry/qtree.h"

#include <algorithm>
#include <vector>

namespace nodearea {

namespace {

void Named(TTool& tool, const std::string& name) {
  if (!name.empty()) tool.SetName(name);
}

void BuildOnIndex(Network& net, const Options& options, const StepNames& names) {
  {
    TPutNodesIntoQTree nodes;
    Named(nodes, names.Nodes);
    nodes.SetInput(net.Index);
    nodes.DoIt();
  }
  // The leaves' end lists go before the nodes are connected: joining lines
  // at pseudo-nodes must not meet ends the lists still hold.
  {
    TDeleteDirectRelationsToLinesInQTree drop;
    Named(drop, names.DropLineEnds);
    drop.SetInput(net.Index);
    drop.DoIt();
  }
  {
    TNodesConector connector;
    Named(connector, names.Connector);
    connector.DeletePseudoNodes = options.DeletePseudoNodes;
    connector.JoinDifferentLines = options.JoinDifferentLines;
    connector.MaxCoordsCount = options.MaxCoordsCount;
    connector.SetInput(net.Index);
    connector.DoIt();
  }
  if (!options.BuildAreas) return;
  {
    TCreateAreasForQTree builder;
    Named(builder, names.Areas);
    // Every label point is placed below, once the areas have their holes.
    builder.PlaceLabelPoints = false;
    builder.SetInput(net.Index);
    builder.DoIt();
    net.Areas = builder.AreaQTree();
    net.AreasCount = builder.GetAreasCount();
  }
  if (net.Areas) {
    TSubAreaMakerInQTree holes;
    holes.SetInput(net.Areas);
    holes.DoIt();
    net.AreaList = new TAreaString;
    THledacPloch finder;
    finder.SetOutput(net.AreaList);
    finder.SetInput(net.Areas);
    finder.DoIt();
    TMultiAreaPointPlacer placer;
    placer.SetInput(net.AreaList);
    placer.DoIt();
  }
}

}  // namespace

Network BuildAreasOfLines(TRectEntity& lines, const Options& options) {
  TReadLinesIntoQTree reader;
  return BuildAreasOfLines(reader, lines, options);
}

Network BuildAreasOfLines(TTool& reader, TRectEntity& lines, const Options& options, const StepNames& names) {
  Network net;
  Named(reader, names.Reader);
  reader.SetInput(&lines);
  reader.DoIt();
  net.Index = dynamic_cast<TSpaceLineBegEndCell*>(reader.Output());
  if (!net.Index) return net;
  try {
    BuildOnIndex(net, options, names);
  } catch (...) {
    // A reader may have filed the index under the lines' container.
    lines.Remove(net.Index);
    Release(net);
    throw;
  }
  return net;
}

namespace {

// Every area and hole of the tree, each once: an element stored in several
// leaves has several owners, and the leaves would only unlink it. Sorting
// the pointers finds the repeats at a fraction of a hash set's cost.
void CollectAreas(TQTree& node, std::vector<TElement*>& areas) {
  for (TElement* e : node.Items()) {
    if (!e) continue;
    if (e->Is<TQTree>()) CollectAreas(*static_cast<TQTree*>(e), areas);
    else areas.push_back(e);
  }
}

}  // namespace

void Release(Network& network) {
  delete network.AreaList;
  if (network.Areas) {
    std::vector<TElement*> areas;
    CollectAreas(*network.Areas, areas);
    std::sort(areas.begin(), areas.end());
    areas.erase(std::unique(areas.begin(), areas.end()), areas.end());
    // Holes leave their areas' hole lists when they go, so the areas first.
    std::stable_partition(areas.begin(), areas.end(), [](TElement* e) {
      return e->Is<TAreaElement>() && !static_cast<TAreaElement*>(e)->IsHole;
    });
    for (TElement* e : areas) delete e;
  }
  delete network.Areas;
  delete network.Index;
  network = {};
}

}  // namespace nodearea
